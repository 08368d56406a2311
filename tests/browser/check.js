'use strict';
// Opens the pages that the end-to-end suite wrote from its tree of today's
// names (tests/e2e/driver/TodaysNamesScenarios.cpp) and from an Edge profile
// (tests/e2e/driver/BookmarkScenarios.cpp) in headless Chromium,
// once per browser language, and checks what a reader sees and where each
// click leads. One line per check, then "browser: N passed, N failed".
// Usage: node tests/browser/check.js [--work DIR] [--lang TAG]...
const fs = require('fs');
const path = require('path');
const {pathToFileURL, fileURLToPath} = require('url');
const {reporter, show, differItem: differ} = require('./harness');

const {check, fail, group, need, options, run, browse} = reporter('browser');
need(() => require('./chromium'));

// What the suite typed (caption, standard genre, return address) and the
// tree's shortcuts in page order, with the characters a reader must see
// where the files hold references.
const CAPTION = 'Café 〜 😀';
const STD = 'Général';
const BACK = 'http://back.example.com/ü';
const DEEP = 'deep-5-とても長いフォルダの名前-abcdefghijklmnopqrstuvwxyz-0123456789';
const ROWS = [
  ['Ünïcode', 'résumé', 'http://unicode.example.com/resume'],
  [STD, '😀 smile', 'http://emoji.example.com/smile'],
  [STD, '简体中文', 'http://china.example.cn/'],
  [STD, '한국어', 'http://korea.example.kr/'],
  [STD, 'Café', 'http://cafe.example.com/reference'],
  [STD, 'Café', 'http://cafe.example.com/accent'],
  [STD, 'Python – Wikipedia', 'http://wiki.example.org/Python'],
  [STD, '価格¥100', 'http://price.example.jp/yen'],
  [STD, '東京〜大阪', 'http://train.example.jp/tokyo-osaka'],
  [STD, '日本語', 'http://nihongo.example.jp/'],
  ['News', 'plain', 'http://news.example.com/plain'],
  [DEEP, '深い—場所', 'http://deep.example.jp/'],
  ['絵文字😀', '顔', 'http://emoji.example.jp/kao'],
];
const TABLE_HEAD = ['ジャンル', 'リンク'];
const HOME = {text: 'Orvelle v4.00', href: 'http://www.orvelle.example', target: '_top'};
const BACK_SCRIPT = {text: '戻る', href: 'javascript:goback();', target: '_top'};
const backLink = (set) => ({text: '戻る', href: set.back, target: '_top'});
const pageName = (i) => `${String(i + 1).padStart(8, '0')}.html`;
// url: where the browser resolves href to, when that differs.
const rowsOf = (set, genre) => set.rows.filter((r) => genre === undefined || r[0] === genre)
  .map(([g, text, href, url = href]) => ({genre: g, text, href, target: '_top', url}));

// Where the suite wrote each style; the frames went past 260 characters.
const LONG = Array.from({length: 5}, (_, k) =>
  `out-${k + 1}-とても長いフォルダの名前-abcdefghijklmnopqrstuvwxyz-0123456789`);
const PAGES = {
  single: ['Café', 'link.html'],
  anchors: ['絵文字😀', 'top.html'],
  index: ['Ünïcode', 'index.html'],
  frames: ['deep-out', ...LONG, 'frames.html'],
};

// The Edge profile "Café" in page order (kCafe by kCafePageOrder): titles
// with markup, a backslash and characters outside code page 932 must come
// back as text; addresses stay percent-encoded, the host goes to xn--.
const BOOKMARK_ROWS = [
  ['Docs', 'Manual', 'http://docs.example.com/manual'],
  ['Tools\\é', 'Café 〜 😀', 'http://caf%C3%A9.example/men%C3%BC%201', 'http://xn--caf-dma.example/men%C3%BC%201'],
  ['Tools\\é', 'a\\b', 'http://tools.example.com/%E3%80%9Cuser/%F0%9F%98%80'],
  ['お気に入りバー', '<script>alert(1)</script>', 'http://x.example.com/search?q=%22quoted%22'],
  ['その他', 'Plain', 'http://plain.example.com/'],
  ['モバイルのお気に入り', 'モバイル', 'http://m.example.jp/'],
];
const SETS = [
  {tag: '', caption: CAPTION, back: BACK, rows: ROWS, pages: PAGES},
  // Titles hold a script: none of it may run or stand in a page as one.
  {tag: ' bookmarks', caption: 'わたしのお気に入り', back: 'http://back.example.com/', rows: BOOKMARK_ROWS,
    quiet: true, pages: {single: ['bm-single', 'link.html'], anchors: ['bm-anchors', 'top.html'],
      index: ['bm-index', 'index.html'], frames: ['bm-frames', 'frames.html']}},
];
for (const set of SETS) set.genres = [...new Set(set.rows.map((r) => r[0]))];

