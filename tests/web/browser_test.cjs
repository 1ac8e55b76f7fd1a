// The web build in a real browser: headless chromium, driven by puppeteer-core, loads the
// packed demo from a local server and the canvas is compared, pixel for pixel, with the frame
// the headless backend draws after the same keys (magshot's raw frames, widened here).
// The single-file page is opened from file:// and shows the same home page.
// usage: node browser_test.cjs WWW_DIR SINGLE_HTML FRAMES_DIR
// FRAMES_DIR holds home.raw (the home page after its fade) and third.raw (after Down Down
// Return and the fade).
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [www, single, frames] = process.argv.slice(2);
const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
               '.data': 'application/octet-stream'};

// Serves the web folder on 127.0.0.1; the favicon gets no content rather than a 404.
function serve() {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (name === '/favicon.ico') return response.writeHead(204).end();
    const file = path.join(www, name === '/' ? 'index.html' : path.normalize(name));
    fs.readFile(file, (error, body) => {
      if (error) return response.writeHead(404).end();
      response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'text/plain'});
      response.end(body);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// A raw RGB565 frame widened to RGBA as the page widens it: each field repeats its top bits.
function widened(file) {
  const raw = fs.readFileSync(file);
  const rgba = Buffer.alloc(640 * 480 * 4);
  for (let i = 0; i < 640 * 480; ++i) {
    const p = raw.readUInt16LE(2 * i), r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    rgba.set([(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2), 255], 4 * i);
  }
  return rgba;
}

// A new page that collects console errors into errors.
async function openPage(browser, errors) {
  const page = await browser.newPage();
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.on('pageerror', (e) => errors.push(e.message));
  await page.setViewport({width: 1400, height: 1000});
  return page;
}

async function canvasPixels(page) {
  return Buffer.from(await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    return Array.from(canvas.getContext('2d').getImageData(0, 0, 640, 480).data);
  }));
}

// Waits until the canvas shows expected (the fades run on the page's own clock).
async function expectCanvas(page, name) {
  const expected = widened(path.join(frames, name + '.raw'));
  let actual;
  for (let tries = 0; tries < 50; ++tries) {
    actual = await canvasPixels(page);
    if (actual.equals(expected)) return;
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
  let differing = 0;
  for (let i = 0; i < expected.length; i += 4)
    if (expected.compare(actual, i, i + 4, i, i + 4) !== 0) ++differing;
  throw new Error(`${name}: ${differing} pixels differ from the headless frame`);
}

async function main() {
  const server = await serve();
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qvl-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--autoplay-policy=no-user-gesture-required', `--user-data-dir=${profile}`],
  });
  const errors = [];
  try {
    const page = await openPage(browser, errors);
    // counts the samples the ring device hands to the browser, and those that are not silent
    await page.evaluateOnNewDocument(() => {
      window.qvlHeard = {samples: 0, sounding: 0};
      const watch = setInterval(() => {
        if (!window.Module) return;
        clearInterval(watch);
        window.Module.qvlAudioTap = (samples) => {
          window.qvlHeard.samples += samples.length;
          window.qvlHeard.sounding += samples.filter((v) => v !== 0).length;
        };
      }, 0);
    });
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    await expectCanvas(page, 'home');
    // the demo's home page is called "contents" in its script
    if ((await page.title()) !== 'contents') throw new Error(`title "${await page.title()}"`);
    // the canvas is scaled by a whole multiple that fits: 2 in 1400 x 1000
    const width = await page.$eval('#screen', (c) => c.getBoundingClientRect().width);
    if (width !== 1280) throw new Error(`canvas shown ${width} pixels wide, not 1280`);
    // Alt+Enter is the page's full-screen key: the menu must not see a Return
    await page.keyboard.down('Alt');
    await page.keyboard.press('Enter');
    await page.keyboard.up('Alt');
    await page.waitForFunction(() => document.fullscreenElement !== null, {timeout: 5000});
    await new Promise((resolve) => setTimeout(resolve, 500));
    if (!(await canvasPixels(page)).equals(widened(path.join(frames, 'home.raw'))))
      throw new Error('Alt+Enter reached the magazine');
    await page.evaluate(() => document.exitFullscreen());
    for (const key of ['ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
    await expectCanvas(page, 'third');
    if (await page.$eval('#hint', (h) => !h.hidden)) throw new Error('the hint stayed after a key');
    // the first key started the sound: after the first lap of silence (400 ms) the music plays
    await page.waitForFunction(() => window.qvlHeard.sounding > 0, {timeout: 5000});
    await page.keyboard.press('F12');
    await page.waitForFunction(() => !document.getElementById('ended').hidden, {timeout: 5000});
    const file = await openPage(browser, errors);
    await file.goto('file://' + path.resolve(single));
    await expectCanvas(file, 'home');
    if ((await file.title()) !== 'contents') throw new Error('the single file has another title');
    if (errors.length) throw new Error('console errors: ' + errors.join(' | '));
    console.log('web: home page, third chapter and the end as on the headless backend; music;');
    console.log('     the single file from the disk');
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, {recursive: true, force: true});
  }
}

main().catch((error) => {
  console.error('web test failed:', error.message);
  process.exit(1);
});
