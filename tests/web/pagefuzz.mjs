// The page driven by generated sequences of real input, property-based (fast-check):
// the mouse with every button, a pen, one to three fingers with cancels, clicks on the
// tool row (all but "終了"), resizes and pixel-ratio changes, the tab put away, keys,
// Ctrl+Z, the offer in the board's corner, and the page loaded again in its tab, which
// must show the board as it was. A wipe's offer taken back goes.
// After each sequence the page must show no error, its tool row must be the core's,
// the board must still answer, what it shows must equal a full repaint, and after
// "初期画面" it must equal a fresh start at the same size and ratio. A failing sequence
// is shrunk to its shortest and reported with the seed and path that replay it.
//
// Used by checks/fuzz.mjs in the suite, and by fuzz/page.mjs for long runs.
// PL_FUZZ_TRACE=1 prints each input as it is sent.
import fc from 'fast-check';
import { BOARD, Lesson, WHITE, near } from './lesson.mjs';
import { boardPixels, difference } from './pixels.mjs';

const SIZES = [[1366, 768], [822, 687], [1000, 700], [640, 480]];
const RATIOS = [1, 1.5, 2];
const KEYS = ['Tab', 'Shift+Tab', ' ', 'Enter', 'Escape', 'ArrowUp', 'ArrowDown', 'ArrowLeft',
              'ArrowRight', 'PageUp', 'PageDown'];
const START = { width: 1366, height: 768, dpr: 1 };

// One input, as data: what a shrunk sequence prints. `controls` are the names of the
// tool-row controls a sequence may click.
export function commands(engine, controls) {
  const x = fc.integer({ min: -4, max: 806 }), y = fc.integer({ min: -2, max: 630 });
  const can = need => !engine.cannot[need];
  const weighted = [
    { weight: 30, arbitrary: fc.record({ op: fc.constant('move'), x, y }) },
    { weight: 8, arbitrary: fc.record({ op: fc.constant('down'), button: fc.constantFrom('left', 'left', 'left', 'right', 'middle') }) },
    { weight: 8, arbitrary: fc.record({ op: fc.constant('up'), button: fc.constantFrom('left', 'right', 'middle') }) },
    { weight: 6, arbitrary: fc.record({ op: fc.constant('click'), name: fc.constantFrom(...controls) }) },
    { weight: 4, arbitrary: fc.record({ op: fc.constant('key'), key: fc.constantFrom(...KEYS) }) },
    { weight: 1, arbitrary: fc.record({ op: fc.constant('resize'), size: fc.integer({ min: 0, max: SIZES.length - 1 }) }) },
    { weight: 2, arbitrary: fc.record({ op: fc.constantFrom('undo', 'offer') }) },
    { weight: 1, arbitrary: fc.record({ op: fc.constant('reload') }) },
  ];
  if (can('away')) weighted.push({ weight: 1, arbitrary: fc.record({ op: fc.constant('away') }) });
  if (can('touch')) {
    weighted.push({ weight: 14, arbitrary: fc.record({ op: fc.constantFrom('finger down', 'finger move', 'finger move', 'finger up'),
                                                       id: fc.integer({ min: 0, max: 2 }), x, y }) });
    if (can('touchCancel')) weighted.push({ weight: 1, arbitrary: fc.record({ op: fc.constant('cancel') }) });
  }
  if (can('pen')) weighted.push({ weight: 8, arbitrary: fc.record({ op: fc.constantFrom('pen down', 'pen move', 'pen move', 'pen up'), x, y }) });
  if (can('pixelRatio')) weighted.push({ weight: 1, arbitrary: fc.record({ op: fc.constant('ratio'), dpr: fc.constantFrom(...RATIOS) }) });
  return fc.oneof(...weighted);
}

