'use strict';
// The page's own script: the DOM and canvas state that web/library.js draws with, and
// the browser's events handed to the C++ side as they come. WASM and PICTURES are put
// in front of this by web/assemble.py.

const PL = {
  controls: [],
  pictures: {},
  texts: new Map(),  // each look of a caption, drawn once at the current scale
  canvasScale: 1,
  inkScale: 0,
  border: 0,
  boardWidth: 0,
  boardHeight: 0,
  clipped: false,
  ended: false,
  frameWanted: false,
  paints: 0,   // frames painted, and pointer samples handed over (for the tests)
  samples: 0,

  css(c) { return '#' + c.toString(16).padStart(6, '0'); },

  setUpWindow(width, height, back, bx, by, bw, bh, boardName, boardDescription) {
    const w = document.getElementById('window');
    Object.assign(w.style, { width: width + 'px', height: height + 'px', background: back });
    const board = document.getElementById('board');
    board.setAttribute('aria-label', boardName);
    board.setAttribute('aria-description', boardDescription);
    PL.board = board;
    PL.boardBox = { w: bw, h: bh };
  },

  addControl(index, kind, x, y, w, h, caption, font, fore, back, name, description, tabIndex) {
    let element, input;
    if (kind === 0) {
      element = document.createElement('div');
      element.className = 'label';
      Object.assign(element.style, { width: w + 'px', background: back });
      element.textContent = caption;
    } else if (kind === 1) {
      element = input = document.createElement('button');
      element.type = 'button';
      element.className = 'command';
      element.style.width = w + 'px';
      element.textContent = caption;
    } else {
      // The box takes a click anywhere in its stored width, as the layout's controls
      // do; where boxes overlap, the later one lies on top and takes it.
      element = document.createElement('label');
      element.className = 'choice';
      element.style.width = w + 'px';
      input = document.createElement('input');
      input.type = kind === 2 ? 'radio' : 'checkbox';
      const text = document.createElement('span');
      text.textContent = caption;
      element.append(input, text);
    }
    Object.assign(element.style, { left: x + 'px', top: y + 'px', height: h + 'px', font, color: fore });
    if (input) {
      input.setAttribute('aria-label', name);
      input.setAttribute('aria-description', description);
      input.tabIndex = tabIndex;
      input.addEventListener('click', () => {
        Module._pl_click(index);
        PL.requestFrame();
      });
    }
    document.getElementById('window').append(element);
    PL.controls[index] = { element, input: input || element };
  },

  applyFit(scale, left, top, canvasWidth, canvasHeight, canvasScale, [cx, cy, cw, ch], border) {
    document.getElementById('window').style.transform =
        `translate(${left}px, ${top}px) scale(${scale})`;
    // The board's canvas lies over the scaled window, unscaled, on whole device pixels.
    const board = PL.board;
    Object.assign(board.style, { left: cx + 'px', top: cy + 'px', width: cw + 'px', height: ch + 'px' });
    board.width = canvasWidth;
    board.height = canvasHeight;
    PL.ctx = board.getContext('2d');
    PL.ctx.setTransform(canvasScale, 0, 0, canvasScale, border * canvasScale, border * canvasScale);
    if (canvasScale !== PL.canvasScale) PL.texts.clear();
    PL.canvasScale = canvasScale;
    PL.border = border;
    PL.boardWidth = PL.boardBox.w - 2 * border;
    PL.boardHeight = PL.boardBox.h - 2 * border;
    // The ink never loses resolution: it is kept at the finest scale shown so far, so
    // a window made small and large again keeps its writing sharp.
    if (canvasScale > PL.inkScale) {
      const [x0, y0, x1, y1] = PL.boardSpan(canvasScale);
      const ink = document.createElement('canvas');
      ink.width = x1 - x0;
      ink.height = y1 - y0;
      const ctx = ink.getContext('2d');
      if (PL.ink) ctx.drawImage(PL.ink, 0, 0, ink.width, ink.height);
      // Board coordinates land where the board's own items do on the canvas.
      const shift = border * canvasScale;
      ctx.setTransform(canvasScale, 0, 0, canvasScale, shift - x0, shift - y0);
      ctx.lineCap = 'round';
      ctx.lineJoin = 'round';
      PL.ink = ink;
      PL.inkCtx = ctx;
      PL.inkScale = canvasScale;
    }
  },

  // The board's drawing area on a surface of `k` device pixels per board pixel that
  // starts at the border's corner: [left, top, right, bottom] on whole device pixels,
  // where the border's own pixels end, so the ink laid under it covers every device
  // pixel of the board and none of the border.
  boardSpan(k) {
    const o = PL.border;
    return [Math.round(o * k), Math.round(o * k), Math.round((PL.boardWidth + o) * k),
            Math.round((PL.boardHeight + o) * k)];
  },

  // A board coordinate moved to the nearest edge between device pixels.
  snap(v) {
    const k = PL.canvasScale, o = PL.border;
    return Math.round((v + o) * k) / k - o;
  },

  // A rectangle of the board filled to whole device pixels.
  fillSnapped(l, t, r, b, style) {
    const x = PL.snap(l), y = PL.snap(t);
    PL.ctx.fillStyle = style;
    PL.ctx.fillRect(x, y, PL.snap(r) - x, PL.snap(b) - y);
  },

  disc(x, y, radius) {
    PL.ctx.beginPath();
    PL.ctx.arc(x, y, radius, 0, 2 * Math.PI);
    PL.ctx.fill();
  },

  textImage(look, w, h, strings, fore, back) {
    let image = PL.texts.get(look);
    if (image) return image;
    const [caption, font] = strings();
    const k = PL.canvasScale;
    image = document.createElement('canvas');
    image.lang = 'ja';
    image.width = Math.ceil(w * k);
    image.height = Math.ceil(h * k);
    const ctx = image.getContext('2d');
    ctx.scale(k, k);
    ctx.fillStyle = PL.css(back);
    ctx.fillRect(0, 0, w, h);
    ctx.font = font;
    ctx.fillStyle = PL.css(fore);
    // The caption's line stands at the top of its box, as a label's does.
    const ascent = ctx.measureText(caption).fontBoundingBoxAscent;
    ctx.fillText(caption, 0, ascent);
    PL.texts.set(look, image);
    return image;
  },

  requestFrame() {
    if (PL.frameWanted || PL.ended) return;
    PL.frameWanted = true;
    requestAnimationFrame(() => {
      PL.frameWanted = false;
      if (!PL.ended && Module._pl_frame()) PL.paints++;
    });
  },

  fit() {
    if (PL.ended) return;
    const root = document.documentElement;
    Module._pl_resize(root.clientWidth, root.clientHeight, devicePixelRatio);
    PL.requestFrame();
  },

  // "終了": the window closes if the browser lets the page close it; otherwise the
  // page stops and says so, with a way to start again.
  end() {
    PL.ended = true;
    window.close();
    document.getElementById('stage').hidden = true;
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },
};

