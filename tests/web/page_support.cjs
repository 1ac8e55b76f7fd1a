// What the browser tests share: a static server on 127.0.0.1, headless chromium through
// puppeteer-core, pages that collect console errors, and the canvas against magshot's frames.
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
               '.data': 'application/octet-stream'};

// Serves folder on 127.0.0.1; the favicon gets no content rather than a 404.
function serve(folder) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (name === '/favicon.ico') return response.writeHead(204).end();
    const file = path.join(folder, name === '/' ? 'index.html' : path.normalize(name));
    fs.readFile(file, (error, body) => {
      if (error) return response.writeHead(404).end();
      response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'text/plain'});
      response.end(body);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const urlOf = (server) => `http://127.0.0.1:${server.address().port}/`;

// Runs test(browser) in a fresh headless chromium, whose profile goes afterwards.
async function withBrowser(test) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qvl-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--autoplay-policy=no-user-gesture-required', `--user-data-dir=${profile}`],
  });
  try {
    return await test(browser);
  } finally {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  }
}

// A new page that collects console errors into errors.
async function openPage(browser, errors) {
  const page = await browser.newPage();
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.on('pageerror', (e) => errors.push(e.message));
  await page.setViewport({width: 1400, height: 1000});
  return page;
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

async function canvasPixels(page) {
  return Buffer.from(await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    return Array.from(canvas.getContext('2d').getImageData(0, 0, 640, 480).data);
  }));
}

// Waits until the canvas shows the raw frame in file (the fades run on the page's own clock).
async function expectCanvas(page, file) {
  const expected = widened(file);
  let actual;
  for (let tries = 0; tries < 50; ++tries) {
    actual = await canvasPixels(page);
    if (actual.equals(expected)) return;
    await sleep(200);
  }
  let differing = 0;
  for (let i = 0; i < expected.length; i += 4)
    if (expected.compare(actual, i, i + 4, i, i + 4) !== 0) ++differing;
  throw new Error(`${path.basename(file)}: ${differing} pixels differ from the headless frame`);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

module.exports = {serve, urlOf, withBrowser, openPage, widened, canvasPixels, expectCanvas, sleep};
