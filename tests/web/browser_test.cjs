// The web build's pictures in a real browser: headless chromium, driven by puppeteer-core,
// loads the packed demo from a local server and the canvas is compared, pixel for pixel, with
// the frame the headless backend draws after the same keys (magshot's raw frames, widened
// here). The single-file page is opened from file:// and shows the same home page.
// usage: node browser_test.cjs WWW_DIR SINGLE_HTML FRAMES_DIR
// FRAMES_DIR holds home.raw (the home page after its fade) and third.raw (after Down Down
// Return and the fade).
'use strict';
const fs = require('fs');
const path = require('path');
const web = require('./page_support.cjs');

const [www, single, frames] = process.argv.slice(2);
const frame = (name) => path.join(frames, name + '.raw');

async function main() {
  const server = await web.serve(www);
  const errors = [];
  let firstPicture, firstFromDisk;
  try {
    await web.withBrowser(async (browser) => {
      const page = await web.openPage(browser, errors);
      await page.goto(web.urlOf(server));
      await web.expectCanvas(page, frame('home'));
      firstPicture = await page.evaluate(() => Module.qvlFirstPicture);
      // the demo's home page is called "contents" in its script
      for (const file of [path.join(www, 'index.html'), single])
        if (!fs.readFileSync(file, 'utf8').includes('<title>contents</title>'))
          throw new Error(file + ' is not titled "contents"');
      if ((await page.title()) !== 'contents') throw new Error(`title "${await page.title()}"`);
      // the canvas is scaled by a whole multiple that fits: 2 in 1400 x 1000
      const width = await page.$eval('#screen', (c) => c.getBoundingClientRect().width);
      if (width !== 1280) throw new Error(`canvas shown ${width} pixels wide, not 1280`);
      // Alt+Enter is the page's full-screen key: the menu must not see a Return
      await page.keyboard.down('Alt');
      await page.keyboard.press('Enter');
      await page.keyboard.up('Alt');
      await page.waitForFunction(() => document.fullscreenElement !== null, {timeout: 5000});
      await web.sleep(500);
      if (!(await web.canvasPixels(page)).equals(web.widened(frame('home'))))
        throw new Error('Alt+Enter reached the magazine');
      await page.evaluate(() => document.exitFullscreen());
      for (const key of ['ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
      await web.expectCanvas(page, frame('third'));
      if (await page.$eval('#hint', (h) => !h.hidden)) throw new Error('the hint stayed after a key');
      await page.keyboard.press('F12');
      await page.waitForFunction(() => !document.getElementById('ended').hidden, {timeout: 5000});

      const file = await web.openPage(browser, errors);
      await file.goto('file://' + path.resolve(single));
      await web.expectCanvas(file, frame('home'));
      firstFromDisk = await file.evaluate(() => Module.qvlFirstPicture);
      if ((await file.title()) !== 'contents') throw new Error('the single file has another title');
    });
    if (errors.length) throw new Error('console errors: ' + errors.join(' | '));
    console.log('web: home page, third chapter and the end as on the headless backend;');
    console.log('     the single file from the disk');
    console.log(`web: the first picture ${firstPicture.toFixed(0)} ms after the page's start ` +
                `(a fresh browser), from the single file ${firstFromDisk.toFixed(0)} ms`);
  } finally {
    server.close();
  }
}

main().catch((error) => {
  console.error('web test failed:', error.message);
  process.exit(1);
});
