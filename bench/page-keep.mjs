// What keeping the board costs the page after an hour of heavy writing, in Chromium
// (headless, 1366 x 768): the record that bench/core_bench wrote for the hour, stored
// as the page stores it; the page loaded again until the board is on screen; and the
// main thread's time for one save, against the floor of storing a string as long. Run
// from tests/web (its node_modules).
//
//   build/release/bench/core_bench --write-hour /tmp/hour.txt
//   node bench/page-keep.mjs build/web/parallel-lines.html /tmp/hour.txt [ROUNDS]
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(path.resolve('package.json'));
const puppeteer = require('puppeteer-core');
const file = path.resolve(process.argv[2]);
const hour = readFileSync(process.argv[3], 'utf8');
const rounds = +(process.argv[4] || 5);
const median = v => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];

const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'] });
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1366, height: 768 });
  // When the board is on screen (the frame after the page started: its 'figure' mark),
  // and when the last of the writing is (drawn over the frames after it).
  const open = async () => {
    await page.goto('file://' + file, { waitUntil: 'load' });
    await page.waitForFunction(() => Stage.paints > 1 && !Core.inkBehind, { polling: 'raf' });
    return page.evaluate(() => [performance.getEntriesByName('figure')[0].startTime, performance.now()]);
  };
  const blank = [], resumed = [];
  await open();
  for (let r = 0; r < rounds; r++) {
    await page.evaluate(() => { Keep.area = null; localStorage.clear(); sessionStorage.clear(); });
    blank.push(await open());
    // Stored as the page stores it: the head under the tab's key, each block under its name.
    await page.evaluate(text => {
      const [head, ...blocks] = text.split('\n');
      Core.blockNames(head).forEach((n, i) => Keep.area.setItem(Keep.prefix + 'ink:' + n, blocks[i]));
      Keep.area.setItem(Keep.key, head);
    }, hour);
    resumed.push(await open());
  }
  const said = await page.evaluate(() => document.getElementById('status').textContent);
  // One save, as the page makes it when the board changed (forced: nothing changed),
  // and the floor: a string as long stored under another key.
  const saves = await page.evaluate((n, length) => {
    const save = [], floor = [];
    const same = 'x'.repeat(length);
    for (let i = 0; i < n; i++) {
      let t = performance.now();
      Keep.save(true);
      save.push(performance.now() - t);
      t = performance.now();
      localStorage.setItem('floor', same);
      floor.push(performance.now() - t);
    }
    localStorage.removeItem('floor');
    const stored = Object.keys(localStorage).filter(k => k.startsWith(Keep.prefix));
    return { save, floor, head: Keep.area.getItem(Keep.key).length, keys: stored.length,
             all: stored.reduce((sum, k) => sum + localStorage.getItem(k).length, 0) };
  }, 21, hour.length);
  console.log(`record: ${hour.length} characters whole; stored as ${saves.keys} keys, ${saves.all} characters ` +
              `(the head ${saves.head}); the page said "${said}"`);
  const at = (v, k) => median(v.map(x => x[k])).toFixed(0);
  console.log(`board on screen after a load (median of ${rounds}): ${at(blank, 0)} ms with nothing kept, ` +
              `${at(resumed, 0)} ms with the hour's board; its last writing drawn at ${at(resumed, 1)} ms`);
  console.log(`one save (median of 21): ${median(saves.save).toFixed(2)} ms; ` +
              `storing the whole record as one string (the floor of one key): ${median(saves.floor).toFixed(2)} ms`);
} finally {
  await browser.close();
}
