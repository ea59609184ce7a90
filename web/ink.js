// The ink raster below the board: the writing, drawn once into a canvas of its own at
// the scale the core keeps it at, and laid under each damaged rectangle of a frame.

/* global Canvas */

const InkLayer = {
  canvas: null,
  ctx: null,
  raster: null,  // its size, scale and origin, as the core gives them
  lineColour: null,  // the strokes' colour and width as last set on it
  lineWidth: null,
  // Until the first stroke or the first idle moment after the figure, the ink is only
  // the colour it was cleared to: a second canvas the size of the board costs the
  // first frame as much as the board's own.
  back: null,

  // The raster the core keeps now: made anew, the writing carried over, when its size
  // or scale changed.
  fit(raster) {
    const was = InkLayer.raster;
    InkLayer.raster = raster;
    if (InkLayer.canvas && (raster.width !== was.width || raster.height !== was.height ||
                       raster.scale !== was.scale)) InkLayer.renew();
  },

  // The ink raster, made now if it was put off.
  make() {
    if (InkLayer.canvas || !InkLayer.raster) return;
    InkLayer.renew();
    if (InkLayer.back) InkLayer.clear(InkLayer.back);
  },

  // The ink raster as the core last gave it, the writing so far carried over.
  renew() {
    const { width, height, scale, origin } = InkLayer.raster;
    const ink = document.createElement('canvas');
    ink.width = width;
    ink.height = height;
    const ctx = ink.getContext('2d');
    if (InkLayer.canvas) ctx.drawImage(InkLayer.canvas, 0, 0, width, height);
    ctx.setTransform(scale, 0, 0, scale, origin, origin);
    ctx.lineCap = 'round';
    ctx.lineJoin = 'round';
    InkLayer.canvas = ink;
    InkLayer.ctx = ctx;
    InkLayer.lineColour = InkLayer.lineWidth = null;
  },

  clear(style) {
    InkLayer.back = style;
    if (!InkLayer.canvas) return;
    const ctx = InkLayer.ctx;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = style;
    ctx.fillRect(0, 0, InkLayer.canvas.width, InkLayer.canvas.height);
    ctx.restore();
  },

  // (A board's writing coming back is hundreds of thousands of these: the colour and
  // the width are set only when they change.)
  segment(x1, y1, x2, y2, colour, width) {
    InkLayer.make();
    const ctx = InkLayer.ctx;
    if (colour !== InkLayer.lineColour) {
      ctx.strokeStyle = Canvas.css(colour);
      InkLayer.lineColour = colour;
    }
    if (width !== InkLayer.lineWidth) {
      ctx.lineWidth = width;
      InkLayer.lineWidth = width;
    }
    ctx.beginPath();
    ctx.moveTo(x1, y1);
    ctx.lineTo(x2, y2);
    ctx.stroke();
  },
};
