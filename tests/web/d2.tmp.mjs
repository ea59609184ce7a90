import { readFileSync } from 'node:fs';
import { Lesson, launch } from './lib.mjs';
const { scenes } = JSON.parse(readFileSync('../scenes/frames.json'));
const name = process.argv[2], W = +process.argv[3] || 822, H = +process.argv[4] || 687;
const scene = scenes.find(s => s.name === name);
const browser = await launch();
const l = await Lesson.open(browser, { width: W, height: H, dpr: 1 });
const r = await l.page.evaluate((events, { left, top, scale }) => {
  const board = PL.board;
  const pixels = () => board.getContext('2d').getImageData(0, 0, board.width, board.height).data;
  let time = performance.now(); const log = [];
  let n = 0;
  const check = (what) => {
    const a = pixels(); Module._pl_repaint(); Module._pl_frame(); const b = pixels();
    let count = 0, first = null;
    for (let i = 0; i < a.length; i += 4) {
      if (Math.abs(a[i] - b[i]) <= 8 && Math.abs(a[i + 1] - b[i + 1]) <= 8 && Math.abs(a[i + 2] - b[i + 2]) <= 8) continue;
      count++; if (!first) { const p = i / 4; first = [p % board.width, Math.floor(p / board.width), [...a.slice(i, i + 3)], [...b.slice(i, i + 3)]]; }
    }
    if (count) log.push([n, what, count, first]);
    n++;
  };
  const pointer = (type, [x, y], button, buttons) => {
    Module._pl_pointer(type, 1, 0, left + (10 + x + 0.5) * scale, top + (50 + y + 0.5) * scale, button, buttons, 0, time += 8);
    Module._pl_frame(); check([type, x, y].join(' '));
  };
  const press = p => { pointer(1, p, -1, 0); pointer(0, p, 0, 1); };
  const click = name => { const index = PL.controls.findIndex(c => c.input.getAttribute('aria-label') === name); Module._pl_click(index); Module._pl_frame(); check(name); };
  let held = 0;
  for (const [op, ...args] of events) {
    if (op === 'press') { press(args); held = 1; }
    else if (op === 'move') pointer(1, args, -1, held);
    else if (op === 'release') { pointer(2, args, 0, 0); held = 0; }
    else if (op === 'click') click(args[0]);
    else if (op === 'stroke') {
      const [first, ...rest] = args[0]; press(first); let from = first;
      for (const to of rest) { for (let k = 1; k <= 5; k++) pointer(1, [from[0] + Math.round((to[0] - from[0]) * k / 5), from[1] + Math.round((to[1] - from[1]) * k / 5)], -1, 1); from = to; }
      pointer(2, from, 0, 0);
    }
  }
  return log;
}, scene.events, { left: l.left, top: l.top, scale: l.scale });
console.log(r.slice(0, 10).map(x => JSON.stringify(x)).join('\n'), r.length);
await browser.close();
