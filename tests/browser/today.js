'use strict';
// The page for today's readers (the fifth style), written by
// build/native/orvbench through the program's own Import and Write, opened in
// headless Chromium: on phones of 320 and 390 px and on a desktop, light and
// dark, what a reader sees (nothing scrolls sideways, sizes, contrast,
// axe-core), that nothing leaves the page, the search as one types, and the
// page's timings. One line per check, then "browser-today: N passed, N failed".
// Usage: node tests/browser/today.js [--keep DIR]   (DIR keeps the pages)
const fs = require('fs');
const os = require('os');
const path = require('path');
const {execFileSync} = require('child_process');
const {pathToFileURL} = require('url');

let launch;
let axeSource;
try {
  ({launch} = require('./chromium'));
  axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
} catch (e) {
  console.log(`not ok - the npm packages are not installed (run scripts/setup.sh): ${e.message.split('\n')[0]}`);
  console.log('browser-today: 0 passed, 1 failed');
  process.exit(1);
}

const ROOT = path.resolve(__dirname, '../..');
const ORVBENCH = path.join(ROOT, 'build/native/orvbench');

// The bookmarks of the page the reader checks are made of: [folder, title,
// address]; no folder is the standard genre "その他".
const KANA = ['ﾌﾞｯｸﾏｰｸの使い方', 'ぶっくまーく入門', 'ブックマーク大全'];
const SCRIPT_TITLE = '<script>alert(1)</script>';
const LONG_TITLE = 'ロング'.repeat(30) + 'qwertyuiop'.repeat(10);
// A blank title shows the address.
const LONG_ADDRESS = `http://long.example.com/${'segment'.repeat(40)}?q=${'x'.repeat(100)}`;
const SAMPLE = [
  ['Reading', KANA[0], 'http://kana.example.com/half'],
  ['Reading', KANA[1], 'http://kana.example.com/hira'],
  ['Reading', KANA[2], 'http://kana.example.com/kata'],
  ['Travel 旅行', '京都の宿', 'http://travel.example.jp/kyoto'],
  ['Travel 旅行', 'ＡＢＣ Ｎｅｗｓ', 'http://abc.example.com/'],
  ['Misc', SCRIPT_TITLE, 'http://x.example.com/?q=%22a%22'],
  ['Misc', LONG_TITLE, 'http://long.example.com/title'],
  ['Misc', '', LONG_ADDRESS],
  ['Misc', 'Start here', 'http://Docs.Example.COM/UserGuide'],
  ['Misc', '地名の一覧', 'http://www.example.jp/%E6%97%A5%E6%9C%AC'],
  ['', 'Plain', 'http://plain.example.com/'],
];
const ALL = SAMPLE.map((r) => r[1] || r[2]);
const COUNT = (n) => `${n} 件`;

