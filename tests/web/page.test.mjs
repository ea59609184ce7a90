// The lesson in the browser, at the screens classrooms have: the window scaled to fit,
// driven by real mouse and touch input, judged by the pixels on screen.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { BLACK, BOARD, Lesson, PAGE, RED, WHITE, WINDOW, YELLOW, launch, near } from './lib.mjs';
import { VIEWPORTS } from './viewports.mjs';


let browser;
before(async () => { browser = await launch(); });
after(() => browser.close());

// The centre of a board pixel, up to the antialiasing of a slanted edge.
async function expectColour(lesson, [x, y], want, what) {
  const got = await lesson.pixel(x, y);
  assert.ok(near(got, want, 16), `${what} at (${x}, ${y}) is ${got}, expected ${want}`);
}

// A hairline or a thin stroke: some device pixel of a board pixel has the colour.
async function expectSome(lesson, [x, y], want, what) {
  const pixels = await lesson.box(x, y);
  assert.ok(pixels.some(p => near(p, want, 16)), `${what} at (${x}, ${y}): ${pixels.slice(0, 4)}...`);
}

// A 4 px level line at y (from y - 2 to y + 1), from x0 to x1: in every device pixel
// column, every row inside it is pure white (but the outermost, where a stretched
// canvas blends it with the board), and the board just beyond it is untouched (where
// no name stands near it).
async function expectSharp(lesson, x0, x1, y, clear = true) {
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

// Each scene starts on a freshly opened page.
function scene(viewport, name, body) {
  test(name, async () => {
    const lesson = await Lesson.open(browser, viewport);
    try {
      await body(lesson);
      assert.deepEqual(lesson.errors, []);
    } finally {
      await lesson.close();
    }
  });
}

for (const v of VIEWPORTS) {
  describe(v.name, () => {
    scene(v, 'opens on the initial figure, sharp, centred, with the board focused', async l => {
      await expectColour(l, [200, 275], WHITE, 'line p');
      await expectColour(l, [600, 350], WHITE, 'line q');
      await expectColour(l, [400, 500], WHITE, 'line r');
      await expectColour(l, [350, 200], WHITE, 'transversal l');
      await expectColour(l, [500, 200], WHITE, 'transversal m');
      await expectSome(l, [670, 279], YELLOW, 'arrowhead on p');
      await expectColour(l, [100, 100], BOARD, 'empty board');
      await expectColour(l, [433, 75], BOARD, 'hidden extension of l');
      assert.ok(near(await l.windowPixel(4, 300), WINDOW), 'the window around the board');
      await expectSharp(l, 100, 280, 275);
      assert.equal(await l.state(() => document.activeElement.id), 'board');
      assert.equal(await l.state(() => getComputedStyle(PL.controls[0].element).fontWeight), '700',
                   'the title is bold');
      assert.equal(await l.state(() => document.title), '平行線と線分の比 (by t.Kavel)');
    });

    scene(v, 'l swings about B, and p follows a drag', async l => {
      await l.drag([400, 125], [500, 125]);
      await expectColour(l, [417, 200], WHITE, 'l after the swing');
      await expectColour(l, [350, 200], BOARD, 'where l was');
      // q was repainted in many small rectangles as l swept over it: no seams.
      // (Between where l and m cross it, at 250 and 550.)
      await expectSharp(l, 60, 240, 350, false);
      await expectSharp(l, 260, 540, 350, false);
      await l.drag([30, 275], [30, 200]);
      await expectColour(l, [200, 200], WHITE, 'p after the drag');
      await expectColour(l, [200, 275], BOARD, 'where p was');
    });

    scene(v, 'the copy of l is red while held and white where it is left', async l => {
      await l.drag([250, 350], [300, 350], { steps: 5, release: false });
      await expectColour(l, [400, 200], RED, 'the copy, held');
      await l.page.mouse.up();
      await expectColour(l, [400, 200], WHITE, 'the copy, let go');
      await expectColour(l, [350, 200], WHITE, 'l itself');
      // Slid on to A', over q in many small rectangles: q shows no seams.
      await l.drag([300, 350], [475, 350], { steps: 15 });
      await expectSharp(l, 60, 240, 350, false);
      await expectSharp(l, 260, 460, 350, false);
    });

    scene(v, "the picture of l, to its last pixel, shows l's extension", async l => {
      // The picture covers x 400 to 423: a press maps back to the very board pixel.
      await l.clickBoard(423, 152);
      await expectColour(l, [433, 75], WHITE, 'extension of l');
      await l.clickBoard(424, 152);  // beside the picture: the board's, not a click
      await expectColour(l, [433, 75], WHITE, 'extension of l, still');
      await l.clickBoard(412, 152);
      await expectColour(l, [433, 75], BOARD, 'extension of l, hidden again');
    });

    scene(v, 'a pen writes every sample, and the eraser with its marker rubs it out', async l => {
      await l.clickControl('メモ');
      await l.clickControl('赤', 1);  // bold red
      assert.equal(await l.state(() => PL.controls.filter(c => c.input.checked).length), 1);
      const before = await l.state(() => PL.samples);
      await l.drag([100, 60], [300, 60], { steps: 40 });
      await expectColour(l, [120, 60], RED, 'pen stroke');
      await expectColour(l, [280, 60], RED, 'pen stroke');
      // Every move the protocol sent (to the start, then 40 along) reached the board,
      // however the browser coalesced them.
      assert.equal(await l.state(() => PL.samples) - before, 41);
      await l.clickControl('消しゴム', 0);  // bold eraser
      await l.drag([150, 60], [250, 60]);
      await expectColour(l, [200, 60], BOARD, 'erased part of the stroke');
      await expectColour(l, [120, 60], RED, 'the rest of the stroke');
      await l.page.mouse.move(...l.at(500, 300));
      await expectColour(l, [500, 300], BOARD, "inside the eraser's marker");
      // The marker: a black ring 25 pixels across round the pointer, every device
      // pixel of it black or the board's green (but where a stretched canvas blends).
      const ring = await l.columns(484, 517, 284, 317);
      const black = ring.map(column => column.some(c => near(c, BLACK, 0)));
      const [first, last] = [black.indexOf(true), black.lastIndexOf(true)];
      const across = (last - first + 1) / (l.scale * l.dpr);
      assert.ok(Math.abs(across - 25) <= 1, `the ring is ${across} pixels across`);
      assert.ok(Math.abs((first + last + 1) / 2 / (l.scale * l.dpr) + 484 - 500.5) <= 1, 'centred');
      if (!l.stretched)
        for (const c of ring.flat()) assert.ok(near(c, BLACK, 0) || near(c, BOARD, 0), `${c} in the ring`);
    });

    scene(v, 'a straight line stands with its box ticked, and goes with it', async l => {
      await l.clickControl('直線');
      await l.drag([100, 50], [300, 50]);
      await expectColour(l, [200, 50], WHITE, 'straight line');
      assert.equal(await l.state(() => document.querySelectorAll('input[type=checkbox]')[0].checked), true);
      await l.clickControl('1');
      await expectColour(l, [200, 50], BOARD, 'straight line, unticked');
      // A line of no length is a round dot of its width (4) round the press.
      await l.clickBoard(640, 180);
      assert.deepEqual(await l.devicePixel(640.5, 180.5), WHITE, 'the dot');
      for (const [dx, dy] of [[-1.9, -1.9], [1.9, -1.9], [-1.9, 1.9], [1.9, 1.9]])
        assert.ok(!near(await l.devicePixel(640.5 + dx, 180.5 + dy), WHITE, 64), `the dot's corner ${dx}, ${dy}`);
      assert.deepEqual(await l.devicePixel(640.5 + 1, 180.5), WHITE, 'the dot, a pixel from its middle');
    });

    scene(v, 'the grid lies over the writing', async l => {
      await l.clickControl('メモ');
      await l.drag([90, 60], [200, 60]);
      await l.clickControl('方眼');
      await expectSome(l, [100, 60], BLACK, 'grid line over the writing');
      await expectSome(l, [13, 50], BLACK, 'solid grid line');
      assert.equal(await l.state(() => PL.controls.find(c => c.element.textContent === '方眼').element.style.fontWeight), 'bold');
    });

    scene(v, 'a right press restores the initial screen and opens no menu', async l => {
      await l.state(() => addEventListener('contextmenu', e => { window.menuPrevented = e.defaultPrevented; }));
      await l.drag([30, 275], [30, 200]);
      await l.clickBoard(500, 450, 'right');
      await expectColour(l, [200, 275], WHITE, 'p back in its place');
      await expectColour(l, [200, 200], BOARD, 'where p was dragged');
      assert.equal(await l.state(() => window.menuPrevented), true);
    });

    scene(v, 'a finger drags p from where it lands, with no jump', async l => {
      await l.touchDrag([300, 500], [310, 520]);  // a first touch somewhere else
      await l.touchDrag([30, 275], [30, 215]);
      await expectColour(l, [200, 215], WHITE, 'p after the touch drag');
      await expectColour(l, [200, 275], BOARD, 'where p was');
    });

    scene(v, 'at most one board paint per animation frame', async l => {
      await l.state(() => {
        window.frames = 0;
        (function count() { window.frames++; requestAnimationFrame(count); })();
        window.paintsBefore = PL.paints;
      });
      await l.drag([400, 125], [460, 125], { steps: 60 });
      await l.settle();
      const [paints, frames] = await l.state(() => [PL.paints - window.paintsBefore, window.frames]);
      assert.ok(paints >= 1 && paints <= frames, `${paints} paints in ${frames} frames`);
    });
  });
}

describe('the page on its own', () => {
  test('opens from file:// and asks for nothing but itself', async () => {
    const page = await browser.newPage();
    const requests = [];
    page.on('request', r => requests.push(r.url()));
    const errors = [];
    page.on('console', m => { if (m.type() === 'error') errors.push(m.text()); });
    await page.goto('file://' + PAGE, { waitUntil: 'load' });
    await page.waitForFunction(() => PL.paints > 0);
    assert.deepEqual(requests, ['file://' + PAGE]);
    assert.deepEqual(errors, []);  // a policy violation would be logged here
    const policy = await page.$eval('meta[http-equiv="Content-Security-Policy"]', m => m.content);
    assert.match(policy, /default-src 'none'/);
    assert.equal(await page.evaluate(() => document.cookie + localStorage.length + sessionStorage.length), '00');
    await page.close();
  });

  test('Tab goes through the controls in the window\'s order, and Space presses them', async () => {
    const l = await Lesson.open(browser, VIEWPORTS[0]);
    const focused = () => l.state(() => document.activeElement.getAttribute('aria-label'));
    assert.equal(await focused(), '黒板');
    const paints = await l.state(() => PL.paints);
    await l.page.keyboard.press('Space');  // the board takes no keys
    await l.settle();
    assert.equal(await l.state(() => PL.paints), paints);
    // The pen and colour buttons are disabled on the initial screen: focus passes them.
    const order = [];
    for (let i = 0; i < 10; i++) {
      await l.page.keyboard.press('Tab');
      order.push(await focused());
    }
    assert.deepEqual(order, ['初期画面', '終了', 'メモ', '方眼', '直線',
                             '直線 1', '直線 2', '直線 3', '直線 4', '直線 5']);
    await l.page.keyboard.down('Shift');
    for (let i = 0; i < 6; i++) await l.page.keyboard.press('Tab');
    await l.page.keyboard.up('Shift');
    assert.equal(await focused(), '方眼');
    await l.page.keyboard.press('Space');
    await expectSome(l, [13, 50], BLACK, 'the grid');
    await l.close();
  });

  test('option buttons and boxes take a click anywhere in their box, the upper one where they overlap', async () => {
    const l = await Lesson.open(browser, VIEWPORTS[1]);
    const clickAt = (x, y) => l.page.mouse.click(...l.windowPoint(x, y));
    const ticked = () => l.state(() => PL.controls.filter(c => c.input.checked).map(c => c.input.getAttribute('aria-label')));
    await l.clickControl('メモ');
    await clickAt(595, 16);  // right of bold red's caption
    assert.deepEqual(await ticked(), ['赤 太字']);
    await clickAt(605, 16);  // where bold red's box lies under bold yellow's
    assert.deepEqual(await ticked(), ['黄 太字']);
    await clickAt(748, 16);  // the bold eraser, just left of 終了
    assert.deepEqual(await ticked(), ['消しゴム 太字']);
    await l.clickControl('直線');
    await clickAt(351, 16);  // red, at the right edge of its 33 pixels
    assert.deepEqual(await ticked(), ['赤 直線']);
    await l.drag([100, 100], [200, 100]);
    assert.deepEqual(await ticked(), ['赤 直線', '直線 1']);
    await clickAt(343, 38);  // box 1, right of its caption: the line goes
    assert.deepEqual(await ticked(), ['赤 直線']);
    await expectColour(l, [150, 100], BOARD, 'the line, unticked');
    await l.close();
  });

  test('the writing is kept, and the figure placed anew, when the screen changes', async () => {
    const l = await Lesson.open(browser, VIEWPORTS[0]);
    await l.clickControl('メモ');
    await l.clickControl('赤', 1);  // bold red: its middle stays pure however it is scaled
    await l.drag([100, 60], [300, 60]);
    await l.page.setViewport({ width: 1366, height: 768 });
    const big = new Lesson(l.page, 1366, 768, 1);
    await expectColour(big, [200, 60], RED, 'the writing, scaled up');
    await expectColour(big, [200, 275], WHITE, 'line p, scaled up');
    await l.page.setViewport({ width: 822, height: 687 });
    await expectColour(l, [200, 60], RED, 'the writing, back at the first size');
    await l.close();
  });

  test('終了 ends the lesson: the page takes no more input and says so', async () => {
    const l = await Lesson.open(browser, VIEWPORTS[1]);
    await l.clickControl('終了');
    if (!l.page.isClosed()) {
      assert.equal(await l.state(() => document.getElementById('ended').hidden), false);
      assert.match(await l.state(() => document.getElementById('ended').textContent), /終了しました/);
      const samples = await l.state(() => PL.samples);
      await l.page.mouse.move(200, 200);
      await l.page.mouse.move(300, 300);
      assert.equal(await l.state(() => PL.samples), samples);
      await l.close();
    }
  });
});
