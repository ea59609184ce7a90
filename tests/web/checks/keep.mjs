// Nothing a teacher made is lost to one press, a reload, a tab the browser discarded
// or a page process the system killed: the board comes back in its tab pixel for pixel,
// a wipe is offered back, another tab's board is offered, and a device that keeps
// nothing says so and works as ever.
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { describe, test } from 'node:test';
import { BOARD, Lesson, PAGE_URL, RED, WHITE } from '../lesson.mjs';
import { LAPTOP } from '../viewports.mjs';
import { expectColour, scene, skipFor } from './common.mjs';

// Something of everything: the figure moved, chalk of two pens and the eraser, a
// straight line, the grid; straight-line mode is left on.
async function writeABoard(l) {
  await l.drag([30, 275], [30, 230]);
  await l.drag([400, 125], [440, 125]);
  await l.clickControl('メモ');
  await l.drag([100, 80], [300, 160], { steps: 15 });
  await l.clickControl('青 太字');
  await l.drag([120, 420], [500, 440], { steps: 15 });
  await l.clickControl('消しゴム 太字');
  await l.drag([150, 100], [250, 120], { steps: 8 });
  await l.clickControl('直線');
  await l.drag([60, 60], [700, 600], { steps: 6 });
  await l.clickControl('方眼');
}

// How many device pixels differ, and the first.
function differences(a, b) {
  let count = 0, first = -1;
  for (let i = 0; i < Math.max(a.length, b.length); i++)
    if (a[i] !== b[i] && count++ === 0) first = i;
  return count ? { count, first, got: b[first], was: a[first] } : null;
}

const offer = l => l.state(() => {
  const panel = document.getElementById('offer');
  const r = panel.getBoundingClientRect(), s = document.getElementById('window').getBoundingClientRect();
  return { shown: !panel.hidden, words: document.getElementById('offer-words').textContent,
           action: document.getElementById('offer-action').textContent,
           centre: [r.x + r.width - 6, r.y + r.height / 2],
           // In the window's own pixels, to leave out of a comparison.
           box: { x: (r.x - s.x) / (s.width / 822), y: (r.y - s.y) / (s.height / 687),
                  w: r.width / (s.width / 822), h: r.height / (s.height / 687) } };
});
const status = async l => {
  await l.settle();  // (the words reach the region a frame later)
  return l.state(() => document.getElementById('status').textContent);
};
const bold = (l, name) => l.state(n => getComputedStyle(Row.controls.find(
    c => c.input.getAttribute('aria-label') === n).element).fontWeight, name);

// Takes the offer with a real click on its control.
async function takeOffer(l) {
  const o = await offer(l);
  assert.ok(o.shown, 'an offer in the corner');
  const button = await l.state(() => {
    const r = document.getElementById('offer-action').getBoundingClientRect();
    return [r.x + r.width / 2, r.y + r.height / 2];
  });
  await l.click(...button);
}