// Plays a sequence on the open lesson, keeping each device's state so that every
// input is one the device could send (no release of what is not held).
export async function play(lesson, sequence) {
  const tab = lesson.tab;
  const held = new Set(), fingers = new Set();
  let pen = false, mouseAt = [400, 300];
  // Everything let go, as a hand leaves the board.
  const letGo = async () => {
    for (const b of held) await lesson.mouse.up(b);
    for (const id of fingers) await tab.fingers.up(id);
    if (pen) await tab.pen('up', ...lesson.at(...mouseAt));
    held.clear();
    fingers.clear();
    pen = false;
  };
  const offered = () => lesson.state(() => !document.getElementById('offer').hidden &&
                                           document.getElementById('offer-words').textContent !== '');
  for (const c of sequence) {
    if (process.env.PL_FUZZ_TRACE) console.error('input', JSON.stringify(c));
    switch (c.op) {
      case 'move':
        mouseAt = [c.x, c.y];
        await lesson.mouse.move(...lesson.at(c.x, c.y));
        break;
      case 'down':
        if (held.has(c.button)) break;
        held.add(c.button);
        await lesson.mouse.down(c.button);
        break;
      case 'up':
        if (!held.delete(c.button)) break;
        await lesson.mouse.up(c.button);
        break;
      case 'click':
        if (held.size) break;  // the mouse holds the board
        await lesson.clickControl(c.name);
        await lesson.mouse.move(...lesson.at(...mouseAt));
        break;
      case 'key': {
        // Space or Enter on "終了" would end the lesson: that is no sequence to check.
        const ends = await lesson.state(() => document.activeElement?.textContent === '終了');
        if (ends && (c.key === ' ' || c.key === 'Enter')) break;
        if (c.key === 'Shift+Tab') {
          await lesson.keyboard.down('Shift');
          await lesson.keyboard.press('Tab');
          await lesson.keyboard.up('Shift');
        } else {
          await lesson.keyboard.press(c.key);
        }
        break;
      }
      case 'resize':
      case 'ratio':
        if (c.op === 'resize') await lesson.setViewport(...SIZES[c.size]);
        else await lesson.setViewport(lesson.width, lesson.height, c.dpr);
        // The mouse is still over the window, where the board's point now stands; a
        // driver may refuse a press or release at a place that has left the viewport.
        await lesson.mouse.move(...lesson.at(...mouseAt));
        break;
      case 'away': await tab.away(); break;
      case 'undo': {
        const wiped = await offered();
        await lesson.keyboard.down('Control');
        await lesson.keyboard.press('z');
        await lesson.keyboard.up('Control');
        if (wiped && await offered()) throw new Error('Ctrl+Z left the wipe offered');
        break;
      }
      case 'offer': {
        if (held.size || !await lesson.state(() => !document.getElementById('offer').hidden)) break;
        const wiped = await offered();
        await lesson.click(...await lesson.state(() => {
          const r = document.getElementById('offer-action').getBoundingClientRect();
          return [r.x + r.width / 2, r.y + r.height / 2];
        }));
        if (wiped && await offered()) throw new Error('the offer stayed after it was taken');
        await lesson.mouse.move(...lesson.at(...mouseAt));
        break;
      }
      case 'reload': {
        // A teacher's reload, or the tab the browser brings back: nothing is held, and
        // what the keys held is let go (their ring is no part of the board).
        await letGo();
        await lesson.state(() => Stage.focusBoard());
        await lesson.settle();
        const before = await lesson.state(boardPixels);
        // (The names' letters, hinted for the ratio the page was opened at: see judge.)
        const names = lesson.dpr !== lesson.openedAt ? await lesson.state(namesOnCanvas) : [];
        await lesson.reload();
        await lesson.settle();
        const unlike = difference(await lesson.state(boardPixels), before, names);
        if (unlike) throw new Error(`the page loaded again shows another board: ${unlike}`);
        await lesson.mouse.move(...lesson.at(...mouseAt));
        break;
      }
      case 'finger down':
        if (fingers.has(c.id)) await tab.fingers.move(c.id, ...lesson.at(c.x, c.y));
        else await tab.fingers.down(c.id, ...lesson.at(c.x, c.y));
        fingers.add(c.id);
        break;
      case 'finger move':
        if (fingers.has(c.id)) await tab.fingers.move(c.id, ...lesson.at(c.x, c.y));
        break;
      case 'finger up':
        if (fingers.delete(c.id)) await tab.fingers.up(c.id);
        break;
      case 'cancel':
        if (fingers.size) await tab.fingers.cancel();
        fingers.clear();
        break;
      case 'pen down':
        if (!pen) await tab.pen('move', ...lesson.at(c.x, c.y));
        await tab.pen('down', ...lesson.at(c.x, c.y));
        pen = true;
        break;
      case 'pen move': await tab.pen('move', ...lesson.at(c.x, c.y)); break;
      case 'pen up':
        if (pen) await tab.pen('up', ...lesson.at(c.x, c.y));
        pen = false;
        break;
      default: throw new Error(`no such input: ${c.op}`);
    }
  }
  await letGo();
}

// Runs in the page: where the board's names stand on its canvas, in device pixels,
// as a full repaint draws them.
function namesOnCanvas() {
  const boxes = [], text = Canvas.text;
  const k = Canvas.scale, o = Canvas.border;
  Canvas.text = (look, x, y, w, h) => {
    boxes.push([Math.floor((x + o) * k) - 1, Math.floor((y + o) * k) - 1,
                Math.ceil((x + w + o) * k) + 1, Math.ceil((y + h + o) * k) + 1]);
    return text(look, x, y, w, h);
  };
  try {
    Module._pl_repaint();
    Module._pl_frame();
  } finally {
    Canvas.text = text;
  }
  return boxes;
}

