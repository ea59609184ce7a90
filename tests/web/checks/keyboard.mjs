// The lesson from the keyboard alone: each of the five parts moved, an extension
// shown and a straight line drawn by keys end with the same board and the same state
// as the same moves by pointer drags; what a screen reader is given; and axe-core's
// rules for the page and the site.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { Lesson, PAGE, WHITE } from '../lesson.mjs';
import { boardPixels } from '../pixels.mjs';
import { serve } from '../serve.mjs';
import { expectColour, scene, skipFor } from './common.mjs';

// The window at its own size: pointer positions are whole board pixels, as the keys'.
const ONE = { width: 822, height: 687 };
const SITE = path.resolve(path.dirname(PAGE), 'site');

// What the page shows of the state: the parts' places in words and the row's boxes.
function stateShown() {
  return {
    parts: Keys.parts.map(p => p.getAttribute('aria-valuetext')),
    row: Row.controls.map(c => [c.input.checked, c.input.disabled, c.element.style.fontWeight]),
  };
}

const focusedName = l => l.state(() => document.activeElement.getAttribute('aria-label') ||
                                       document.activeElement.textContent);

async function tab(l, times, shift = false) {
  if (shift) await l.keyboard.down('Shift');
  for (let i = 0; i < times; i++) await l.keyboard.press('Tab');
  if (shift) await l.keyboard.up('Shift');
}
async function press(l, key, times = 1) {
  for (let i = 0; i < times; i++) await l.keyboard.press(key);
}

export default function keyboardChecks(engine) {
  test('every part, an extension and a straight line by keys, as by drags', async () => {
    // One page after the other: a tab in the background gets no animation frames.
    let keys;
    const l = await Lesson.open(engine, ONE);
    try {
      // Tab once from the board holds p: five Ups raise it 25 pixels, light red while
      // held, white once Escape lets go.
      assert.equal(await focusedName(l), '黒板');
      await tab(l, 1);
      assert.equal(await focusedName(l), '直線 p');
      await press(l, 'ArrowUp', 5);
      await expectColour(l, [200, 250], [255, 0, 0], 'p held');
      await press(l, 'Escape');
      assert.equal(await focusedName(l), '黒板');
      await expectColour(l, [200, 250], WHITE, 'p let go');
      // Three Tabs reach ℓ's upper end: six Rights swing ℓ to (430, 125)-(70, 575);
      // Enter shows its extension. Two more reach the copy of ℓ: PageUp slides it one
      // square along q.
      await tab(l, 3);
      assert.equal(await focusedName(l), '直線 ℓ の上の端');
      await press(l, 'ArrowRight', 6);
      await press(l, 'Enter');
      await tab(l, 2);
      await press(l, 'PageUp');
      await press(l, 'Escape');
      // Straight lines on (eleven stops on: the parts, the description, 初期画面, 終了,
      // メモ, 方眼, 直線), back to the board, and a line from its middle.
      await tab(l, 11);
      assert.equal(await focusedName(l), '直線');
      await press(l, ' ');
      await tab(l, 11, true);
      assert.equal(await focusedName(l), '黒板');
      await press(l, 'Enter');
      await press(l, 'ArrowRight', 8);
      await press(l, 'PageDown');
      await press(l, 'Enter');
      await tab(l, 1);  // the keyboard's point goes with the board's focus
      await expectColour(l, [421, 325], WHITE, 'the straight line');
      await expectColour(l, [71, 572], WHITE, "ℓ's lower end");
      await l.settle();
      keys = { state: await l.state(stateShown), board: await l.state(boardPixels) };
      assert.deepEqual(keys.state.parts.slice(0, 3), ['上から 10.0 マス', '上から 14.0 マス', '左から 17.2 マス、延長を表示中']);
      assert.deepEqual(await l.errors(), []);
    } finally {
      await l.close();
    }

    const d = await Lesson.open(engine, ONE);
    try {
      await d.drag([30, 275], [30, 250], { steps: 5 });
      await d.drag([400, 125], [430, 125], { steps: 6 });
      await d.clickBoard(442, 152);  // ℓ's picture, moved with ℓ
      await d.drag([250, 350], [275, 350], { steps: 1 });
      await d.clickControl('直線');
      await d.drag([401, 313], [441, 338], { steps: 9 });
      await d.settle();
      assert.deepEqual(await d.state(stateShown), keys.state);
      assert.ok((await d.state(boardPixels)).pixels === keys.board.pixels,
                'the board by keys differs from the board by drags');
      assert.deepEqual(await d.errors(), []);
    } finally {
      await d.close();
    }
  });

  scene(engine, ONE, 'a screen reader finds the five parts as sliders and hears where they go', async l => {
    // DevTools' tree gives a slider's value as its number only: the words a screen
    // reader says for it are its aria-valuetext.
    const tree = await l.tab.accessibilityTree();
    const sliders = [];
    (function walk(node) {
      if (node.role === 'slider') sliders.push(node.name);
      for (const child of node.children || []) walk(child);
    })(tree);
    assert.deepEqual(sliders, ['直線 p', '直線 q', '直線 ℓ の上の端', '直線 m の上の端', 'ℓ を平行移動した直線']);
    assert.deepEqual(await l.state(() => Keys.parts.map(p => p.getAttribute('aria-valuetext'))),
                     ['上から 11.0 マス', '上から 14.0 マス', '左から 16.0 マス', '左から 19.0 マス',
                      'q の上で左から 10.0 マス']);
    const status = () => document.getElementById('status').textContent;
    await tab(l, 2);
    // What the keys do is q's description; p and q move up and down.
    assert.deepEqual(await l.state(() => [Keys.parts[1].getAttribute('aria-description'),
                                          Keys.parts.map(p => p.getAttribute('aria-orientation'))]),
                     ['上下の矢印キーで 0.2 マス、PageUp と PageDown で 1 マス動きます。Esc で黒板に戻ります。',
                      ['vertical', 'vertical', 'horizontal', 'horizontal', 'horizontal']]);
    await press(l, 'PageDown');
    await l.tab.waitFor(() => document.getElementById('status').textContent === '直線 q、上から 15.0 マス');
    await tab(l, 4);
    assert.equal(await focusedName(l), '図の説明');
    await press(l, 'Enter');
    await l.tab.waitFor(() => document.getElementById('status').textContent.startsWith('直線 p は上から 11.0 マス、q は 15.0 マス'));
    assert.match(await l.state(status),
                 /AB が [0-9.]+ マス、BC が [0-9.]+ マス、A ダッシュ B ダッシュ が [0-9.]+ マス、B ダッシュ C ダッシュ が [0-9.]+ マス。$/);
  }, { needs: ['accessibilityTree'] });

  test('axe-core finds nothing on the page and the site', { skip: skipFor(engine, 'axe') }, async () => {
    const site = await serve(SITE);
    try {
      for (const url of [undefined, site.url]) {
        const l = await Lesson.open(engine, ONE, url);
        try {
          assert.deepEqual(await l.tab.axe(), [], url || 'the single file');
        } finally {
          await l.close();
        }
      }
    } finally {
      await site.stop();
    }
  });
}
