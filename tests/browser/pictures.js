'use strict';
// Pictures of the pages that scripts/run.sh wrote: for each style folder
// below DIR holding link.html, DIR/<style>.png as a reader sees the page in
// Chromium; in the frames style with the first genre loaded into _CONTENT;
// the page for today's readers as a phone shows it, DIR/today-light.png and
// DIR/today-dark.png.
// Usage: node tests/browser/pictures.js DIR
const fs = require('fs');
const os = require('os');
const path = require('path');
const {pathToFileURL} = require('url');
const {launch} = require('./chromium');

const STYLES = ['single', 'anchors', 'index', 'frames'];
// A phone of today: 390 x 844 CSS pixels at three device pixels each would
// make a picture of 1170 px; two keep the text sharp at half the size.
const PHONE = {width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
const SCHEMES = ['light', 'dark'];

// The page asks for the system's font, which a phone has in proportional
// widths; here fontconfig's choice for Japanese is the fixed-width IPA font,
// so its proportional sibling is put first for the pictures' Chromium.
function proportionalSystemFont() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'orv-fonts-'));
  const file = path.join(dir, 'fonts.conf');
  fs.writeFileSync(file, `<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">${process.env.FONTCONFIG_FILE || '/etc/fonts/fonts.conf'}</include>
  <match target="pattern">
    <test name="family"><string>sans-serif</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>IPAPGothic</string></edit>
  </match>
</fontconfig>
`);
  process.env.FONTCONFIG_FILE = file;
  return dir;
}

(async () => {
  const dir = path.resolve(process.argv[2] || 'out/pages');
  const fonts = proportionalSystemFont();
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
    const today = path.join(dir, 'today', 'link.html');
    if (fs.existsSync(today)) {
      // One screen of it, as the reader first sees it.
      await page.setViewport(PHONE);
      for (const scheme of SCHEMES) {
        await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: scheme}]);
        await page.goto(pathToFileURL(today).href);
        await page.waitForSelector('input[type="search"]');
        await page.screenshot({path: path.join(dir, `today-${scheme}.png`)});
        ++made;
      }
    }
  } finally {
    await chromium.close();
    fs.rmSync(fonts, {recursive: true, force: true});
  }
  if (!made) throw new Error(`no style folder with link.html in ${dir}`);
})().catch((e) => {
  console.error(`pictures: ${e.message.split('\n')[0]}`);
  process.exit(1);
});
