// The page under generated sequences of real input (see pagefuzz.mjs): a fixed seed,
// and a new one each run, printed so that a failure can be replayed with
// fuzz/page.mjs --seed S --path P.
import { test } from 'node:test';
import { fuzzPage } from '../pagefuzz.mjs';

export default function fuzzChecks(engine) {
  // Chromium can send every input; the slower engines run fewer sequences.
  const runs = engine.name === 'chromium' ? 8 : 4;
  const random = Number(process.env.PL_FUZZ_SEED) || Math.floor(Math.random() * 2 ** 31);
  // WebKit's driver now and then loses its browser in the middle of a run ("session
  // deleted because of page crash or hang": twice in about 3,000 inputs, and the same
  // seed then passes): it runs the fixed seed only, and new seeds in fuzz/page.mjs.
  const seeds = engine.name === 'webkit' && !process.env.PL_FUZZ_SEED ? [20261209] : [20261209, random];
  for (const seed of seeds) {
    test(`generated input leaves the page sound (seed ${seed})`, { timeout: 600000 }, async () => {
      await fuzzPage(engine, { seed, runs });
    });
  }
}
