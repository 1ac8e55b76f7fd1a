// The reader page in headless chromium, opening the zips make_zips.py wrote (SITE_DIR/zips,
// SITE_DIR/shared) beside the reader (SITE_DIR/reader): the demo zipped in a folder with names
// in mixed case by ?magazine=, by the file picker, as a folder by the picker and by a drop, one
// zip down, and from another site that allows it, each against magshot's frames after the same
// keys; its end (F12) bringing the chooser back; on a phone the picture and key strip as in a
// packed page; two magazines at one depth listed by name; every bad input's message, after which the
// demo opens; a second magazine's picture and samples and none of the first's. Prints the
// page's download size and the time from ?magazine= to the first picture.
// usage: node reader_test.cjs SITE_DIR DEMO_DIR EXPECTED_DIR (as browser_test.cjs's)
'use strict';
const fs = require('fs'), path = require('path');
const {launch} = require('./chromium.cjs');
const {serve} = require('./static_server.cjs');

const [site, demo, expected] = process.argv.slice(2);
const {kLap, check, expectCanvas, wavSamples, frames, silent, matching, openPage} =
    require('./page_checks.cjs')(expected);

// The magazine's frame that opened last, once its viewer has drawn a first picture; a frame
// already seen is not taken again (the last magazine runs on until the next one starts).
async function viewer(page) {
  const frame = await page.waitForFunction(() => {
    const frame = document.getElementById('viewer');
    return frame && !frame.dataset.seen && frame.contentWindow.Module &&
           frame.contentWindow.Module.qvlFirstPicture && frame;
  }, {timeout: 20000});
  await frame.evaluate((element) => { element.dataset.seen = 'yes'; });
  return frame.contentFrame();
}

const problem = (page) => page.$eval('#problem', (p) => p.textContent);
const notes = (page) => page.$eval('#notes', (p) => p.textContent);

// Waits for the chooser's message and checks it holds every part of want.
async function expectProblem(page, ...want) {
  await page.waitForFunction(() => document.getElementById('problem').textContent,
                             {timeout: 20000});
  const text = await problem(page);
  for (const part of want) check(text.includes(part), `the page says "${text}", not ${part}`);
}

async function openAddress(page, address) {
  await page.$eval('#address', (field, text) => { field.value = text; }, address);
  await page.click('#address-form button');
}