const given = options({work: {type: 'string'}, lang: {type: 'string', multiple: true}});
let work = path.resolve(given.work || path.join(__dirname, '../../build/e2e-work'));
// GBK is the fallback of zh-CN: another double-byte set the guess could take.
const langs = given.lang || ['en-US', 'de-DE', 'zh-CN'];

const pick = (list, keys) => list.map((o) => Object.fromEntries(keys.map((k) => [k, o[k]])));

// Runs in the page: what a reader sees and where its links go.
function readPage() {
  const link = (a) => ({text: a.innerText.trim(), href: a.getAttribute('href'), target: a.getAttribute('target')});
  const trs = [...document.querySelectorAll('tr')];
  return {
    charset: document.characterSet,
    title: document.title,
    headings: [...document.querySelectorAll('h1')].map((h) => h.innerText),
    heads: trs.filter((tr) => !tr.querySelector('a[href]')).map((tr) => [...tr.cells].map((c) => c.innerText)),
    rows: trs.filter((tr) => tr.querySelector('a[href]')).map((tr) => {
      const a = tr.cells[1].querySelector('a[href]');
      return {genre: tr.cells[0].innerText, ...link(a), url: a.href};
    }),
    links: [...document.querySelectorAll('a[href]')].filter((a) => !a.closest('tr')).map(link),
    // The page's own "goback" script is fine; one from a title is not.
    titleScripts: [...document.scripts].map((s) => s.text).filter((t) => t.includes('alert(1)')),
  };
}

// The three checks every page gets: character set, texts, addresses.
async function checkPage(label, frame, want) {
  const got = await frame.evaluate(readPage);
  await check(`${label}: character set Shift_JIS`, async () => [differ('document.characterSet', got.charset, 'Shift_JIS')]);
  await check(`${label}: title, headings, genre names and link texts`, async () => [
    differ('title', got.title, want.title),
    differ('heading', got.headings, want.headings),
    differ('table head', got.heads, want.heads),
    differ('row', pick(got.rows, ['genre', 'text']), pick(want.rows, ['genre', 'text'])),
    differ('other link', pick(got.links, ['text']), pick(want.links, ['text'])),
  ]);
  await check(`${label}: every link's address and target`, async () => [
    differ('row', pick(got.rows, ['href', 'url', 'target']), pick(want.rows, ['href', 'url', 'target'])),
    differ('other link', pick(got.links, ['href', 'target']), pick(want.links, ['href', 'target'])),
  ]);
  if (want.quiet) {
    await check(`${label}: no <script> from a title`, async () => [differ('script', got.titleScripts, [])]);
  }
  return got;
}

const samePath = (url, file) => url.startsWith('file:') && fileURLToPath(url) === file;
async function linkNamed(frame, text) {
  const handle = await frame.evaluateHandle((t) => [...document.links].find((a) => a.innerText.trim() === t), text);
  const a = handle.asElement();
  if (!a) throw new Error(`no link "${text}"`);
  return a;
}
// Where a fragment link must leave the view: its target at the top, as far
// as the page can scroll.
function scrollSpot(name) {
  const target = document.getElementsByName(name)[0];
  const max = document.scrollingElement.scrollHeight - innerHeight;
  return {
    hash: decodeURIComponent(location.hash.slice(1)), y: scrollY, found: !!target,
    want: target ? Math.max(0, Math.min(Math.round(target.getBoundingClientRect().top + scrollY), max)) : 0,
  };
}

async function single(lang, page, file, set) {
  await page.goto(pathToFileURL(file).href);
  await checkPage(`${lang} single page`, page.mainFrame(), {
    title: set.caption, headings: [set.caption], heads: [TABLE_HEAD], rows: rowsOf(set), links: [BACK_SCRIPT, HOME],
    quiet: set.quiet,
  });
}