export default function keepChecks(engine) {
  describe('the board kept', () => {
    scene(engine, LAPTOP, 'a reload brings the board back as it was, pixel for pixel, and says so', async l => {
      await writeABoard(l);
      await l.kept();
      const before = await l.boardPixels();
      await l.reload();
      assert.equal(differences(before, await l.boardPixels()), null);
      assert.equal(await status(l), '前の板書を戻しました');
      assert.equal(await bold(l, '方眼'), '700');
      assert.equal(await bold(l, '直線'), '700');
      assert.equal((await offer(l)).shown, false);
    });

    test('a page process killed a second after a stroke: the tab opened again shows it',
         { skip: skipFor(engine, 'killPages') }, async () => {
      // A browser of its own: every page process it has is killed.
      const profile = mkdtempSync(path.join(tmpdir(), 'pl-kill-'));
      const browser = engine.withProfile(profile);
      try {
        const l = await Lesson.open(browser, LAPTOP);
        await writeABoard(l);
        await new Promise(r => setTimeout(r, 1000));
        const before = await l.boardPixels();
        await l.tab.killPages();
        assert.ok(await gone(l), 'the page is dead');
        await l.reload();
        assert.equal(differences(before, await l.boardPixels()), null);
        if (!skipFor(engine, 'freeze')) {
          // Frozen at once after a stroke, before its record was due, then killed: the
          // freeze wrote it.
          await l.clickControl('メモ');
          await l.clickControl('赤 太字');
          await l.drag([110, 510], [310, 510], { steps: 10 });
          await l.tab.freeze();
          // A frozen tab is discarded later, never in the same instant: its storage's
          // writes reach the browser meanwhile. (The page's timers stay frozen: only
          // what it wrote as it was hidden and frozen is kept.)
          await new Promise(r => setTimeout(r, 1000));
          await l.tab.killPages();
          await l.reload();
          await expectColour(l, [210, 510], RED, 'the stroke before the freeze');
          await expectColour(l, [210, 520], BOARD, 'beside it');
        }
        await l.close();
      } finally {
        await browser.close();
        rmSync(profile, { recursive: true, force: true });
      }
    });

    scene(engine, LAPTOP, 'a right press wipes, and 元に戻す brings every pixel back', async l => {
      await writeABoard(l);
      const before = await l.boardPixels();
      await l.clickBoard(700, 150, 'right');
      const o = await offer(l);
      assert.deepEqual([o.shown, o.words, o.action], [true, '板書を消しました', '元に戻す']);
      assert.equal(await status(l), '板書を消しました');
      await expectColour(l, [200, 275], WHITE, 'p back where it starts');
      await expectColour(l, [200, 120], BOARD, 'the chalk gone');
      // The offer takes a finger: 24 px square at least at the window's own size.
      assert.ok(o.box.w >= 24 && o.box.h >= 24);
      await takeOffer(l);
      assert.equal((await offer(l)).shown, false);
      assert.equal(differences(before, await l.boardPixels()), null);
      assert.equal(await status(l), '元に戻しました');
      assert.equal(await l.state(() => document.activeElement.id), 'board');
    });

    scene(engine, LAPTOP, '初期画面 then Ctrl+Z brings the board back; a press on the board ends the offer', async l => {
      await writeABoard(l);
      const before = await l.boardPixels();
      await l.clickControl('初期画面');
      assert.equal((await offer(l)).shown, true);
      await l.keyboard.down('Control');
      await l.keyboard.press('z');
      await l.keyboard.up('Control');
      assert.equal(differences(before, await l.boardPixels()), null);
      // Again, and this time the teacher goes on: the offer goes with the first press.
      await l.clickControl('初期画面');
      await l.clickBoard(700, 150);
      assert.equal((await offer(l)).shown, false);
      await l.keyboard.down('Control');
      await l.keyboard.press('z');
      await l.keyboard.up('Control');
      await expectColour(l, [200, 120], BOARD, 'nothing came back');
    });

    scene(engine, LAPTOP, '終了, then もう一度始める, offers the board back', async l => {
      await writeABoard(l);
      const before = await l.boardPixels();
      // A page with a history of its own: the browser does not let it close its tab.
      l.url = PAGE_URL + '#lesson';
      await l.reload();
      await l.clickControl('終了');
      await l.tab.waitFor(() => !document.getElementById('ended').hidden);
      const again = await l.state(() => {
        const r = document.getElementById('again').getBoundingClientRect();
        return [r.x + r.width / 2, r.y + r.height / 2];
      });
      await l.click(...again);
      await l.tab.waitFor(() => typeof Boot !== 'undefined' && Boot.started && Stage.paints > 1 && !Core.inkBehind);
      const o = await offer(l);
      assert.deepEqual([o.shown, o.action], [true, '元に戻す']);
      assert.equal(await status(l), '板書を消しました');
      await takeOffer(l);
      assert.equal(differences(before, await l.boardPixels()), null);
    });

    test("a new tab opens on the initial screen and offers the last tab's board",
         { skip: skipFor(engine, 'secondTab') }, async () => {
      const first = await Lesson.open(engine, LAPTOP);
      let second;
      try {
        const fresh = await first.boardPixels();
        await writeABoard(first);
        await first.kept();
        const board = await first.boardPixels();
        second = await Lesson.open(engine, LAPTOP);
        const o = await offer(second);
        assert.deepEqual([o.shown, o.words, o.action], [true, '', '前の板書を開く']);
        assert.equal(differences(Lesson.without(fresh, o.box), Lesson.without(await second.boardPixels(), o.box)),
                     null, 'the initial screen');
        await takeOffer(second);
        assert.equal(differences(board, await second.boardPixels()), null);
        assert.deepEqual(await second.errors(), []);
      } finally {
        // (The second tab's storage is the first's: it goes with the first.)
        if (second) await second.tab.close();
        await first.close();
      }
    });

    scene(engine, LAPTOP, "a long lesson's writing is stored in blocks, once each, and dropped with its board", async l => {
      await l.clickControl('メモ');
      // 50,000 segments, handed to the program as the page hands it pointer events
      // (sent for real they would take minutes).
      await l.state(() => {
        const r = Stage.board.getBoundingClientRect();
        const at = (phase, x, y) => Core.pointer(phase, { clientX: r.x + x, clientY: r.y + y, pointerId: 1,
          pointerType: 'mouse', button: phase === 'move' ? -1 : 0, buttons: phase === 'up' ? 0 : 1, timeStamp: 0 });
        for (let s = 0; s < 500; s++) {
          at('down', 60 + s, 80);
          for (let i = 1; i <= 100; i++) at('move', 60 + s + i * 1.3, 80 + (i * 37) % 450);
          at('up', 60 + s + 130, 80);
        }
        Stage.requestFrame();
      });
      await l.tab.waitFor(() => !Core.inkBehind);
      await l.kept();
      const blocks = () => l.state(() => Object.keys(localStorage).filter(k => k.startsWith(Keep.prefix + 'ink:')).length);
      assert.ok(await blocks() >= 2, 'the writing in blocks');
      const before = await l.boardPixels();
      await l.reload();
      assert.equal(differences(before, await l.boardPixels()), null);
      // Wiped, and the teacher goes on: nothing names the blocks, and they go.
      await l.clickControl('初期画面');
      await l.clickBoard(700, 150);
      await l.tab.waitFor(() => !Keep.timer);
      assert.equal(await blocks(), 0);
    });

    scene(engine, LAPTOP, 'what cannot be read is ignored: the initial screen, with no error', async l => {
      const fresh = await l.boardPixels();
      await l.drag([30, 275], [30, 230]);
      await l.kept();
      const cut = await l.state(() => Keep.area.getItem(Keep.key).slice(0, -40));
      await l.state(cut => {
        Keep.area.setItem(Keep.key, cut);
        Keep.area.setItem(Keep.prefix + 'board:another', 'parallel-lines board 1:garbage');
        Keep.area.setItem(Keep.prefix + 'board:old-version', 'parallel-lines board 0:AAAA');
        localStorage.setItem('excalidraw', '{"elements":[]}');
      }, cut);
      await l.reload();
      assert.equal(differences(fresh, await l.boardPixels()), null);
      assert.equal((await offer(l)).shown, false);
      // Records that are none of ours are left; ours that cannot be read are removed.
      assert.deepEqual(await l.state(() => [Keep.area.getItem(Keep.prefix + 'board:another'),
                                            localStorage.getItem('excalidraw')]), [null, '{"elements":[]}']);
    });

    test('with storage switched off the lesson works as ever and says the board is not kept',
         { skip: skipFor(engine, 'beforeScripts') }, async () => {
      const l = new Lesson(await engine.open(LAPTOP), LAPTOP);
      l.url = PAGE_URL;
      try {
        await l.tab.beforeScripts(() => {
          for (const name of ['localStorage', 'sessionStorage'])
            Object.defineProperty(window, name, { configurable: true, get() {
              throw new DOMException('storage is switched off', 'SecurityError');
            } });
        });
        await l.reload();
        await noticeAndWorks(l);
      } finally {
        await l.close();
      }
    });

    scene(engine, LAPTOP, 'with the storage full the lesson works as ever and says the board is not kept', async l => {
      await l.state(() => {
        // Another program's data, to the brim.
        for (let size = 1 << 20, i = 0; size >= 16; size >>= 1)
          try { for (;;) localStorage.setItem(`another-program:${i++}`, 'x'.repeat(size)); } catch { /* full */ }
      });
      await l.drag([30, 350], [30, 400]);
      await l.tab.waitFor(() => !document.getElementById('notice').hidden);
      await noticeAndWorks(l);
    });
  });
}

// Whether the page no longer answers (its process was killed).
function gone(l) {
  return Promise.race([l.state(() => false).catch(() => true),
                       new Promise(r => setTimeout(() => r(true), 3000))]);
}

async function noticeAndWorks(l) {
  await l.tab.waitFor(() => !document.getElementById('notice').hidden);
  assert.equal(await l.state(() => document.getElementById('notice').textContent), 'この端末には板書を残せません');
  assert.equal(await l.state(() => document.getElementById('ended').hidden), true);
  await l.drag([30, 275], [30, 215]);
  await expectColour(l, [200, 215], WHITE, 'p, dragged');
  assert.deepEqual(await l.errors(), []);
}
