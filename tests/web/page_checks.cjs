// What the browser tests check a page against: magshot's frames (raw RGB565) and xm2wav's
// renders (WAV) in the folder expected, with the page's canvas and the samples it hands to the
// browser; and a page that collects console errors. Used as require('./page_checks.cjs')(expected).
'use strict';
const fs = require('fs'), path = require('path');

// the mix rate, the output's block and the ring's first lap, which is silent
const kRate = 44100, kBlock = 884, kLap = 20 * kBlock;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const check = (ok, what) => { if (!ok) throw new Error(what); };

module.exports = (expected) => {
  // A raw RGB565 frame widened to RGBA as the page widens it: each field repeats its top bits.
  function widened(name) {
    const raw = fs.readFileSync(path.join(expected, name + '.raw'));
    const rgba = Buffer.alloc(640 * 480 * 4);
    for (let i = 0; i < 640 * 480; ++i) {
      const p = raw.readUInt16LE(2 * i), r = p >> 11, g = (p >> 5) & 63, b = p & 31;
      rgba.set([(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2), 255], 4 * i);
    }
    return rgba;
  }

  const canvasPixels = async (page) => Buffer.from(await page.evaluate(() => Array.from(
      document.getElementById('screen').getContext('2d').getImageData(0, 0, 640, 480).data)));

  // Waits until the canvas shows the frame (the fades run on the page's own clock).
  async function expectCanvas(page, name) {
    const want = widened(name);
    for (let tries = 0; tries < 50; ++tries, await sleep(200))
      if ((await canvasPixels(page)).equals(want)) return;
    throw new Error(`the canvas is not magshot's ${name} frame`);
  }

  // The 16-bit samples of a WAV file's data chunk.
  function wavSamples(name) {
    const bytes = fs.readFileSync(path.join(expected, name + '.wav'));
    for (let at = 12; at + 8 <= bytes.length; at += 8 + bytes.readUInt32LE(at + 4)) {
      const data = bytes.subarray(at + 8, at + 8 + bytes.readUInt32LE(at + 4));
      if (bytes.toString('latin1', at, at + 4) === 'data')
        return new Int16Array(new Uint8Array(data).buffer);
    }
    throw new Error(name + '.wav: no data chunk');
  }

  const frames = (samples) => samples.length / 2;
  const silent = (tap, i) => tap[2 * i] === 0 && tap[2 * i + 1] === 0;

  // How many frames of tap from at equal the song's from its start.
  function matching(tap, at, song) {
    let n = 0;
    while (at + n < frames(tap) && n < frames(song) && tap[2 * (at + n)] === song[2 * n] &&
           tap[2 * (at + n) + 1] === song[2 * n + 1])
      ++n;
    return n;
  }

  // A new page that collects console errors into errors, with setUp run before the page's own.
  async function openPage(browser, errors, url, setUp, viewport = {width: 1400, height: 1000}) {
    const page = await browser.newPage();
    page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    await page.setViewport(viewport);
    if (setUp) await page.evaluateOnNewDocument(setUp);
    await page.goto(url);
    return page;
  }

  return {kRate, kBlock, kLap, sleep, check, widened, canvasPixels, expectCanvas, wavSamples,
          frames, silent, matching, openPage};
};