// Runs in the page: each control of the tool row as the page shows it, against what
// the core holds of it.
function toolRowDifferences() {
  const out = [];
  Row.controls.forEach((c, i) => {
    const core = Core.controlState(i);
    const shown = {
      bold: c.element.style.fontWeight === 'bold',
      enabled: !c.element.classList.contains('disabled') && !c.input.disabled,
      checked: c.input.type === 'radio' || c.input.type === 'checkbox' ? c.input.checked : false,
      visible: c.element.style.visibility !== 'hidden',
    };
    for (const k of Object.keys(shown))
      if (shown[k] !== core[k]) out.push(`${c.element.textContent}: ${k} shown ${shown[k]}, held ${core[k]}`);
  });
  return out;
}

// What must hold after any sequence; throws with what does not.
export async function judge(lesson) {
  await lesson.settle();
  const errors = await lesson.errors();
  if (errors.length) throw new Error(`the page logged errors: ${errors.join('; ')}`);
  const row = await lesson.state(toolRowDifferences);
  if (row.length) throw new Error(`the tool row differs from the core: ${row.join('; ')}`);
  // What the board shows, painted frame by frame, against a full repaint of it.
  const shown = await lesson.state(boardPixels);
  await lesson.state(() => { Module._pl_repaint(); Module._pl_frame(); });
  const repainted = await lesson.state(boardPixels);
  const stale = difference(shown, repainted);
  if (stale) throw new Error(`the board differs from a full repaint: ${stale}`);
  // After "初期画面", as at a fresh start at the same size and ratio.
  await lesson.clickControl('初期画面');
  await lesson.settle();
  const initial = await lesson.state(boardPixels);
  // Chromium sets a font's hinting up for the pixel ratio it was first used at, and
  // keeps it: on a page opened at another ratio, the names' letters are drawn a shade
  // otherwise than on a fresh page, which no repaint of ours changes. (A full repaint
  // above still checks them.)
  const names = lesson.dpr !== START.dpr ? await lesson.state(namesOnCanvas) : [];
  // The board still answers: p dragged up by 60 follows. (Read from the canvas: on a
  // small screen a board pixel is smaller than a viewport pixel.)
  await lesson.drag([30, 275], [30, 215]);
  await lesson.settle();
  const [p, was] = await lesson.state(() => [[200, 215], [200, 275]].map(([x, y]) => {
    const k = Canvas.scale, o = Canvas.border;
    return [...Canvas.ctx.getImageData(Math.floor((x + 0.5 + o) * k), Math.floor((y + 0.5 + o) * k), 1, 1).data.slice(0, 3)];
  }));
  if (!near(p, WHITE, 16)) throw new Error(`a drag of p after the sequence did not move it: ${p} at (200, 215)`);
  if (!near(was, BOARD, 16)) throw new Error(`p stayed where it was after a drag: ${was} at (200, 275)`);
  await lesson.reopen();
  const fresh = await lesson.state(boardPixels);
  const unlike = difference(initial, fresh, names);
  if (unlike) throw new Error(`after 初期画面 the board differs from a fresh start: ${unlike}`);
}

// Checks `runs` generated sequences of up to `length` inputs from `seed` (and `path`,
// to replay one). Resolves to what ran; rejects with fast-check's report, which names
// the shrunk sequence and how to replay it.
export async function fuzzPage(engine, { seed, path, runs, length = 25, onSequence = () => {} }) {
  const lesson = await Lesson.open(engine, START);
  let sequences = 0, events = 0;
  try {
    // Every button, option and box but "終了", by the name a screen reader gives it.
    const controls = await lesson.state(() => Row.controls.filter(c => c.input !== c.element || c.element.tagName === 'BUTTON')
        .map(c => c.input.getAttribute('aria-label')).filter(name => name && name !== '終了'));
    // Sequences of every length up to the longest from the first run on.
    const inputs = fc.noBias(fc.array(commands(engine, controls), { minLength: 1, maxLength: length, size: 'max' }));
    const property = fc.asyncProperty(inputs, async sequence => {
      // Each sequence starts on a fresh page at the same size (the last check left one).
      if (lesson.width !== START.width || lesson.height !== START.height || lesson.dpr !== START.dpr) {
        await lesson.setViewport(START.width, START.height, START.dpr);
        await lesson.reopen();
      }
      try {
        await play(lesson, sequence);
        await judge(lesson);
      } catch (e) {
        if (process.env.PL_FUZZ_TRACE) console.error('failed:', e.stack);
        throw e;
      }
      sequences++;
      events += sequence.length;
      onSequence(sequence);
    });
    await fc.assert(property, { seed, path, numRuns: runs, endOnFailure: false, includeErrorInReport: true });
  } finally {
    await lesson.close();
  }
  return { sequences, events };
}
