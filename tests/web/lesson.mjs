// The page opened in a browser and used as a person would: real mouse, touch and pen
// input, and pixels read back from screenshots, at board coordinates mapped through
// the page's own scaling. Written once over the engines of engines.mjs.
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const PAGE = path.resolve(process.env.PL_PAGE || path.join(here, '../../build/web/parallel-lines.html'));
export const PAGE_URL = pathToFileURL(PAGE).href;

export const WHITE = [255, 255, 255];
export const RED = [255, 0, 0];
export const YELLOW = [255, 255, 0];
export const BOARD = [0, 128, 0];
export const BLACK = [0, 0, 0];
export const WINDOW = [192, 255, 192];
export const MARGIN = [64, 64, 64];  // the page around the window

// The layout the page scales: an 822 x 687 window with the board's drawing area at
// (10, 50).
const WINDOW_W = 822, WINDOW_H = 687, BOARD_X = 10, BOARD_Y = 50;

export class Lesson {
  static async open(engine, viewport, url = PAGE_URL) {
    const lesson = new Lesson(await engine.open(viewport), viewport);
    lesson.url = url;
    try {
      await lesson.reopen();
    } catch (e) {
      // The tab goes with the failure, so that the next check has a browser to open.
      await lesson.close().catch(() => {});
      throw e;
    }
    return lesson;
  }

  constructor(tab, { width, height, dpr = 1 }) {
    this.tab = tab;
    this.dpr = dpr;
    this.mouse = tab.mouse;
    this.keyboard = tab.keyboard;
    this.resize(width, height);
  }

  // Where the page must put the window in a viewport: scaled uniformly to fit,
  // centred.
  resize(width, height) {
    this.width = width;
    this.height = height;
    this.scale = Math.min(width / WINDOW_W, height / WINDOW_H);
    // Centred on whole device pixels.
    const onDevice = v => Math.round(v * this.dpr) / this.dpr;
    this.left = onDevice((width - WINDOW_W * this.scale) / 2);
    this.top = onDevice((height - WINDOW_H * this.scale) / 2);
    // Past 16,777,216 device pixels the board's canvas is smaller than the screen
    // area it covers, and the browser stretches it.
    this.stretched = 806 * 630 * (this.scale * this.dpr) ** 2 > 16777216;
  }
  async setViewport(width, height, dpr = this.dpr) {
    await this.tab.setViewport(width, height, dpr);
    this.dpr = dpr;
    this.resize(width, height);
  }

  // The page loaded afresh in the same tab, with nothing kept from before: the figure,
  // then the letter pictures as they come.
  async reopen() {
    await this.forget();
    await this.reload();
  }

  // The page loaded again in the same tab, as a reload (or a tab the browser brings
  // back) loads it: what the page kept for the tab comes back.
  async reload() {
    await this.tab.clearErrors();
    this.openedAt = this.dpr;  // the pixel ratio the page was opened at
    await this.tab.goto(this.url);
    await this.tab.waitFor(() => typeof Boot !== 'undefined' && Boot.started && Stage.paints > 1 && !Core.inkBehind);
  }

  // What the page kept goes, and it keeps nothing more: the next check, or the next
  // page in this tab, starts on the initial screen.
  async forget() {
    await this.state(() => {
      if (typeof Keep !== 'undefined') {
        clearTimeout(Keep.timer);
        Keep.area = null;
      }
      localStorage.clear();
      sessionStorage.clear();
    }).catch(() => { /* a page with no storage of ours (about:blank, a crashed tab) */ });
  }

  // Once the record the last change made due is written.
  kept() { return this.tab.waitFor(() => Keep.area && !Keep.timer && Keep.area.getItem(Keep.key)); }

  async close() {
    await this.forget();
    return this.tab.close();
  }

  // What the page logged as errors since it opened, or since they were cleared.
  errors() { return this.tab.errors(); }
  clearErrors() { return this.tab.clearErrors(); }

  // A viewport point inside a window pixel, and inside a board pixel: the whole
  // viewport pixel nearest its centre, as some drivers send whole pixels only.
  windowPoint(x, y) {
    const inside = (v, origin) => {
      const edge = origin + v * this.scale;
      const near = Math.round(edge + this.scale / 2);
      return near >= edge && near < edge + this.scale ? near : Math.ceil(edge);
    };
    return [inside(x, this.left), inside(y, this.top)];
  }
  at(x, y) { return this.windowPoint(BOARD_X + x, BOARD_Y + y); }
  // The board position of a viewport point.
  toBoard(vx, vy) { return [(vx - this.left) / this.scale - BOARD_X, (vy - this.top) / this.scale - BOARD_Y]; }

  // Two animation frames: the page has painted what the last event changed.
  settle() { return this.tab.frames(); }

  // The screen's device pixels over a rectangle of the viewport, as
  // { width, height, at(x, y) -> [r, g, b] }.
  async region(x, y, width, height) {
    const img = await this.tab.screenshot({ x, y, width, height });
    return {
      width: img.width,
      height: img.height,
      at(i, j) {
        const k = (j * img.width + i) * 4;
        return [img.data[k], img.data[k + 1], img.data[k + 2]];
      },
    };
  }