// The demo's home page, then Down Down Return: chapter three.
async function expectDemo(page) {
  const frame = await viewer(page);
  await expectCanvas(frame, 'home');
  for (const key of ['ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
  await expectCanvas(frame, 'third');
}

async function byAddress(browser, base, errors) {
  const page = await openPage(browser, errors, base + 'reader/?magazine=../zips/demo.zip');
  await expectDemo(page);
  check(page.url().endsWith('?magazine=..%2Fzips%2Fdemo.zip'), 'the address is ' + page.url());
  check(await notes(page) === '', 'notes: ' + await notes(page));
  // one zip down, and from another site (localhost is another origin) that allows it
  for (const address of ['../zips/wrapped/demo.zip', base.replace('127.0.0.1', 'localhost') +
                         'shared/demo.zip']) {
    await page.click('#another');
    await openAddress(page, address);
    await page.waitForFunction((text) => document.getElementById('name').textContent === text &&
                               document.getElementById('chooser').hidden, {}, address);
    await expectDemo(page);
  }
  await page.close();
}

async function byPicker(browser, base, errors) {
  const page = await openPage(browser, errors, base + 'reader/');
  check(!await page.$eval('#chooser', (c) => c.hidden), 'no chooser without a magazine');
  await (await page.$('#pick-zip')).uploadFile(path.join(site, 'zips/demo.zip'));
  await expectDemo(page);
  check(!page.url().includes('?'), 'a picked zip left an address: ' + page.url());
  await page.click('#another');
  await (await page.$('#pick-folder')).uploadFile(demo);
  await expectDemo(page);
  await page.click('#another');
  // a drag from the desktop: the folder over the drop zone, then let go
  const zone = await (await page.$('#drop')).boundingBox();
  const at = {x: zone.x + 10, y: zone.y + 10};
  const dragged = {items: [], files: [path.resolve(demo)], dragOperationsMask: 1};
  await page.mouse.dragEnter(at, dragged);
  await page.mouse.dragOver(at, dragged);
  await page.mouse.drop(at, dragged);
  await expectDemo(page);
  // F12 ends the magazine: its frame goes and the chooser comes back
  await page.keyboard.press('F12');
  await page.waitForFunction(() => !document.getElementById('viewer') &&
                             !document.getElementById('chooser').hidden, {timeout: 5000});
  check(await notes(page) === 'The magazine has ended.', 'notes: ' + await notes(page));
  await page.close();
}

// On a phone held upright the frame's picture spans the screen's width and its key strip shows
// the home page's keys, as in a packed page.
async function onPhone(browser, base, errors) {
  const page = await openPage(browser, errors, base + 'reader/?magazine=../zips/demo.zip',
                              undefined, {width: 390, height: 844, deviceScaleFactor: 3,
                                          isMobile: true, hasTouch: true});
  const frame = await viewer(page);
  await expectCanvas(frame, 'home');
  const width = await frame.$eval('#screen', (c) => c.getBoundingClientRect().width);
  check(width >= 386, `the picture is ${width} pixels wide on a phone`);
  const keys = await frame.$$eval('#strip button', (all) => all.map((b) => b.textContent));
  check(keys.join(' ') === 'Esc F1 Left N F9 Return', 'the strip shows ' + keys);
  await page.close();
}

// Two magazines at one depth: both listed, in their folders' names (one in code page 437, one
// in UTF-8); either opens.
async function twoMagazines(browser, base, errors) {
  const page = await openPage(browser, errors, base + 'reader/?magazine=../zips/two.zip');
  await page.waitForSelector('#choices:not([hidden]) button', {timeout: 20000});
  const names = await page.$$eval('#choices button', (all) => all.map((b) => b.textContent));
  check(JSON.stringify(names) === '["Ärger","Ωmega"]', 'the list holds ' + names);
  await page.click('#choices li:nth-child(2) button');
  await expectDemo(page);
  await page.close();
}

// Each bad input's message in the chooser; the demo still opens after them all. Its failed
// fetches (404, the other site's refusal) and the missing font are the browser's and the
// viewer's own console errors, not counted.
async function badInputs(browser, base) {
  const page = await openPage(browser, [], base + 'reader/');
  const cases = [
    ['../zips/not-a-zip.zip', 'it is not a zip file'],
    ['../zips/none.zip', 'there is no qvl.mag in it'],
    ['../zips/missing.zip', 'the server answered 404'],
    [base.replace('127.0.0.1', 'localhost') + 'zips/demo.zip', 'does not let other pages read it'],
    ['../zips/many.zip', 'it holds 20001 entries; at most 20000 are read'],
    ['../zips/huge.zip', 'its files hold more than 256 MiB'],
    ['../zips/escape.zip', 'it holds the name "../escape.txt", which leads outside the zip'],
  ];
  for (const [address, message] of cases) {
    await page.$eval('#problem', (p) => { p.textContent = ''; });
    await openAddress(page, address);
    await expectProblem(page, `${address} cannot be opened: `, message);
    check(await page.$('#viewer') === null, address + ' started a viewer');
  }
  // a damaged entry is named and left out; a file that claims 1 KB stops there
  for (const [zip, entry, why] of [
    ['damaged', 'QUORVEL DEMO/data/system/FONT-LICENSE', 'damaged'],
    ['bomb', 'bomb.bin', 'it holds more than the 1024 bytes it claims']]) {
    await openAddress(page, `../zips/${zip}.zip`);
    await page.waitForFunction((entry) => document.getElementById('notes').textContent
                                   .includes(entry), {timeout: 20000}, `${entry} is damaged (`);
    const said = await notes(page);
    check(said.includes(why), 'notes: ' + said);
    await expectDemo(page);
    await page.click('#another');
  }
  // the viewer's own message where the magazine needs the damaged entry; the page's where a
  // file and a folder have one name
  for (const [zip, message] of [
    ['no-font', 'font file cannot be loaded! terminating...'],
    ['clash', 'The magazine did not load. art/banner.ans cannot be written: a file and a ' +
              'folder have one name.']]) {
    await openAddress(page, `../zips/${zip}.zip`);
    await page.waitForFunction(() => {
      const frame = document.getElementById('viewer');
      return frame && !frame.dataset.seen && frame.contentDocument.querySelector('#messages .box');
    }, {timeout: 20000});
    const frame = await (await page.$('#viewer')).contentFrame();
    const box = await frame.$eval('#messages .text', (text) => text.textContent);
    check(box === message, 'the viewer says ' + box);
    if (zip === 'no-font')
      check((await notes(page)).includes('font.bmp is damaged'), 'no note on font.bmp');
    await page.$eval('#viewer', (element) => { element.dataset.seen = 'yes'; });
    await page.click('#another');
  }
  await openAddress(page, '../zips/demo.zip');
  await expectDemo(page);
  await page.close();
}

// In every frame: the samples it hands to the browser, kept in the top page with the frame's
// number, and when each frame's last document went (the frame's first document, which the
// viewer's page replaces in the same window, may go first).
function tapFrames() {
  const top = window.top;
  if (window === top) {
    Object.assign(window, {qvlHeard: [], qvlFrames: 0, qvlGone: []});
    return;
  }
  const number = top.qvlFrames++;
  addEventListener('pagehide', () => { top.qvlGone[number] = top.performance.now(); });
  const watch = setInterval(() => {
    if (!window.Module) return;
    clearInterval(watch);
    window.Module.qvlAudioTap = (samples) => top.qvlHeard.push(
        {number, at: top.performance.now(), samples: Array.from(samples)});
  }, 0);
}

// The demo, then other.zip (chapter one with the second song): from the second frame's start
// on only the second frame sounds, and it plays the second song after the silent lap.
async function secondMagazine(browser, base, errors) {
  const page = await openPage(browser, errors, base + 'reader/?magazine=../zips/demo.zip',
                              tapFrames);
  await expectCanvas(await viewer(page), 'home');
  const startSound = () => page.mouse.click(5, 100);  // beside the picture, in the frame
  await startSound();
  await page.waitForFunction(() => window.qvlHeard.length > 50, {timeout: 20000});
  await page.click('#another');
  await openAddress(page, '../zips/other.zip');
  await expectCanvas(await viewer(page), 'one');
  await startSound();
  await page.waitForFunction((n) => window.qvlHeard.filter((p) => p.number === 1)
                                 .reduce((sum, p) => sum + p.samples.length, 0) >= 2 * n,
                             {timeout: 20000}, kLap + 44100);
  const [pieces, count, gone] = await page.evaluate(() => [window.qvlHeard, window.qvlFrames,
                                                           window.qvlGone]);
  check(count === 2 && gone[0] !== undefined, `${count} frames, gone ${gone}`);
  const second = pieces.filter((p) => p.number === 1);
  check(second[0].at > gone[0], 'the second magazine sounded before the first had gone');
  check(pieces.every((p) => p.number === 1 || p.at < gone[0]), 'the first magazine sounded on');
  const tap = Int16Array.from(second.flatMap((p) => p.samples));
  for (let i = 0; i < kLap; ++i) check(silent(tap, i), `frame ${i} of the first lap sounds`);
  check(kLap + matching(tap, kLap, wavSamples('drift')) === frames(tap),
        'the second magazine does not play its own song');
  await page.close();
}

// The median time from a page's start with ?magazine= to the first picture, over loads in a
// running browser.
async function firstPicture(browser, base, errors) {
  const times = [];
  for (let load = 0; load < 7; ++load) {
    const page = await openPage(browser, errors, base + 'reader/?magazine=../zips/demo.zip');
    const frame = await viewer(page);
    const [pageStart, frameStart] = await page.evaluate(() => [
      performance.timeOrigin, document.getElementById('viewer').contentWindow.performance
          .timeOrigin]);
    times.push(frameStart - pageStart + await frame.evaluate(() => Module.qvlFirstPicture));
    await page.close();
  }
  times.sort((a, b) => a - b);
  return times[3];
}

async function main() {
  const server = await serve(site, '/shared/');
  const browser = await launch(['--disable-quic', '--autoplay-policy=no-user-gesture-required']);
  try {
    const errors = [];
    const base = `http://127.0.0.1:${server.address().port}/`;
    for (const part of [byAddress, byPicker, onPhone, twoMagazines, secondMagazine, badInputs]) {
      await part(browser, base, errors).catch((error) => {
        throw new Error(`${part.name}: ${error.message}`);
      });
    }
    const median = await firstPicture(browser, base, errors);
    check(errors.length === 0, 'console errors: ' + errors.join(' | '));
    const size = ['index.html', 'reader.js', 'zip_reader.js', 'viewer.html', 'quorvel.js',
                  'quorvel.wasm'].reduce((sum, name) =>
      sum + fs.statSync(path.join(site, 'reader', name)).size, 0);
    console.log('reader: the demo by address, picker, folder and drop, one zip down and from');
    console.log('        another site, as magshot draws it; two magazines listed; every bad');
    console.log('        input named; a second magazine with none of the first');
    console.log(`reader: ${size} bytes to download; the first picture ${median.toFixed(0)} ms ` +
                'after the page\'s start (median of 7 loads)');
  } finally {
    await browser.closeAndClean();
    server.close();
  }
}

main().catch((error) => {
  console.error('reader test failed:', error.message);
  process.exit(1);
});
