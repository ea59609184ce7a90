// Every check of the page, in the engine PL_ENGINE names (chromium, firefox or
// webkit; run.sh runs each in turn). One process, so each browser starts once.
import { after } from 'node:test';
import { startEngine } from './engines.mjs';
import boardChecks from './checks/board.mjs';
import edgeChecks from './checks/edges.mjs';
import frameChecks from './checks/frames.mjs';
import fuzzChecks from './checks/fuzz.mjs';
import keepChecks from './checks/keep.mjs';
import keyboardChecks from './checks/keyboard.mjs';
import pageChecks from './checks/page.mjs';
import siteChecks from './checks/site.mjs';

const engine = await startEngine();
after(() => engine.close());

boardChecks(engine);
pageChecks(engine);
edgeChecks(engine);
frameChecks(engine);
siteChecks(engine);
keyboardChecks(engine);
keepChecks(engine);
fuzzChecks(engine);
