// The page fuzzer for measuring and replaying: generated sequences of real input in one
// engine, from random seeds until the time is up, or one seed (and path) again.
//
//   node fuzz/page.mjs [--engine chromium|firefox|webkit] [--minutes N] [--length L]
//                      [--seed S [--path P]] [--page FILE]
//
// Needs `make web` and the browser tests' tools (`npm ci` in tests/web); WebKit needs
// an X display (xvfb-run). Prints sequences and events run, and any failure's shrunk
// sequence with the seed and path that replay it.
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';

const { values } = parseArgs({ options: {
  engine: { type: 'string', default: 'chromium' },
  minutes: { type: 'string', default: '1' },
  length: { type: 'string', default: '60' },
  seed: { type: 'string' },
  path: { type: 'string' },
  page: { type: 'string' },
} });
const here = path.dirname(fileURLToPath(import.meta.url));
if (values.page) process.env.PL_PAGE = path.resolve(values.page);
const { startEngine } = await import(path.join(here, '../tests/web/engines.mjs'));
const { fuzzPage } = await import(path.join(here, '../tests/web/pagefuzz.mjs'));

const engine = await startEngine(values.engine);
const length = Number(values.length);
let sequences = 0, events = 0, failed = false;
const started = Date.now();
try {
  if (values.seed) {
    const r = await fuzzPage(engine, { seed: Number(values.seed), path: values.path, runs: 1, length });
    sequences += r.sequences;
    events += r.events;
  } else {
    const until = started + Number(values.minutes) * 60000;
    while (Date.now() < until) {
      const seed = Math.floor(Math.random() * 2 ** 31);
      // Said first: a batch that fails is shrunk, which can take long, and a run
      // stopped in the middle must still say what to replay.
      console.log(`seed ${seed}: running`);
      const r = await fuzzPage(engine, { seed, runs: 10, length });
      sequences += r.sequences;
      events += r.events;
      console.log(`seed ${seed}: ${r.sequences} sequences, ${r.events} inputs; ` +
                  `${sequences} and ${events} in ${Math.round((Date.now() - started) / 1000)} s`);
    }
  }
} catch (e) {
  failed = true;
  console.error(e.message);
} finally {
  await engine.close();
}
console.log(`${values.engine}: ${sequences} sequences, ${events} inputs, ` +
            `${failed ? 'a failure' : 'no failure'}, ${Math.round((Date.now() - started) / 1000)} s`);
process.exit(failed ? 1 : 0);