async function anchors(lang, page, file, set) {
  const {genres} = set;
  await page.goto(pathToFileURL(file).href);
  await checkPage(`${lang} page with anchors`, page.mainFrame(), {
    title: set.caption, headings: [set.caption], heads: genres.map(() => TABLE_HEAD), rows: rowsOf(set),
    links: [backLink(set), ...genres.map((g) => ({text: `[${g}]`, href: `#${g}`, target: null})),
      ...genres.slice(1).map(() => ({text: '▲', href: '#TOP', target: null})), HOME],
    quiet: set.quiet,
  });
  // A low window, so that a jump has somewhere to go.
  await page.setViewport({width: 800, height: 240});
  for (const [i, g] of genres.entries()) {
    await check(`${lang} page with anchors: [${g}] brings its genre to the top, ▲ goes back up`, async () => {
      await page.evaluate(() => window.scrollTo(0, 0));
      await (await linkNamed(page, `[${g}]`)).click();
      const at = await page.evaluate(scrollSpot, g);
      const problems = [];
      // The first genre starts the page and has no anchor of its own.
      if (i === 0) return [at.found && 'the first genre has an anchor', differ('scroll position', at.y, 0)];
      problems.push(!at.found && `no anchor named "${g}"`, differ('location.hash', at.hash, g),
        differ('scroll position', at.y, at.want), at.want <= 0 && 'the page did not move');
      const ups = await page.$$('a[href="#TOP"]');
      if (!ups[i - 1]) return [...problems, `no ▲ after genre ${i + 1}`];
      await ups[i - 1].click();
      const top = await page.evaluate(scrollSpot, 'TOP');
      problems.push(differ('after ▲ location.hash', top.hash, 'TOP'), differ('after ▲ scroll position', top.y, top.want));
      return problems;
    });
  }
  await page.setViewport({width: 800, height: 600});
}

async function index(lang, page, file, set) {
  const {genres} = set;
  const dir = path.dirname(file);
  const url = pathToFileURL(file).href;
  await page.goto(url);
  await checkPage(`${lang} index page`, page.mainFrame(), {
    title: set.caption, headings: [set.caption], heads: [], rows: [],
    links: [backLink(set), ...genres.map((g, i) => ({text: `[${g}]`, href: pageName(i), target: null}))],
    quiet: set.quiet,
  });
  // Under Wine Z: is the Unix root: the back link names the output file so.
  const driveForm = `Z:${file.split(path.sep).join('\\')}`;
  for (const [i, g] of genres.entries()) {
    const label = `${lang} index page: [${g}]`;
    await page.goto(url);
    await check(`${label} opens ${pageName(i)}`, async () => {
      const a = await linkNamed(page, `[${g}]`);
      await Promise.all([page.waitForNavigation(), a.click()]);
      return [!samePath(page.url(), path.join(dir, pageName(i))) && `the window shows ${page.url()}`];
    });
    if (!samePath(page.url(), path.join(dir, pageName(i)))) continue;
    const got = await checkPage(`${label}: its page`, page.mainFrame(), {
      title: '', headings: [g], heads: [TABLE_HEAD], rows: rowsOf(set, g),
      links: [{text: '戻る', href: driveForm, target: '_top'}, HOME], quiet: set.quiet,
    });
    // A browser outside Windows does not follow a drive path; follow it as
    // Windows would and see the output file.
    await check(`${label}: its page's back link leads to the output file`, async () => {
      const back = got.links[0] && got.links[0].href;
      const m = /^[Zz]:(\\.*)$/.exec(back || '');
      if (!m) return [`the back link is ${show(back)}, no path on drive Z:`];
      const target = m[1].split('\\').join('/');
      if (target !== file) return [`the back link leads to ${target}, not ${file}`];
      await page.goto(pathToFileURL(target).href);
      const shown = await page.evaluate(readPage);
      return [differ('its title', shown.title, set.caption), differ('its menu lines', shown.links.length, genres.length + 1)];
    });
  }
}

