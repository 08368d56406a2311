'use strict';
// What the browser checks share: one line per check, "ok - NAME" or
// "not ok - NAME: problems", then "PREFIX: N passed, N failed"; a time
// limit; Chromium in one language with its dialogs dismissed and listed.

const show = (v) => JSON.stringify(v);
// '' when got is want, else both.
const differ = (what, got, want) => (show(got) === show(want) ? '' : `${what} is ${show(got)}, want ${show(want)}`);
// The same, but of two lists only the first item that differs.
function differItem(what, got, want) {
  if (!Array.isArray(want)) return differ(what, got, want);
  for (let i = 0; i < Math.max(got.length, want.length); ++i) {
    if (show(got[i]) !== show(want[i]))
      return `${what} ${i + 1} of ${got.length} is ${show(got[i])}, want ${show(want[i])} (of ${want.length})`;
  }
  return '';
}
const firstLine = (e) => String((e && e.message) || e).split('\n')[0];

function reporter(prefix) {
  let passed = 0;
  let failed = 0;
  const end = (more = 0) => {
    console.log(`${prefix}: ${passed} passed, ${failed + more} failed`);
    process.exit(failed + more ? 1 : 0);
  };
  // fn gives the problems found; falsy ones are none.
  async function check(name, fn) {
    let problems;
    try {
      problems = (await fn()).filter(Boolean);
    } catch (e) {
      problems = [firstLine(e)];
    }
    if (problems.length) {
      ++failed;
      console.log(`not ok - ${name}: ${problems.join('; ')}`);
    } else {
      ++passed;
      console.log(`ok - ${name}`);
    }
  }
  const fail = (name, problem) => check(name, async () => [firstLine(problem)]);
  return {
    check,
    fail,
    // A group that breaks off (a page without its field, say) is one
    // failure; the others still run.
    async group(label, fn) {
      try {
        await fn();
      } catch (e) {
        await fail(`${label}: the checks ran to the end`, e);
      }
    },
    // The command line's --NAME VALUE options by spec (as util.parseArgs
    // takes them); anything else ends the run with status 2.
    options(spec) {
      try {
        return require('util').parseArgs({options: spec}).values;
      } catch (e) {
        console.error(`${prefix}: ${e.message}`);
        return process.exit(2);
      }
    },
    // What load gives, or the run ends here as one failure.
    need(load) {
      try {
        return load();
      } catch (e) {
        console.log(`not ok - the npm packages are not installed (run scripts/setup.sh): ${firstLine(e)}`);
        return end(1);
      }
    },
    // Runs main and ends the process with the counts; a hung browser must
    // not hang the test command.
    run(what, seconds, main) {
      setTimeout(() => {
        console.log(`not ok - ${what} ran over ${seconds} s and was stopped`);
        end(1);
      }, seconds * 1000).unref();
      main().then(() => end(), (e) => {
        console.log(`not ok - ${what}: ${e.message}`);
        end(1);
      });
    },
    // fn(page, dialogs) in a Chromium speaking lang, closed after. Dialogs
    // are dismissed at once, or the page would wait for a reader.
    async browse(lang, fn) {
      let chromium;
      try {
        chromium = await require('./chromium').launch(lang);
      } catch (e) {
        return fail(`${lang}: Chromium starts`, e);
      }
      const {page} = chromium;
      const dialogs = [];
      page.on('dialog', (d) => { dialogs.push(d.message()); d.dismiss().catch(() => {}); });
      try {
        return await fn(page, dialogs);
      } finally {
        await chromium.close();
      }
    },
  };
}

// The views every page is looked at in, and the colour schemes.
const PHONE = {deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const VIEWS = [
  ['phone 320', {width: 320, height: 640, ...PHONE}],
  ['phone 390', {width: 390, height: 844, ...PHONE}],
  ['desktop 1280', {width: 1280, height: 800}],
];
const SCHEMES = ['light', 'dark'];
// The first few problems and how many there were.
const few = (problems) => (problems.length > 3 ? [...problems.slice(0, 3), `and ${problems.length - 3} more`] : problems);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The problems of the checks of sizes, each a list: what scrolls sideways or
// sticks out of the column, text and targets too small, lines too long.
function readLayout(view, maxLine) {
  const px = (v) => parseFloat(v);
  const rect = (el) => el.getBoundingClientRect();
  const name = (el) => `${el.closest('header, nav, main, footer, [role="search"]')?.localName || el.localName} ` +
    `"${(el.textContent || el.localName).slice(0, 30)}"`;
  const links = [...document.querySelectorAll('a')];
  const field = document.querySelector('[role="search"] input');
  const fieldFont = field ? px(getComputedStyle(field).fontSize) : 0;
  const scrollWidth = document.scrollingElement.scrollWidth;
  // Each text's own box too: a line that does not break runs out of its element.
  const boxes = [...document.body.querySelectorAll('*')].map((el) => [el, rect(el)]);
  const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (const range = document.createRange(); walk.nextNode();) {
    range.selectNodeContents(walk.currentNode);
    boxes.push([walk.currentNode.parentElement, range.getBoundingClientRect()]);
  }
  const column = Math.min(innerWidth, rect(document.body).right - px(getComputedStyle(document.body).paddingRight));
  const lines = Math.max(...['main', 'nav', 'header', '[role="search"]', 'footer']
    .map((s) => document.querySelector(s)).filter(Boolean).map((el) => rect(el).width));
  return {
    sideways: [scrollWidth > innerWidth && `the page is ${scrollWidth} px wide in a window of ${innerWidth}`,
      view.isMobile && innerWidth !== view.width && `the layout viewport is ${innerWidth} px, not the device's ${view.width}`,
      // Anything that sticks out on the right, even where nothing scrolls for it.
      ...boxes.filter(([, r]) => r.right > column + 0.5)
        .map(([el, r]) => `${name(el)} ends at ${Math.round(r.right)} of ${Math.round(column)}`)],
    sizes: [!links.length && 'no link', ...[...links, ...document.querySelectorAll('a *')]
      .filter((el) => px(getComputedStyle(el).fontSize) < 16).map((el) => `${name(el)} ${getComputedStyle(el).fontSize}`),
    field && fieldFont < 16 && `the search field's text is ${fieldFont} px`,
    ...links.filter((a) => rect(a).width < 24 || rect(a).height < 24)
      .map((a) => `${name(a)} ${Math.round(rect(a).width)}x${Math.round(rect(a).height)}`)],
    lines: [lines > maxLine && `a block is ${Math.round(lines)} px wide`],
  };
}

async function open(page, url, {view = VIEWS[1][1], scheme = 'light', script = true, focus = false} = {}) {
  await page.setViewport(view);
  await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: scheme}]);
  await page.setJavaScriptEnabled(script);
  await page.goto(url, {waitUntil: 'load'});
  if (focus) await page.focus('[role="search"] input');
}

// axe-core's violations on the page, one line each.
async function axeViolations(page, axeSource) {
  await page.evaluate(axeSource);
  return page.evaluate(async () => (await window.axe.run(document, {resultTypes: ['violations']}))
    .violations.map((v) => `${v.id} (${v.nodes.length}: ${v.nodes[0].target.join(' ')})`));
}

module.exports = {reporter, show, differ, differItem, firstLine, VIEWS, SCHEMES, few, sleep, readLayout, open,
  axeViolations};
