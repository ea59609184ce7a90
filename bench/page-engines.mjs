// The page in each engine beside the floor, a blank page of the same size, in the same
// engine and the same run: time from navigation to the figure on screen, and the CPU
// of the whole browser per 1000 pointer moves (button held) for a drag of ℓ's upper
// end and for a pen stroke in memo mode. Medians of ROUNDS, the three pages in turn.
//
//   node bench/page-engines.mjs [ROUNDS] [ENGINES...]    (run by bench/measure-engines.sh)
//
// "On screen" is the animation frame after the figure was drawn: the page marks it as
// `figure`; the floor is a copy of the shared blank page that marks its first frame.
// A second floor, bench/canvas-floor.html, paints a small square on a canvas of the
// board's size in each frame that the pointer moved: what showing a changing canvas
// costs a browser at all.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { startEngine } from '../tests/web/engines.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const rounds = Number(process.argv[2] || 5);
const engines = process.argv.slice(3).length ? process.argv.slice(3) : ['chromium', 'firefox', 'webkit'];
const PAGE = pathToFileURL(path.resolve(here, '../build/web/parallel-lines.html')).href;
const blank = fs.readFileSync(path.resolve(here, '../../shared/tools/page-floor/blank.html'), 'utf8')
    .replace('</body>', "<script>requestAnimationFrame(() => performance.mark('figure'));</script></body>");
const floorFile = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'pl-floor-')), 'blank.html');
fs.writeFileSync(floorFile, blank);
const FLOOR = pathToFileURL(floorFile).href;
const CANVAS_FLOOR = pathToFileURL(path.join(here, 'canvas-floor.html')).href;
const MOVES = 1000;

// CPU time (user + system, in ms) of a process and everything under it.
function cpuMs(root) {
  const table = new Map();
  for (const d of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(d)) continue;
    try {
      const s = fs.readFileSync(`/proc/${d}/stat`, 'utf8');
      const f = s.slice(s.lastIndexOf(')') + 2).split(' ');
      table.set(Number(d), { parent: Number(f[1]), ticks: Number(f[11]) + Number(f[12]) });
    } catch { /* gone */ }
  }
  let ticks = 0;
  for (const [pid, p] of table) {
    for (let q = pid; q; q = table.get(q)?.parent) if (q === root) { ticks += p.ticks; break; }
  }
  return ticks * 10;  // 100 ticks a second
}

const median = v => [...v].sort((a, b) => a - b)[v.length >> 1];

async function once(engine, url, what) {
  const tab = await engine.open({ width: 822, height: 687 });
  try {
    await tab.goto(url);
    await tab.waitFor(() => performance.getEntriesByName('figure').length > 0);
    const figure = await tab.evaluate(() => performance.getEntriesByName('figure')[0].startTime);
    await tab.frames();
    if (what === 'pen') {  // メモ, then the board
      await tab.mouse.move(500, 24);
      await tab.mouse.down();
      await tab.mouse.up();
    }
    const [x0, y0] = what === 'drag' ? [410, 175] : [110, 400];
    await tab.mouse.move(x0, y0);
    await tab.mouse.down();
    const pid = await engine.rootPid();
    const before = cpuMs(pid);
    for (let i = 1; i <= MOVES; i++) await tab.mouse.move(x0 + (i % 200 < 100 ? i % 100 : 100 - i % 100), y0 + (i % 7));
    await tab.frames();
    const cpu = cpuMs(pid) - before;
    await tab.mouse.up();
    return { figure, cpu };
  } finally {
    await tab.close();
  }
}

for (const name of engines) {
  const engine = await startEngine(name);
  try {
    const results = { drag: [], pen: [], floor: [], canvas: [] };
    await once(engine, FLOOR, 'drag');  // the browser started and warm
    for (let r = 0; r < rounds; r++) {
      results.drag.push(await once(engine, PAGE, 'drag'));
      results.pen.push(await once(engine, PAGE, 'pen'));
      results.floor.push(await once(engine, FLOOR, 'drag'));
      results.canvas.push(await once(engine, CANVAS_FLOOR, 'drag'));
    }
    const row = k => `${median(results[k].map(r => r.figure)).toFixed(0).padStart(8)} ms` +
                     `${median(results[k].map(r => r.cpu)).toFixed(0).padStart(10)} ms`;
    console.log(`${name}, medians of ${rounds}: figure on screen, browser CPU per ${MOVES} moves`);
    console.log(`  drag of l    ${row('drag')}\n  pen stroke   ${row('pen')}\n  blank page   ${row('floor')}` +
                `\n  canvas page  ${row('canvas')}`);
  } finally {
    await engine.close();
  }
}
