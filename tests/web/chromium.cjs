// Headless chromium for the browser tests and benchmarks: a profile of its own, no background
// traffic; extra switches as given. close() ends it and removes the profile.
'use strict';
const fs = require('fs'), os = require('os'), path = require('path');
const puppeteer = require('puppeteer-core');

async function launch(extra = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qvl-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', ...extra,
           `--user-data-dir=${profile}`],
  });
  browser.closeAndClean = async () => {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

module.exports = {launch};
