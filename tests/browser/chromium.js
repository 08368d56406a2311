'use strict';
// Debian's Chromium, headless, in a fresh profile, speaking one language,
// and with no way out: every request for the network is answered here with
// a stub page and recorded.
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const EXECUTABLE = process.env.ORV_CHROMIUM || '/usr/bin/chromium';

// Without these Chromium reaches out to the network on its own.
const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  // Otherwise a click on an http link is turned into https.
  '--disable-features=HttpsUpgrades'];

// lang: a tag like "de-DE". On Linux Chromium takes its language, and with it
// the character set it falls back to, from LANGUAGE; --lang is for the others.
// prefs: the profile's preferences to start with.
async function launch(lang = 'en-US', viewport = {width: 800, height: 600}, prefs = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orv-chromium-'));
  fs.mkdirSync(path.join(profile, 'Default'));
  fs.writeFileSync(path.join(profile, 'Default', 'Preferences'), JSON.stringify(prefs));
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath: EXECUTABLE,
      headless: true,
      userDataDir: profile,
      defaultViewport: viewport,
      env: {...process.env, LANGUAGE: lang.replace('-', '_')},
      args: [...FLAGS, `--lang=${lang}`],
    });
  } catch (e) {
    fs.rmSync(profile, {recursive: true, force: true});
    throw e;
  }
  const outside = [];
  const page = await browser.newPage();
  page.setDefaultTimeout(10000);
  await page.setRequestInterception(true);
  page.on('request', (r) => {
    if (/^(file|chrome|about|data):/.test(r.url())) return r.continue();
    outside.push(r.url());
    return r.respond({status: 200, contentType: 'text/html', body: '<title>stub</title>'});
  });
  return {
    browser, page, outside,
    async close() {
      await browser.close().catch(() => {});
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}

module.exports = {launch};
