// The time from a page's start to its first picture, in a browser that already runs (its own
// start is not the page's): the packed folder served from 127.0.0.1 and loaded RUNS times with
// the cache off, as a first visit loads it. Prints the median, the fastest and the slowest, and
// when the median load had its three files.
// usage: node first_picture.cjs WWW_DIR [RUNS]
'use strict';
const {launch} = require('../../tests/web/chromium.cjs');
const {serve} = require('../../tests/web/static_server.cjs');

const [www, runs = '9'] = process.argv.slice(2);

async function load(browser, url) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  await page.goto(url);
  await page.waitForFunction(() => window.Module && Module.qvlFirstPicture, {timeout: 20000});
  const times = await page.evaluate(() => {
    const done = (name) => performance.getEntriesByType('resource')
                               .find((entry) => entry.name.endsWith(name)).responseEnd;
    return {first: Module.qvlFirstPicture, js: done('quorvel.js'), wasm: done('quorvel.wasm'),
            data: done('magazine.data')};
  });
  await page.close();
  return times;
}

async function main() {
  const server = await serve(www);
  const browser = await launch();
  try {
    const url = `http://127.0.0.1:${server.address().port}/`;
    await load(browser, url);  // the browser's own first page: its start-up, not counted
    const all = [];
    for (let i = 0; i < Number(runs); ++i) all.push(await load(browser, url));
    all.sort((a, b) => a.first - b.first);
    const median = all[all.length >> 1], ms = (t) => t.toFixed(0);
    console.log(`first picture: median ${ms(median.first)} ms, fastest ${ms(all[0].first)}, ` +
                `slowest ${ms(all[all.length - 1].first)} (${all.length} loads, cache off)`);
    console.log(`  the median load had quorvel.js at ${ms(median.js)} ms, magazine.data at ` +
                `${ms(median.data)}, quorvel.wasm at ${ms(median.wasm)}`);
  } finally {
    await browser.closeAndClean();
    server.close();
  }
}

main().catch((error) => {
  console.error('first_picture failed:', error.message);
  process.exit(1);
});
