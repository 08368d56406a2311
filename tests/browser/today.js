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
const {reporter, show, differ, firstLine, VIEWS, SCHEMES, few, sleep, readLayout, open, axeViolations} =
  require('./harness');

const {check, fail, group, need, options, run, browse} = reporter('browser-today');
const {keep} = options({keep: {type: 'string'}});
const axeSource = need(() => require('./chromium') && fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
const ORVBENCH = path.resolve(__dirname, '../../build/native/orvbench');

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

const [PHONE_320, PHONE_390, DESKTOP] = VIEWS.map((v) => v[1]);
// 45rem: about forty Japanese characters a line.
const MAX_LINE = 45 * 16;

const sorted = (list) => [...list].sort();
const clip = (text) => (text.length > 24 ? `${text.slice(0, 24)}...` : text);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor((xs.length - 1) / 2)];
// differ for each key of want, named by it.
const differAll = (got, want) => Object.entries(want).map(([what, value]) => differ(what, got[what], value));

const escapeHtml = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
function bookmarkFile(rows) {
  const folders = [...new Set(rows.map((r) => r[0]))].map((folder) => {
    const links = rows.filter((r) => r[0] === folder)
      .map(([, title, href]) => `<DT><A HREF="${escapeHtml(href)}">${escapeHtml(title)}</A>`);
    return folder ? [`<DT><H3>${escapeHtml(folder)}</H3>`, '<DL><p>', ...links, '</DL><p>'] : links;
  });
  return ['<!DOCTYPE NETSCAPE-Bookmark-file-1>', '<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">',
    '<TITLE>Bookmarks</TITLE>', '<DL><p>', ...folders.flat(), '</DL><p>', ''].join('\n');
}

// orvbench's line "today N links B bytes S ok" as {links, bytes}.
function writePage(args) {
  const out = execFileSync(ORVBENCH, args, {encoding: 'utf8'});
  const m = /^today (\d+) links (\d+) bytes [\d.]+ ok$/m.exec(out);
  if (!m) throw new Error(`orvbench ${args.join(' ')}: ${out.trim()}`);
  return {links: Number(m[1]), bytes: Number(m[2])};
}

// Recorded in every page from its start: what its policy blocked, where the
// genres stood before its script ran (the parser runs this first), and how
// far its content moved.
function watchLoad() {
  Object.assign(window, {orvViolations: [], orvShift: 0});
  document.addEventListener('securitypolicyviolation',
    (e) => window.orvViolations.push(`${e.violatedDirective} ${e.blockedURI}`));
  new MutationObserver((records, observer) => {
    const nav = document.querySelector('nav');
    if (!nav || !document.querySelector('main')) return;
    window.orvNavTop = nav.getBoundingClientRect().top;
    observer.disconnect();
  }).observe(document, {childList: true, subtree: true});
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) if (!e.hadRecentInput) window.orvShift += e.value;
  }).observe({type: 'layout-shift', buffered: true});
}

// What a reader sees of the search and the list: titles and genres shown,
// the hit counter, the field, its label and its place.
function readList() {
  const box = document.querySelector('[role="search"]');
  const field = document.querySelector('[role="search"] input');
  const typed = box && box.querySelector('input[type="search"]');
  const status = box && box.querySelector('[role="status"]');
  const shown = (s) => [...document.querySelectorAll(s)].filter((el) => el.checkVisibility());
  return {
    shown: shown('main a').map((a) => a.textContent),
    sections: shown('main section').length,
    count: (document.querySelector('[role="status"]') || {}).textContent,
    value: field ? field.value : null,
    focused: !!field && document.activeElement === field,
    'search landmark': !!box,
    'search field': !!typed,
    label: typed && typed.labels.length ? typed.labels[0].textContent : null,
    'before <main>': !!box && !!(box.compareDocumentPosition(document.querySelector('main')) & Node.DOCUMENT_POSITION_FOLLOWING),
    counter: status ? [status.getAttribute('aria-live'), status.textContent] : null,
  };
}