// Typing into the field: [what, query or steps, titles shown after].
// Steps: type, press, blur, compose (an input method's text, uncommitted),
// commit (the input method commits), key229 (a key that went to the input
// method), expect (the state so far).
const QUERIES = [
  ['half-width katakana finds all forms', 'ﾌﾞｯｸﾏｰｸ', KANA],
  ['hiragana finds all forms', 'ぶっくまーく', KANA],
  ['katakana finds all forms', 'ブックマーク', KANA],
  ['ASCII finds full-width letters', 'abc', ['ＡＢＣ Ｎｅｗｓ']],
  ['full-width finds ASCII', 'ＳＴＡＲＴ', ['Start here']],
  ['upper case finds lower case', 'START HERE', ['Start here']],
  ['a word of the address only', 'userguide', ['Start here']],
  ['a percent-encoded address as its characters', '日本', ['地名の一覧']],
  ['a genre finds its links', '旅行', ['京都の宿', 'ＡＢＣ Ｎｅｗｓ']],
  ['every word must be found', 'travel 京都', ['京都の宿']],
  ['markup is text', '<script>', [SCRIPT_TITLE]],
  ['nothing found', 'zzzz', []],
  ['spaces alone find everything', '   ', ALL],
];
const KEYS = [
  ['"/" outside a text field focuses the field and is not typed',
    [['blur'], ['press', '/'], ['expect', {focused: true, value: '', shown: ALL}]]],
  ['"/" in the field is typed', [['type', '京都/'], ['expect', {value: '京都/', shown: []}]]],
  ['Escape clears the field and shows every link',
    [['type', 'zzzz'], ['expect', {shown: []}], ['press', 'Escape'], ['expect', {value: '', shown: ALL, focused: true}]]],
  ['nothing is filtered while the input method composes',
    [['compose', 'きょ'], ['compose', 'きょうと'], ['expect', {value: 'きょうと', shown: ALL}],
      ['commit', '京都'], ['expect', {value: '京都', shown: ['京都の宿']}]]],
  ['the Enter that commits a conversion opens nothing',
    [['compose', 'ぶっくまーく'], ['key229', 'Enter'], ['commit', 'ぶっくまーく'],
      ['expect', {value: 'ぶっくまーく', shown: KANA, url: 'same'}]]],
  ['an Enter with key code 229 after compositionend opens nothing',
    [['compose', '京都'], ['commit', '京都'], ['key229', 'Enter'], ['expect', {shown: ['京都の宿'], url: 'same'}]]],
  ['Enter opens the first link shown', [['type', '京都'], ['press', 'Enter'],
    ['expect', {url: 'http://travel.example.jp/kyoto'}]]],
  ['Enter after an input method opens its first link', [['compose', 'ぶっくまーく入門'], ['commit', 'ぶっくまーく入門'],
    ['press', 'Enter'], ['expect', {url: 'http://kana.example.com/hira'}]]],
  ['Enter without a hit stays', [['type', 'zzzz'], ['press', 'Enter'], ['expect', {url: 'same', shown: []}]]],
];

const PHONE = {deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const VIEWS = [
  ['phone 320', {width: 320, height: 640, ...PHONE}],
  ['phone 390', {width: 390, height: 844, ...PHONE}],
  ['desktop 1280', {width: 1280, height: 800}],
];
const SCHEMES = ['light', 'dark'];
// 45rem: about forty Japanese characters a line.
const MAX_LINE = 45 * 16;

let passed = 0;
let failed = 0;
async function check(name, fn) {
  let problems;
  try {
    problems = (await fn()).filter(Boolean);
  } catch (e) {
    problems = [String(e.message || e).split('\n')[0]];
  }
  if (problems.length) {
    ++failed;
    console.log(`not ok - ${name}: ${problems.join('; ')}`);
  } else {
    ++passed;
    console.log(`ok - ${name}`);
  }
}
const show = (v) => JSON.stringify(v);
const differ = (what, got, want) => (show(got) === show(want) ? '' : `${what} is ${show(got)}, want ${show(want)}`);
const sorted = (list) => [...list].sort();
const clip = (text) => (text.length > 24 ? `${text.slice(0, 24)}...` : text);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor((xs.length - 1) / 2)];
// The first few problems and how many there were.
const few = (problems) => (problems.length > 3 ? [...problems.slice(0, 3), `and ${problems.length - 3} more`] : problems);

// ---- pages ----

const escapeHtml = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
function bookmarkFile(rows) {
  const lines = ['<!DOCTYPE NETSCAPE-Bookmark-file-1>',
    '<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">', '<TITLE>Bookmarks</TITLE>', '<DL><p>'];
  for (const folder of new Set(rows.map((r) => r[0]))) {
    if (folder) lines.push(`<DT><H3>${escapeHtml(folder)}</H3>`, '<DL><p>');
    for (const [, title, href] of rows.filter((r) => r[0] === folder))
      lines.push(`<DT><A HREF="${escapeHtml(href)}">${escapeHtml(title)}</A>`);
    if (folder) lines.push('</DL><p>');
  }
  return `${lines.join('\n')}\n</DL><p>\n`;
}

// orvbench's line "today N links B bytes S ok" as {links, bytes}.
function writePage(args) {
  const out = execFileSync(ORVBENCH, args, {encoding: 'utf8'});
  const m = /^today (\d+) links (\d+) bytes [\d.]+ ok$/m.exec(out);
  if (!m) throw new Error(`orvbench ${args.join(' ')}: ${out.trim()}`);
  return {links: Number(m[1]), bytes: Number(m[2])};
}

// ---- in the page ----

