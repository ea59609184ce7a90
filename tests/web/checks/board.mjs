// The lesson on the board, at the screens classrooms have: the window scaled to fit,
// driven by real mouse, touch and pen input, judged by the pixels on screen. Scenes
// whose outcome depends on the scale run at every size; the others at one.
import assert from 'node:assert/strict';
import { describe } from 'node:test';
import { BLACK, BOARD, MARGIN, RED, WHITE, WINDOW, YELLOW, near } from '../lesson.mjs';
import { LAPTOP, SHARP, viewportsFor } from '../viewports.mjs';
import { expectColour, expectSharp, expectSome, scene } from './common.mjs';

export default function boardChecks(engine) {
  for (const v of SHARP) {
    describe(`${v.name}, as it opens`, () => {
      scene(engine, v, 'opens on the initial figure, sharp, centred, with the board focused', async l => {
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
        assert.equal(await l.state(() => getComputedStyle(Row.controls[0].element).fontWeight), '700',
                     'the title is bold');
        assert.equal(await l.state(() => document.title), '平行線と線分の比 (by t.Kavel)');
        // The first frame is painted before the ink raster is made: the same board.
        await l.state(() => { InkLayer.canvas = null; Boot.guard(() => Core.repaint()); Stage.requestFrame(); });
        await l.settle();
        await expectColour(l, [100, 100], BOARD, 'empty board with no ink raster yet');
        await expectSharp(l, 100, 280, 275);
        await l.state(() => InkLayer.make());
        // The window's left edge on a device pixel: the margin, then the window's green,
        // with no column of the two blended.
        if (l.left > 0) {
          const edge = await l.region(l.left - 2, 0, 4, l.height);
          for (let i = 0; i < edge.width; i++)
            for (let j = 0; j < edge.height; j += 7) {
              const c = edge.at(i, j);
              assert.ok(near(c, MARGIN, 0) || near(c, WINDOW, 0), `${c} at the window's edge, device column ${i}`);
            }
        }
      });
    });
  }

  for (const v of viewportsFor(engine)) {
    describe(v.name, () => {
      scene(engine, v, 'l swings about B, and p follows a drag', async l => {
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

      scene(engine, v, 'the copy of l is red while held and white where it is left', async l => {
        await l.drag([250, 350], [300, 350], { steps: 5, release: false });
        await expectColour(l, [400, 200], RED, 'the copy, held');
        await l.mouse.up();
        await expectColour(l, [400, 200], WHITE, 'the copy, let go');
        await expectColour(l, [350, 200], WHITE, 'l itself');
        // Slid on to A', over q in many small rectangles: q shows no seams.
        await l.drag([300, 350], [475, 350], { steps: 15 });
        await expectSharp(l, 60, 240, 350, false);
        await expectSharp(l, 260, 460, 350, false);
      });

      scene(engine, v, "the picture of l, to its last pixel, shows l's extension", async l => {
        // The picture covers x 400 to 423: a press maps back to the very board pixel.
        await l.clickBoard(423, 152);
        await expectColour(l, [433, 75], WHITE, 'extension of l');
        await l.clickBoard(424, 152);  // beside the picture: the board's, not a click
        await expectColour(l, [433, 75], WHITE, 'extension of l, still');
        await l.clickBoard(412, 152);
        await expectColour(l, [433, 75], BOARD, 'extension of l, hidden again');
      });

      scene(engine, v, 'a pen writes, and the eraser with its marker rubs it out', async l => {
        await l.clickControl('メモ');
        await l.clickControl('赤 太字');
        assert.equal(await l.state(() => Row.controls.filter(c => c.input.checked).length), 1);
        await l.drag([100, 60], [300, 60], { steps: 40 });
        await expectColour(l, [120, 60], RED, 'pen stroke');
        await expectColour(l, [280, 60], RED, 'pen stroke');
        await l.clickControl('消しゴム 太字');
        await l.drag([150, 60], [250, 60]);
        await expectColour(l, [200, 60], BOARD, 'erased part of the stroke');
        await expectColour(l, [120, 60], RED, 'the rest of the stroke');
        await l.mouse.move(...l.at(500, 300));
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

      scene(engine, v, 'a straight line stands with its box ticked, and goes with it', async l => {
        await l.clickControl('直線');
        await l.drag([100, 50], [300, 50]);
        await expectColour(l, [200, 50], WHITE, 'straight line');
        assert.equal(await l.state(() => document.querySelectorAll('input[type=checkbox]')[0].checked), true);
        await l.clickControl('直線 1');
        await expectColour(l, [200, 50], BOARD, 'straight line, unticked');
        // A line of no length is a round dot of its width (4) round the press.
        await l.clickBoard(640, 180);
        const [x, y] = l.toBoard(...l.at(640, 180));  // where the press landed
        assert.deepEqual(await l.devicePixel(x, y), WHITE, 'the dot');
        for (const [dx, dy] of [[-1.9, -1.9], [1.9, -1.9], [-1.9, 1.9], [1.9, 1.9]])
          assert.ok(!near(await l.devicePixel(x + dx, y + dy), WHITE, 32), `the dot's corner ${dx}, ${dy}`);
        assert.ok(near(await l.devicePixel(x + 0.75, y), WHITE), 'the dot, right of its middle');
      });

      scene(engine, v, 'the grid lies over the writing', async l => {
        await l.clickControl('メモ');
        await l.drag([90, 60], [200, 60]);
        await l.clickControl('方眼');
        await expectSome(l, [100, 60], BLACK, 'grid line over the writing');
        await expectSome(l, [13, 50], BLACK, 'solid grid line');
        assert.equal(await l.state(() => Row.controls.find(c => c.element.textContent === '方眼').element.style.fontWeight), 'bold');
      });
    });
  }

  describe(`${LAPTOP.name}, the same at any size`, () => {
    const v = LAPTOP;
    scene(engine, v, 'every caption has its characters in the font it is drawn in', async l => {
      // Every character of every caption is drawn from a font that has it: none
      // looks like the box a font draws for a character it lacks.
      assert.deepEqual(await l.state(() => {
        const canvas = document.createElement('canvas');
        canvas.width = canvas.height = 48;
        const ctx = canvas.getContext('2d');
        const look = (font, text) => {
          ctx.clearRect(0, 0, 48, 48);
          ctx.font = font;
          ctx.fillText(text, 4, 36);
          return ctx.getImageData(0, 0, 48, 48).data.join();
        };
        const missing = [];
        for (const c of Row.controls) {
          const font = c.element.style.font;
          const boxes = ['\uE000', '\u{10FFFF}'].map(t => look(font, t));
          for (const ch of c.element.textContent)
            if (boxes.includes(look(font, ch))) missing.push(`${ch} in ${font}`);
        }
        return missing;
      }), []);
    });

    scene(engine, v, 'a right press restores the initial screen and opens no menu', async l => {
      await l.state(() => addEventListener('contextmenu', e => { window.menuPrevented = e.defaultPrevented; }));
      await l.drag([30, 275], [30, 200]);
      await l.clickBoard(500, 450, 'right');
      await expectColour(l, [200, 275], WHITE, 'p back in its place');
      await expectColour(l, [200, 200], BOARD, 'where p was dragged');
      assert.equal(await l.state(() => window.menuPrevented), true);
    }, { needs: ['rightButton'] });

    scene(engine, v, 'a finger drags p from where it lands, with no jump', async l => {
      await l.touchDrag([300, 500], [310, 520]);  // a first touch somewhere else
      await l.touchDrag([30, 275], [30, 215]);
      await expectColour(l, [200, 215], WHITE, 'p after the touch drag');
      await expectColour(l, [200, 275], BOARD, 'where p was');
    }, { needs: ['touch'] });

    scene(engine, v, 'a pen writes in memo mode', async l => {
      await l.clickControl('メモ');
      await l.clickControl('赤 太字');
      const pen = (kind, x, y) => l.tab.pen(kind, ...l.at(x, y));
      await pen('move', 100, 80);
      await pen('down', 100, 80);
      for (let x = 110; x <= 300; x += 10) await pen('move', x, 80);
      await pen('up', 300, 80);
      await expectColour(l, [200, 80], RED, 'the pen stroke');
    }, { needs: ['pen'] });

    scene(engine, v, 'every sample of a fast stroke reaches the board, however the browser coalesces them', async l => {
      await l.clickControl('メモ');
      await l.clickControl('赤 太字');
      await l.mouse.move(...l.at(100, 100));
      await l.mouse.down();
      // The segments of ink the program draws: one for each sample it receives.
      await l.state(() => {
        window.inked = 0;
        const draw = InkLayer.segment;
        InkLayer.segment = (...a) => { window.inked++; draw(...a); };
        window.events = 0;
        Stage.board.addEventListener('pointermove', () => window.events++);
        // The page is busy for a moment, as on a slow tablet: the moves pile up.
        const until = performance.now() + 150;
        setTimeout(() => { while (performance.now() < until); });
      });
      const points = [];
      for (let i = 1; i <= 60; i++) points.push(l.at(100 + 5 * i, 100));
      await l.tab.burstOfMoves(points);
      await l.settle();
      await l.mouse.up();
      const [inked, events] = await l.state(() => [window.inked, window.events]);
      assert.ok(events < 60, `the browser coalesced the 60 moves into ${events} events`);
      assert.equal(inked, 60, 'one segment of ink for each move');
    }, { needs: ['burstOfMoves'] });

    scene(engine, v, 'events in one task paint nothing until the next animation frame, then once', async l => {
      await l.clickControl('メモ');
      await l.clickControl('消しゴム 太字');  // its marker moves with every hover
      const [during, after] = await l.state(() => new Promise(resolve => {
        let paints = 0;
        const end = Canvas.endPaint;
        Canvas.endPaint = () => { paints++; end(); };
        const { x, y } = Stage.board.getBoundingClientRect();
        for (let i = 0; i < 8; i++)
          Stage.board.dispatchEvent(new PointerEvent('pointermove', {
            clientX: x + 100 + 10 * i, clientY: y + 100, pointerId: 1, pointerType: 'mouse', button: -1,
            buttons: 0, bubbles: true }));
        const during = paints;
        requestAnimationFrame(() => requestAnimationFrame(() => resolve([during, paints])));
      }));
      assert.equal(during, 0, 'painted before the frame');
      assert.equal(after, 1, 'painted once for the eight moves');
    });
  });
}
