// ESLint over the page's own scripts (web/) and everything that drives a browser
// (tests/web/, fuzz/page.mjs, bench/*.mjs). `make check` runs it; by hand, from here:
//   tests/web/node_modules/.bin/eslint
// The tools are the browser tests' (tests/web/package-lock.json), taken from there.
import fs from 'node:fs';
import { createRequire } from 'node:module';

const tools = createRequire(new URL('./tests/web/package.json', import.meta.url));
const js = tools('@eslint/js');
const globals = tools('globals');

const exports = Object.fromEntries(
    [...fs.readFileSync(new URL('./web/main.cpp', import.meta.url), 'utf8')
        .matchAll(/EMSCRIPTEN_KEEPALIVE\s+[\w\s*]*?\b(pl_\w+)\(/g)]
        .map(m => [`_${m[1]}`, 'readonly']));

// What the checks' functions use once they run inside the page (the page's objects,
// and two of Emscripten's runtime).
const page = Object.fromEntries(['Boot', 'Canvas', 'Core', 'Corner', 'Frame', 'InkLayer', 'Keep', 'Keys', 'Module', 'Row', 'Stage', 'abort', 'axe', 'wasmMemory']
    .map(n => [n, 'readonly']));

export default [
  { ignores: ['**/node_modules/**', 'build/**'] },
  js.configs.recommended,
  {
    // The page's scripts: classic scripts put in one, strict as the assembler makes
    // them, each naming its one object and reaching the others' through theirs.
    files: ['web/*.js'],
    ignores: ['web/bridge.js', 'web/sw.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.browser } },
    rules: {
      'no-unused-vars': ['error', { varsIgnorePattern: '^(Boot|Row|Keys|Keep|Corner|Stage|Canvas|Frame|InkLayer|Module)$' }],
    },
  },
  {
    // The boundary is an Emscripten library: its functions land in the runtime, beside
    // the runtime's own helpers and the exports it calls.
    files: ['web/bridge.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, mergeInto: 'readonly', LibraryManager: 'readonly',
                 UTF8ToString: 'readonly', HEAPU8: 'readonly', HEAPF64: 'readonly', Boot: 'readonly', Keep: 'readonly', Corner: 'readonly', Canvas: 'readonly', Frame: 'readonly', Core: 'readonly',
                 Row: 'readonly', Keys: 'readonly', Stage: 'readonly' },
    },
    rules: { 'no-undef': ['error'], 'no-unused-vars': 'off' },
  },
  {
    files: ['web/bridge.js'],
    // The exports (_pl_start, _pl_frame and the rest), as web/main.cpp marks them.
    languageOptions: { globals: exports },
  },
  {
    files: ['web/sw.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.serviceworker } },
  },
  {
    files: ['tests/web/**/*.mjs', 'fuzz/*.mjs', 'bench/*.mjs'],
    languageOptions: { sourceType: 'module', globals: { ...globals.node, ...globals.browser, ...page } },
    rules: { 'no-unused-vars': ['error', { argsIgnorePattern: '^_' }] },
  },
];