// What a reader sees of the list: titles shown, the genres shown, the hit
// counter, the field.
function readList() {
  const field = document.querySelector('[role="search"] input');
  const shown = (el) => el.checkVisibility();
  return {
    shown: [...document.querySelectorAll('main a')].filter(shown).map((a) => a.textContent),
    sections: [...document.querySelectorAll('main section')].filter(shown).length,
    count: (document.querySelector('[role="status"]') || {}).textContent,
    value: field ? field.value : null,
    focused: !!field && document.activeElement === field,
  };
}

// Sections out of view are laid out only when they come near: for the
// checks of sizes, every one as it is once scrolled to.
const LAY_OUT_ALL = 'section { content-visibility: visible !important; }';

function readLayout() {
  const px = (v) => parseFloat(v);
  const rect = (el) => el.getBoundingClientRect();
  const name = (el) => `${el.closest('header, nav, main, footer, [role="search"]')?.localName || el.localName} ` +
    `"${(el.textContent || el.localName).slice(0, 30)}"`;
  const links = [...document.querySelectorAll('a')];
  const field = document.querySelector('[role="search"] input');
  const inLinks = [...links, ...document.querySelectorAll('a *')];
  // Each text's own box: a line that does not break runs out of its element.
  const texts = () => {
    const found = [];
    const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    const range = document.createRange();
    while (walk.nextNode()) {
      range.selectNodeContents(walk.currentNode);
      found.push([walk.currentNode.parentElement, range.getBoundingClientRect()]);
    }
    return found;
  };
  const column = Math.min(innerWidth, rect(document.body).right - px(getComputedStyle(document.body).paddingRight));
  return {
    width: innerWidth,
    scrollWidth: document.scrollingElement.scrollWidth,
    // Anything that sticks out of the column on the right, even where
    // nothing scrolls for it.
    wider: [...[...document.body.querySelectorAll('*')].map((el) => [el, rect(el)]), ...texts()]
      .filter(([, r]) => r.right > column + 0.5)
      .map(([el, r]) => `${name(el)} ends at ${Math.round(r.right)} of ${Math.round(column)}`),
    small: inLinks.filter((el) => px(getComputedStyle(el).fontSize) < 16)
      .map((el) => `${name(el)} ${getComputedStyle(el).fontSize}`),
    fieldFont: field ? px(getComputedStyle(field).fontSize) : 0,
    targets: links.filter((a) => rect(a).width < 24 || rect(a).height < 24)
      .map((a) => `${name(a)} ${Math.round(rect(a).width)}x${Math.round(rect(a).height)}`),
    lines: Math.max(...['main', 'nav', 'header', '[role="search"]', 'footer']
      .map((s) => document.querySelector(s)).filter(Boolean).map((el) => rect(el).width)),
    hasLinks: links.length,
  };
}

// Every element with text of its own, its colour and the colours under it
// (its own background and its ancestors', topmost first, down to an opaque one).
function readColours() {
  const style = (el) => getComputedStyle(el);
  const under = (el) => {
    const layers = [];
    for (let e = el; e; e = e.parentElement) layers.push(style(e).backgroundColor);
    return layers;
  };
  const all = [...document.body.querySelectorAll('*')].filter((el) => el.checkVisibility() &&
    [...el.childNodes].some((n) => n.nodeType === 3 && n.nodeValue.trim()));
  const field = document.querySelector('[role="search"] input');
  return {
    texts: all.map((el) => ({
      what: `${el.localName} "${el.textContent.slice(0, 20)}"`, link: el.localName === 'a' ? [...document.links].indexOf(el) : -1,
      fg: style(el).color, bg: under(el),
    })),
    field: field && {fg: style(field).color, bg: under(field), border: style(field).borderTopColor, page: under(field.parentElement)},
  };
}