// Every element with text of its own: its colour, the colours under it (its
// own background and its ancestors', topmost first, down to an opaque one),
// the contrast it needs and |link|, its index among the links or -1; then
// the search field's text on its background and its border on the page.
function readColours() {
  const style = (el) => getComputedStyle(el);
  const under = (el) => (el ? [style(el).backgroundColor, ...under(el.parentElement)] : []);
  const pairs = [...document.body.querySelectorAll('*')].filter((el) => el.checkVisibility() &&
    [...el.childNodes].some((n) => n.nodeType === 3 && n.nodeValue.trim())).map((el) => ({
    what: `${el.localName} "${el.textContent.slice(0, 20)}"`, link: el.localName === 'a' ? [...document.links].indexOf(el) : -1,
    fg: style(el).color, bg: under(el), min: 4.5,
  }));
  const field = document.querySelector('[role="search"] input');
  if (field) {
    pairs.push({what: 'the search field\'s text', link: -1, fg: style(field).color, bg: under(field), min: 4.5},
      {what: 'the search field\'s border', link: -1, fg: style(field).borderTopColor, bg: under(field.parentElement), min: 3});
  }
  return {pairs, field: !!field};
}

// A computed colour as [r, g, b, alpha], or null.
function rgba(css) {
  const m = /^rgba?\(([^)]*)\)$/.exec(css || '');
  const v = m && m[1].split(/[\s,/]+/).filter(Boolean).map(Number);
  return v && [v[0], v[1], v[2], v.length > 3 ? v[3] : 1];
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
  const lum = (c) => c.slice(0, 3).map((v) => v / 255).map((s) => (s <= 0.03928 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4))
    .reduce((sum, s, i) => sum + s * [0.2126, 0.7152, 0.0722][i], 0);
  const [hi, lo] = [lum(blend(fg, bg)), lum(bg)].sort((a, b) => b - a);
  return (hi + 0.05) / (lo + 0.05);
}

async function withCdp(page, fn) {
  const cdp = await page.createCDPSession();
  try { return await fn(cdp); } finally { await cdp.detach().catch(() => {}); }
}

// The colours of :visited are hidden from the page; DevTools can force them.
const visitedColours = (page) => withCdp(page, async (cdp) => {
  for (const domain of ['DOM', 'CSS']) await cdp.send(`${domain}.enable`);
  const {root} = await cdp.send('DOM.getDocument', {depth: 0});
  const {nodeIds} = await cdp.send('DOM.querySelectorAll', {nodeId: root.nodeId, selector: 'a[href]'});
  const colours = [];
  for (const nodeId of nodeIds) {
    const force = (forcedPseudoClasses) => cdp.send('CSS.forcePseudoState', {nodeId, forcedPseudoClasses});
    await force(['visited']);
    const {computedStyle} = await cdp.send('CSS.getComputedStyleForNode', {nodeId});
    await force([]);
    colours.push(rgba(computedStyle.find((p) => p.name === 'color').value));
  }
  return colours;
});

// Each text and link against what is under it; each visited link against
// the same, in a colour of its own.
async function contrasts(page) {
  const got = await page.evaluate(readColours);
  const visited = await visitedColours(page);
  const pairs = got.pairs.map((p) => ({...p, fg: rgba(p.fg), bg: flatten(p.bg)}));
  const links = pairs.filter((p) => p.link >= 0);
  pairs.push(...links.map((t) => ({what: `${t.what} visited`, fg: visited[t.link], bg: t.bg, min: 4.5, unvisited: t.fg})));
  return [!got.field && 'no search field', links.length < 5 && 'fewer than five links measured',
    ...pairs.flatMap(({what, fg, bg, min, unvisited}) => {
      const ratio = fg && bg && contrast(fg, bg);
      if (!ratio) return [`${what}: colour unknown`];
      return [ratio < min && `${what} ${ratio.toFixed(2)}:1 (want ${min}:1)`,
        unvisited && show(fg.slice(0, 3)) === show(unvisited.slice(0, 3)) && `${what} looks as unvisited`];
    })];
}


