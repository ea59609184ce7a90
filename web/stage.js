// The window on the page and the browser's events: where the window stands (the core
// places it), the board's focus, every listener (pointers, resize, print, focus,
// visibility), and the frames, at most one per display refresh.
/* global Boot, Core, Row */

const Stage = {
  board: null,  // the <canvas>
  frameWanted: false,
  viewport: { w: 0, h: 0, ratio: 0 },  // as last handed over
  paints: 0,  // frames painted, for the checks

  first: null,  // the tool-row control the focus goes to first, or null for the board

  setUp(title, width, height, back, boardName, boardDescription, indicatorGap, first) {
    document.title = title;
    const w = document.getElementById('window');
    Object.assign(w.style, { width: width + 'px', height: height + 'px', background: back });
    w.style.setProperty('--indicator-gap', indicatorGap + 'px');
    Stage.first = first;
    const board = document.getElementById('board');
    board.setAttribute('aria-label', boardName);
    board.setAttribute('aria-description', boardDescription);
    Stage.board = board;
  },

  place(scale, left, top) {
    const transform = `translate(${left}px, ${top}px) scale(${scale})`;
    document.getElementById('window').style.transform = transform;
    document.getElementById('over').style.transform = transform;
  },

  // The focus where the core puts it first.
  focusFirst() {
    if (Stage.first === null) Stage.focusBoard();
    else Row.controls[Stage.first].input.focus({ preventScroll: true });
  },

  // The board takes the focus, but shows no keyboard ring for it: that is for the
  // keyboard alone.
  focusBoard() {
    const board = Stage.board;
    if (document.activeElement === board && board.matches(':focus-visible')) board.blur();
    board.focus({ preventScroll: true, focusVisible: false });
  },

  // The viewport as the page sees it now.
  measure() {
    const root = document.documentElement;
    return { w: root.clientWidth, h: root.clientHeight, ratio: devicePixelRatio };
  },

  requestFrame() {
    if (Stage.frameWanted) return;
    Stage.frameWanted = true;
    requestAnimationFrame(() => {
      Stage.frameWanted = false;
      // A move to another screen or a zoom may come with no event of its own.
      const now = Stage.measure(), v = Stage.viewport;
      if (now.w !== v.w || now.h !== v.h || now.ratio !== v.ratio) Stage.fit();
      if (Boot.guard(() => Core.frame())) Stage.paints++;
      if (Core.inkBehind) Stage.requestFrame();
    });
  },

  // The viewport handed over; the program places the window in it and, when the
  // canvas had to be made anew, paints it at once.
  fit() {
    const v = Stage.viewport = Stage.measure();
    Boot.guard(() => Core.resize(v.w, v.h, v.ratio));
  },

  listen() {
    const board = Stage.board;
    const hand = (phase, e, from) => Boot.guard(() => Core.pointer(phase, e, from));
    board.addEventListener('pointerdown', e => {
      e.preventDefault();  // no text selection, no middle-button scrolling
      Stage.focusBoard();
      // Its moves and its end come here, wherever the pointer goes.
      try { board.setPointerCapture(e.pointerId); } catch { /* the pointer is gone already */ }
      hand('down', e);
      Stage.requestFrame();
    });
    board.addEventListener('pointermove', e => {
      // Every sample of a fast stroke, not only the last of each frame.
      const samples = e.button === -1 && e.getCoalescedEvents ? e.getCoalescedEvents() : [];
      if (samples.length) for (const s of samples) hand('move', s, e);
      else hand('move', e);
      Stage.requestFrame();
    });
    for (const [type, phase] of [['pointerup', 'up'], ['pointercancel', 'cancel'],
                                 ['lostpointercapture', 'cancel']]) {
      board.addEventListener(type, e => {
        hand(phase, e);
        Stage.requestFrame();
      });
    }
    // Keys on the board: in straight-line mode they draw a line (the core says which).
    board.addEventListener('keydown', e => {
      const key = Core.KEY[e.key];
      if (key === undefined) return;
      if (Boot.guard(() => Core.boardKey(key, e))?.taken) e.preventDefault();
      Stage.requestFrame();
    });
    // The keyboard's point shows for a focus the keyboard gave, not for a press.
    for (const [type, focused] of [['focus', true], ['blur', false]]) {
      board.addEventListener(type, () => {
        Boot.guard(() => Core.boardFocus(focused && board.matches(':focus-visible')));
        Stage.requestFrame();
      });
    }
    // A right press is the initial screen; a long press or a pen's barrel is no menu.
    document.getElementById('stage')?.addEventListener('contextmenu', e => e.preventDefault());
    // iPadOS ignores user-scalable=no: only its own gesture events stop a pinch of the
    // page. And its handwriting input (Scribble) takes quick pencil strokes and taps
    // for itself unless the board's touch moves are refused it.
    for (const type of ['gesturestart', 'gesturechange'])
      document.addEventListener(type, e => e.preventDefault());
    // A move the browser has already given to a scroll or a pinch (another finger
    // began it off the board) can no longer be refused; trying only logs a warning.
    board.addEventListener('touchmove', e => { if (e.cancelable) e.preventDefault(); }, { passive: false });
    // A gesture whose end never comes must not leave the board deaf: a window that
    // loses the focus, or a page put away, ends every gesture.
    addEventListener('blur', () => Boot.guard(() => Core.pointersLost()));
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) Boot.guard(() => Core.pointersLost());
    });
    addEventListener('resize', Stage.fit);
    addEventListener('beforeprint', Stage.fit);
    document.addEventListener('fullscreenchange', Stage.fit);
    (function watchRatio() {
      // Browser zoom and a move to another screen change the pixel ratio.
      matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
          .addEventListener('change', () => { Stage.fit(); watchRatio(); }, { once: true });
    })();
  },
};