// A computed colour as [r, g, b, alpha], or null.
function rgba(css) {
  const m = /^rgba?\(([^)]*)\)$/.exec(css || '');
  if (!m) return null;
  const v = m[1].split(/[\s,/]+/).filter(Boolean).map(Number);
  return [v[0], v[1], v[2], v.length > 3 ? v[3] : 1];
}
const blend = (top, bottom) => top.slice(0, 3).map((c, i) => c * top[3] + bottom[i] * (1 - top[3]));
// The colour the layers make, or null without an opaque one under them.
function flatten(layers) {
  const colours = layers.map(rgba);
  const opaque = colours.findIndex((c) => c && c[3] >= 1);
  if (opaque < 0 || colours.slice(0, opaque).some((c) => !c)) return null;
  return colours.slice(0, opaque).reduceRight((bottom, top) => blend(top, bottom), colours[opaque].slice(0, 3));
}

// WCAG 2 contrast ratio of two sRGB colours (0-255, alpha over |bg|).
function contrast(fg, bg) {
  const over = blend(fg, bg);
  const lum = (c) => {
    const [r, g, b] = c.slice(0, 3).map((v) => {
      const s = v / 255;
      return s <= 0.03928 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const [hi, lo] = [lum(over), lum(bg)].sort((a, b) => b - a);
  return (hi + 0.05) / (lo + 0.05);
}

// ---- checks ----

async function open(page, url, {view, scheme = 'light', script = true} = {}) {
  if (view) await page.setViewport(view);
  await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: scheme}]);
  await page.setJavaScriptEnabled(script);
  await page.goto(url, {waitUntil: 'load'});
}

// The colours of :visited are hidden from the page; DevTools can force them.
async function visitedColours(page) {
  const cdp = await page.createCDPSession();
  try {
    await cdp.send('DOM.enable');
    await cdp.send('CSS.enable');
    const {root} = await cdp.send('DOM.getDocument', {depth: 0});
    const {nodeIds} = await cdp.send('DOM.querySelectorAll', {nodeId: root.nodeId, selector: 'a[href]'});
    const colours = [];
    for (const nodeId of nodeIds) {
      await cdp.send('CSS.forcePseudoState', {nodeId, forcedPseudoClasses: ['visited']});
      const {computedStyle} = await cdp.send('CSS.getComputedStyleForNode', {nodeId});
      await cdp.send('CSS.forcePseudoState', {nodeId, forcedPseudoClasses: []});
      colours.push(rgba(computedStyle.find((p) => p.name === 'color').value));
    }
    return colours;
  } finally {
    await cdp.detach().catch(() => {});
  }
}

async function looks(page, url, label, view, scheme, {axe = true, colours = true} = {}) {
  await open(page, url, {view, scheme});
  await page.addStyleTag({content: LAY_OUT_ALL});
  const got = await page.evaluate(readLayout);
  await check(`${label}: nothing scrolls sideways, long titles and addresses wrap`, async () => [
    got.scrollWidth > got.width && `the page is ${got.scrollWidth} px wide in a window of ${got.width}`,
    view.isMobile && got.width !== view.width && `the layout viewport is ${got.width} px, not the device's ${view.width}`,
    ...few(got.wider)]);
  await check(`${label}: link text at least 16 px, every link at least 24 x 24 px`, async () => [
    !got.hasLinks && 'no link', ...few(got.small), got.fieldFont < 16 && `the search field's text is ${got.fieldFont} px`,
    ...few(got.targets)]);
  if (!view.isMobile) {
    await check(`${label}: lines no wider than 45rem`, async () =>
      [got.lines > MAX_LINE && `a block is ${Math.round(got.lines)} px wide`]);
  }
  if (colours) {
    await check(`${label}: every text and link at 4.5:1, visited links told apart at 4.5:1, the field's border at 3:1`, async () => {
      const got = await page.evaluate(readColours);
      const visited = await visitedColours(page);
      const problems = [];
      const texts = got.texts.map((t) => ({...t, fg: rgba(t.fg), bg: flatten(t.bg)}));
      const field = got.field && {fg: rgba(got.field.fg), bg: flatten(got.field.bg),
        border: rgba(got.field.border), page: flatten(got.field.page)};
      for (const t of texts) {
        if (!t.fg || !t.bg) { problems.push(`${t.what}: colour unknown`); continue; }
        const ratio = contrast(t.fg, t.bg);
        if (ratio < 4.5) problems.push(`${t.what} ${ratio.toFixed(2)}:1`);
        if (t.link < 0) continue;
        const v = visited[t.link];
        if (!v) { problems.push(`${t.what}: visited colour unknown`); continue; }
        if (show(v.slice(0, 3)) === show(t.fg.slice(0, 3))) problems.push(`${t.what}: visited looks as unvisited`);
        const vr = contrast(v, t.bg);
        if (vr < 4.5) problems.push(`${t.what} visited ${vr.toFixed(2)}:1`);
      }
      if (!field) problems.push('no search field');
      else if (!field.fg || !field.bg || !field.border || !field.page) problems.push('the search field\'s colours unknown');
      else {
        const text = contrast(field.fg, field.bg);
        const edge = contrast(field.border, field.page);
        if (text < 4.5) problems.push(`the search field's text ${text.toFixed(2)}:1`);
        if (edge < 3) problems.push(`the search field's border ${edge.toFixed(2)}:1 (want 3:1)`);
      }
      return [texts.filter((t) => t.link >= 0).length < 5 && 'fewer than five links measured', ...few(problems)];
    });
  }
  if (axe) {
    await check(`${label}: axe-core finds no violation`, async () => {
      await page.evaluate(axeSource);
      const result = await page.evaluate(async () => {
        const r = await window.axe.run(document, {resultTypes: ['violations']});
        return r.violations.map((v) => `${v.id} (${v.nodes.length}: ${v.nodes[0].target.join(' ')})`);
      });
      return few(result);
    });
  }
}

