// The page on its own: what it asks of the machine, the keyboard, the tool row, a
// change of screen, and the end.
import assert from 'node:assert/strict';
import { describe } from 'node:test';
import { BLACK, BOARD, PAGE_URL, RED, WHITE } from '../lesson.mjs';
import { LAPTOP, VIEWPORTS } from '../viewports.mjs';
import { boardPixels, difference } from '../pixels.mjs';
import { expectColour, expectSome, scene } from './common.mjs';

export default function pageChecks(engine) {
  describe('the page on its own', () => {
    scene(engine, LAPTOP, 'opens from file:// and asks for nothing but itself', async (l, t) => {
      // What the page itself fetched, in every engine; and, where the driver sees the
      // network (not WebKit's), every request.
      assert.deepEqual(await l.state(() => performance.getEntriesByType('resource').map(e => e.name)
          .filter(name => !name.startsWith('data:'))), []);
      if (l.tab.requests) {
        // The log is live: it has the page's load (Chromium logs the page itself,
        // Firefox only its inline data).
        assert.notEqual(l.tab.requests.length, 0, 'the driver logged no request, not even the page\'s own');
        assert.deepEqual(l.tab.requests.filter(u => u !== PAGE_URL && !u.startsWith('data:')), []);
      } else {
        t.diagnostic(`${engine.name}'s driver does not see the network: only what the page fetched is checked`);
      }
      const policy = await l.state(() => document.querySelector('meta[http-equiv="Content-Security-Policy"]').content);
      assert.match(policy, /default-src 'none'/);
      // No cookie; nothing kept on the device until the board changes; the tab's name for
      // its board, in the tab's own storage.
      assert.deepEqual(await l.state(() => [document.cookie, localStorage.length,
                                            Object.keys(sessionStorage).map(k => k.replace(/:[^:]*$/, ''))]),
                       ['', 0, ['parallel-lines:' + new URL(PAGE_URL).pathname]]);
      // A policy violation would be logged, and the page checks for none.
    });

    scene(engine, VIEWPORTS[0], 'Tab goes through the controls in the window\'s order, and Space presses them', async l => {
      const focused = () => l.state(() => document.activeElement.getAttribute('aria-label') ||
                                          document.activeElement.textContent);
      assert.equal(await focused(), '黒板');
      const paints = await l.state(() => Stage.paints);
      await l.keyboard.press(' ');  // the board takes no keys
      await l.settle();
      assert.equal(await l.state(() => Stage.paints), paints);
      // The pen and colour buttons are disabled on the initial screen: focus passes them.
      const order = [];
      for (let i = 0; i < 16; i++) {
        await l.keyboard.press('Tab');
        order.push(await focused());
      }
      assert.deepEqual(order, ['直線 p', '直線 q', '直線 ℓ の上の端', '直線 m の上の端', 'ℓ を平行移動した直線',
                               '図の説明', '初期画面', '終了', 'メモ', '方眼', '直線',
                               '直線 1', '直線 2', '直線 3', '直線 4', '直線 5']);
      await l.keyboard.down('Shift');
      for (let i = 0; i < 6; i++) await l.keyboard.press('Tab');
      await l.keyboard.up('Shift');
      assert.equal(await focused(), '方眼');
      await l.keyboard.press(' ');
      await expectSome(l, [13, 50], BLACK, 'the grid');
    });

    scene(engine, LAPTOP, 'option buttons and boxes take a click anywhere in their box, the upper one where they overlap', async l => {
      const ticked = () => l.state(() => Row.controls.filter(c => c.input.checked).map(c => c.input.getAttribute('aria-label')));
      await l.clickControl('メモ');
      await l.clickWindow(595, 16);  // right of bold red's caption
      assert.deepEqual(await ticked(), ['赤 太字']);
      await l.clickWindow(605, 16);  // where bold red's box lies under bold yellow's
      assert.deepEqual(await ticked(), ['黄 太字']);
      await l.clickWindow(748, 16);  // the bold eraser, just left of 終了
      assert.deepEqual(await ticked(), ['消しゴム 太字']);
      await l.clickControl('直線');
      await l.clickWindow(351, 16);  // red, at the right edge of its 33 pixels
      assert.deepEqual(await ticked(), ['赤 直線']);
      await l.drag([100, 100], [200, 100]);
      assert.deepEqual(await ticked(), ['赤 直線', '直線 1']);
      await l.clickWindow(343, 38);  // box 1, right of its caption: the line goes
      assert.deepEqual(await ticked(), ['赤 直線']);
      await expectColour(l, [150, 100], BOARD, 'the line, unticked');
    });

    scene(engine, VIEWPORTS[0], 'the writing is kept, and the figure placed anew, when the screen changes', async l => {
      await l.clickControl('メモ');
      await l.clickControl('赤 太字');  // its middle stays pure however it is scaled
      await l.drag([100, 60], [300, 60]);
      await l.setViewport(1366, 768);
      await expectColour(l, [200, 60], RED, 'the writing, scaled up');
      await expectColour(l, [200, 275], WHITE, 'line p, scaled up');
      await l.setViewport(822, 687);
      await expectColour(l, [200, 60], RED, 'the writing, back at the first size');
    });

    // A laptop moved from its own fine screen to a projector and back: the ink kept at
    // the finer scale must still cover the board's last column, and the names must not
    // take the smoothing the ink was scaled with. Each trip a check of its own, so that
    // an engine that cannot change the ratio says so.
    for (const [what, [width, height, dpr], needs] of [['a larger screen', [1920, 1080, 1], []],
                                                        ['a finer screen (2x)', [1000, 700, 2], ['pixelRatio']]]) {
      scene(engine, LAPTOP, `${what} and back leaves the board as it was`, async l => {
        const before = await l.state(boardPixels);
        await l.setViewport(width, height, dpr);
        await l.settle();
        await l.setViewport(LAPTOP.width, LAPTOP.height, LAPTOP.dpr ?? 1);
        await l.state(() => Stage.requestFrame());  // (an emulated ratio comes with no event)
        await l.settle();
        assert.equal(difference(await l.state(boardPixels), before), null, `after ${width} x ${height} at ${dpr}x`);
      }, { needs });
    }

    scene(engine, LAPTOP, '終了 ends the lesson: the page takes no more input and says so', async (l, t) => {
      // A tab that has been somewhere before is one no browser lets a page close (one
      // opened on the page alone, Firefox does): the page must then stop and say so.
      await l.tab.goto('about:blank');
      await l.reload();
      assert.equal(l.tab.closed, false);
      await l.state(() => {
        const close = window.close.bind(window);
        window.closeAsked = 0;
        window.close = () => { window.closeAsked++; close(); };
      });
      await l.clickControl('終了');
      if (l.tab.closed) {
        t.skip(`${engine.name} let the page close its tab all the same: the panel is not checked`);
        return;
      }
      assert.equal(await l.state(() => window.closeAsked), 1, 'the page asks for its tab to close');
      assert.equal(await l.state(() => document.getElementById('ended').hidden), false);
      assert.match(await l.state(() => document.getElementById('ended').textContent), /終了しました/);
      const paints = await l.state(() => Stage.paints);
      await l.mouse.move(200, 200);
      await l.mouse.down();
      await l.mouse.move(300, 300);
      await l.mouse.up();
      await l.settle();
      assert.equal(await l.state(() => Stage.paints), paints);
      assert.equal(await l.state(() => Core.frame()), false, 'the program paints nothing more');
    });
  });
}
