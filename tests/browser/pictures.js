'use strict';
// Pictures of the pages that scripts/run.sh wrote: for each style folder
// below DIR holding link.html, DIR/<style>.png as a reader sees the page in
// Chromium; in the frames style with the first genre loaded into _CONTENT.
// Usage: node tests/browser/pictures.js DIR
const fs = require('fs');
const path = require('path');
const {pathToFileURL} = require('url');
const {launch} = require('./chromium');

const STYLES = ['single', 'anchors', 'index', 'frames'];

(async () => {
  const dir = path.resolve(process.argv[2] || 'out/pages');
  // The proportional IPA font, as a Japanese Windows shows its proportional
  // Gothic; left alone, Chromium takes the fixed-width one here.
  const gothic = {Jpan: 'IPAPGothic'};
  const chromium = await launch('ja-JP', {width: 800, height: 600},
    {webkit: {webprefs: {fonts: {standard: gothic, sansserif: gothic}}}});
  const {page} = chromium;
  let made = 0;
  try {
    for (const style of STYLES) {
      const file = path.join(dir, style, 'link.html');
      if (!fs.existsSync(file)) continue;
      // A low window grows to the page's full height; a frameset has none
      // of its own, so it gets a window of a fixed height.
      await page.setViewport({width: 800, height: style === 'frames' ? 360 : 100});
      await page.goto(pathToFileURL(file).href);
      if (style === 'frames') {
        const menu = await (await page.$('frame:not([name])')).contentFrame();
        const content = await (await page.$('frame[name="_CONTENT"]')).contentFrame();
        const first = await menu.$('a[target="_CONTENT"]');
        if (first) await Promise.all([content.waitForNavigation(), first.click()]);
      }
      await page.screenshot({path: path.join(dir, `${style}.png`), fullPage: style !== 'frames'});
      ++made;
    }
  } finally {
    await chromium.close();
  }
  if (!made) throw new Error(`no style folder with link.html in ${dir}`);
})().catch((e) => {
  console.error(`pictures: ${e.message.split('\n')[0]}`);
  process.exit(1);
});