// Everything the page asks for while it is read and searched: the page itself.
async function staysHome(page, url, label, dialogs) {
  const requests = [];
  const onRequest = (r) => requests.push(r.url());
  page.on('request', onRequest);
  const errors = [];
  const onError = (e) => errors.push(e.message.split('\n')[0]);
  page.on('pageerror', onError);
  await page.evaluateOnNewDocument(() => {
    window.orvViolations = [];
    document.addEventListener('securitypolicyviolation', (e) => window.orvViolations.push(`${e.violatedDirective} ${e.blockedURI}`));
  });
  await open(page, url, {view: VIEWS[1][1]});
  await page.focus('[role="search"] input');
  await page.keyboard.type('ぶっく');
  await page.evaluate(() => window.scrollTo(0, document.scrollingElement.scrollHeight));
  await new Promise((r) => setTimeout(r, 300));
  const violations = await page.evaluate(() => window.orvViolations);
  page.off('request', onRequest);
  page.off('pageerror', onError);
  await check(`${label}: no request but the page itself, no blocked request, no script error`, async () => [
    ...requests.filter((u) => u !== url && !u.startsWith('data:')).map((u) => `asked for ${u}`),
    !requests.includes(url) && 'the page itself was not requested',
    ...violations.map((v) => `blocked: ${v}`), ...errors.map((e) => `script error: ${e}`)]);
  await check(`${label}: a title with <script> is text, no dialog`, async () => {
    const got = await page.evaluate((t) => ({
      titles: [...document.querySelectorAll('main a')].filter((a) => a.textContent === t).length,
      scripts: document.scripts.length, alerts: [...document.scripts].filter((s) => s.text.includes('alert(1)')).length,
    }), SCRIPT_TITLE);
    return [differ('links with that title', got.titles, 1), differ('scripts', got.scripts, 1),
      differ('scripts holding alert(1)', got.alerts, 0), differ('dialogs', dialogs, [])];
  });
}

