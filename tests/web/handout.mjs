// The pupils' handout (docs/handout.html) printed from Chromium on A4, as a teacher
// prints it: it must come out as exactly one sheet of A4. Counted by poppler's pdfinfo.
// Exits 77 (skipped, said why) where Debian's Chromium or pdfinfo is not installed.
//
//   node tests/web/handout.mjs [HANDOUT]
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const handout = path.resolve(process.argv[2] || path.join(here, '../../docs/handout.html'));

function skip(why) {
  console.log(`skipped: ${why}`);
  process.exit(77);
}
if (!existsSync('/usr/bin/chromium')) skip('no Chromium at /usr/bin/chromium (scripts/install-deps test installs it)');
try {
  execFileSync('pdfinfo', ['-v'], { stdio: 'ignore' });
} catch {
  skip('no pdfinfo (poppler-utils; scripts/install-deps test installs it)');
}

// A4 is 595.28 x 841.89 points; pdfinfo rounds to hundredths.
const A4 = [595.28, 841.89];

const { startEngine } = await import('./engines.mjs');
const engine = await startEngine('chromium');
const scratch = mkdtempSync(path.join(os.tmpdir(), 'pl-handout-'));
try {
  const tab = await engine.open({ width: 1024, height: 768 });
  await tab.goto(pathToFileURL(handout).href);
  // The page's own @page size wins where it names one, as in a browser's print dialog.
  const pdf = path.join(scratch, 'handout.pdf');
  writeFileSync(pdf, await tab.page.pdf({ format: 'A4', preferCSSPageSize: true, printBackground: true }));
  const info = execFileSync('pdfinfo', [pdf]).toString();
  const pages = Number(info.match(/^Pages:\s+(\d+)/m)?.[1]);
  const size = info.match(/^Page size:\s+([\d.]+) x ([\d.]+) pts/m)?.slice(1).map(Number);
  console.log(`${path.basename(handout)}: ${pages} page(s) of ${size?.join(' x ')} pts`);
  assert.equal(pages, 1, `the handout prints on ${pages} pages of A4, not one`);
  assert.ok(size && size.every((s, i) => Math.abs(s - A4[i]) < 1), `the page is ${size}, not A4`);
  // Both pupils' copies, each at least half the sheet so that the cut falls in the middle:
  // a copy grown past half the sheet pushes the second onto a page of its own.
  assert.equal(await tab.evaluate(() => document.querySelectorAll('.sheet').length), 2, 'two copies to cut apart');
  console.log('ok');
} finally {
  await engine.close();
  rmSync(scratch, { recursive: true, force: true });
}
