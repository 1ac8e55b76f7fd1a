// The web build in headless chromium (puppeteer-core), served from 127.0.0.1 and from the disk:
// the canvas against magshot's frames after the same keys, pixel for pixel; the samples the ring
// device hands to the browser (Module.qvlAudioTap) against xm2wav's renders, sample for sample:
// the start song after the first lap of silence, on while the tab is hidden, F9 off and on, N
// ("nextmusic") to the next song after about 200 ms; a missing font's message in the page; no
// console errors; the mouse, and a phone's finger and key strip, upright and sideways. Prints the
// time from the page's start to the first picture.
// usage: node browser_test.cjs WWW_DIR SINGLE_HTML NO_FONT_WWW_DIR EXPECTED_DIR
// EXPECTED_DIR: home.raw (the home page after its fade) and home.txt (its text), third.raw (after
// Down Down Return and the fade), back.raw (after Esc and the fade); one.raw, one-down.raw and
// one-end.raw (chapter one, after a wheel notch down, at its end); intro.wav and drift.wav (the
// demo's first two songs).
'use strict';
const fs = require('fs'), path = require('path');
const {launch} = require('./chromium.cjs');
const {serve} = require('./static_server.cjs');

const [www, single, noFont, expected] = process.argv.slice(2);
const {kRate, kBlock, kLap, sleep, check, widened, canvasPixels, expectCanvas, wavSamples, frames,
       silent, matching, openPage} = require('./page_checks.cjs')(expected);

// In the page: counts animation frames and keeps every piece of samples handed to the browser.
function tapSound() {
  const heard = window.qvlHeard = {pieces: [], frames: 0, animationFrames: 0};
  const count = () => requestAnimationFrame(count, ++heard.animationFrames);
  count();
  const watch = setInterval(() => {
    if (!window.Module) return;
    clearInterval(watch);
    window.Module.qvlAudioTap = (samples) => {
      heard.pieces.push(samples.slice());
      heard.frames += samples.length / 2;
    };
  }, 0);
}

// Everything tapped so far, as interleaved samples (through base64: one string, not an array).
async function heard(page) {
  const text = await page.evaluate(() => {
    let binary = '';
    for (const p of window.qvlHeard.pieces)
      binary += String.fromCharCode(...new Uint8Array(p.buffer, p.byteOffset, p.byteLength));
    return btoa(binary);
  });
  return new Int16Array(new Uint8Array(Buffer.from(text, 'base64')).buffer);
}

// The first block from frame after on where the song starts (half a second of it); -1 if none.
function songStart(tap, after, song) {
  for (let at = Math.ceil(after / kBlock) * kBlock; at + kRate / 2 <= frames(tap); at += kBlock)
    if (matching(tap, at, song) >= kRate / 2) return at;
  return -1;
}

const waitFrames = (page, n) =>
  page.waitForFunction((n) => window.qvlHeard.frames >= n, {timeout: 20000}, n);