// Without script the page is the whole list; with it, the field comes into
// the room kept for it and nothing below moves.
async function searchArrives(page, url, label) {
  const {identifier} = await page.evaluateOnNewDocument(() => {
    // The parser runs this before it runs the page's script.
    new MutationObserver((records, observer) => {
      const nav = document.querySelector('nav');
      if (!nav || !document.querySelector('main')) return;
      window.orvNavTop = nav.getBoundingClientRect().top;
      observer.disconnect();
    }).observe(document, {childList: true, subtree: true});
  });
  const navTop = () => ({before: window.orvNavTop, after: document.querySelector('nav').getBoundingClientRect().top});
  try {
    for (const [name, view] of VIEWS.slice(0, 1).concat(VIEWS.slice(2))) {
      await open(page, url, {view});
      await check(`${label} ${name}: the search field comes without moving the genres or the list`, async () => {
        const got = await page.evaluate(navTop);
        return [typeof got.before !== 'number' && 'the genres were not seen before the script',
          Math.abs(got.after - got.before) > 0.5 && `the genres moved from ${got.before} to ${got.after}`];
      });
    }
  } finally {
    await page.removeScriptToEvaluateOnNewDocument(identifier);
  }
  await open(page, url, {view: VIEWS[0][1], script: false});
  await check(`${label}: without script every link is there and no room is kept for a search`, async () => {
    const got = await page.evaluate(() => ({
      search: !!document.querySelector('[role="search"]'),
      shown: [...document.querySelectorAll('main a')].filter((a) => a.checkVisibility()).length,
      gap: Math.round(document.querySelector('nav').getBoundingClientRect().top - document.querySelector('header').getBoundingClientRect().bottom),
    }));
    return [differ('search field', got.search, false), differ('links shown', got.shown, ALL.length),
      got.gap > 32 && `${got.gap} px between the heading and the genres`];
  });
  await page.setJavaScriptEnabled(true);
}

async function runSteps(page, cdp, steps, url) {
  const problems = [];
  for (const [what, arg] of steps) {
    if (what === 'type') await page.keyboard.type(arg);
    else if (what === 'press') await page.keyboard.press(arg);
    else if (what === 'blur') await page.evaluate(() => document.activeElement.blur());
    else if (what === 'compose') await cdp.send('Input.imeSetComposition', {text: arg, selectionStart: arg.length, selectionEnd: arg.length});
    else if (what === 'commit') await cdp.send('Input.insertText', {text: arg});
    else if (what === 'key229') {
      await cdp.send('Input.dispatchKeyEvent', {type: 'rawKeyDown', windowsVirtualKeyCode: 229, key: arg, code: arg});
      await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', windowsVirtualKeyCode: 229, key: arg, code: arg});
    } else if (what === 'expect') {
      // A navigation, if one comes, starts within this time; a list, if
      // filtered later than the keystroke, is filtered by the next frame.
      await new Promise((r) => setTimeout(r, arg.url ? 300 : 0));
      if (page.url() === url) await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
      if (arg.url) problems.push(differ('location', page.url(), arg.url === 'same' ? url : arg.url));
      if (page.url() !== url) break;
      const got = await page.evaluate(readList);
      if (arg.value !== undefined) problems.push(differ('field', got.value, arg.value));
      if (arg.focused !== undefined) problems.push(differ('field focused', got.focused, arg.focused));
      if (arg.shown) {
        problems.push(differ('titles shown', sorted(got.shown.map(clip)), sorted(arg.shown.map(clip))),
          differ('hit counter', got.count, COUNT(arg.shown.length)),
          arg.shown.length === 0 && got.sections && `${got.sections} sections shown without a link`);
      }
    }
  }
  return problems;
}

async function search(page, url, label) {
  await page.setViewport(VIEWS[1][1]);
  const cdp = await page.createCDPSession();
  try {
    await open(page, url);
    await check(`${label}: a labelled search field before the list, the counter shows every link`, async () => {
      const got = await page.evaluate(() => {
        const box = document.querySelector('[role="search"]');
        const field = box && box.querySelector('input[type="search"]');
        const main = document.querySelector('main');
        return {
          box: !!box, field: !!field, label: field && field.labels.length ? field.labels[0].textContent : null,
          before: !!box && !!(box.compareDocumentPosition(main) & Node.DOCUMENT_POSITION_FOLLOWING),
          status: (() => {
            const s = box && box.querySelector('[role="status"]');
            return s ? [s.getAttribute('aria-live'), s.textContent] : null;
          })(),
        };
      });
      return [differ('search landmark', got.box, true), differ('search field', got.field, true),
        differ('label', got.label, 'リンクを探す'), differ('before <main>', got.before, true),
        differ('counter', got.status, ['polite', COUNT(ALL.length)])];
    });
    for (const [what, query, shown] of QUERIES) {
      await check(`${label} search: ${what} ("${query}")`, async () => {
        await open(page, url);
        await page.focus('[role="search"] input');
        return runSteps(page, cdp, [['type', query], ['expect', {shown}]], url);
      });
    }
    for (const [what, steps] of KEYS) {
      await check(`${label} search: ${what}`, async () => {
        await open(page, url);
        await page.focus('[role="search"] input');
        return runSteps(page, cdp, steps, url);
      });
    }
  } finally {
    await cdp.detach().catch(() => {});
  }
}

