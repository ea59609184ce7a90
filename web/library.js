// What the page does for the C++ side: DOM controls and the canvas calls that draw the
// core's display list and ink. Everything here is the platform's own mechanics; every
// decision (what, where, in which order) arrives as arguments. State lives in `PL`,
// made by the page's script (web/glue.js).
mergeInto(LibraryManager.library, {
  pl_js_window: function (title, width, height, back, bx, by, bw, bh, boardName, boardDescription) {
    document.title = UTF8ToString(title);
    PL.setUpWindow(width, height, PL.css(back), bx, by, bw, bh, UTF8ToString(boardName),
                   UTF8ToString(boardDescription));
  },

  pl_js_add_control: function (index, kind, x, y, w, h, caption, font, fore, back, name,
                               description, tabIndex) {
    PL.addControl(index, kind, x, y, w, h, UTF8ToString(caption), UTF8ToString(font),
                  PL.css(fore), PL.css(back), UTF8ToString(name), UTF8ToString(description),
                  tabIndex);
  },

  pl_js_set_control: function (index, bold, enabled, checked, visible) {
    const c = PL.controls[index];
    if (bold >= 0) c.element.style.fontWeight = bold ? 'bold' : 'normal';
    if (enabled >= 0) {
      c.input.disabled = !enabled;
      c.element.classList.toggle('disabled', !enabled);
    }
    if (checked >= 0 && (c.input.type === 'radio' || c.input.type === 'checkbox'))
      c.input.checked = !!checked;
    if (visible >= 0) c.element.style.visibility = visible ? 'visible' : 'hidden';
  },

  pl_js_fit: function (scale, left, top, canvasWidth, canvasHeight, canvasScale, canvasLeft,
                       canvasTop, canvasCssWidth, canvasCssHeight, border) {
    PL.applyFit(scale, left, top, canvasWidth, canvasHeight, canvasScale,
                [canvasLeft, canvasTop, canvasCssWidth, canvasCssHeight], border);
  },

  // Clips to a rectangle of the board and lays the ink under it. The rectangle is
  // taken to whole device pixels: rectangles that meet then share their edge pixels
  // instead of each blending half of them.
  pl_js_begin_rect: function (x, y, w, h) {
    const ctx = PL.ctx;
    if (PL.clipped) ctx.restore();
    ctx.save();
    PL.clipped = true;
    const l = PL.snap(x), t = PL.snap(y), r = PL.snap(x + w), b = PL.snap(y + h);
    ctx.beginPath();
    ctx.rect(l, t, r - l, b - t);
    ctx.clip();
    // The ink, in the canvas's own device pixels, over the part of the board inside
    // the rectangle: every device pixel is the ink's alone, whatever lay there before.
    const k = PL.canvasScale, o = PL.border, s = PL.inkScale / k;
    const [x0, y0, x1, y1] = PL.boardSpan(k);
    const dl = Math.max(Math.round((l + o) * k), x0), dr = Math.min(Math.round((r + o) * k), x1);
    const dt = Math.max(Math.round((t + o) * k), y0), db = Math.min(Math.round((b + o) * k), y1);
    if (dr <= dl || db <= dt) return;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.imageSmoothingEnabled = s !== 1;
    ctx.drawImage(PL.ink, (dl - x0) * s, (dt - y0) * s, (dr - dl) * s, (db - dt) * s,
                  dl, dt, dr - dl, db - dt);
    ctx.restore();
  },

  pl_js_end_paint: function () {
    if (PL.clipped) PL.ctx.restore();
    PL.clipped = false;
  },

  pl_js_segment: function (x1, y1, x2, y2, colour, width, cap, dotted, antialiased, ownStart,
                           ownEnd) {
    const ctx = PL.ctx;
    const style = PL.css(colour);
    if (!antialiased && !dotted) {
      // Level and upright lines fill whole device pixels, as the desktop draws them.
      const half = width / 2;
      const ext = cap === 1 ? half : 0;  // a square end reaches half the width beyond
      const l = Math.min(x1, x2) - (x1 === x2 ? half : ext);
      const r = Math.max(x1, x2) + (x1 === x2 ? half : ext);
      const t = Math.min(y1, y2) - (y1 === y2 ? half : ext);
      const b = Math.max(y1, y2) + (y1 === y2 ? half : ext);
      PL.fillSnapped(l, t, r, b, style);
      if (cap === 2) {
        ctx.fillStyle = style;
        if (ownStart) PL.disc(x1, y1, half);
        if (ownEnd) PL.disc(x2, y2, half);
      }
      return;
    }
    ctx.strokeStyle = style;
    ctx.lineWidth = width;
    // Round ends are discs at the line's own ends, as the desktop draws them; a line
    // of no length is its dot alone.
    ctx.lineCap = cap === 1 ? 'square' : 'butt';
    ctx.setLineDash(dotted ? [1, 1] : []);
    // The grid's dots fall on every other whole pixel, from the second, as on the desktop.
    ctx.lineDashOffset = dotted ? -0.5 : 0;
    ctx.beginPath();
    ctx.moveTo(x1, y1);
    ctx.lineTo(x2, y2);
    ctx.stroke();
    if (cap === 2) {
      ctx.fillStyle = style;
      if (ownStart) PL.disc(x1, y1, width / 2);
      if (ownEnd) PL.disc(x2, y2, width / 2);
    }
  },

  pl_js_text: function (x, y, w, h, look, caption, font, fore, back) {
    const strings = () => [UTF8ToString(caption), UTF8ToString(font)];
    PL.ctx.drawImage(PL.textImage(look, w, h, strings, fore, back), x, y, w, h);
  },

  pl_js_picture: function (key, x, y, w, h) {
    const images = PL.pictures[UTF8ToString(key)];
    if (!images) return;
    PL.ctx.imageSmoothingEnabled = true;
    PL.ctx.drawImage(images[PL.canvasScale > 1 ? 1 : 0], x, y, w, h);
  },

  // A rectangle of the canvas's own device pixels, unblended.
  pl_js_fill_device: function (x, y, w, h, colour) {
    const ctx = PL.ctx;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = PL.css(colour);
    ctx.fillRect(x, y, w, h);
    ctx.restore();
  },

  pl_js_ink_clear: function (colour) {
    const ctx = PL.inkCtx;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = PL.css(colour);
    ctx.fillRect(0, 0, PL.ink.width, PL.ink.height);
    ctx.restore();
  },

  pl_js_ink_segment: function (x1, y1, x2, y2, colour, width) {
    const ctx = PL.inkCtx;
    ctx.strokeStyle = PL.css(colour);
    ctx.lineWidth = width;
    ctx.beginPath();
    ctx.moveTo(x1, y1);
    ctx.lineTo(x2, y2);
    ctx.stroke();
  },

  pl_js_ended: function () {
    PL.end();
  },
});
