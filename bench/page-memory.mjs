// A minute of writing on the page: pen strokes in memo mode at 500 pointer moves a
// second, button held; then the JavaScript heap and the wasm memory, as the DevTools
// protocol and the page report them. Run from tests/web (its node_modules).
//
//   node bench/page-memory.mjs build/web/parallel-lines.html [SECONDS]
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(path.resolve('package.json'));
const puppeteer = require('puppeteer-core');
const file = path.resolve(process.argv[2]);
const seconds = +(process.argv[3] || 60);

const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'] });
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 822, height: 687 });
  await page.goto('file://' + file, { waitUntil: 'load' });
  await page.waitForFunction(() => Stage.paints > 0);
  const cdp = await page.createCDPSession();
  await cdp.send('Performance.enable');
  const heap = async () => (await cdp.send('Performance.getMetrics')).metrics
      .find(m => m.name === 'JSHeapUsedSize').value;
  const wasm = () => page.evaluate(() => wasmMemory.buffer.byteLength);
  const [heap0, wasm0] = [await heap(), await wasm()];
  await page.mouse.click(500, 24);  // メモ
  // Strokes of 200 moves criss-crossing the board, the moves sent without waiting
  // for each, paced at about a thousand a second.
  const send = (type, x, y, buttons) => cdp.send('Input.dispatchMouseEvent',
    { type, x, y, button: 'left', buttons, clickCount: type === 'mouseMoved' ? 0 : 1 });
  const t0 = Date.now();
  let moves = 0;
  while (Date.now() - t0 < seconds * 1000) {
    const x0 = 60 + (moves % 600), pending = [send('mousePressed', x0, 150, 1)];
    for (let i = 0; i < 200; i++, moves++)
      pending.push(send('mouseMoved', x0 + i, 150 + 200 * Math.abs(Math.sin((moves + i) / 40)), 1));
    pending.push(send('mouseReleased', x0 + 200, 150, 0));
    await Promise.all(pending);
    const due = t0 + moves;  // a millisecond a move
    if (Date.now() < due) await new Promise(r => setTimeout(r, due - Date.now()));
  }
  await cdp.send('HeapProfiler.collectGarbage');
  const [heap1, wasm1] = [await heap(), await wasm()];
  const mib = b => (b / 1048576).toFixed(2) + ' MiB';
  console.log(`after ${seconds} s of writing (${moves} moves): JS heap ${mib(heap0)} -> ${mib(heap1)}, ` +
              `wasm memory ${mib(wasm0)} -> ${mib(wasm1)}`);
} finally {
  await browser.close();
}