// What a query finds, by the rule a reader is promised: any case, full or
// half width, hiragana or katakana, in title, genre or address.
function fold(s) {
  return s.normalize('NFKC').toLowerCase().replace(/[\u3041-\u3096]/g, (c) => String.fromCharCode(c.charCodeAt(0) + 0x60));
}

// FCP of |url| on a phone, the median of three loads; and how far the
// content moved while it loaded.
async function firstPaint(page, url) {
  await page.setViewport(VIEWS[1][1]);
  await page.evaluateOnNewDocument(() => {
    window.orvShift = 0;
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) if (!e.hadRecentInput) window.orvShift += e.value;
    }).observe({type: 'layout-shift', buffered: true});
  });
  const runs = [];
  for (let i = 0; i < 3; ++i) {
    await open(page, url);
    runs.push(await page.evaluate(() => new Promise((done) => setTimeout(() => done({
      fcp: (performance.getEntriesByName('first-contentful-paint')[0] || {}).startTime,
      shift: window.orvShift,
    }), 300))));
  }
  return {fcp: median(runs.map((r) => r.fcp)), shift: Math.max(...runs.map((r) => r.shift))};
}

// Twenty keystrokes as a person types them (a query and back to empty),
// each timed from its input event to the updated hit counter and to the
// next frame; the counter must say what the query finds.
async function typingTimes(page, url) {
  await open(page, url, {view: VIEWS[1][1]});
  const rows = await page.evaluate(() => [...document.querySelectorAll('main section')].flatMap((s) => {
    const genre = s.querySelector('h2').firstChild.nodeValue;
    return [...s.querySelectorAll('a')].map((a) => {
      let href = a.getAttribute('href');
      try { href = decodeURI(href); } catch (e) { /* kept as written */ }
      return `${a.textContent}\n${genre}\n${href}`;
    });
  }));
  const haystacks = rows.map(fold);
  await page.focus('[role="search"] input');
  await new Promise((r) => setTimeout(r, 500));
  await page.evaluate(() => {
    window.orvTimes = [];
    let now = null;
    document.addEventListener('input', (e) => { now = {start: e.timeStamp}; }, true);
    window.addEventListener('input', () => {
      const t = now;
      t.counted = performance.now() - t.start;
      t.count = document.querySelector('[role="status"]').textContent;
      requestAnimationFrame(() => setTimeout(() => {
        t.painted = performance.now() - t.start;
        window.orvTimes.push(t);
      }, 0));
    });
  });
  const keys = [...'daily news'.split(''), ...Array(10).fill('Backspace')];
  const problems = [];
  let query = '';
  for (const [i, key] of keys.entries()) {
    if (key === 'Backspace') query = query.slice(0, -1);
    else query += key;
    await page.keyboard.press(key);
    await page.waitForFunction((n) => window.orvTimes.length === n, {}, i + 1);
    const words = fold(query).split(/\s+/).filter(Boolean);
    const want = haystacks.filter((h) => words.every((w) => h.includes(w))).length;
    const got = await page.evaluate((n) => window.orvTimes[n].count, i);
    if (got !== COUNT(want)) problems.push(`after "${query}" the counter says ${got}, want ${COUNT(want)}`);
  }
  const times = await page.evaluate(() => window.orvTimes);
  return {links: rows.length, counted: median(times.map((t) => t.counted)), painted: median(times.map((t) => t.painted)), problems};
}

