// The lesson for the keyboard and a screen reader: the five parts a drag can hold as
// native sliders (a screen reader on an iPad or a Chromebook adjusts them with a
// swipe), the figure's description, and the polite status line that says what the
// core's words are. What the keys do and what is said is the core's; this is the DOM.
/* global Boot, Core, Stage */

const Keys = {
  parts: [],     // the <input type="range"> of each part, in the core's order
  status: null,  // the polite live region
  pauseMs: 500,  // keys paused this long: the part's new place is said
  timer: 0,

  setUp(pauseMs, describeName) {
    Keys.pauseMs = pauseMs;
    Keys.status = document.getElementById('status');
    const describe = document.getElementById('describe');
    describe.textContent = describeName;
    describe.addEventListener('click', () => Boot.guard(() => Core.describe()));
  },

  add(index, name) {
    const input = document.createElement('input');
    input.type = 'range';
    input.className = 'part';
    input.setAttribute('aria-label', name);
    input.addEventListener('focus', () => {
      Boot.guard(() => Core.focusPart(index));
      Stage.requestFrame();
    });
    input.addEventListener('blur', () => {
      clearTimeout(Keys.timer);
      Boot.guard(() => Core.leavePart());
      Stage.requestFrame();
    });
    input.addEventListener('keydown', e => {
      const key = Core.KEY[e.key];
      if (key === undefined || e.altKey || e.ctrlKey || e.metaKey) return;
      const did = Boot.guard(() => Core.partKey(index, key));
      if (!did) return;
      if (did.taken) e.preventDefault();  // the browser would step the slider as well
      if (did.toBoard) Stage.board.focus({ preventScroll: true });
      else Keys.sayLater(index);
      Stage.requestFrame();
    });
    // A screen reader's swipe, or a key the program leaves to the browser (Home, End),
    // sets the value itself: the part is dragged there.
    input.addEventListener('input', () => {
      Boot.guard(() => Core.slide(index, Number(input.value)));
      Keys.sayLater(index);
      Stage.requestFrame();
    });
    document.getElementById('parts').insertBefore(input, document.getElementById('describe'));
    Keys.parts[index] = input;
  },

  // The slider's value in board pixels, up to `max`. It steps by the arrows' 5 from a
  // base the value lies on, so that a browser never rounds it to another.
  set(index, value, max, text) {
    const input = Keys.parts[index];
    input.step = 5;
    input.min = value % 5;
    input.max = max;
    input.value = value;
    input.setAttribute('aria-valuetext', text);
  },

  say(text) {
    // The same words again must be said again: the region changes twice.
    Keys.status.textContent = '';
    requestAnimationFrame(() => { Keys.status.textContent = text; });
  },

  sayLater(index) {
    clearTimeout(Keys.timer);
    Keys.timer = setTimeout(() => Boot.guard(() => Core.sayWhere(index)), Keys.pauseMs);
  },
};
