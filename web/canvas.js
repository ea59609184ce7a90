// The board's canvas: its backing store, the letter pictures and the names' images, and
// the drawing calls a frame's list is replayed into (web/frame.js), over the ink raster
// (web/ink.js). Every decision (what, where, in which order, at which scale, on which
// device pixels) arrives in that list; this is the platform's own mechanics.

/* global Boot, Core, InkLayer */

const Canvas = {
  board: null,  // the <canvas>
  ctx: null,
  scale: 1,  // the canvas's device pixels per board pixel
  border: 0,  // the board's drawing area starts this far into the canvas, in board pixels
  pictures: {},  // each letter picture, by key, then by its scale (1 or 2)
  pictureKeys: [],  // the keys by the numbers a frame's list gives them
  looks: [],  // each look of a caption: its caption, font and colours
  texts: new Map(),  // each look drawn once at the current scale
  clipped: false,
  device: false,  // the transform is the identity: a fill of device pixels is under way
  styles: new Map(),  // CSS colours by 0xRRGGBB

  css(c) {
    let style = Canvas.styles.get(c);
    if (!style) Canvas.styles.set(c, style = '#' + c.toString(16).padStart(6, '0'));
    return style;
  },

  // The board's own transform: board units onto the canvas's device pixels.
  boardTransform() {
    const k = Canvas.scale, shift = Canvas.border * k;
    Canvas.ctx.setTransform(k, 0, 0, k, shift, shift);
    Canvas.device = false;
  },

  setUp(board, border) {
    Canvas.board = board;
    Canvas.border = border;
  },

  // Places the canvas over the scaled window, unscaled, on whole device pixels. Its
  // store is made anew (which clears it) only when told: setting a canvas's size
  // clears it even when the size is the same.
  fit(width, height, scale, place, inkRaster, reback) {
    const board = Canvas.board;
    Object.assign(board.style, { left: place.x + 'px', top: place.y + 'px', width: place.w + 'px',
                                 height: place.h + 'px' });
    if (reback || !Canvas.ctx) {
      board.width = width;
      board.height = height;
      Canvas.ctx = board.getContext('2d');
      const shift = Canvas.border * scale;
      Canvas.ctx.setTransform(scale, 0, 0, scale, shift, shift);
      Canvas.device = false;
      if (scale !== Canvas.scale) Canvas.texts.clear();
      Canvas.scale = scale;
    }
    InkLayer.fit(inkRaster);
  },

  // Clips to a damaged rectangle's device pixels and lays the ink under it: every
  // device pixel there is the ink's alone, whatever lay there before. (Changing the
  // transform for every rectangle costs more than working in board units.)
  beginRect(x, y, w, h, sx, sy, sw, sh, smooth) {
    const ctx = Canvas.ctx;
    if (Canvas.clipped) ctx.restore();
    if (Canvas.device) Canvas.boardTransform();  // what the restore after it goes back to
    ctx.save();
    Canvas.clipped = true;
    // In board units, which the canvas's transform takes back to those device pixels.
    const k = Canvas.scale, o = Canvas.border;
    const bx = x / k - o, by = y / k - o, bw = w / k, bh = h / k;
    ctx.beginPath();
    ctx.rect(bx, by, bw, bh);
    ctx.clip();
    if (!InkLayer.canvas) {
      ctx.fillStyle = InkLayer.back;
      ctx.fillRect(bx, by, bw, bh);
      return;
    }
    ctx.imageSmoothingEnabled = smooth;
    ctx.drawImage(InkLayer.canvas, sx, sy, sw, sh, bx, by, bw, bh);
  },

  endPaint() {
    if (Canvas.clipped) Canvas.ctx.restore();
    Canvas.clipped = false;
    if (Canvas.device) Canvas.boardTransform();
  },

  // An antialiased stroke; a round end is a disc at each of its own ends.
  segment(x1, y1, x2, y2, style, width, cap, ownStart, ownEnd) {
    const ctx = Canvas.ctx;
    if (Canvas.device) Canvas.boardTransform();
    ctx.strokeStyle = style;
    ctx.lineWidth = width;
    const shape = Core.CAP[cap];
    ctx.lineCap = shape === 'square' ? 'square' : 'butt';
    ctx.beginPath();
    ctx.moveTo(x1, y1);
    ctx.lineTo(x2, y2);
    ctx.stroke();
    if (shape === 'round') {
      ctx.fillStyle = style;
      if (ownStart) Canvas.disc(x1, y1, width / 2);
      if (ownEnd) Canvas.disc(x2, y2, width / 2);
    }
  },

  disc(x, y, radius) {
    Canvas.ctx.beginPath();
    Canvas.ctx.arc(x, y, radius, 0, 2 * Math.PI);
    Canvas.ctx.fill();
  },

  defineLook(look, caption, font, fore, back) { Canvas.looks[look] = { caption, font, fore, back }; },

  // A caption's look, drawn once at the current scale and copied wherever it stands,
  // as drawn, whatever the ink below it was scaled with last.
  text(look, x, y, w, h) {
    let image = Canvas.texts.get(look);
    if (!image) {
      const { caption, font, fore, back } = Canvas.looks[look];
      const k = Canvas.scale;
      image = document.createElement('canvas');
      image.lang = 'ja';
      image.width = Math.ceil(w * k);
      image.height = Math.ceil(h * k);
      const ctx = image.getContext('2d');
      ctx.scale(k, k);
      ctx.fillStyle = back;
      ctx.fillRect(0, 0, w, h);
      ctx.font = font;
      ctx.fillStyle = fore;
      // The caption's line stands at the top of its box, as a label's does.
      ctx.fillText(caption, 0, ctx.measureText(caption).fontBoundingBoxAscent);
      Canvas.texts.set(look, image);
    }
    if (Canvas.device) Canvas.boardTransform();
    Canvas.ctx.imageSmoothingEnabled = false;
    Canvas.ctx.drawImage(image, x, y, w, h);
  },

  picture(key, scale, x, y, w, h) {
    const images = Canvas.pictures[key];
    if (!images) return;  // still being decoded: the board is painted again then
    if (Canvas.device) Canvas.boardTransform();
    Canvas.ctx.imageSmoothingEnabled = true;
    Canvas.ctx.drawImage(images[scale], x, y, w, h);
  },

  // A rectangle of the canvas's own device pixels, unblended. The transform goes back
  // to the board's only when something in board units follows: the grid's dots come
  // one after another.
  fillDevice(x, y, w, h, style) {
    const ctx = Canvas.ctx;
    if (!Canvas.device) {
      ctx.setTransform(1, 0, 0, 1, 0, 0);
      Canvas.device = true;
    }
    ctx.fillStyle = style;
    ctx.fillRect(x, y, w, h);
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
