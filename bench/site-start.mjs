// The hosted page's start beside the single file's, in Debian's Chromium, in one run:
// time from navigation to the figure on screen (the frame after it was drawn, which
// the page marks as `figure`) for the single file from disk, the site from a cold
// cache (a new profile, its first visit) and the site from its worker's cache (the
// next visit), and the blank floor page. Medians of ROUNDS.
//
//   node bench/site-start.mjs [ROUNDS]     (needs `make web` and tests/web's npm ci)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { startEngine } from '../tests/web/engines.mjs';
import { serve } from '../tests/web/serve.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const rounds = Number(process.argv[2] || 5);
const FILE = pathToFileURL(path.resolve(here, '../build/web/parallel-lines.html')).href;
const floorFile = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'pl-floor-')), 'blank.html');
fs.writeFileSync(floorFile, fs.readFileSync(path.resolve(here, '../../shared/tools/page-floor/blank.html'), 'utf8')
    .replace('</body>', "<script>requestAnimationFrame(() => performance.mark('figure'));</script></body>"));
const FLOOR = pathToFileURL(floorFile).href;

async function figure(tab, url) {
  await tab.goto(url);
  await tab.waitFor(() => performance.getEntriesByName('figure').length > 0);
  return tab.evaluate(() => performance.getEntriesByName('figure')[0].startTime);
}

const site = await serve(path.resolve(here, '../build/web/site'));
const times = { single: [], cold: [], worker: [], blank: [] };
try {
  for (let r = 0; r < rounds; r++) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pl-profile-'));
    const engine = (await startEngine('chromium')).withProfile(profile);
    try {
      const tab = await engine.open({ width: 822, height: 687 });
      await figure(tab, FLOOR);  // the browser started and warm
      times.single.push(await figure(tab, FILE));
      times.cold.push(await figure(tab, site.url));
      await tab.waitFor(() => navigator.serviceWorker.controller !== null);
      times.worker.push(await figure(tab, site.url));
      times.blank.push(await figure(tab, FLOOR));
    } finally {
      await engine.close();
      fs.rmSync(profile, { recursive: true, force: true });
    }
  }
} finally {
  await site.stop();
}
const median = v => [...v].sort((a, b) => a - b)[v.length >> 1];
console.log(`Chromium, medians of ${rounds}: navigation to the figure on screen`);
for (const [k, label] of [['single', 'single file, from disk'], ['cold', 'site, cold cache'],
                          ['worker', "site, from its worker's cache"], ['blank', 'blank page']])
  console.log(`  ${label.padEnd(32)} ${median(times[k]).toFixed(0).padStart(5)} ms`);