async function looks({page, url, label}, view, scheme, {axe = true, colours = true} = {}) {
  await open(page, url, {view, scheme});
  // Sections out of view are laid out only when they come near: for the
  // checks of sizes, every one as it is once scrolled to.
  await page.addStyleTag({content: 'section { content-visibility: visible !important; }'});
  const got = await page.evaluate(readLayout, view, MAX_LINE);
  // [check, whether it is made here, its problems]
  const checks = [
    ['nothing scrolls sideways, long titles and addresses wrap', true, async () => got.sideways],
    ['link text at least 16 px, every link at least 24 x 24 px', true, async () => got.sizes],
    ['lines no wider than 45rem', !view.isMobile, async () => got.lines],
    ['every text and link at 4.5:1, visited links told apart at 4.5:1, the field\'s border at 3:1', colours,
      () => contrasts(page)],
    ['axe-core finds no violation', axe, () => axeViolations(page, axeSource)],
  ];
  for (const [name, made, fn] of checks) {
    if (made) await check(`${label}: ${name}`, async () => few((await fn()).filter(Boolean)));
  }
}

// Everything the page asks for while it is read and searched: the page itself.
async function staysHome({page, url, label, dialogs}) {
  const [requests, errors] = [[], []];
  const onRequest = (r) => requests.push(r.url());
  const onError = (e) => errors.push(firstLine(e));
  page.on('request', onRequest).on('pageerror', onError);
  await open(page, url, {focus: true});
  await page.keyboard.type('ぶっく');
  await page.evaluate(() => window.scrollTo(0, document.scrollingElement.scrollHeight));
  await sleep(300);
  const violations = await page.evaluate(() => window.orvViolations);
  page.off('request', onRequest).off('pageerror', onError);
  await check(`${label}: no request but the page itself, no blocked request, no script error`, async () => [
    ...requests.filter((u) => u !== url && !u.startsWith('data:')).map((u) => `asked for ${u}`),
    !requests.includes(url) && 'the page itself was not requested',
    ...violations.map((v) => `blocked: ${v}`), ...errors.map((e) => `script error: ${e}`)]);
  await check(`${label}: a title with <script> is text, no dialog`, async () => differAll({dialogs,
    ...await page.evaluate((t) => ({
      'links with that title': [...document.querySelectorAll('main a')].filter((a) => a.textContent === t).length,
      scripts: document.scripts.length,
      'scripts holding alert(1)': [...document.scripts].filter((s) => s.text.includes('alert(1)')).length,
    }), SCRIPT_TITLE)}, {'links with that title': 1, scripts: 1, 'scripts holding alert(1)': 0, dialogs: []}));
}

// Without script the page is the whole list; with it, the field comes into
// the room kept for it and nothing below moves.
async function searchArrives({page, url, label}) {
  for (const [name, view] of VIEWS.filter((v) => v[1] !== PHONE_390)) {
    await open(page, url, {view});
    await check(`${label} ${name}: the search field comes without moving the genres or the list`, async () => {
      const got = await page.evaluate(() =>
        ({before: window.orvNavTop, after: document.querySelector('nav').getBoundingClientRect().top}));
      return [typeof got.before !== 'number' && 'the genres were not seen before the script',
        Math.abs(got.after - got.before) > 0.5 && `the genres moved from ${got.before} to ${got.after}`];
    });
  }
  await open(page, url, {view: PHONE_320, script: false});
  await check(`${label}: without script every link is there and no room is kept for a search`, async () => {
    const got = await page.evaluate(readList);
    const gap = await page.evaluate(() => Math.round(document.querySelector('nav').getBoundingClientRect().top -
      document.querySelector('header').getBoundingClientRect().bottom));
    return [differ('search landmark', got['search landmark'], false), differ('links shown', got.shown.length, ALL.length),
      gap > 32 && `${gap} px between the heading and the genres`];
  });
}

// What each step of a row does, but expect.
const STEPS = {
  type: ({page}, text) => page.keyboard.type(text),
  press: ({page}, key) => page.keyboard.press(key),
  blur: ({page}) => page.evaluate(() => document.activeElement.blur()),
  compose: ({cdp}, text) => cdp.send('Input.imeSetComposition', {text, selectionStart: text.length, selectionEnd: text.length}),
  commit: ({cdp}, text) => cdp.send('Input.insertText', {text}),
  key229: async ({cdp}, key) => {
    for (const type of ['rawKeyDown', 'keyUp'])
      await cdp.send('Input.dispatchKeyEvent', {type, windowsVirtualKeyCode: 229, key, code: key});
  },
};