async function main() {
  const args = process.argv.slice(2);
  let keep = null;
  for (let i = 0; i < args.length; ++i) {
    if (args[i] === '--keep') keep = path.resolve(args[++i]);
    else { console.error(`browser-today: unknown argument ${args[i]}`); process.exit(2); }
  }
  if (!fs.existsSync(ORVBENCH)) {
    await check('build/native/orvbench is there', async () => ['run scripts/build.sh first']);
    return;
  }
  const work = keep || fs.mkdtempSync(path.join(os.tmpdir(), 'orv-today-'));
  fs.mkdirSync(work, {recursive: true});
  const pages = {};
  try {
    fs.writeFileSync(path.join(work, 'sample.bookmarks.html'), bookmarkFile(SAMPLE));
    pages.sample = path.join(work, 'sample.html');
    let made;
    await check('orvbench writes the sample page of every bookmark', async () => {
      made = writePage(['today-from', `html:${path.join(work, 'sample.bookmarks.html')}`, pages.sample]);
      return [differ('links', made.links, SAMPLE.length)];
    });
    for (const n of [1000, 5000, 30000]) {
      pages[n] = path.join(work, `today-${n}.html`);
      await check(`orvbench writes a page of ${n} links`, async () => {
        made = writePage(['today', pages[n], String(n), '1']);
        console.log(`# ${n} links: ${made.bytes} bytes (${(made.bytes / 1048576).toFixed(2)} MiB)`);
        return [differ('links', made.links, n)];
      });
    }
    if (!fs.existsSync(pages.sample)) return;

    const chromium = await launch('ja-JP');
    const {page} = chromium;
    page.setDefaultTimeout(20000);
    const dialogs = [];
    page.on('dialog', (d) => { dialogs.push(d.message()); d.dismiss().catch(() => {}); });
    // A group that breaks off (a page without its field, say) is one failure;
    // the others still run.
    const group = async (label, fn) => {
      try {
        await fn();
      } catch (e) {
        await check(`${label}: the checks ran to the end`, async () => [e.message.split('\n')[0]]);
      }
    };
    try {
      const sample = pathToFileURL(pages.sample).href;
      await group('sample', () => staysHome(page, sample, 'sample', dialogs));
      for (const [name, view] of VIEWS) {
        for (const scheme of SCHEMES) {
          const label = `sample ${name} ${scheme}`;
          await group(label, () => looks(page, sample, label, view, scheme));
        }
      }
      await group('sample', () => searchArrives(page, sample, 'sample'));
      await group('sample search', () => search(page, sample, 'sample'));
      if (fs.existsSync(pages[1000])) {
        const url = pathToFileURL(pages[1000]).href;
        await group('1000 links', async () => {
          await looks(page, url, '1000 links phone 320 light', VIEWS[0][1], 'light', {colours: false});
          await looks(page, url, '1000 links desktop 1280 dark', VIEWS[2][1], 'dark', {axe: false, colours: false});
        });
      }
      if (fs.existsSync(pages[30000])) {
        await check('30000 links on a phone: first contentful paint within 1 s, nothing moves as the search comes', async () => {
          const {fcp, shift} = await firstPaint(page, pathToFileURL(pages[30000]).href);
          console.log(`# first contentful paint at 30000 links on a phone: ${Math.round(fcp)} ms, layout shift ${shift.toFixed(3)}`);
          return [!(fcp < 1000) && `first contentful paint at ${fcp} ms`, shift > 0.01 && `layout shift ${shift.toFixed(3)}`];
        });
      }
      for (const [n, limit] of [[5000, 50], [30000, 250]]) {
        if (!fs.existsSync(pages[n])) continue;
        await check(`${n} links: the counter follows every keystroke within ${limit} ms (median of 20)`, async () => {
          const t = await typingTimes(page, pathToFileURL(pages[n]).href);
          console.log(`# ${n} links: median ${t.counted.toFixed(1)} ms to the hit counter, ${t.painted.toFixed(1)} ms to the next frame`);
          return [differ('links read', t.links, n), ...few(t.problems), t.counted > limit && `median ${t.counted.toFixed(1)} ms`];
        });
      }
    } finally {
      await chromium.close();
    }
  } finally {
    if (!keep) fs.rmSync(work, {recursive: true, force: true});
  }
}

(async () => {
  // A hung browser must not hang the test command.
  setTimeout(() => {
    console.log('not ok - the check ran over 180 s and was stopped');
    console.log(`browser-today: ${passed} passed, ${failed + 1} failed`);
    process.exit(1);
  }, 180000).unref();
  await main();
  console.log(`browser-today: ${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
})().catch((e) => {
  console.log(`not ok - the check: ${e.message}`);
  console.log(`browser-today: ${passed} passed, ${failed + 1} failed`);
  process.exit(1);
});