async function frames(lang, page, file, set) {
  const {genres} = set;
  const dir = path.dirname(file);
  const menuFile = path.join(dir, 'linkmenu.html');
  await page.goto(pathToFileURL(file).href);
  const top = page.url();
  const frameOf = async (selector) => (await page.$(selector)).contentFrame();
  let menu = await frameOf('frame:not([name])');
  let content = await frameOf('frame[name="_CONTENT"]');
  // After a fault that left the frameset, the next check starts it anew.
  const again = async () => {
    if (page.url() === top && !menu.detached && !content.detached) return;
    await page.goto(top);
    menu = await frameOf('frame:not([name])');
    content = await frameOf('frame[name="_CONTENT"]');
  };
  await check(`${lang} frames: character set Shift_JIS in the frameset and both frames`, async () => [
    differ('frameset', await page.evaluate(() => document.characterSet), 'Shift_JIS'),
    differ('menu frame', await menu.evaluate(() => document.characterSet), 'Shift_JIS'),
    differ('frame _CONTENT', await content.evaluate(() => document.characterSet), 'Shift_JIS'),
  ]);
  await check(`${lang} frames: title, a menu frame and the frame _CONTENT, both with linkmenu.html`, async () => {
    const shown = await page.evaluate(() => ({
      title: document.title,
      cols: document.querySelector('frameset').getAttribute('cols'),
      frames: [...document.querySelectorAll('frame')].map((f) => ({name: f.name, src: f.getAttribute('src')})),
    }));
    return [differ('title', shown.title, set.caption), differ('columns', shown.cols, '200,*'),
      differ('frame', shown.frames, [{name: '', src: 'linkmenu.html'}, {name: '_CONTENT', src: 'linkmenu.html'}]),
      !samePath(menu.url(), menuFile) && `the menu frame shows ${menu.url()}`,
      !samePath(content.url(), menuFile) && `the frame _CONTENT shows ${content.url()}`];
  });
  await checkPage(`${lang} frames menu`, menu, {
    title: '', headings: [], heads: [], rows: [],
    links: genres.map((g, i) => ({text: `[${g}]`, href: pageName(i), target: '_CONTENT'})), quiet: set.quiet,
  });
  for (const [i, g] of genres.entries()) {
    const label = `${lang} frames: [${g}]`;
    await check(`${label} loads ${pageName(i)} into _CONTENT, the rest stays`, async () => {
      await again();
      const a = await linkNamed(menu, `[${g}]`);
      await Promise.all([content.waitForNavigation(), a.click()]);
      content = await frameOf('frame[name="_CONTENT"]');
      return [!samePath(content.url(), path.join(dir, pageName(i))) && `_CONTENT shows ${content.url()}`,
        differ('window', page.url(), top), !samePath(menu.url(), menuFile) && `the menu frame shows ${menu.url()}`];
    });
    if (!samePath(content.url(), path.join(dir, pageName(i)))) continue;
    await checkPage(`${label}: its page in _CONTENT`, content, {
      title: '', headings: [g], heads: [TABLE_HEAD], rows: rowsOf(set, g), links: [HOME], quiet: set.quiet,
    });
  }
  const last = rowsOf(set, genres[genres.length - 1])[0];
  await check(`${lang} frames: the row "${last.text}" in _CONTENT opens in the whole window`, async () => {
    await again();
    const a = await linkNamed(content, last.text);
    const moved = page.waitForNavigation({timeout: 5000}).then(() => true, () => false);
    await a.click();
    if (!(await moved)) return [`the window stayed at the frameset; _CONTENT shows ${content.url()}`];
    return [differ('window', page.url(), last.url),
      differ('frames left', page.mainFrame().childFrames().length, 0)];
  });
}

function inLanguage(lang) {
  return browse(lang, async (page, dialogs) => {
    await page.goto('chrome://prefs-internals');
    const prefs = JSON.parse(await page.evaluate(() => document.body.innerText));
    const fallback = prefs.intl && prefs.intl.charset_default && prefs.intl.charset_default.value;
    await page.goto('about:blank');
    const spoken = await page.evaluate(() => navigator.language);
    await check(`${lang}: the browser's language is ${spoken}, its fallback character set ${fallback}`,
      async () => [differ('navigator.language', spoken, lang)]);
    for (const set of SETS) {
      for (const [style, checkStyle] of Object.entries({single, anchors, index, frames})) {
        const label = `${lang}${set.tag} ${style}`;
        const file = path.join(work, ...set.pages[style]);
        if (!fs.existsSync(file)) {
          await fail(`${label}: the page is there`,
            `${path.relative(process.cwd(), file)} is missing: run tests/e2e/run.sh first`);
          continue;
        }
        dialogs.length = 0;
        await group(label, () => checkStyle(`${lang}${set.tag}`, page, file, set));
        if (set.quiet) {
          await check(`${label}: no dialog opened on any of its pages`, async () => [differ('dialog', dialogs, [])]);
        }
      }
    }
  });
}

run('the browser check', 300, async () => {
  work = fs.realpathSync(work);
  for (const lang of langs) await inLanguage(lang);
});
