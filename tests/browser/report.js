'use strict';
// The link check's pages in headless Chromium, both written by orvbench
// ("check-pages") from its small built-in list and made-up results: the
// report (linkcheck-1.html) and the fifth style's page with its marks. On
// phones of 320 and 390 px and on a desktop, light and dark: nothing scrolls
// sideways, links large enough, axe-core without violations; the marks seen
// and still links, the search unbroken by them; the report's counts and
// sections. One line per check, then "browser-report: N passed, N failed".
// Usage: node tests/browser/report.js [--keep DIR] [--shots DIR]
//   ORVBENCH=path/to/orvbench picks another build (default build/native).
const fs = require('fs');
const os = require('os');
const path = require('path');
const {execFileSync} = require('child_process');
const {pathToFileURL} = require('url');
const {reporter, differ, differItem, firstLine, VIEWS, SCHEMES, few, sleep, readLayout, open, axeViolations} =
  require('./harness');

const {check, fail, group, need, options, run, browse} = reporter('browser-report');
const {keep, shots} = options({keep: {type: 'string'}, shots: {type: 'string'}});
const axeSource = need(() => require('./chromium') && fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
const ORVBENCH = path.resolve(process.env.ORVBENCH || path.join(__dirname, '../../build/native/orvbench'));

// The built-in list as orvbench makes it, typed here by hand: name shown,
// address, what the made-up results say of it.
const SCRIPT_TITLE = '<script>alert(1)</script>';
const LONG_TITLE = 'ロング'.repeat(10) + 'qwertyuiop'.repeat(4);
const LONG_ADDRESS = `http://long.example.com/${'segment'.repeat(14)}?q=${'x'.repeat(56)}`;
const ABC_NEW = 'https://news.abc.example.com/top/index.html?from=old-address-with-a-long-query-string-that-must-wrap';
const LINKS = [
  ['京都の宿', 'http://travel.example.jp/kyoto', 'dead', 'HTTP 404'],
  ['ＡＢＣ Ｎｅｗｓ', 'http://abc.example.com/', 'moved', 'HTTP 301', ABC_NEW],
  ['温泉ガイド', 'http://onsen.example.jp/', 'ok'],
  [SCRIPT_TITLE, 'http://x.example.com/?q=%22a%22', 'dead', 'HTTP 410'],
  ['ぶっくまーく入門', 'http://kana.example.com/hira', 'unconfirmed', 'HTTP 404'],
  [LONG_TITLE, 'http://long.example.com/title', 'moved', 'HTTP 308', 'http://long.example.com/title/'],
  [LONG_ADDRESS, LONG_ADDRESS, 'dead', 'HTTP 404'],
  ['会員ページ', 'http://members.example.com/', 'refused', 'HTTP 403'],
  ['遅いサイト', 'http://slow.example.com/', 'error', 'HTTP 応答なし'],
  ['障害中', 'http://down.example.com/', 'error', 'HTTP 503'],
  ['ファイル置き場', 'ftp://files.example.com/', 'not checked'],
  ['Plain', 'http://plain.example.com/', 'ok'],
  ['まだ確かめていない', 'http://new.example.com/', 'not checked'],
];
const byName = Object.fromEntries(LINKS.map((l) => [l[0], l]));
const named = (state) => LINKS.filter((l) => l[2] === state).map((l) => l[0]);
const COUNTS = [['正常', 'ok'], ['移転', 'moved'], ['切れ', 'dead'], ['切れ?', 'unconfirmed'], ['拒否', 'refused'],
  ['エラー', 'error'], ['確認していない', 'not checked']].map(([word, state]) => [word, `${named(state).length} 件`]);
const SECTIONS = [['dead', '切れ'], ['unconfirmed', '切れ?'], ['moved', '移転'], ['refused', '拒否'], ['error', 'エラー']];

// Each view and scheme: layout, sizes, axe-core (contrast included); a
// picture of the whole page into --shots.
async function looks({page, url, label, file}) {
  for (const [viewName, view] of VIEWS) {
    for (const scheme of SCHEMES) {
      const where = `${label} ${viewName} ${scheme}`;
      await open(page, url, {view, scheme});
      await page.addStyleTag({content: 'section { content-visibility: visible !important; }'});
      const got = await page.evaluate(readLayout, view, Infinity);
      await check(`${where}: nothing scrolls sideways, long titles and addresses wrap`, async () => few(got.sideways));
      await check(`${where}: link text at least 16 px, every link at least 24 x 24 px`, async () => few(got.sizes));
      await check(`${where}: axe-core finds no violation`, () => axeViolations(page, axeSource));
      if (shots) {
        fs.mkdirSync(shots, {recursive: true});
        await page.screenshot({path: path.join(shots, `${file}-${viewName.replace(' ', '')}-${scheme}.png`), fullPage: true});
      }
    }
  }
}

// Every row of the fifth style's page as the reader sees it: the link's
// text and address, whether it is struck through, the mark beside it and
// the mark's own link; each mark inside the window.
function readRows() {
  return [...document.querySelectorAll('main li')].map((li) => {
    const a = li.firstElementChild;
    const s = a && a.querySelector('s');
    const mark = li.querySelector('.mark');
    const markLink = mark && mark.querySelector('a');
    const r = mark && mark.getBoundingClientRect();
    return {
      name: a ? a.textContent : null,
      link: !!a && a.localName === 'a' ? a.getAttribute('href') : null,
      struck: !!s && getComputedStyle(s).textDecorationLine.includes('line-through'),
      mark: mark ? mark.textContent : '',
      markLink: markLink ? markLink.getAttribute('href') : null,
      markSeen: !mark || (mark.checkVisibility() && r.width > 0 && r.left >= 0 && r.right <= innerWidth + 0.5),
    };
  });
}

async function marks({page, url, label}) {
  for (const [viewName, view] of VIEWS) {
    await open(page, url, {view});
    const rows = await page.evaluate(readRows);
    await check(`${label} ${viewName}: dead links struck through with "リンク切れ", moved ones with their new address, others unmarked`,
      async () => [differ('rows', rows.length, LINKS.length), ...rows.flatMap((row) => {
        const want = byName[row.name];
        if (!want) return [`a row "${row.name}" not in the list`];
        const [name, href, state, , moved] = want;
        return [differ(`${name}: its link`, row.link, href),
          differ(`${name}: struck through`, row.struck, state === 'dead'),
          differ(`${name}: its mark`, row.mark, state === 'dead' ? 'リンク切れ' : state === 'moved' ? `移転先: ${moved}` : ''),
          differ(`${name}: the mark's link`, row.markLink, state === 'moved' ? moved : null),
          !row.markSeen && `${name}: the mark is not seen in the window`];
      })]);
  }
}

// The search counts and finds rows, never the new addresses beside them;
// Enter opens the row's own link.
async function search({page, url, label}) {
  const cases = [
    ['a dead link by its name', '京都', ['京都の宿']],
    ['a moved link by its name', 'ＡＢＣ', ['ＡＢＣ Ｎｅｗｓ']],
    ['a query of nothing shows every row', ' ', LINKS.map((l) => l[0])],
  ];
  for (const [what, query, want] of cases) {
    await check(`${label} search: ${what}`, async () => {
      await open(page, url);
      await page.focus('[role="search"] input');
      await page.keyboard.type(query);
      await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
      const got = await page.evaluate(() => ({
        shown: [...document.querySelectorAll('main li')].filter((li) => li.checkVisibility()).map((li) => li.firstElementChild.textContent),
        count: document.querySelector('[role="status"]').textContent,
      }));
      return [differ('rows shown', got.shown.sort(), [...want].sort()), differ('counter', got.count, `${want.length} 件`)];
    });
  }
  await check(`${label} search: Enter opens the moved link itself, not its new address`, async () => {
    await open(page, url);
    await page.focus('[role="search"] input');
    await page.keyboard.type('ＡＢＣ');
    await page.keyboard.press('Enter');
    await sleep(300);
    return [differ('location', page.url(), 'http://abc.example.com/')];
  });
}

// What the report says: its title, time, counts and sections, each link in
// the order of the fifth style's page.
function readReport() {
  const text = (el) => (el ? el.textContent : null);
  return {
    lang: document.documentElement.lang,
    title: document.title,
    heading: text(document.querySelector('h1')),
    time: text(document.querySelector('header time')),
    counts: [...document.querySelectorAll('.counts tr')].map((tr) => [text(tr.querySelector('th')), text(tr.querySelector('td'))]),
    sections: [...document.querySelectorAll('main section')].map((s) => s.id),
    words: [...document.querySelectorAll('main section')].map((s) => text(s.querySelector('h2').firstChild)),
    links: Object.fromEntries([...document.querySelectorAll('main section')].map((s) => [s.id,
      [...s.querySelectorAll('li')].map((li) => {
        const links = [...li.querySelectorAll('a')];
        return [text(li.querySelector('.name')), ...links.map((a) => a.getAttribute('href')),
          text(li.querySelector('.info'))];
      })])),
    scripts: document.scripts.length,
  };
}

async function report({page, url, label, todayUrl, dialogs}) {
  await open(page, todayUrl);
  const order = await page.evaluate(() => [...document.querySelectorAll('main li')].map((li) => li.firstElementChild.textContent));
  await open(page, url);
  const got = await page.evaluate(readReport);
  await check(`${label}: Japanese, titled, the time of the check, the counts`, async () => [
    differ('lang', got.lang, 'ja'), differ('title', got.title, 'リンク確認の結果'),
    differ('heading', got.heading, 'リンク確認の結果'), differ('time', got.time, '2024-05-02 09:00:00'),
    differItem('count row', got.counts, [...COUNTS, ['合計', `${LINKS.length} 件`]])]);
  await check(`${label}: sections dead, unconfirmed, moved, refused, errors`, async () => [
    differ('sections', got.sections, ['counts', ...SECTIONS.map((s) => s[0])]),
    differ('headings', got.words.slice(1), SECTIONS.map((s) => s[1]))]);
  for (const [id] of SECTIONS) {
    await check(`${label} ${id}: name, address, new address and status of each link, in the page's order`, async () => {
      const want = order.filter((name) => byName[name][2] === id).map((name) => {
        const [, href, , status, moved] = byName[name];
        return [name, href, ...(moved ? [moved] : []), status];
      });
      const problems = [differItem('link', (got.links[id] || []).map((l) => [l[0], ...l.slice(1, -1)]),
        want.map((w) => w.slice(0, -1)))];
      // The genre comes before the status in the line below the link.
      for (const [k, l] of (got.links[id] || []).entries()) {
        if (want[k] && !l[l.length - 1].endsWith(want[k][want[k].length - 1]))
          problems.push(`${l[0]}: "${l[l.length - 1]}" does not end with ${want[k][want[k].length - 1]}`);
      }
      return problems;
    });
  }
  await check(`${label}: a title with <script> is text, the page has no script, no dialog`, async () => [
    differ('scripts', got.scripts, 0), differ('dialogs', dialogs, []),
    differ('links named so', got.links.dead.filter((l) => l[0] === SCRIPT_TITLE).length, 1)]);
}

// Nothing but the page itself is asked for, nothing blocked, no script error.
async function staysHome({page, url, label}) {
  const [requests, errors] = [[], []];
  const onRequest = (r) => requests.push(r.url());
  const onError = (e) => errors.push(firstLine(e));
  // Whatever the page before still asks for is not this page's.
  await page.goto('about:blank');
  page.on('request', onRequest).on('pageerror', onError);
  await open(page, url);
  await page.evaluate(() => window.scrollTo(0, document.scrollingElement.scrollHeight));
  await sleep(200);
  page.off('request', onRequest).off('pageerror', onError);
  await check(`${label}: no request but the page itself, no script error`, async () => [
    ...requests.filter((u) => u !== url && !u.startsWith('data:')).map((u) => `asked for ${u}`),
    ...errors.map((e) => `script error: ${e}`)]);
}

run('the check', 180, async () => {
  if (!fs.existsSync(ORVBENCH)) return fail(`${ORVBENCH} is there`, 'build orvbench first (scripts/build.sh)');
  const work = keep ? path.resolve(keep) : fs.mkdtempSync(path.join(os.tmpdir(), 'orv-report-'));
  fs.mkdirSync(work, {recursive: true});
  try {
    await check('orvbench writes the marked page and the report', async () => {
      const out = execFileSync(ORVBENCH, ['check-pages', work], {encoding: 'utf8'});
      const m = /^check-pages (\d+) links today (\d+) bytes report (\d+) bytes ok$/m.exec(out);
      return [!m && `orvbench says: ${out.trim()}`, m && differ('links', Number(m[1]), LINKS.length)];
    });
    const today = path.join(work, 'today-marked.html');
    const reportFile = path.join(work, 'linkcheck-1.html');
    if (!fs.existsSync(today) || !fs.existsSync(reportFile)) return undefined;
    const todayUrl = pathToFileURL(today).href;
    const reportUrl = pathToFileURL(reportFile).href;
    return await browse('ja-JP', async (page, dialogs) => {
      page.setDefaultTimeout(20000);
      const groups = [
        ['marked page', todayUrl, 'today-marked', [staysHome, marks, search, looks]],
        ['report', reportUrl, 'linkcheck', [staysHome, report, looks]],
      ];
      for (const [label, url, file, checks] of groups) {
        for (const fn of checks) await group(label, () => fn({page, url, label, file, todayUrl, dialogs}));
      }
    });
  } finally {
    if (!keep) fs.rmSync(work, {recursive: true, force: true});
  }
});
