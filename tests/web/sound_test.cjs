// The web build's music in a real browser: the samples the ring device hands to the browser
// (tapped through Module.qvlAudioTap) against xm2wav's render of the same modules, sample for
// sample: the start song after the first lap of silence, on while the tab is hidden, F9 off and
// on (the song again from its start), N ("nextmusic" in the demo) the next song after a pause of
// about 200 ms. And a magazine without its font: the start-up message in the page.
// usage: node sound_test.cjs WWW_DIR EXPECTED_DIR NO_FONT_WWW_DIR
// EXPECTED_DIR holds intro.wav and drift.wav (the demo's first two songs, by xm2wav);
// NO_FONT_WWW_DIR is a packed magazine whose font file is missing.
'use strict';
const fs = require('fs');
const path = require('path');
const web = require('./page_support.cjs');

const [www, expected, noFont] = process.argv.slice(2);
const kRate = 44100;
const kBlock = 884;        // frames the output fills at a time
const kLap = 20 * kBlock;  // the ring's first lap, silent

// The 16-bit samples of a WAV file's data chunk.
function wavSamples(file) {
  const bytes = fs.readFileSync(file);
  for (let at = 12; at + 8 <= bytes.length; at += 8 + bytes.readUInt32LE(at + 4)) {
    if (bytes.toString('latin1', at, at + 4) !== 'data') continue;
    const data = bytes.subarray(at + 8, at + 8 + bytes.readUInt32LE(at + 4));
    return new Int16Array(new Uint8Array(data).buffer);
  }
  throw new Error(file + ': no data chunk');
}

// Counts animation frames and keeps every piece of samples the page hands to the browser.
function tapSound() {
  window.qvlHeard = {pieces: [], frames: 0, animationFrames: 0};
  const count = () => {
    ++window.qvlHeard.animationFrames;
    requestAnimationFrame(count);
  };
  requestAnimationFrame(count);
  const watch = setInterval(() => {
    if (!window.Module) return;
    clearInterval(watch);
    window.Module.qvlAudioTap = (samples) => {
      window.qvlHeard.pieces.push(samples.slice());
      window.qvlHeard.frames += samples.length / 2;
    };
  }, 0);
}

// Everything tapped so far, as interleaved samples.
async function heard(page) {
  const text = await page.evaluate(() => {
    const bytes = new Uint8Array(2 * 2 * window.qvlHeard.frames);
    let at = 0;
    for (const piece of window.qvlHeard.pieces) {
      bytes.set(new Uint8Array(piece.buffer, piece.byteOffset, piece.byteLength), at);
      at += piece.byteLength;
    }
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000)
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(binary);
  });
  return new Int16Array(new Uint8Array(Buffer.from(text, 'base64')).buffer);
}

const framesOf = (samples) => samples.length / 2;
const silentFrame = (samples, i) => samples[2 * i] === 0 && samples[2 * i + 1] === 0;

// How many frames of tap from at equal those of song from its frame from.
function matching(tap, at, song, from = 0) {
  let n = 0;
  while (at + n < framesOf(tap) && from + n < framesOf(song) &&
         tap[2 * (at + n)] === song[2 * (from + n)] &&
         tap[2 * (at + n) + 1] === song[2 * (from + n) + 1])
    ++n;
  return n;
}

// The first block start at or after frame after where the tap holds the song's first frames
// (half a second of them); -1 when there is none.
function songStart(tap, after, song) {
  for (let at = Math.ceil(after / kBlock) * kBlock; at + kRate / 2 <= framesOf(tap); at += kBlock)
    if (matching(tap, at, song) >= kRate / 2) return at;
  return -1;
}

async function waitFrames(page, frames) {
  await page.waitForFunction((n) => window.qvlHeard.frames >= n, {timeout: 20000}, frames);
}

function check(condition, what) {
  if (!condition) throw new Error(what);
}