  // The colour the screen shows at the centre of a window pixel.
  async windowPixel(x, y) {
    const s = this.scale;
    // (A window pixel smaller than a viewport pixel, on a small screen: the one it is in.)
    const img = await this.region(this.left + x * s, this.top + y * s, Math.max(s, 1), Math.max(s, 1));
    return img.at(Math.floor(img.width / 2), Math.floor(img.height / 2));
  }
  async pixel(x, y) {
    await this.settle();
    return this.windowPixel(BOARD_X + x, BOARD_Y + y);
  }

  // The device pixel the board point (x, y) falls in; fractions allowed.
  async devicePixel(x, y) {
    await this.settle();
    const [vx, vy] = [this.left + (BOARD_X + x) * this.scale, this.top + (BOARD_Y + y) * this.scale];
    const img = await this.region(Math.floor(vx), Math.floor(vy), 1, 1);
    return img.at(Math.floor((vx - Math.floor(vx)) * img.width), Math.floor((vy - Math.floor(vy)) * img.height));
  }

  // Every device pixel of a board pixel, with a margin of a quarter pixel round it
  // (a screenshot's clip is rounded to whole pixels).
  async box(x, y) {
    await this.settle();
    const s = this.scale;
    const img = await this.region(this.left + (BOARD_X + x - 0.25) * s, this.top + (BOARD_Y + y - 0.25) * s,
                                  1.5 * s, 1.5 * s);
    const out = [];
    for (let j = 0; j < img.height; j++) for (let i = 0; i < img.width; i++) out.push(img.at(i, j));
    return out;
  }

  // Every device pixel of the board as the screen shows it, as one array to compare
  // whole (each 'r,g,b'; its `width` in device pixels with it).
  async boardPixels() {
    await this.settle();
    const s = this.scale;
    const img = await this.region(this.left + BOARD_X * s, this.top + BOARD_Y * s, 802 * s, 626 * s);
    const out = [];
    for (let j = 0; j < img.height; j++) for (let i = 0; i < img.width; i++) out.push(img.at(i, j).join(','));
    out.width = img.width;
    return out;
  }

  // The same with a box of the window's (an offer's) left out, and two window pixels
  // round it, where its edges blend with the board on a scaled screen.
  static without(pixels, box) {
    const k = pixels.width / 802;
    return pixels.map((p, n) => {
      const x = BOARD_X + (n % pixels.width) / k, y = BOARD_Y + Math.floor(n / pixels.width) / k;
      const inside = x >= box.x - 2 && x < box.x + box.w + 2 && y >= box.y - 2 && y < box.y + box.h + 2;
      return inside ? 'left out' : p;
    });
  }

  // Device pixels of the board from (x0, y0) to (x1, y1), as columns, each top to
  // bottom.
  async columns(x0, x1, y0, y1) {
    await this.settle();
    const s = this.scale;
    const img = await this.region(this.left + (BOARD_X + x0) * s, this.top + (BOARD_Y + y0) * s,
                                  (x1 - x0) * s, (y1 - y0) * s);
    const out = [];
    for (let i = 0; i < img.width; i++) {
      const column = [];
      for (let j = 0; j < img.height; j++) column.push(img.at(i, j));
      out.push(column);
    }
    return out;
  }

  // A mouse drag over the board, in steps, with the left button unless told.
  async drag(from, to, { steps = 10, button = 'left', release = true } = {}) {
    const m = this.mouse;
    await m.move(...this.at(...from));
    await m.down(button);
    for (let i = 1; i <= steps; i++)
      await m.move(...this.at(from[0] + (to[0] - from[0]) * i / steps, from[1] + (to[1] - from[1]) * i / steps));
    if (release) await m.up(button);
  }

  async touchDrag(from, to, steps = 6) {
    const t = this.tab.touch;
    await t.start(...this.at(...from));
    for (let i = 1; i <= steps; i++)
      await t.move(...this.at(from[0] + (to[0] - from[0]) * i / steps, from[1] + (to[1] - from[1]) * i / steps));
    await t.end();
  }

  // A click at a viewport point.
  async click(x, y, button = 'left') {
    await this.mouse.move(x, y);
    await this.mouse.down(button);
    await this.mouse.up(button);
  }
  clickBoard(x, y, button = 'left') { return this.click(...this.at(x, y), button); }
  clickWindow(x, y) { return this.click(...this.windowPoint(x, y)); }

  // A real click in the middle of the tool-row control a screen reader calls `name`.
  async clickControl(name) {
    const box = await this.tab.evaluate(name => {
      const c = Row.controls.find(c => c.input.getAttribute('aria-label') === name);
      const r = c.element.getBoundingClientRect();
      return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
    }, name);
    await this.click(box.x, box.y);
  }

  // Runs `f` in the page with `args`, and hands back what it returns.
  state(f, ...args) { return this.tab.evaluate(f, ...args); }
}

// Colours equal within a shade of antialiasing.
export function near(got, want, shade = 8) {
  return got.every((v, i) => Math.abs(v - want[i]) <= shade);
}
