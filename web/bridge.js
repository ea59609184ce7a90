// The boundary between the page's script and the wasm, and nothing else: every call
// the C++ side makes on the page (the imports, which turn its strings and codes into
// JavaScript values and hand them to Canvas, web/canvas.js, Row, web/row.js, Stage,
// web/stage.js, or Boot, web/boot.js), and
// every call the page makes on the C++ side (Core). The integer codes are named here,
// once, and in web/codes.h for the C++ side.
mergeInto(LibraryManager.library, {
  $Core: {
    PHASE: { down: 0, move: 1, up: 2, cancel: 3 },
    POINTER: { mouse: 0, touch: 1, pen: 2 },
    CAP: ['flat', 'square', 'round'],
    // A frame's commands (frontend::DrawOp), each followed by its numbers.
    DRAW: { underlay: 0, segment: 1, fill: 2, text: 3, picture: 4, inkClear: 5, inkSegment: 6 },
    CONTROL: ['label', 'button', 'option', 'check'],
    THE_BOARD: -1,  // the focus's first place, when it is not a tool-row control
    UNCHANGED: -1,  // a tool-row change's flag that leaves the property as it is
    MODIFIER: { shift: 1, ctrl: 2, alt: 4, meta: 8 },
    STATE: { bold: 1, enabled: 2, checked: 4, visible: 8 },
    NO_SUCH_CONTROL: -1,
    // KeyboardEvent.key of the keys the program knows, and what a key did, as bits.
    KEY: { ArrowUp: 0, ArrowDown: 1, ArrowLeft: 2, ArrowRight: 3, PageUp: 4, PageDown: 5,
           Enter: 6, ' ': 7, Escape: 8, w: 9, W: 9 },
    KEY_DID: { taken: 1, toBoard: 2 },
    OFFER: ['none', 'takeBack', 'previous'],
    KEEP: ['no', 'soon', 'now'],
    PREVIOUS: ['unreadable', 'stale', 'old', 'notOffered', 'offered'],
    // Past this, a stored text is no record of ours (they stay near a megabyte).
    LONGEST_RECORD: 8 * 1024 * 1024,

    // The board as it starts: `record`, the text this tab kept, or null. Returns whether
    // the board came back from it.
    start: function (width, height, pixelRatio, record) {
      return !!_pl_start(width, height, pixelRatio, Core.putText(record));
    },
    // Text into the program's inbox; its size in bytes (0 for none, or for a text too
    // long to be a record).
    putText: function (text) {
      if (typeof text !== 'string' || !text.length || text.length > Core.LONGEST_RECORD) return 0;
      const room = 3 * text.length;  // UTF-8 at most triples a string's length
      const at = _pl_inbox(room);
      return new TextEncoder().encodeInto(text, HEAPU8.subarray(at, at + room)).written;
    },
    // What another tab's record is (Core.PREVIOUS); the newest recent one is offered.
    consider: function (text, nowMs) {
      const size = Core.putText(text);
      return Core.PREVIOUS[size ? _pl_consider(size, nowMs) : 0];
    },
    storage: function (keeps) { _pl_storage(keeps ? 1 : 0); },
    takeOffer: function () { _pl_take_offer(); },
    takeBack: function () { return !!_pl_take_back(); },
    // The record to keep now, as { head, names } (the blocks of writing the head rests
    // on), or null when none is due (or a stroke is under way).
    record: function (nowMs, force) {
      const at = _pl_record(nowMs, force ? 1 : 0);
      if (!at) return null;
      const head = UTF8ToString(at, _pl_record_size());
      const names = UTF8ToString(_pl_record_names());
      return { head, names: names ? names.split(',') : [] };
    },
    // A block's text, by a name the last record gave.
    block: function (name) { return UTF8ToString(_pl_block(Core.putText(name))); },
    // The blocks a stored head rests on.
    blockNames: function (head) {
      const size = Core.putText(head);
      const names = size ? UTF8ToString(_pl_block_names(size)) : '';
      return names ? names.split(',') : [];
    },
    resize: function (width, height, pixelRatio) { _pl_resize(width, height, pixelRatio); },
    repaint: function () { _pl_repaint(); },
    // A Pointer Event (or one of its coalesced samples) at a stage, by its name.
    // `from` is the event the sample came with: some browsers give a coalesced
    // sample no pointerId or pointerType of its own.
    modifiers: function (e) {
      const m = Core.MODIFIER;
      return (e.shiftKey ? m.shift : 0) | (e.ctrlKey ? m.ctrl : 0) | (e.altKey ? m.alt : 0) |
             (e.metaKey ? m.meta : 0);
    },
    pointer: function (phase, e, from) {
      const source = from || e;
      const kind = Core.POINTER[source.pointerType] !== undefined ? Core.POINTER[source.pointerType] : 0;
      return !!_pl_pointer(Core.PHASE[phase], source.pointerId, kind, e.clientX, e.clientY,
                           e.button, e.buttons, Core.modifiers(e), e.timeStamp);
    },
    pointersLost: function () { _pl_pointers_lost(); },
    // The keyboard: the five parts' sliders, the board's keys, and the words.
    focusPart: function (index) { _pl_focus_part(index); },
    leavePart: function () { _pl_leave_part(); },
    // A key event the program may know (Core.KEY); with Ctrl, Alt or Meta the core
    // leaves it to the browser.
    partKey: function (index, key, e) { return Core.keyDid(_pl_part_key(index, key, Core.modifiers(e))); },
    slide: function (index, value) { _pl_slide(index, value); },
    boardFocus: function (focused) { _pl_board_focus(focused ? 1 : 0); },
    boardKey: function (key, e) { return Core.keyDid(_pl_board_key(key, Core.modifiers(e))); },
    describe: function () { _pl_describe(); },
    paused: function () { _pl_paused(); },
    keyDid: function (bits) {
      return { taken: !!(bits & Core.KEY_DID.taken), toBoard: !!(bits & Core.KEY_DID.toBoard) };
    },
    click: function (index) { _pl_click(index); },
    // One frame: whether it painted. Core.inkBehind: ink waits for the next frame.
    inkBehind: false,
    frame: function () {
      const painted = _pl_frame();
      Core.inkBehind = painted === 2;
      return painted !== 0;
    },
    // What the core holds of a tool-row control (for the checks).
    controlState: function (index) {
      const bits = _pl_control_state(index);
      if (bits === Core.NO_SUCH_CONTROL) return null;
      return Object.fromEntries(Object.entries(Core.STATE).map(([name, bit]) => [name, !!(bits & bit)]));
    },
  },

  // The page starts the program, which calls this first: Core comes with it.
  pl_js_window__deps: ['$Core'],
  pl_js_window: function (title, width, height, back, border, boardName, boardDescription,
                          indicatorGap, firstFocus) {
    Stage.setUp(UTF8ToString(title), width, height, Canvas.css(back), UTF8ToString(boardName),
                UTF8ToString(boardDescription), indicatorGap, firstFocus === Core.THE_BOARD ? null : firstFocus);
    Canvas.setUp(Stage.board, border);
  },

  pl_js_add_control: function (index, kind, x, y, w, h, caption, font, fore, back, name,
                               description, tabIndex, toggle) {
    Row.add(index, Core.CONTROL[kind], { x, y, w, h }, UTF8ToString(caption), UTF8ToString(font),
            Canvas.css(fore), Canvas.css(back), UTF8ToString(name), UTF8ToString(description), tabIndex,
            !!toggle);
  },

  pl_js_keyboard: function (describeName, x, y, w, h, font, fontPixels) {
    Keys.setUp(UTF8ToString(describeName), { x, y, w, h }, UTF8ToString(font), fontPixels);
  },
  pl_js_add_part: function (index, name) { Keys.add(index, UTF8ToString(name)); },
  pl_js_set_part: function (index, value, min, max, step, valueText, description, vertical) {
    Keys.set(index, { value, min, max, step, text: UTF8ToString(valueText),
                      description: description ? UTF8ToString(description) : undefined,
                      vertical: !!vertical });
  },
  pl_js_say: function (text) { Keys.say(UTF8ToString(text)); },
  pl_js_pause: function (wait) { Keys.pause(wait); },
  // While the board's keys draw, a reader hands it the arrows: an application, not an
  // image to read with them.
  pl_js_board_keys: function (draw) { Stage.board.setAttribute('role', draw ? 'application' : 'img'); },

  pl_js_set_control: function (index, bold, enabled, checked, visible, description) {
    const flag = v => (v === Core.UNCHANGED ? undefined : !!v);
    Row.set(index, flag(bold), flag(enabled), flag(checked), flag(visible),
            description ? UTF8ToString(description) : undefined);
  },

  pl_js_fit: function (scale, left, top, canvasWidth, canvasHeight, canvasScale, canvasLeft,
                       canvasTop, canvasCssWidth, canvasCssHeight, inkWidth, inkHeight, inkScale,
                       inkOrigin, reback) {
    Stage.place(scale, left, top);
    Keys.place(scale, left, top);
    Canvas.fit(canvasWidth, canvasHeight, canvasScale,
               { x: canvasLeft, y: canvasTop, w: canvasCssWidth, h: canvasCssHeight },
               { width: inkWidth, height: inkHeight, scale: inkScale, origin: inkOrigin }, !!reback);
  },

  // A frame's strings, once each; then each frame, one list of numbers, read in place.
  pl_js_look: function (look, caption, font, fore, back) {
    Canvas.defineLook(look, UTF8ToString(caption), UTF8ToString(font), Canvas.css(fore), Canvas.css(back));
  },
  pl_js_picture_named: function (picture, key) { Canvas.pictureKeys[picture] = UTF8ToString(key); },
  pl_js_draw: function (list, count) { Frame.replay(HEAPF64.subarray(list >> 3, (list >> 3) + count)); },

  pl_js_ended: function () { Boot.end(); },

  pl_js_offer: function (kind, words, action, x, y, w, h, cx, cy, cw, ch, wx, wy, ww, wh, font, fore,
                         back) {
    Corner.offer(Core.OFFER[kind], UTF8ToString(words), UTF8ToString(action), { x, y, w, h },
               { x: cx, y: cy, w: cw, h: ch }, { x: wx, y: wy, w: ww, h: wh }, UTF8ToString(font),
               Canvas.css(fore), Canvas.css(back));
  },
  pl_js_notice: function (words, x, y, w, h, font, fore, back) {
    Corner.notice(UTF8ToString(words), { x, y, w, h }, UTF8ToString(font), Canvas.css(fore), Canvas.css(back));
  },
  pl_js_keep: function (when) { Keep.due(Core.KEEP[when]); },
});