async function music(browser, url, errors) {
  const intro = wavSamples(path.join(expected, 'intro.wav'));
  const drift = wavSamples(path.join(expected, 'drift.wav'));
  const page = await web.openPage(browser, errors);
  await page.evaluateOnNewDocument(tapSound);
  await page.goto(url);
  await page.waitForFunction(() => window.qvlHeard && window.Module.qvlAudioTap, {timeout: 5000});
  await page.mouse.click(5, 5);  // the gesture that starts the sound
  await waitFrames(page, kLap + kRate);

  // Hidden behind another tab: the animation frames stop, the music goes on.
  const other = await browser.newPage();
  await other.bringToFront();
  await web.sleep(300);
  const before = await page.evaluate(() => ({...window.qvlHeard, pieces: undefined}));
  await web.sleep(2000);
  const after = await page.evaluate(() => ({...window.qvlHeard, pieces: undefined,
                                            visibility: document.visibilityState}));
  check(after.visibility === 'hidden', 'the page was not hidden');
  check(after.animationFrames === before.animationFrames,
        `${after.animationFrames - before.animationFrames} animation frames in 2 s hidden`);
  check(after.frames - before.frames >= 1.5 * kRate,
        `${after.frames - before.frames} frames played in 2 s hidden`);
  await page.bringToFront();
  await other.close();

  let tap = await heard(page);
  for (let i = 0; i < kLap; ++i) check(silentFrame(tap, i), `frame ${i} of the first lap sounds`);
  const unbroken = matching(tap, kLap, intro);
  check(kLap + unbroken === framesOf(tap),
        `the start song differs from xm2wav's at its frame ${unbroken}`);

  // F9 off: silence; F9 on: the song from its start at a block's start.
  await page.keyboard.press('F9');
  await web.sleep(1000);
  await page.keyboard.press('F9');
  await waitFrames(page, framesOf(tap) + 3 * kRate);
  tap = await heard(page);
  const stop = kLap + matching(tap, kLap, intro);
  const again = songStart(tap, stop, intro);
  check(again > 0, 'after F9 twice the start song did not start again');
  // the voices may ramp down during one block after the stop
  for (let i = stop + kBlock; i < again; ++i) check(silentFrame(tap, i), `frame ${i} after F9 sounds`);
  check(again - stop >= kRate / 2, `F9 stopped the music for ${again - stop} frames only`);

  // N: the next song of the list, after a pause of about 200 ms (on the desktop ten blocks).
  await page.keyboard.press('n');
  await waitFrames(page, framesOf(tap) + 2 * kRate);
  tap = await heard(page);
  const switched = again + matching(tap, again, intro);
  const next = songStart(tap, switched, drift);
  check(next > 0, '"nextmusic" did not start the second song');
  let lastSound = next - 1;
  while (lastSound > switched && silentFrame(tap, lastSound)) --lastSound;
  const pause = (next - lastSound - 1) / kRate * 1000;
  check(pause >= 150 && pause <= 300, `the pause between the songs lasted ${pause} ms`);
  check(matching(tap, next, drift) === framesOf(tap) - next, 'the second song differs from xm2wav');
  return pause;
}

async function missingFont(browser, url) {
  const errors = [];
  const page = await web.openPage(browser, errors);
  await page.goto(url);
  await page.waitForSelector('#messages .box', {timeout: 10000});
  const box = await page.$eval('#messages .box', (b) => [b.querySelector('.caption').textContent,
                                                         b.querySelector('.text').textContent]);
  check(box[0] === 'morrowick', `the box is captioned "${box[0]}"`);
  check(box[1] === 'font file cannot be loaded! terminating...', `the box says "${box[1]}"`);
  check(await page.$eval('#screen', (c) => c.hidden), 'the picture shows after a failed start');
  // the message goes to the console too, and nothing else does
  check(errors.length === 1 && errors[0].includes(box[1]), 'console: ' + errors.join(' | '));
}

async function main() {
  const demo = await web.serve(www), broken = await web.serve(noFont);
  const errors = [];
  try {
    const pause = await web.withBrowser(async (browser) => {
      const pause = await music(browser, web.urlOf(demo), errors);
      await missingFont(browser, web.urlOf(broken));
      return pause;
    });
    if (errors.length) throw new Error('console errors: ' + errors.join(' | '));
    console.log('web sound: the start song as xm2wav renders it, hidden too; F9 off and on;');
    console.log(`     "nextmusic" to the next song after ${pause.toFixed(1)} ms of silence;`);
    console.log('     the missing font in the page');
  } finally {
    demo.close();
    broken.close();
  }
}

main().catch((error) => {
  console.error('web sound test failed:', error.message);
  process.exit(1);
});