async function pictures(browser, url, errors) {
  const page = await openPage(browser, errors, url);
  await expectCanvas(page, 'home');
  const first = await page.evaluate(() => Module.qvlFirstPicture);
  // the demo's home page is called "contents" in its script
  for (const file of [path.join(www, 'index.html'), single])
    check(fs.readFileSync(file, 'utf8').includes('<title>contents</title>'), file + ': title');
  // the canvas is scaled by a whole multiple that fits: 2 in 1400 x 1000
  const width = await page.$eval('#screen', (c) => c.getBoundingClientRect().width);
  check(width === 1280, `canvas shown ${width} pixels wide, not 1280`);
  // Alt+Enter is the page's full-screen key: the menu must not see a Return
  await page.keyboard.down('Alt');
  await page.keyboard.press('Enter');
  await page.keyboard.up('Alt');
  await page.waitForFunction(() => document.fullscreenElement !== null, {timeout: 5000});
  await sleep(500);
  check((await canvasPixels(page)).equals(widened('home')), 'Alt+Enter reached the magazine');
  await page.evaluate(() => document.exitFullscreen());
  for (const key of ['ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
  await expectCanvas(page, 'third');
  check(await page.$eval('#hint', (h) => h.hidden), 'the hint stayed after a key');
  await page.keyboard.press('Escape');
  await expectCanvas(page, 'back');
  await page.keyboard.press('F12');
  await page.waitForFunction(() => !document.getElementById('ended').hidden, {timeout: 5000});

  const file = await openPage(browser, errors, 'file://' + path.resolve(single));
  await expectCanvas(file, 'home');
  const fromDisk = await file.evaluate(() => Module.qvlFirstPicture);
  return `the first picture ${first.toFixed(0)} ms after the page's start (a fresh browser), ` +
         `from the single file ${fromDisk.toFixed(0)} ms`;
}

// Picture pixel (x, y) in the page's CSS pixels, wherever and however large the canvas is.
const pageAt = (page, x, y) => page.$eval('#screen', (c, x, y) => {
  const r = c.getBoundingClientRect();
  return [r.left + (x + 0.5) * r.width / 640, r.top + (y + 0.5) * r.height / 480];
}, x, y);

// The mouse: Ctrl+C copies the page's text as magshot --text writes it and leaves the magazine
// alone; a double click on the third entry (line 28: pixels 88-527 across, 324-335 down) opens
// chapter three as Down Down Return do and does not switch full screen; the wheel scrolls
// chapter one as magshot's notch does.
async function mouse(browser, url, errors) {
  await browser.defaultBrowserContext().overridePermissions(url, ['clipboard-read',
      'clipboard-sanitized-write']);
  const page = await openPage(browser, errors, url);
  await expectCanvas(page, 'home');
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyC');
  await page.keyboard.up('Control');
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  check(copied === fs.readFileSync(path.join(expected, 'home.txt'), 'utf8'), 'Ctrl+C copied ' +
        JSON.stringify(copied.slice(0, 60)));
  check((await canvasPixels(page)).equals(widened('home')), 'Ctrl+C reached the magazine');
  await page.mouse.click(...await pageAt(page, 300, 330), {count: 2});
  await expectCanvas(page, 'third');
  check(await page.evaluate(() => document.fullscreenElement === null), 'full screen on a choice');
  await page.keyboard.press('Escape');
  await expectCanvas(page, 'back');
  await page.keyboard.press('Home');
  await page.keyboard.press('Enter');
  await expectCanvas(page, 'one');
  await page.mouse.move(...await pageAt(page, 300, 200));
  await page.mouse.wheel({deltaY: 100});
  await expectCanvas(page, 'one-down');
  await page.close();
}

// A phone, held upright and then sideways, with a finger: the canvas lies inside the viewport
// (upright it fills the width); the strip shows the keys the home page answers (the magazine's
// Esc, F1, Left and N, then the music key and the menu's Return); two taps on the third entry
// open chapter three and the strip's Esc brings the contents back; strokes up on chapter one
// scroll it to its end as End does.
async function phone(browser, url, errors, width, height) {
  const page = await openPage(browser, errors, url, undefined,
                              {width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
  await expectCanvas(page, 'home');
  const [canvas, strip] = await page.evaluate(() => ['#screen', '#strip'].map((id) => {
    const r = document.querySelector(id).getBoundingClientRect();
    return {left: r.left, top: r.top, right: r.right, bottom: r.bottom};
  }));
  const where = `${width} x ${height}: canvas ${JSON.stringify(canvas)}`;
  check(canvas.left >= 0 && canvas.top >= 0 && canvas.right <= width && canvas.bottom <= height,
        where + ' leaves the viewport');
  if (height > width) {
    check(canvas.right - canvas.left >= width - 4, where + ' does not fill the width');
    check(strip.top >= canvas.bottom, `${where}: the strip is not below it`);
  } else {
    check(strip.left >= canvas.right, `${where}: the strip is not beside it`);
  }
  const keys = () => page.$$eval('#strip button', (b) => b.map((button) => button.textContent));
  const names = (await keys()).join(' ');
  check(names === 'Esc F1 Left N F9 Return', `${width} x ${height}: the strip shows ${names}`);
  const tap = async (x, y) => page.touchscreen.tap(...await pageAt(page, x, y));
  await tap(300, 330);
  await tap(300, 330);
  await expectCanvas(page, 'third');
  check((await keys()).includes('Right'), 'the strip did not change with the page');
  await (await page.$('#strip button')).tap();  // Esc
  await expectCanvas(page, 'back');
  await tap(300, 306);  // the first entry, line 26
  await tap(300, 306);
  await expectCanvas(page, 'one');
  for (let stroke = 0; stroke < 6; ++stroke) {
    const [x, y] = await pageAt(page, 300, 400);
    await page.touchscreen.touchStart(x, y);
    for (let step = 1; step <= 10; ++step) await page.touchscreen.touchMove(x, y - 25 * step);
    await page.touchscreen.touchEnd();
    await sleep(100);
  }
  await expectCanvas(page, 'one-end');
  await page.close();
}

// The text layer at 1 x and 2 x: a screen reader's tree holds the page's name and every menu
// entry of home.txt, and the ANSI cover as one picture named after its file; lines lie over
// their cells; a mouse selection over line 38 holds that line; find-in-page finds a word of the
// page shown and none of chapter one. Then chapter three: at 1 x by Down Down Return, at 2 x by
// focusing its entry (which becomes the current one) and Enter; the live region names it. At 2 x
// a screen reader's click on the first entry (a click with no pointer) opens chapter one.
async function textLayer(browser, url, errors, scale) {
  const page = await openPage(browser, errors, url, undefined,
                              {width: 700 * scale, height: 500 * scale});
  await expectCanvas(page, 'home');
  const home = fs.readFileSync(path.join(expected, 'home.txt'), 'utf8').split('\n');
  const tree = await page.accessibility.snapshot();
  const nodes = [];
  const walk = (node) => { nodes.push(node); (node.children || []).forEach(walk); };
  walk(tree);
  const named = (role, name) => nodes.some((n) => n.role === role && n.name === name);
  const words = (text) => text.trim().replace(/\s+/g, ' ');
  check(named('region', 'contents'), 'no region named after the page');
  check(named('image', 'art\\cover.ans'), 'the ANSI cover is not one named picture');
  for (const line of [...home.slice(25, 34), home[35]])
    check(nodes.some((n) => n.role === 'button' && words(n.name) === words(line)),
          `no menu entry "${words(line)}" for a screen reader`);
  const boxes = await page.evaluate(() => {
    const canvas = document.getElementById('screen').getBoundingClientRect();
    return [...document.querySelectorAll('#layer .line')].map((line) => {
      const r = line.getBoundingClientRect();
      return {text: line.textContent, left: r.left - canvas.left, top: r.top - canvas.top,
              width: r.width, height: r.height};
    });
  });
  for (const k of [0, 25, 35, 37]) {  // the cover's top, two entries, the last text line
    const box = boxes.find((b) => b.text === home[k]);
    check(box, `line ${k + 1} is not in the layer`);
    const near = (a, b) => Math.abs(a - b) <= 1;
    check(near(box.left, 0) && near(box.top, 12 * k * scale) && near(box.height, 12 * scale) &&
          near(box.width, 8 * [...home[k]].length * scale),
          `line ${k + 1} lies at ${JSON.stringify(box)} at ${scale} x`);
  }
  const [x0, y] = await pageAt(page, 1, 12 * 37 + 6);
  const [x1] = await pageAt(page, 8 * home[37].length - 1, 12 * 37 + 6);
  await page.mouse.move(x0, y);
  await page.mouse.down();
  await page.mouse.move(x1, y, {steps: 5});
  await page.mouse.up();
  const selected = await page.evaluate(() => getSelection().toString());
  check(selected === home[37], `the selection holds "${selected}"`);
  const found = await page.evaluate(() => [window.find('sixteen', false, false, true),
                                           window.find('mark-up and all', false, false, true)]);
  check(found[0] && !found[1], `find-in-page found ${found}`);
  await page.evaluate(() => getSelection().removeAllRanges());
  const current = () => page.$$eval('#layer .entry', (all) =>
    all.findIndex((entry) => entry.getAttribute('aria-current') === 'true'));
  check(await current() === 0, 'the first entry is not the current one');
  if (scale === 1) {
    for (const key of ['ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
  } else {
    await sleep(600);  // a focus right after the mouse's press would be the mouse's
    await page.$$eval('#layer .entry', (all) => all[2].focus());
    await page.waitForFunction(() => document.querySelectorAll('#layer .entry')[2]
                                         .getAttribute('aria-current') === 'true');
    await page.keyboard.press('Enter');
  }
  await expectCanvas(page, 'third');
  await page.waitForFunction(() => document.getElementById('announce').textContent
                                       .startsWith('Text and mark-up'), {timeout: 5000});
  if (scale === 2) {
    await page.keyboard.press('Escape');
    await expectCanvas(page, 'back');
    await page.$$eval('#layer .entry', (all) => all[0].click());
    await expectCanvas(page, 'one');
  }
  await page.close();
}

// With script off the packed page shows the magazine's words: a heading for each page the
// demo's script starts and the first plain line it gives each page (read from the script here,
// not through the viewer's reader), with the viewer's room left out.
async function packedWords(browser, url) {
  const page = await browser.newPage();
  await page.setJavaScriptEnabled(false);
  await page.goto(url);
  const [headings, text, stage] = await page.evaluate(() => [
    [...document.querySelectorAll('#words h2')].map((h) => h.textContent),
    document.getElementById('words').innerText,
    getComputedStyle(document.getElementById('stage')).display]);
  check(stage === 'none', 'the viewer\'s room shows with script off');
  const script = fs.readFileSync(path.join(__dirname, '../../demo/qvl.mag'), 'latin1');
  const pages = script.split(/^(?=#startpage )/m).slice(1);
  const names = pages.map((part) => part.match(/^#startpage \d+ "(.*)"/)[1]);
  check(JSON.stringify(headings) === JSON.stringify(names), 'the packed headings: ' + headings);
  for (const part of pages) {
    const plain = part.split('\n').slice(1).map((line) => line.trim()).find((line) =>
      line && !line.startsWith('#') && !line.startsWith('//') && !line.includes('<'));
    if (plain) check(text.includes(plain), `no "${plain}" in the packed words`);
  }
  await page.close();
}

async function music(browser, url, errors) {
  const intro = wavSamples('intro'), drift = wavSamples('drift');
  const page = await openPage(browser, errors, url, tapSound);
  await page.waitForFunction(() => Module.qvlFirstPicture, {timeout: 10000});  // main has run
  await page.mouse.click(5, 5);  // the gesture that starts the sound
  await waitFrames(page, kLap + kRate);
  // Hidden behind another tab: the animation frames stop, the music goes on.
  const other = await browser.newPage();
  await other.bringToFront();
  await sleep(300);
  const state = () => page.evaluate(() =>
    [window.qvlHeard.frames, window.qvlHeard.animationFrames, document.visibilityState]);
  const [before, framesBefore] = await state();
  await sleep(2000);
  const [after, framesAfter, visibility] = await state();
  check(visibility === 'hidden' && framesAfter === framesBefore, 'animation frames went on hidden');
  check(after - before >= 1.5 * kRate, `${after - before} frames played in 2 s hidden`);
  await page.bringToFront();
  await other.close();
  let tap = await heard(page);
  for (let i = 0; i < kLap; ++i) check(silent(tap, i), `frame ${i} of the first lap sounds`);
  check(kLap + matching(tap, kLap, intro) === frames(tap), 'the start song differs from xm2wav');

  // F9 off: silence; F9 on: the song from its start, at a block's start.
  await page.keyboard.press('F9');
  await sleep(1000);
  await page.keyboard.press('F9');
  await waitFrames(page, frames(tap) + 3 * kRate);
  tap = await heard(page);
  const stop = kLap + matching(tap, kLap, intro), again = songStart(tap, stop, intro);
  check(again - stop >= kRate / 2, `F9 twice: the song again after ${again - stop} frames`);
  // the voices may ramp down during one block after the stop
  for (let i = stop + kBlock; i < again; ++i) check(silent(tap, i), `frame ${i} after F9 sounds`);

  // N: the next song of the list, after a pause of about 200 ms (on the desktop ten blocks).
  await page.keyboard.press('n');
  await waitFrames(page, frames(tap) + 2 * kRate);
  tap = await heard(page);
  const switched = again + matching(tap, again, intro), next = songStart(tap, switched, drift);
  check(next > 0 && next + matching(tap, next, drift) === frames(tap), 'no second song after N');
  let sound = next - 1;
  while (sound > switched && silent(tap, sound)) --sound;
  const pause = (next - sound - 1) / kRate * 1000;
  check(pause >= 150 && pause <= 300, `the pause between the songs lasted ${pause} ms`);
  return `"nextmusic" after ${pause.toFixed(1)} ms of silence`;
}

async function missingFont(browser, url) {
  const errors = [];
  const page = await openPage(browser, errors, url);
  await page.waitForSelector('#messages .box', {timeout: 10000});
  const box = await page.$eval('#messages .box', (b) =>
    Array.from(b.children, (part) => part.textContent).join('\n'));  // caption and text
  check(box === 'morrowick\nfont file cannot be loaded! terminating...', `the box says "${box}"`);
  check(await page.$eval('#screen', (c) => c.hidden), 'the picture shows after a failed start');
  // the message goes to the console too, and nothing else does
  check(errors.length === 1 && errors[0].includes('font file'), 'console: ' + errors.join(' | '));
}

async function main() {
  const demo = await serve(www), broken = await serve(noFont);
  const browser = await launch(['--disable-quic', '--autoplay-policy=no-user-gesture-required']);
  try {
    const errors = [];
    const url = `http://127.0.0.1:${demo.address().port}/`;
    const figures = [await pictures(browser, url, errors), await music(browser, url, errors)];
    await mouse(browser, url, errors);
    await phone(browser, url, errors, 390, 844);
    await phone(browser, url, errors, 844, 390);
    await textLayer(browser, url, errors, 1);
    await textLayer(browser, url, errors, 2);
    await packedWords(browser, url);
    await missingFont(browser, `http://127.0.0.1:${broken.address().port}/`);
    check(errors.length === 0, 'console errors: ' + errors.join(' | '));
    console.log('web: pictures as magshot draws them, served and from the disk; music as xm2wav');
    console.log('     renders it, hidden too, F9 and N; the missing font in the page; the mouse\'s');
    console.log('     double click and wheel as magshot draws them, Ctrl+C as magshot --text; a');
    console.log('     phone upright and sideways: taps, strokes and the key strip, the same frames');
    console.log('web: ' + figures.join('; '));
  } finally {
    await browser.closeAndClean();
    demo.close();
    broken.close();
  }
}

main().catch((error) => {
  console.error('web test failed:', error.message);
  process.exit(1);
});