async function runSteps(page, cdp, steps, url) {
  const problems = [];
  for (const [what, arg] of steps) {
    if (what !== 'expect') { await STEPS[what]({page, cdp}, arg); continue; }
    // A navigation, if one comes, starts within this time; a list, if
    // filtered later than the keystroke, is filtered by the next frame.
    await sleep(arg.url ? 300 : 0);
    if (page.url() === url) await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
    if (arg.url) problems.push(differ('location', page.url(), arg.url === 'same' ? url : arg.url));
    if (page.url() !== url) break;
    const got = await page.evaluate(readList);
    for (const [key, name] of [['value', 'field'], ['focused', 'field focused']])
      if (arg[key] !== undefined) problems.push(differ(name, got[key], arg[key]));
    if (arg.shown) {
      problems.push(differ('titles shown', sorted(got.shown.map(clip)), sorted(arg.shown.map(clip))),
        differ('hit counter', got.count, COUNT(arg.shown.length)),
        arg.shown.length === 0 && got.sections && `${got.sections} sections shown without a link`);
    }
  }
  return problems;
}

const search = ({page, url}, label) => withCdp(page, async (cdp) => {
  await open(page, url);
  await check(`${label}: a labelled search field before the list, the counter shows every link`, async () =>
    differAll(await page.evaluate(readList), {'search landmark': true, 'search field': true, label: 'リンクを探す',
      'before <main>': true, counter: ['polite', COUNT(ALL.length)]}));
  for (const [what, steps] of [...QUERIES.map(([name, query, shown]) =>
    [`${name} ("${query}")`, [['type', query], ['expect', {shown}]]]), ...KEYS]) {
    await check(`${label} search: ${what}`, async () => {
      await open(page, url, {focus: true});
      return runSteps(page, cdp, steps, url);
    });
  }
});

// What a query finds, by the rule a reader is promised: any case, full or
// half width, hiragana or katakana, in title, genre or address.
function fold(s) {
  return s.normalize('NFKC').toLowerCase().replace(/[\u3041-\u3096]/g, (c) => String.fromCharCode(c.charCodeAt(0) + 0x60));
}

// FCP on a phone, the median of three loads, within 1 s; and how far the
// content moved while it loaded.
const firstPaint = ({page, url, label}) =>
  check(`${label}: first contentful paint within 1 s, nothing moves as the search comes`, async () => {
    const runs = [];
    for (let i = 0; i < 3; ++i) {
      await open(page, url);
      runs.push(await page.evaluate(() => new Promise((done) => setTimeout(() => done({
        fcp: (performance.getEntriesByName('first-contentful-paint')[0] || {}).startTime, shift: window.orvShift,
      }), 300))));
    }
    const fcp = median(runs.map((r) => r.fcp));
    const shift = Math.max(...runs.map((r) => r.shift));
    console.log(`# first contentful paint at ${label}: ${Math.round(fcp)} ms, layout shift ${shift.toFixed(3)}`);
    return [!(fcp < 1000) && `first contentful paint at ${fcp} ms`, shift > 0.01 && `layout shift ${shift.toFixed(3)}`];
  });

