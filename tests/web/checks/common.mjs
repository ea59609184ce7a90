// Judgements shared by the checks: colours at board pixels, sharp lines, and scenes
// that start on a freshly opened page in the engine under test.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { BOARD, Lesson, WHITE, near } from '../lesson.mjs';

// The centre of a board pixel, up to the antialiasing of a slanted edge.
export async function expectColour(lesson, [x, y], want, what) {
  const got = await lesson.pixel(x, y);
  assert.ok(near(got, want, 16), `${what} at (${x}, ${y}) is ${got}, expected ${want}`);
}

// A hairline or a thin stroke: some device pixel of a board pixel has the colour.
export async function expectSome(lesson, [x, y], want, what) {
  const pixels = await lesson.box(x, y);
  assert.ok(pixels.some(p => near(p, want, 16)), `${what} at (${x}, ${y}): ${pixels.slice(0, 4)}...`);
}

// A 4 px level line at y (from y - 2 to y + 1), from x0 to x1: in every device pixel
// column, every row inside it is pure white (but the outermost, where a stretched
// canvas blends it with the board), and the board just beyond it is untouched (where
// no name stands near it).
export async function expectSharp(lesson, x0, x1, y, clear = true) {
  const columns = await lesson.columns(x0, x1, y - 5, y + 5);
  columns.forEach((rows, i) => {
    const perPixel = rows.length / 10;
    const blend = lesson.stretched ? 1 : 0;
    const inside = rows.slice(Math.ceil(3 * perPixel) + blend, Math.floor(7 * perPixel) - blend);
    assert.ok(inside.length >= 4 * perPixel - 2 - 2 * blend);
    for (const c of inside) assert.deepEqual(c, WHITE, `line at y ${y}, device column ${i}`);
    if (clear) assert.deepEqual([rows[0], rows.at(-1)], [BOARD, BOARD], `beside the line, column ${i}`);
  });
}

// Why the engine cannot run a check (its driver cannot send what it needs), or false.
export function skipFor(engine, ...needs) {
  for (const need of needs)
    if (engine.cannot[need]) return `${engine.name} cannot: ${engine.cannot[need]}`;
  return false;
}

// A check on a freshly opened page at a viewport; no error may be logged. The body
// gets the lesson and the test's context (to say what it could not check).
export function scene(engine, viewport, name, body, { needs = [] } = {}) {
  test(name, { skip: skipFor(engine, ...needs) }, async t => {
    const lesson = await Lesson.open(engine, viewport);
    try {
      await body(lesson, t);
      assert.deepEqual(await lesson.errors(), []);
    } finally {
      await lesson.close();
    }
  });
}
