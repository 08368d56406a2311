'use strict';
// Finding a link as one types. The field is the script's own, so that
// without script the page is the whole list and nothing is missing.
(function () {
  var main = document.querySelector('main');
  var nav = document.querySelector('nav');
  if (!main || !String.prototype.normalize) return;

  var LABEL = '\u30ea\u30f3\u30af\u3092\u63a2\u3059';  // "Find a link"
  var UNIT = ' \u4ef6';                                 // " items"

  // One form for what a person may type in several: NFKC joins full and
  // half width, lower case joins the cases, katakana stands for hiragana.
  function fold(text) {
    return text.normalize('NFKC').toLowerCase().replace(/[\u3041-\u3096]/g, function (c) {
      return String.fromCharCode(c.charCodeAt(0) + 0x60);
    });
  }

  function address(href) {
    try {
      return decodeURI(href);
    } catch (e) {
      return href;
    }
  }

  var box = document.createElement('div');
  box.className = 'find';
  box.setAttribute('role', 'search');
  var label = document.createElement('label');
  label.htmlFor = 'find';
  label.textContent = LABEL;
  var field = document.createElement('input');
  field.type = 'search';
  field.id = 'find';
  field.autocomplete = 'off';
  field.spellcheck = false;
  field.setAttribute('autocapitalize', 'off');
  field.setAttribute('enterkeyhint', 'go');
  field.setAttribute('aria-keyshortcuts', '/');
  var hits = document.createElement('p');
  hits.setAttribute('role', 'status');
  hits.setAttribute('aria-live', 'polite');
  // One row a link; a row may hold a second link (a moved link's new address).
  var total = main.getElementsByTagName('li').length;
  hits.textContent = total + UNIT;
  box.appendChild(label);
  box.appendChild(field);
  box.appendChild(hits);
  // Directly below the heading: a long genre list must not push it away.
  (nav || main).parentNode.insertBefore(box, nav || main);

  // Per section its links, each with what a query is matched against. Made
  // in slices while the page is idle (30000 links take longer than a frame),
  // the rest at once when the field is used first.
  var sections = [];
  var pending = main.getElementsByTagName('section');
  function indexSlice(last) {
    var texts = [];
    var from = sections.length;
    while (sections.length < last) {
      var el = pending[sections.length];
      var heading = el.querySelector('h2');
      var genre = heading && heading.firstChild ? heading.firstChild.nodeValue || '' : '';
      var items = [];
      var anchors = el.getElementsByTagName('a');
      for (var i = 0; i < anchors.length; ++i) {
        var a = anchors[i];
        if (a.parentNode.nodeName !== 'LI') continue;
        items.push({a: a, li: a.parentNode, shown: true, text: ''});
        texts.push(a.textContent + '\n' + genre + '\n' + address(a.getAttribute('href') || ''));
      }
      sections.push({el: el, items: items, shown: true});
    }
    // One fold over all texts costs a fraction of one fold per link; NUL
    // neither composes nor changes case, so it splits them back exactly.
    var folded = fold(texts.join('\0')).split('\0');
    var k = 0;
    for (var s = from; s < sections.length; ++s) {
      for (var j = 0; j < sections[s].items.length; ++j) sections[s].items[j].text = folded[k++];
    }
  }
  function index() {
    if (sections.length < pending.length) indexSlice(pending.length);
  }
  // Slices of 10 ms at most: a tap that comes meanwhile waits no longer.
  function indexWhileIdle(deadline) {
    var stop = Date.now() + 10;
    while (sections.length < pending.length && deadline.timeRemaining() > 1 && Date.now() < stop)
      indexSlice(Math.min(pending.length, sections.length + 20));
    if (sections.length < pending.length) idle(indexWhileIdle);
  }
  function idle(work) {
    if (window.requestIdleCallback) return requestIdleCallback(work);
    setTimeout(function () {
      var start = Date.now();
      work({timeRemaining: function () { return 10 - (Date.now() - start); }});
    }, 50);
  }

  var query = '';
  var first = null;
  // Shows the links that hold every word of |text|, hides sections left
  // empty, and touches `hidden` only where it changes.
  function filter(text) {
    var folded = fold(text).trim();
    if (folded === query) return;
    query = folded;
    index();
    var words = folded.split(/\s+/).filter(Boolean);
    var count = 0;
    first = null;
    for (var s = 0; s < sections.length; ++s) {
      var section = sections[s];
      var any = false;
      for (var i = 0; i < section.items.length; ++i) {
        var item = section.items[i];
        var shown = true;
        for (var w = 0; w < words.length && shown; ++w) shown = item.text.indexOf(words[w]) >= 0;
        if (shown !== item.shown) {
          item.shown = shown;
          item.li.hidden = !shown;
        }
        if (shown) {
          ++count;
          any = true;
          if (!first) first = item.a;
        }
      }
      if (any !== section.shown) {
        section.shown = any;
        section.el.hidden = !any;
      }
    }
    // While searching, the hits come right below the field.
    if (nav && nav.hidden !== words.length > 0) nav.hidden = words.length > 0;
    var shownCount = count + UNIT;
    if (hits.textContent !== shownCount) hits.textContent = shownCount;
  }

  // An input method's text is not a query until it is committed.
  var composing = false;
  field.addEventListener('compositionstart', function () { composing = true; });
  field.addEventListener('compositionend', function () {
    composing = false;
    filter(field.value);
  });
  field.addEventListener('input', function (e) {
    if (composing || e.isComposing) return;
    filter(field.value);
  });
  field.addEventListener('focus', index);
  field.addEventListener('keydown', function (e) {
    // 229: the key went to the input method (some browsers send the Enter
    // that commits a conversion after compositionend, with this code).
    if (composing || e.isComposing || e.keyCode === 229) return;
    if (e.key === 'Escape') {
      if (!field.value) return;
      e.preventDefault();
      field.value = '';
      filter('');
    } else if (e.key === 'Enter') {
      e.preventDefault();
      filter(field.value);
      if (query && first) location.href = first.href;
    }
  });

  function typing(el) {
    if (!el) return false;
    if (el.isContentEditable) return true;
    var tag = el.tagName;
    if (tag === 'TEXTAREA' || tag === 'SELECT') return true;
    return tag === 'INPUT' && !/^(button|checkbox|radio|submit|reset|image|file|color|range)$/.test(el.type);
  }
  document.addEventListener('keydown', function (e) {
    if (e.key !== '/' || e.ctrlKey || e.metaKey || e.altKey || e.isComposing) return;
    if (typing(document.activeElement)) return;
    e.preventDefault();
    field.focus();
    field.select();
  });

  // After first paint, so that the list shows before the index is made.
  idle(indexWhileIdle);
})();
