// The page at its edges, as a school's web team and a careful reviewer try it: a
// gesture taken away, a print, the page embedded under a platform's own, a failure,
// scripts off, forced colours and the keyboard.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { describe, test } from 'node:test';
import { PNG } from 'pngjs';
import { BOARD, Lesson, PAGE, PAGE_URL, WHITE } from '../lesson.mjs';
import { serve } from '../serve.mjs';
import { LAPTOP } from '../viewports.mjs';
import { expectColour, scene, skipFor } from './common.mjs';

const scratch = mkdtempSync(path.join(tmpdir(), 'pl-edges-'));

// A file beside the page for a check, and its address.
function writeScratch(name, text) {
  const file = path.join(scratch, name);
  writeFileSync(file, text);
  return pathToFileURL(file).href;
}

const panel = l => l.state(() => ({
  shown: !document.getElementById('ended').hidden,
  stage: !document.getElementById('stage').hidden,
  text: document.getElementById('ended').textContent,
}));

export default function edgeChecks(engine) {
  describe('at the edges', () => {
    scene(engine, LAPTOP, 'a gesture taken away in the middle of a straight line ends it, and its box shows it', async l => {
      await l.clickControl('直線');
      await l.state(() => Stage.board.addEventListener('pointerdown', e => { window.pointer = e.pointerId; }));
      await l.mouse.move(...l.at(100, 100));
      await l.mouse.down();
      await l.mouse.move(...l.at(200, 100));
      await l.mouse.move(...l.at(300, 100));
      // The browser takes the pointer away, as it does from a touch that turns into a
      // scroll, and nothing else comes.
      await l.state(() => Stage.board.dispatchEvent(new PointerEvent('pointercancel', {
        pointerId: window.pointer, pointerType: 'mouse', bubbles: true })));
      const boxes = () => l.state(() => Row.controls.filter(c => c.input.type === 'checkbox').map(c => c.input.checked));
      assert.deepEqual(await boxes(), [true, false, false, false, false]);
      await expectColour(l, [250, 100], WHITE, 'the line, ended where the pointer was');
      await l.mouse.up();
      await l.clickControl('直線 1');  // unticks it: the line goes
      assert.deepEqual(await boxes(), [false, false, false, false, false]);
      await expectColour(l, [250, 100], BOARD, 'the line, unticked');
    });

    test('a print shows the board as it stands, figure and writing', { skip: skipFor(engine, 'pdf') }, async () => {
      const l = await Lesson.open(engine, LAPTOP);
      try {
        await l.clickControl('メモ');
        await l.clickControl('赤 太字');
        await l.drag([100, 60], [500, 60], { steps: 20 });
        const pdf = path.join(scratch, 'print.pdf');
        writeFileSync(pdf, await l.tab.pdf());
        execFileSync('pdftoppm', ['-png', '-r', '48', '-f', '1', '-l', '1', '-singlefile', pdf,
                                  path.join(scratch, 'print')]);
        const img = PNG.sync.read(readFileSync(path.join(scratch, 'print.png')));
        let red = 0, board = 0, white = 0;
        for (let i = 0; i < img.data.length; i += 4) {
          const [r, g, b] = img.data.subarray(i, i + 3);
          if (r > 230 && g < 40 && b < 40) red++;
          else if (r < 30 && g > 110 && g < 145 && b < 30) board++;
          else if (r > 240 && g > 240 && b > 240) white++;
        }
        assert.ok(board > 20000, `the board in the print: ${board} pixels`);
        assert.ok(red > 100, `the writing in the print: ${red} pixels`);
        assert.ok(white > 500, `the figure in the print: ${white} pixels`);
      } finally {
        await l.close();
      }
    });

    test('embedded in a platform\'s page, it leaves the focus where the user is typing', { skip: skipFor(engine, 'frames') }, async () => {
      // The platform's page and the lesson from one site, as a learning platform that
      // hosts its material serves them.
      symlinkSync(PAGE, path.join(scratch, 'lesson.html'));
      writeScratch('embed.html', `<!doctype html><meta charset="utf-8">
        <input id="typing" autofocus><iframe src="lesson.html" width="822" height="687"></iframe>`);
      const site = await serve(scratch);
      const tab = await engine.open(LAPTOP);
      try {
        await tab.goto(site.url + 'embed.html');
        await tab.waitInFrame(0, () => typeof Boot !== 'undefined' && Boot.started && Stage.paints > 1);
        assert.equal(await tab.evaluate(() => document.activeElement.id), 'typing');
      } finally {
        await tab.close();
        await site.stop();
      }
    });

    scene(engine, LAPTOP, 'a gesture whose end never comes leaves the board listening', async l => {
      // A pen touches the board and is never heard of again, as when its moves and
      // release are lost: the mouse still drags p, from where it presses.
      const pen = await l.state(([x, y]) => Stage.board.dispatchEvent(new PointerEvent('pointerdown', {
        clientX: x, clientY: y, pointerId: 77, pointerType: 'pen', button: 0, buttons: 1, bubbles: true,
        cancelable: true })), l.at(300, 500));
      assert.ok(!pen, 'the page took the pen\'s press');
      await l.drag([30, 275], [30, 215]);
      await expectColour(l, [200, 215], WHITE, 'p, dragged after the lost pen');
      await expectColour(l, [200, 275], BOARD, 'where p was');
      // The window loses the focus in the middle of a drag: the drag ends there.
      await l.drag([30, 215], [30, 200], { release: false });
      await l.state(() => dispatchEvent(new Event('blur')));
      await l.mouse.move(...l.at(30, 150));
      await l.mouse.up();
      await expectColour(l, [200, 200], WHITE, 'p, where the drag ended');
      await expectColour(l, [200, 150], BOARD, 'nowhere p was carried after');
    });

    scene(engine, LAPTOP, "a coalesced sample with no pointer of its own is its event's", async l => {
      await l.clickControl('メモ');
      const inked = await l.state(([x, y], [x2, y2]) => {
        let inked = 0;
        const draw = InkLayer.segment;
        InkLayer.segment = (...a) => { inked++; draw(...a); };
        const parent = { pointerId: 5, pointerType: 'pen' };
        Stage.board.dispatchEvent(new PointerEvent('pointerdown', { ...parent, clientX: x, clientY: y, button: 0,
                                                                   buttons: 1, bubbles: true }));
        // As Safari 18.2 gives them: no pointerId, no pointerType.
        Core.pointer('move', { clientX: x2, clientY: y2, button: -1, buttons: 1, timeStamp: performance.now() }, parent);
        Core.frame();  // the ink reaches its raster with the next frame
        return inked;
      }, l.at(100, 100), l.at(200, 100));
      assert.equal(inked, 1);
    });

    scene(engine, LAPTOP, 'the page refuses an iPad its pinch, and the pencil its handwriting', async l => {
      assert.deepEqual(await l.state(() => ['gesturestart', 'gesturechange'].map(type => {
        const e = new Event(type, { cancelable: true, bubbles: true });
        Stage.board.dispatchEvent(e);
        return e.defaultPrevented;
      })), [true, true]);
      assert.equal(await l.state(() => {
        const e = new Event('touchmove', { cancelable: true, bubbles: true });
        Stage.board.dispatchEvent(e);
        return e.defaultPrevented;
      }), true);
      assert.deepEqual(await l.state(() => ['-webkit-touch-callout', '-webkit-user-select', 'user-select']
          .map(p => getComputedStyle(Stage.board).getPropertyValue(p)).filter(v => v !== '' && v !== 'none')), []);
    });

    scene(engine, LAPTOP, 'a failure in the program ends in a panel that says so, with a way to start again', async l => {
      // (abort stops the program and throws, as it does when memory runs out.)
      await l.state(() => { try { abort('out of memory'); } catch { /* as expected */ } });
      const p = await panel(l);
      assert.ok(p.shown && !p.stage, 'the panel instead of the board');
      assert.match(p.text, /問題が起きたため、止まりました/);
      assert.match(p.text, /もう一度始める/);
      assert.equal(await l.state(() => document.activeElement.id), 'again');
      await l.clearErrors();  // the failure itself is logged, as it should be
    });

    test('a browser that refuses wasm shows why, not a grey page', async () => {
      const html = readFileSync(PAGE, 'utf8').replace(" 'wasm-unsafe-eval'", '');
      const l = new Lesson(await engine.open(LAPTOP), LAPTOP);
      try {
        await l.tab.goto(writeScratch('no-wasm.html', html));
        await l.tab.waitFor(() => !document.getElementById('ended').hidden);
        const p = await panel(l);
        assert.ok(p.shown && !p.stage);
        assert.match(p.text, /このブラウザでは動きませんでした/);
      } finally {
        await l.close();
      }
    });

    test('with scripts off, the page says what it is and where to open it', { skip: skipFor(engine, 'scriptsOff') }, async () => {
      const tab = await engine.open(LAPTOP);
      try {
        await tab.scriptsOff();
        await tab.goto(PAGE_URL);
        const shown = await tab.screenshot({ x: 0, y: 0, width: LAPTOP.width, height: LAPTOP.height });
        // Light text on the dark margin: the explanation, not a blank.
        let light = 0;
        for (let i = 0; i < shown.data.length; i += 4) if (shown.data[i] > 200 && shown.data[i + 1] > 200) light++;
        assert.ok(light > 2000, `${light} light pixels`);
        assert.match(readFileSync(PAGE, 'utf8'), /<div id="explain"><h1>平行線と線分の比<\/h1><p>[^<]*ブラウザで開く/);
      } finally {
        await tab.close();
      }
    });

    scene(engine, LAPTOP, 'under forced colours a disabled caption is GrayText', async l => {
      await l.tab.emulateForcedColors();
      const [disabled, enabled, grayText] = await l.state(() => {
        const colour = e => getComputedStyle(e).color;
        const caption = name => Row.controls.find(c => c.input.getAttribute('aria-label') === name)
            .element.querySelector('span');
        const probe = document.body.appendChild(document.createElement('span'));
        probe.style.color = 'GrayText';
        return [colour(caption('赤 太字')), colour(caption('直線 1')), colour(probe)];
      });
      assert.equal(disabled, grayText);
      assert.notEqual(enabled, grayText);
    }, { needs: ['forcedColors'] });

    scene(engine, LAPTOP, 'the board shows keyboard focus, not a press, and is announced by name', async l => {
      const ring = () => l.state(() => getComputedStyle(Stage.board).outlineStyle);
      await l.clickBoard(100, 600);
      assert.equal(await ring(), 'none', 'no ring after a press');
      await l.keyboard.press('Tab');
      await l.keyboard.down('Shift');
      await l.keyboard.press('Tab');
      await l.keyboard.up('Shift');
      assert.equal(await l.state(() => document.activeElement.id), 'board');
      assert.notEqual(await ring(), 'none', 'a ring for the keyboard');
      assert.deepEqual(await l.state(() => [Stage.board.getAttribute('role'), Stage.board.getAttribute('aria-label')]),
                       ['img', '黒板']);
    });
  });
}
