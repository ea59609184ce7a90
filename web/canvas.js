// The board's canvas: its backing store, the ink raster below the board, the letter
// pictures and the names' images, and the drawing of the core's display list. Every
// decision (what, where, in which order, at which scale) arrives as arguments, through
// web/bridge.js; this is the platform's own mechanics.

/* global Boot */

const Canvas = {
  board: null,  // the <canvas>
  ctx: null,
  scale: 1,  // the canvas's device pixels per board pixel
  border: 0,  // the board's drawing area starts this far into the canvas, in board pixels
  area: { w: 0, h: 0 },  // the drawing area, in board pixels
  ink: null,  // the ink raster, at inkScale device pixels per board pixel
  inkCtx: null,
  inkScale: 0,
  // Until the first stroke or the first idle moment after the figure, the ink is only
  // the colour it was cleared to: a second canvas the size of the board costs the
  // first frame as much as the board's own.
  inkBack: null,
  pictures: {},  // each letter picture, by key, then by its scale (1 or 2)
  texts: new Map(),  // each look of a caption, drawn once at the current scale
  clipped: false,

  css(c) { return '#' + c.toString(16).padStart(6, '0'); },

  setUp(board, border, areaWidth, areaHeight) {
    Canvas.board = board;
    Canvas.border = border;
    Canvas.area = { w: areaWidth, h: areaHeight };
  },

  // Places the canvas over the scaled window, unscaled, on whole device pixels. Its
  // store is made anew (which clears it) only when told: setting a canvas's size
  // clears it even when the size is the same.
  fit(width, height, scale, place, inkScale, reback) {
    const board = Canvas.board;
    Object.assign(board.style, { left: place.x + 'px', top: place.y + 'px', width: place.w + 'px',
                                 height: place.h + 'px' });
    if (reback || !Canvas.ctx) {
      board.width = width;
      board.height = height;
      Canvas.ctx = board.getContext('2d');
      const shift = Canvas.border * scale;
      Canvas.ctx.setTransform(scale, 0, 0, scale, shift, shift);
      if (scale !== Canvas.scale) Canvas.texts.clear();
      Canvas.scale = scale;
    }
    if (inkScale !== Canvas.inkScale) {
      if (Canvas.ink) Canvas.newInk(inkScale);
      else Canvas.inkScale = inkScale;
    }
  },

  // The ink raster, made now if it was put off.
  makeInk() {
    if (Canvas.ink || !Canvas.inkScale) return;
    Canvas.newInk(Canvas.inkScale);
    if (Canvas.inkBack) Canvas.inkClear(Canvas.inkBack);
  },

  // The ink raster at a new scale, the writing so far carried over.
  newInk(scale) {
    const [x0, y0, x1, y1] = Canvas.boardSpan(scale);
    const ink = document.createElement('canvas');
    ink.width = x1 - x0;
    ink.height = y1 - y0;
    const ctx = ink.getContext('2d');
    if (Canvas.ink) ctx.drawImage(Canvas.ink, 0, 0, ink.width, ink.height);
    // Board coordinates land where the board's own items do on the canvas.
    const shift = Canvas.border * scale;
    ctx.setTransform(scale, 0, 0, scale, shift - x0, shift - y0);
    ctx.lineCap = 'round';
    ctx.lineJoin = 'round';
    Canvas.ink = ink;
    Canvas.inkCtx = ctx;
    Canvas.inkScale = scale;
  },

  // The board's drawing area on a surface of `k` device pixels per board pixel that
  // starts at the border's corner: [left, top, right, bottom] on whole device pixels,
  // where the border's own pixels end, so the ink laid under it covers every device
  // pixel of the board and none of the border.
  boardSpan(k) {
    const o = Canvas.border;
    return [Math.round(o * k), Math.round(o * k), Math.round((Canvas.area.w + o) * k),
            Math.round((Canvas.area.h + o) * k)];
  },

  // A board coordinate moved to the nearest edge between device pixels.
  snap(v) {
    const k = Canvas.scale, o = Canvas.border;
    return Math.round((v + o) * k) / k - o;
  },

  // Clips to a rectangle of the board, taken to whole device pixels (rectangles that
  // meet then share their edge pixels instead of each blending half of them), and
  // lays the ink under it.
  beginRect(x, y, w, h) {
    const ctx = Canvas.ctx;
    if (Canvas.clipped) ctx.restore();
    ctx.save();
    Canvas.clipped = true;
    const l = Canvas.snap(x), t = Canvas.snap(y), r = Canvas.snap(x + w), b = Canvas.snap(y + h);
    ctx.beginPath();
    ctx.rect(l, t, r - l, b - t);
    ctx.clip();
    // The ink, in the canvas's own device pixels, over the part of the board inside
    // the rectangle: every device pixel is the ink's alone, whatever lay there before.
    const k = Canvas.scale, o = Canvas.border, s = Canvas.inkScale / k;
    const [x0, y0, x1, y1] = Canvas.boardSpan(k);
    const dl = Math.max(Math.round((l + o) * k), x0), dr = Math.min(Math.round((r + o) * k), x1);
    const dt = Math.max(Math.round((t + o) * k), y0), db = Math.min(Math.round((b + o) * k), y1);
    if (dr <= dl || db <= dt) return;
    if (!Canvas.ink) {
      ctx.fillStyle = Canvas.inkBack;
      ctx.fillRect(dl / k - o, dt / k - o, (dr - dl) / k, (db - dt) / k);
      return;
    }
    // The board's device pixels here map onto the ink raster's whole, edge to edge:
    // at a finer ink scale, board and raster round their edges differently, and a
    // source rectangle past the raster's edge would leave the board's last column
    // unpainted. (In board units, which the canvas's transform takes back to those
    // device pixels: changing the transform for every rectangle costs more than the
    // copy.)
    const sx = Canvas.ink.width / (x1 - x0), sy = Canvas.ink.height / (y1 - y0);
    ctx.imageSmoothingEnabled = s !== 1;
    ctx.drawImage(Canvas.ink, (dl - x0) * sx, (dt - y0) * sy, (dr - dl) * sx, (db - dt) * sy,
                  dl / k - o, dt / k - o, (dr - dl) / k, (db - dt) / k);
  },

  endPaint() {
    if (Canvas.clipped) Canvas.ctx.restore();
    Canvas.clipped = false;
  },

  segment(x1, y1, x2, y2, style, width, cap, dotted, antialiased, ownStart, ownEnd) {
    const ctx = Canvas.ctx;
    const half = width / 2;
    if (!antialiased && !dotted) {
      // Level and upright lines fill whole device pixels, as the desktop draws them.
      const ext = cap === 'square' ? half : 0;  // a square end reaches half the width beyond
      const l = Math.min(x1, x2) - (x1 === x2 ? half : ext);
      const r = Math.max(x1, x2) + (x1 === x2 ? half : ext);
      const t = Math.min(y1, y2) - (y1 === y2 ? half : ext);
      const b = Math.max(y1, y2) + (y1 === y2 ? half : ext);
      const x = Canvas.snap(l), y = Canvas.snap(t);
      ctx.fillStyle = style;
      ctx.fillRect(x, y, Canvas.snap(r) - x, Canvas.snap(b) - y);
    } else {
      ctx.strokeStyle = style;
      ctx.lineWidth = width;
      // Round ends are discs at the line's own ends, below; a line of no length is
      // its dot alone.
      ctx.lineCap = cap === 'square' ? 'square' : 'butt';
      ctx.setLineDash(dotted ? [1, 1] : []);
      // The grid's dots fall on every other whole pixel, from the second, as on the desktop.
      ctx.lineDashOffset = dotted ? -0.5 : 0;
      ctx.beginPath();
      ctx.moveTo(x1, y1);
      ctx.lineTo(x2, y2);
      ctx.stroke();
    }
    if (cap === 'round') {
      ctx.fillStyle = style;
      if (ownStart) Canvas.disc(x1, y1, half);
      if (ownEnd) Canvas.disc(x2, y2, half);
    }
  },

  disc(x, y, radius) {
    Canvas.ctx.beginPath();
    Canvas.ctx.arc(x, y, radius, 0, 2 * Math.PI);
    Canvas.ctx.fill();
  },

  // A caption's look, drawn once at the current scale and copied wherever it stands.
  text(box, look, strings, fore, back) {
    let image = Canvas.texts.get(look);
    if (!image) {
      const [caption, font] = strings();
      const k = Canvas.scale;
      image = document.createElement('canvas');
      image.lang = 'ja';
      image.width = Math.ceil(box.w * k);
      image.height = Math.ceil(box.h * k);
      const ctx = image.getContext('2d');
      ctx.scale(k, k);
      ctx.fillStyle = back;
      ctx.fillRect(0, 0, box.w, box.h);
      ctx.font = font;
      ctx.fillStyle = fore;
      // The caption's line stands at the top of its box, as a label's does.
      ctx.fillText(caption, 0, ctx.measureText(caption).fontBoundingBoxAscent);
      Canvas.texts.set(look, image);
    }
    // Copied as drawn, whatever the ink below it was scaled with last.
    Canvas.ctx.imageSmoothingEnabled = false;
    Canvas.ctx.drawImage(image, box.x, box.y, box.w, box.h);
  },

  picture(key, scale, x, y, w, h) {
    const images = Canvas.pictures[key];
    if (!images) return;  // still being decoded: the board is painted again then
    Canvas.ctx.imageSmoothingEnabled = true;
    Canvas.ctx.drawImage(images[scale], x, y, w, h);
  },

  // A rectangle of the canvas's own device pixels, unblended.
  fillDevice(x, y, w, h, style) {
    const ctx = Canvas.ctx;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = style;
    ctx.fillRect(x, y, w, h);
    ctx.restore();
  },

  inkClear(style) {
    Canvas.inkBack = style;
    if (!Canvas.ink) return;
    const ctx = Canvas.inkCtx;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = style;
    ctx.fillRect(0, 0, Canvas.ink.width, Canvas.ink.height);
    ctx.restore();
  },

  inkSegment(x1, y1, x2, y2, style, width) {
    Canvas.makeInk();
    const ctx = Canvas.inkCtx;
    ctx.strokeStyle = style;
    ctx.lineWidth = width;
    ctx.beginPath();
    ctx.moveTo(x1, y1);
    ctx.lineTo(x2, y2);
    ctx.stroke();
  },

  // The letter pictures, from the PNG files the page carries, at 1x and 2x.
  decodePictures(files) {
    return Promise.all(Object.entries(files).map(async ([key, [one, two]]) => {
      const decode = f => createImageBitmap(new Blob([Boot.bytesOf(f)], { type: 'image/png' }));
      const [x1, x2] = await Promise.all([decode(one), decode(two)]);
      Canvas.pictures[key] = { 1: x1, 2: x2 };
    }));
  },
};
