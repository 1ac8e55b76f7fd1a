// What a still page costs the browser, and whether the sound keeps pace on a slow machine: the
// packed folder served from 127.0.0.1 in headless chromium, the demo's home page with its music.
// - The main thread's task time (chromium's TaskDuration) over 10 s, at normal speed and with
//   the CPU throttled 4 x, as a cheap phone runs.
// - Then, still at 4 x, the demo's densest song (pulse: ten channels, N twice from the start
//   song) for 10 s: the audio callbacks that came too late. A callback is late when the context's
//   clock has already passed the time its frames were to be played (its playbackTime): the
//   browser then played something else there, a gap in the music.
// usage: node still_cost.cjs WWW_DIR [SECONDS]
'use strict';
const {launch} = require('../../tests/web/chromium.cjs');
const {serve} = require('../../tests/web/static_server.cjs');

const [www, seconds = '10'] = process.argv.slice(2);
const span = Number(seconds) * 1000;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function taskSeconds(page) {
  const before = (await page.metrics()).TaskDuration;
  await sleep(span);
  return (await page.metrics()).TaskDuration - before;
}

async function main() {
  const server = await serve(www);
  const browser = await launch(['--autoplay-policy=no-user-gesture-required']);
  try {
    const page = await browser.newPage();
    await page.setViewport({width: 1400, height: 1000});
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    await page.waitForFunction(() => window.Module && Module.qvlFirstPicture, {timeout: 20000});
    await page.mouse.click(5, 5);  // the gesture that starts the sound
    await page.waitForFunction(() => Module.qvlAudio && Module.qvlAudio.node, {timeout: 5000});
    await sleep(4000);  // past the home page's fade
    const normal = await taskSeconds(page);
    await page.emulateCPUThrottling(4);
    await sleep(1000);
    const slow = await taskSeconds(page);

    await page.keyboard.press('n');
    await sleep(500);
    await page.keyboard.press('n');
    await sleep(1000);
    await page.evaluate(() => {
      const {node, context} = Module.qvlAudio, play = node.onaudioprocess;
      const count = window.qvlCallbacks = {all: 0, late: 0};
      node.onaudioprocess = (event) => {
        ++count.all;
        if (context.currentTime > event.playbackTime) ++count.late;
        play(event);
      };
    });
    await sleep(span);
    const callbacks = await page.evaluate(() => window.qvlCallbacks);
    const share = (s) => `${s.toFixed(3)} s (${(100 * s * 1000 / span).toFixed(1)}%)`;
    console.log(`still page, main-thread tasks in ${seconds} s: ${share(normal)} at normal speed,` +
                ` ${share(slow)} with the CPU throttled 4 x`);
    console.log(`densest song at 4 x: ${callbacks.late} of ${callbacks.all} audio callbacks late`);
  } finally {
    await browser.closeAndClean();
    server.close();
  }
}

main().catch((error) => {
  console.error('still_cost failed:', error.message);
  process.exit(1);
});
