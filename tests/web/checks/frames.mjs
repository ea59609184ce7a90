// Frames as the page shows them: each scene of tests/scenes/frames.json (the desktop's
// frame test plays the same) is handed to the page event by event, each followed by
// one frame painted only where damaged. The board must then equal a full repaint of
// the same state, at every screen size, and a scene with a reference must end as a
// fresh start does.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, describe, test } from 'node:test';
import { Lesson } from '../lesson.mjs';
import { viewportsFor } from '../viewports.mjs';

const { scenes } = JSON.parse(readFileSync(new URL('../../scenes/frames.json', import.meta.url)));

// Runs in the page: plays the events through the page's own entry points, a frame
// after each, and compares the board's pixels with a full repaint and, for a scene
// with a reference, with the board as it stood before the first event.
function play(events, { left, top, scale }, compareWithStart) {
  const board = Stage.board;
  const pixels = () => board.getContext('2d').getImageData(0, 0, board.width, board.height).data;
  const start = compareWithStart ? pixels() : null;
  let time = performance.now();
  const { down, move, up } = Core.PHASE, mouse = Core.POINTER.mouse;
  const pointer = (type, [x, y], button, buttons) => {
    // The centre of board pixel (x, y); the board's drawing area is at (10, 50).
    Module._pl_pointer(type, 1, mouse, left + (10 + x + 0.5) * scale, top + (50 + y + 0.5) * scale,
                       button, buttons, 0, time += 8);
    Module._pl_frame();
  };
  const press = p => { pointer(move, p, -1, 0); pointer(down, p, 0, 1); };
  const click = name => {
    const index = Row.controls.findIndex(c => c.input.getAttribute('aria-label') === name);
    if (index < 0) throw new Error(`no control called ${name}`);
    Module._pl_click(index);
    Module._pl_frame();
  };
  let held = 0;
  for (const [op, ...args] of events) {
    if (op === 'press') { press(args); held = 1; }
    else if (op === 'move') pointer(move, args, -1, held);
    else if (op === 'release') { pointer(up, args, 0, 0); held = 0; }
    else if (op === 'click') click(args[0]);
    else if (op === 'stroke') {
      const [first, ...rest] = args[0];
      press(first);
      let from = first;
      for (const to of rest) {
        for (let k = 1; k <= 5; k++)
          pointer(move, [from[0] + Math.round((to[0] - from[0]) * k / 5),
                      from[1] + Math.round((to[1] - from[1]) * k / 5)], -1, 1);
        from = to;
      }
      pointer(up, from, 0, 0);
    } else throw new Error(`no such event: ${op}`);
  }
  const shown = pixels();
  Module._pl_repaint();
  Module._pl_frame();
  // Alike up to the last shades of antialiasing, as on the desktop: a slanted line cut
  // to a damaged rectangle is rasterised a shade differently from the whole line.
  const differences = (a, b) => {
    let count = 0, first = null;
    const wa = new Uint32Array(a.buffer), wb = new Uint32Array(b.buffer);
    for (let p = 0; p < wa.length; p++) {
      if (wa[p] === wb[p]) continue;
      const i = 4 * p;
      if (Math.abs(a[i] - b[i]) <= 8 && Math.abs(a[i + 1] - b[i + 1]) <= 8 &&
          Math.abs(a[i + 2] - b[i + 2]) <= 8) continue;
      count++;
      if (!first) {
        first = { x: p % board.width, y: Math.floor(p / board.width),
                  shown: [...a.slice(i, i + 3)], expected: [...b.slice(i, i + 3)] };
      }
    }
    return { count, first };
  };
  return { full: differences(shown, pixels()), start: start && differences(shown, start) };
}

export default function frameChecks(engine) {
  for (const v of viewportsFor(engine)) {
    describe(`frames at ${v.name}`, () => {
      let lesson;
      before(async () => { lesson = await Lesson.open(engine, v); });
      after(() => lesson.close());
      for (const scene of scenes) {
        test(scene.name, async () => {
          // The only reference a scene names is the initial screen, a fresh start.
          assert.ok(!scene.reference || scene.reference === 'initial');
          await lesson.reopen();
          const result = await lesson.state(
              play, scene.events, { left: lesson.left, top: lesson.top, scale: lesson.scale },
              !!scene.reference);
          assert.equal(result.full.count, 0,
                       `painted only where damaged, the board differs from a full repaint: ${JSON.stringify(result.full)}`);
          if (scene.reference)
            assert.equal(result.start.count, 0, `the board differs from a fresh start: ${JSON.stringify(result.start)}`);
          assert.deepEqual(await lesson.errors(), []);
        });
      }
    });
  }
}