function bytesOf(base64) {
  const text = atob(base64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
  return bytes;
}

// The letter pictures are decoded once the figure is on screen, and the board is
// painted again with them: the lines must not wait for the letters.
function decodePictures() {
  return Promise.all(Object.entries(PICTURES).map(async ([key, files]) => {
    PL.pictures[key] = await Promise.all(
        files.map(f => createImageBitmap(new Blob([bytesOf(f)], { type: 'image/png' }))));
  }));
}

function pointerKind(type) { return type === 'touch' ? 1 : type === 'pen' ? 2 : 0; }

function handOver(type, e) {
  if (type === 1) PL.samples++;
  const modifiers = (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
  Module._pl_pointer(type, e.pointerId, pointerKind(e.pointerType), e.clientX, e.clientY,
                     e.button, e.buttons, modifiers, e.timeStamp);
}

function start() {
  const root = document.documentElement;
  Module._pl_start(root.clientWidth, root.clientHeight, devicePixelRatio);
  const board = PL.board;
  board.addEventListener('pointerdown', e => {
    if (PL.ended) return;
    e.preventDefault();  // no text selection, no middle-button scrolling
    board.focus({ preventScroll: true });
    board.setPointerCapture(e.pointerId);
    handOver(0, e);
    PL.requestFrame();
  });
  board.addEventListener('pointermove', e => {
    if (PL.ended) return;
    // Every sample of a fast stroke, not only the last of each frame.
    const samples = e.button === -1 && e.getCoalescedEvents ? e.getCoalescedEvents() : [];
    for (const s of samples.length ? samples : [e]) handOver(1, s);
    PL.requestFrame();
  });
  for (const [type, code] of [['pointerup', 2], ['pointercancel', 3], ['lostpointercapture', 3]]) {
    board.addEventListener(type, e => {
      if (PL.ended) return;
      handOver(code, e);
      PL.requestFrame();
    });
  }
  // A right press is the initial screen; a long press or a pen's barrel is no menu.
  document.getElementById('stage').addEventListener('contextmenu', e => e.preventDefault());
  addEventListener('resize', PL.fit);
  document.addEventListener('fullscreenchange', PL.fit);
  (function watchRatio() {
    // Browser zoom and a move to another screen change the pixel ratio.
    matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
        .addEventListener('change', () => { PL.fit(); watchRatio(); }, { once: true });
  })();
  document.getElementById('again').addEventListener('click', () => location.reload());
  // The first frame at once, not an animation frame later.
  if (Module._pl_frame()) PL.paints++;
  board.focus({ preventScroll: true });
  requestAnimationFrame(() => setTimeout(() => decodePictures().then(() => {
    Module._pl_repaint();
    PL.requestFrame();
  })));
}

var Module = {
  wasmBinary: bytesOf(WASM),
  onRuntimeInitialized: start,
  print: text => console.log(text),
  printErr: text => console.error(text),
};
