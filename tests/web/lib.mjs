// The page opened in Debian's headless Chromium and used as a person would: real
// mouse and touch input through the DevTools protocol, and pixels read back from
// screenshots, at board coordinates mapped through the page's own scaling.
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { PNG } from 'pngjs';

const here = path.dirname(fileURLToPath(import.meta.url));
export const PAGE = path.resolve(process.env.PL_PAGE || path.join(here, '../../build/web/parallel-lines.html'));

export const WHITE = [255, 255, 255];
export const RED = [255, 0, 0];
export const YELLOW = [255, 255, 0];
export const BOARD = [0, 128, 0];
export const BLACK = [0, 0, 0];
export const WINDOW = [192, 255, 192];

// The layout the page scales: an 822 x 687 window with the board's drawing area at
// (10, 50).
const WINDOW_W = 822, WINDOW_H = 687, BOARD_X = 10, BOARD_Y = 50;

export function launch() {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
}

export class Lesson {
  static async open(browser, { width, height, dpr = 1 }) {
    const page = await browser.newPage();
    const lesson = new Lesson(page, width, height, dpr);
    page.on('pageerror', e => lesson.errors.push(e.message));
    page.on('console', m => { if (m.type() === 'error') lesson.errors.push(m.text()); });
    await page.setViewport({ width, height, deviceScaleFactor: dpr });
    await page.goto('file://' + PAGE, { waitUntil: 'load' });
    // The figure, then the letter pictures as they come.
    await page.waitForFunction(() => typeof PL !== 'undefined' && PL.paints > 1);
    return lesson;
  }

  constructor(page, width, height, dpr) {
    this.page = page;
    this.dpr = dpr;
    this.errors = [];
    // Where the page must put the window: scaled uniformly to fit, centred.
    this.scale = Math.min(width / WINDOW_W, height / WINDOW_H);
    this.left = (width - WINDOW_W * this.scale) / 2;
    this.top = (height - WINDOW_H * this.scale) / 2;
    // Past 16,777,216 device pixels the board's canvas is smaller than the screen
    // area it covers, and the browser stretches it.
    this.stretched = 806 * 630 * (this.scale * dpr) ** 2 > 16777216;
  }

  close() { return this.page.close(); }

  // The viewport point at the centre of a window pixel, and of a board pixel.
  windowPoint(x, y) {
    return [this.left + (x + 0.5) * this.scale, this.top + (y + 0.5) * this.scale];
  }
  at(x, y) { return this.windowPoint(BOARD_X + x, BOARD_Y + y); }

  // Two animation frames: the page has painted what the last event changed.
  settle() {
    return this.page.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r))));
  }

  // The colour the screen shows at the centre of a window pixel.
  async windowPixel(x, y) {
    const s = this.scale;
    const img = PNG.sync.read(await this.page.screenshot({
      type: 'png', clip: { x: this.left + x * s, y: this.top + y * s, width: s, height: s } }));
    const i = (Math.floor(img.height / 2) * img.width + Math.floor(img.width / 2)) * 4;
    return [img.data[i], img.data[i + 1], img.data[i + 2]];
  }
  async pixel(x, y) {
    await this.settle();
    return this.windowPixel(BOARD_X + x, BOARD_Y + y);
  }

  // The device pixel the board point (x, y) falls in; fractions allowed.
  async devicePixel(x, y) {
    await this.settle();
    const [vx, vy] = [this.left + (BOARD_X + x) * this.scale, this.top + (BOARD_Y + y) * this.scale];
    const img = PNG.sync.read(await this.page.screenshot({
      type: 'png', clip: { x: Math.floor(vx), y: Math.floor(vy), width: 1, height: 1 } }));
    const i = (Math.floor((vy - Math.floor(vy)) * img.height) * img.width +
               Math.floor((vx - Math.floor(vx)) * img.width)) * 4;
    return [img.data[i], img.data[i + 1], img.data[i + 2]];
  }

  // Every device pixel of a board pixel, with a margin of a quarter pixel round it
  // (a screenshot's clip is rounded to whole pixels).
  async box(x, y) {
    await this.settle();
    const s = this.scale;
    const img = PNG.sync.read(await this.page.screenshot({
      type: 'png', clip: { x: this.left + (BOARD_X + x - 0.25) * s, y: this.top + (BOARD_Y + y - 0.25) * s,
                           width: 1.5 * s, height: 1.5 * s } }));
    const out = [];
    for (let i = 0; i < img.width * img.height * 4; i += 4) out.push([img.data[i], img.data[i + 1], img.data[i + 2]]);
    return out;
  }

  // Device pixels of the board from (x0, y0) to (x1, y1), as columns, each top to
  // bottom.
  async columns(x0, x1, y0, y1) {
    await this.settle();
    const s = this.scale;
    const img = PNG.sync.read(await this.page.screenshot({
      type: 'png', clip: { x: this.left + (BOARD_X + x0) * s, y: this.top + (BOARD_Y + y0) * s,
                           width: (x1 - x0) * s, height: (y1 - y0) * s } }));
    const out = [];
    for (let x = 0; x < img.width; x++) {
      const column = [];
      for (let y = 0; y < img.height; y++) {
        const i = (y * img.width + x) * 4;
        column.push([img.data[i], img.data[i + 1], img.data[i + 2]]);
      }
      out.push(column);
    }
    return out;
  }

  // A mouse drag over the board, in steps, with the left button unless told.
  async drag(from, to, { steps = 10, button = 'left', release = true } = {}) {
    const m = this.page.mouse;
    await m.move(...this.at(...from));
    await m.down({ button });
    for (let i = 1; i <= steps; i++)
      await m.move(...this.at(from[0] + (to[0] - from[0]) * i / steps, from[1] + (to[1] - from[1]) * i / steps));
    if (release) await m.up({ button });
  }

  async touchDrag(from, to, steps = 6) {
    const t = this.page.touchscreen;
    await t.touchStart(...this.at(...from));
    for (let i = 1; i <= steps; i++)
      await t.touchMove(...this.at(from[0] + (to[0] - from[0]) * i / steps, from[1] + (to[1] - from[1]) * i / steps));
    await t.touchEnd();
  }

  async clickBoard(x, y, button = 'left') {
    await this.page.mouse.click(...this.at(x, y), { button });
  }

  // A real click in the middle of a tool-row control found by its caption (and, for
  // the pen buttons, its row: 'bold' or 'thin').
  async clickControl(caption, nth = 0) {
    const box = await this.page.evaluate((caption, nth) => {
      const all = [...document.querySelectorAll('#window button, #window label')]
          .filter(e => e.textContent === caption);
      const r = all[nth].getBoundingClientRect();
      return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
    }, caption, nth);
    await this.page.mouse.click(box.x, box.y);
  }

  state(expression) { return this.page.evaluate(expression); }
}

// Colours equal within a shade of antialiasing.
export function near(got, want, shade = 8) {
  return got.every((v, i) => Math.abs(v - want[i]) <= shade);
}