// Twenty keystrokes as a person types them (a query and back to empty), each
// timed from its input event to the updated hit counter (the median within
// |limit| ms) and to the next frame; the counter says what the query finds.
const typingTimes = ({page, url, label}, n, limit) =>
  check(`${label}: the counter follows every keystroke within ${limit} ms (median of 20)`, async () => {
    await open(page, url);
    const haystacks = (await page.evaluate(() => [...document.querySelectorAll('main section')].flatMap((s) =>
      [...s.querySelectorAll('a')].map((a) => {
        let href = a.getAttribute('href');
        try { href = decodeURI(href); } catch (e) { /* kept as written */ }
        return `${a.textContent}\n${s.querySelector('h2').firstChild.nodeValue}\n${href}`;
      })))).map(fold);
    await page.focus('[role="search"] input');
    await sleep(500);
    await page.evaluate(() => {
      window.orvTimes = [];
      // Last of all to see the input event: the counter is as the page left it.
      window.addEventListener('input', (e) => {
        const t = {count: document.querySelector('[role="status"]').textContent, counted: performance.now() - e.timeStamp};
        const painted = () => window.orvTimes.push({...t, painted: performance.now() - e.timeStamp});
        requestAnimationFrame(() => setTimeout(painted, 0));
      });
    });
    const problems = [];
    let query = '';
    for (const [i, key] of [...'daily news', ...Array(10).fill('Backspace')].entries()) {
      query = key === 'Backspace' ? query.slice(0, -1) : query + key;
      await page.keyboard.press(key);
      await page.waitForFunction((k) => window.orvTimes.length === k, {}, i + 1);
      const words = fold(query).split(/\s+/).filter(Boolean);
      const want = COUNT(haystacks.filter((h) => words.every((w) => h.includes(w))).length);
      const got = await page.evaluate((k) => window.orvTimes[k].count, i);
      if (got !== want) problems.push(`after "${query}" the counter says ${got}, want ${want}`);
    }
    const times = await page.evaluate(() => window.orvTimes);
    const [counted, painted] = ['counted', 'painted'].map((k) => median(times.map((t) => t[k])));
    console.log(`# ${label}: median ${counted.toFixed(1)} ms to the hit counter, ${painted.toFixed(1)} ms to the next frame`);
    return [differ('links read', haystacks.length, n), ...few(problems), counted > limit && `median ${counted.toFixed(1)} ms`];
  });

// The pages orvbench writes: [name, what, its arguments for the page's file, links].
const bookmarks = (file) => path.join(path.dirname(file), 'sample.bookmarks.html');
const PAGES = [
  ['sample', 'the sample page of every bookmark', (file) => ['today-from', `html:${bookmarks(file)}`, file], SAMPLE.length],
  ...[1000, 5000, 30000].map((n) => [n, `a page of ${n} links`, (file) => ['today', file, String(n), '1'], n])];
// [page, label, checks, what they are given beyond the page]
const GROUPS = [
  ['sample', 'sample', staysHome],
  ...VIEWS.flatMap(([name, view]) => SCHEMES.map((scheme) => ['sample', `sample ${name} ${scheme}`, looks, view, scheme])),
  ['sample', 'sample', searchArrives],
  ['sample', 'sample search', search, 'sample'],
  [1000, '1000 links phone 320 light', looks, PHONE_320, 'light', {colours: false}],
  [1000, '1000 links desktop 1280 dark', looks, DESKTOP, 'dark', {axe: false, colours: false}],
  [30000, '30000 links on a phone', firstPaint],
  [5000, '5000 links', typingTimes, 5000, 50],
  [30000, '30000 links', typingTimes, 30000, 250],
];

run('the check', 180, async () => {
  if (!fs.existsSync(ORVBENCH)) return fail('build/native/orvbench is there', 'run scripts/build.sh first');
  const work = keep ? path.resolve(keep) : fs.mkdtempSync(path.join(os.tmpdir(), 'orv-today-'));
  fs.mkdirSync(work, {recursive: true});
  const files = Object.fromEntries(PAGES.map(([name]) => [name, path.join(work, `today-${name}.html`)]));
  try {
    fs.writeFileSync(bookmarks(files.sample), bookmarkFile(SAMPLE));
    for (const [name, what, argsFor, links] of PAGES) {
      await check(`orvbench writes ${what}`, async () => {
        const got = writePage(argsFor(files[name]));
        console.log(`# ${links} links: ${got.bytes} bytes (${(got.bytes / 1048576).toFixed(2)} MiB)`);
        return [differ('links', got.links, links)];
      });
    }
    if (!fs.existsSync(files.sample)) return undefined;
    return await browse('ja-JP', async (page, dialogs) => {
      page.setDefaultTimeout(20000);
      await page.evaluateOnNewDocument(watchLoad);
      for (const [name, label, checks, ...more] of GROUPS) {
        const url = pathToFileURL(files[name]).href;
        if (fs.existsSync(files[name])) await group(label, () => checks({page, url, label, dialogs}, ...more));
      }
    });
  } finally {
    if (!keep) fs.rmSync(work, {recursive: true, force: true});
  }
});
