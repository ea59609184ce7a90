// ESLint over the page's own scripts (web/) and everything that drives a browser
// (tests/web/, fuzz/page.mjs, bench/*.mjs). Run from the repository's top:
//   tests/web/node_modules/.bin/eslint -c tests/web/eslint.config.mjs
import js from '@eslint/js';
import globals from 'globals';

// What the checks' functions use once they run inside the page (the page's objects,
// and two of Emscripten's runtime).
const page = Object.fromEntries(['Boot', 'Canvas', 'Core', 'Corner', 'Keep', 'Keys', 'Module', 'Row', 'Stage', 'abort', 'axe', 'wasmMemory']
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
      'no-unused-vars': ['error', { varsIgnorePattern: '^(Boot|Row|Keys|Keep|Corner|Stage|Canvas|Module)$' }],
    },
  },
  {
    // The boundary is an Emscripten library: its functions land in the runtime, beside
    // the runtime's own helpers and the exports it calls.
    files: ['web/bridge.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, mergeInto: 'readonly', LibraryManager: 'readonly',
                 UTF8ToString: 'readonly', HEAPU8: 'readonly', Boot: 'readonly', Keep: 'readonly', Corner: 'readonly', Canvas: 'readonly', Core: 'readonly',
                 Row: 'readonly', Keys: 'readonly', Stage: 'readonly' },
    },
    rules: { 'no-undef': ['error'], 'no-unused-vars': 'off' },
  },
  {
    files: ['web/bridge.js'],
    // The exports: _pl_start, _pl_frame and the rest.
    languageOptions: { globals: Object.fromEntries(['start', 'resize', 'repaint', 'pointer',
      'pointers_lost', 'click', 'frame', 'control_state', 'focus_part', 'leave_part', 'part_key',
      'slide', 'board_focus', 'board_key', 'describe', 'paused', 'inbox', 'consider', 'storage',
      'take_offer', 'take_back', 'record', 'record_size', 'record_names', 'block', 'block_names'].map(n => [`_pl_${n}`, 'readonly'])) },
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
