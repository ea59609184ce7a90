// The page under generated sequences of real input (see pagefuzz.mjs), from one seed:
// a fixed one unless PL_FUZZ_SEED names another, so that every run checks the same
// sequences and a failure here is one that replays. PL_FUZZ_SEED=S replays seed S
// (with PL_FUZZ_PATH=P, the one shrunk sequence a failure reported); PL_FUZZ_SEED=random
// draws a new seed. The seed is in the check's name and printed with it; fuzz/page.mjs
// runs new seeds for as long as it is given.
import { test } from 'node:test';
import { fuzzPage } from '../pagefuzz.mjs';

const FIXED_SEED = 20261209;

function seedAsked(asked = process.env.PL_FUZZ_SEED) {
  if (asked === undefined || asked === '') return FIXED_SEED;
  if (asked === 'random') return Math.floor(Math.random() * 2 ** 31);
  if (!/^\d+$/.test(asked)) throw new Error(`PL_FUZZ_SEED=${asked}: a seed is a whole number, or "random"`);
  return Number(asked);
}

export default function fuzzChecks(engine) {
  // Chromium can send every input; the slower engines run fewer sequences. (WebKit's
  // driver now and then loses its browser in the middle of a run, "session deleted
  // because of page crash or hang", about twice in 3,000 inputs, and the same seed then
  // passes: it runs fewest.)
  const runs = { chromium: 16, firefox: 8 }[engine.name] ?? 4;
  const seed = seedAsked();
  const path = process.env.PL_FUZZ_PATH || undefined;
  test(`generated input leaves the page sound (seed ${seed})`, { timeout: 600000 }, async t => {
    t.diagnostic(`seed ${seed}${path ? `, path ${path}` : ''}: PL_FUZZ_SEED=${seed} runs these sequences again`);
    const { sequences, events } = await fuzzPage(engine, { seed, path, runs: path ? 1 : runs });
    t.diagnostic(`${sequences} sequences, ${events} inputs`);
  });
}
