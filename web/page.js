'use strict';
// The page: the window's DOM (its tool row and where it stands), and the browser's
// events handed to the C++ side through Core (web/bridge.js) as they come: pointers,
// resizing and printing, focus and visibility, start-up, the end and every failure.
// The wasm and the letter pictures come with the page as data blocks (web/page.html).

const Page = {
  board: null,
  controls: [],
  // The tool row is put on the window once the board is on screen: laying out its
  // Japanese captions, with a search for their fonts, is the longest part of the
  // page's first layout, and the figure need not wait for it.
  toolRow: document.createDocumentFragment(),
  frameWanted: false,
  viewport: { w: 0, h: 0, ratio: 0 },  // as last handed over
  paints: 0,  // frames painted, for the tests
  started: false,

  setUpWindow(title, width, height, back, box, boardName, boardDescription) {
    document.title = title;
    const w = document.getElementById('window');
    Object.assign(w.style, { width: width + 'px', height: height + 'px', background: back });
    const board = document.getElementById('board');
    board.setAttribute('aria-label', boardName);
    board.setAttribute('aria-description', boardDescription);
    Page.board = board;
  },

  addControl(index, kind, box, caption, font, fore, back, name, description, tabIndex) {
    let element, input;
    if (kind === 'label') {
      element = document.createElement('div');
      element.className = 'label';
      element.style.background = back;
      element.textContent = caption;
    } else if (kind === 'button') {
      element = input = document.createElement('button');
      element.type = 'button';
      element.className = 'command';
      element.textContent = caption;
    } else {
      // The box takes a click anywhere in its stored width, as the layout's controls
      // do; where boxes overlap, the later one lies on top and takes it.
      element = document.createElement('label');
      element.className = 'choice';
      input = document.createElement('input');
      input.type = kind === 'option' ? 'radio' : 'checkbox';
      const text = document.createElement('span');
      text.textContent = caption;
      element.append(input, text);
    }
    Object.assign(element.style, { left: box.x + 'px', top: box.y + 'px', width: box.w + 'px',
                                   height: box.h + 'px', font, color: fore });
    if (input) {
      input.setAttribute('aria-label', name);
      input.setAttribute('aria-description', description);
      input.tabIndex = tabIndex;
      input.addEventListener('click', () => {
        Page.call(() => Core.click(index));
        Page.requestFrame();
      });
    }
    Page.toolRow.append(element);
    Page.controls[index] = { element, input: input || element };
  },

  // Each flag is true, false, or undefined for unchanged.
  setControl(index, bold, enabled, checked, visible) {
    const c = Page.controls[index];
    if (bold !== undefined) c.element.style.fontWeight = bold ? 'bold' : 'normal';
    if (enabled !== undefined) {
      c.input.disabled = !enabled;
      c.element.classList.toggle('disabled', !enabled);
    }
    if (checked !== undefined && (c.input.type === 'radio' || c.input.type === 'checkbox'))
      c.input.checked = checked;
    if (visible !== undefined) c.element.style.visibility = visible ? 'visible' : 'hidden';
  },

  // The board takes the focus, so that keys reach no button behind the teacher's
  // back, but shows no keyboard ring for it: that is for the keyboard alone.
  focusBoard() {
    const board = Page.board;
    if (document.activeElement === board && board.matches(':focus-visible')) board.blur();
    board.focus({ preventScroll: true, focusVisible: false });
  },

  placeWindow(scale, left, top) {
    document.getElementById('window').style.transform =
        `translate(${left}px, ${top}px) scale(${scale})`;
  },

  // Every call into the program goes through here: whatever fails inside it ends the
  // page with a message, never a frozen board.
  call(f) {
    try {
      return f();
    } catch (e) {
      Page.fail(e);
      return false;
    }
  },

  requestFrame() {
    if (Page.frameWanted) return;
    Page.frameWanted = true;
    requestAnimationFrame(() => {
      Page.frameWanted = false;
      // A move to another screen or a zoom may come with no event of its own.
      const root = document.documentElement;
      const v = Page.viewport;
      if (root.clientWidth !== v.w || root.clientHeight !== v.h || devicePixelRatio !== v.ratio)
        Page.fit();
      if (Page.call(() => Core.frame())) Page.paints++;
    });
  },

  // The viewport handed over; the program places the window in it and, when the
  // canvas had to be made anew, paints it at once.
  fit() {
    const root = document.documentElement;
    Page.viewport = { w: root.clientWidth, h: root.clientHeight, ratio: devicePixelRatio };
    Page.call(() => Core.resize(root.clientWidth, root.clientHeight, devicePixelRatio));
  },

  // The stage put away for the panel that says why, with a way to start again.
  showPanel(message, detail) {
    document.getElementById('stage').hidden = true;
    document.getElementById('ended-message').textContent = message;
    document.getElementById('ended-detail').textContent = detail;
    document.getElementById('ended').hidden = false;
    if (document.hasFocus()) document.getElementById('again').focus();
  },

  // "終了": the window closes if the browser lets the page close it; otherwise the
  // page stops and says so.
  end() {
    window.close();
    Page.showPanel('終了しました', '');
  },

  // The program could not start, or stopped (its memory ran out, a fault).
  fail(reason) {
    if (!document.getElementById('ended').hidden) return;
    console.error('parallel-lines:', reason);
    if (Page.started)
      Page.showPanel('問題が起きたため、止まりました', '書いたものは消えました。もう一度始めてください。');
    else
      Page.showPanel('このブラウザでは動きませんでした',
                     '新しい Chrome、Edge、Safari か Firefox で開いてください。');
  },

  start() {
    document.getElementById('again').addEventListener('click', () => location.reload());
    document.getElementById('stage').hidden = false;
    const root = document.documentElement;
    Page.viewport = { w: root.clientWidth, h: root.clientHeight, ratio: devicePixelRatio };
    Core.start(root.clientWidth, root.clientHeight, devicePixelRatio);
    Page.started = true;
    Page.paints++;  // the first frame is painted as the window is placed
    // When the figure reaches the screen: the frame after it was drawn. The tool row
    // follows it.
    requestAnimationFrame(() => {
      performance.mark('figure');
      document.getElementById('window').append(Page.toolRow);
      if (document.hasFocus() && document.activeElement === document.body) Page.focusBoard();
    });
    Page.listen();
    // An embedding page (a learning platform) keeps its own focus.
    if (document.hasFocus()) Page.focusBoard();
    // The ink raster is made and the letter pictures decoded once the figure is on
    // screen, and the board is painted again with the letters: the lines must not wait.
    requestAnimationFrame(() => setTimeout(() => {
      Canvas.makeInk();
      Canvas.decodePictures(JSON.parse(document.getElementById('pictures').textContent)).then(() => {
        Page.call(() => Core.repaint());
        Page.requestFrame();
        Page.keepForOffline();
      }, Page.fail);
    }));
  },

  // The site (the page with a manifest; never the single file) keeps itself on the
  // device for use with no network, once the lesson is on screen, and asks that the
  // browser not clear it after days unused. A refusal changes nothing for the lesson.
  keepForOffline() {
    if (!document.querySelector('link[rel="manifest"]') || !navigator.serviceWorker) return;
    // The one address a script may give as a worker's, vouched for by the site's policy.
    const worker = window.trustedTypes
        ? trustedTypes.createPolicy('parallel-lines-worker', { createScriptURL: () => 'sw.js' }).createScriptURL('sw.js')
        : 'sw.js';
    navigator.serviceWorker.register(worker).catch(() => { /* a lesson with no offline copy */ });
    navigator.storage?.persisted?.().then(kept => kept || navigator.storage.persist()).catch(() => {});
  },

  listen() {
    const board = Page.board;
    const hand = (phase, e, from) => Page.call(() => Core.pointer(phase, e, from));
    board.addEventListener('pointerdown', e => {
      e.preventDefault();  // no text selection, no middle-button scrolling
      Page.focusBoard();
      // Its moves and its end come here, wherever the pointer goes.
      try { board.setPointerCapture(e.pointerId); } catch { /* the pointer is gone already */ }
      hand('down', e);
      Page.requestFrame();
    });
    board.addEventListener('pointermove', e => {
      // Every sample of a fast stroke, not only the last of each frame.
      const samples = e.button === -1 && e.getCoalescedEvents ? e.getCoalescedEvents() : [];
      if (samples.length) for (const s of samples) hand('move', s, e);
      else hand('move', e);
      Page.requestFrame();
    });
    for (const [type, phase] of [['pointerup', 'up'], ['pointercancel', 'cancel'],
                                 ['lostpointercapture', 'cancel']]) {
      board.addEventListener(type, e => {
        hand(phase, e);
        Page.requestFrame();
      });
    }
    // A right press is the initial screen; a long press or a pen's barrel is no menu.
    document.getElementById('stage').addEventListener('contextmenu', e => e.preventDefault());
    // iPadOS ignores user-scalable=no: only its own gesture events stop a pinch of the
    // page. And its handwriting input (Scribble) takes quick pencil strokes and taps
    // for itself unless the board's touch moves are refused it.
    for (const type of ['gesturestart', 'gesturechange'])
      document.addEventListener(type, e => e.preventDefault());
    board.addEventListener('touchmove', e => e.preventDefault(), { passive: false });
    // A gesture whose end never comes must not leave the board deaf: a window that
    // loses the focus, or a page put away, ends every gesture.
    addEventListener('blur', () => Page.call(() => Core.pointersLost()));
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) Page.call(() => Core.pointersLost());
    });
    addEventListener('resize', Page.fit);
    addEventListener('beforeprint', Page.fit);
    document.addEventListener('fullscreenchange', Page.fit);
    (function watchRatio() {
      // Browser zoom and a move to another screen change the pixel ratio.
      matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
          .addEventListener('change', () => { Page.fit(); watchRatio(); }, { once: true });
    })();
  },
};

// The program's runtime reads this as it starts.
var Module = {
  wasmBinary: bytesOf(document.getElementById('wasm').textContent),
  // The module is small: compiled at once, on this thread, where the browser allows
  // it, so the figure waits for no compiler thread and is drawn before the page's
  // first frame. A browser that will not (an old limit on the module's size) compiles
  // it as usual, and one that refuses wasm altogether says so.
  instantiateWasm(imports, ready) {
    try {
      const instance = new WebAssembly.Instance(new WebAssembly.Module(Module.wasmBinary), imports);
      ready(instance);
      return instance.exports;
    } catch {
      WebAssembly.instantiate(Module.wasmBinary, imports).then(r => ready(r.instance, r.module), Page.fail);
      return {};
    }
  },
  onRuntimeInitialized: () => Page.call(Page.start),
  onAbort: what => Page.fail(what),
  print: text => console.log(text),
  printErr: text => console.error(text),
};

