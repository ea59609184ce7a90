// The lesson for the keyboard and a screen reader: the five parts a drag can hold as
// native sliders (a screen reader on an iPad or a Chromebook adjusts them with a
// swipe), the figure's description, and the polite status line. What the keys do, what
// is said and when, and every slider's value, steps and words are the core's; this is
// the DOM, and the one wait the core asks for.
/* global Boot, Core, Stage */

const Keys = {
  parts: [],     // the <input type="range"> of each part, in the core's order
  shown: [],     // what each shows, as last set
  status: null,  // the polite live region
  timer: 0,      // the keys' pause the core is waiting for

  describeBox: null,  // where 「図の説明」 shows on the window, and its font's size
  describePixels: 0,

  setUp(describeName, box, font, fontPixels) {
    Keys.status = document.getElementById('status');
    const describe = document.getElementById('describe');
    describe.textContent = describeName;
    describe.style.setProperty('--font', font);
    Keys.describeBox = box;
    Keys.describePixels = fontPixels;
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
      Boot.guard(() => Core.leavePart());
      Stage.requestFrame();
    });
    input.addEventListener('keydown', e => {
      const key = Core.KEY[e.key];
      if (key === undefined) return;
      const did = Boot.guard(() => Core.partKey(index, key, e));
      if (!did) return;
      if (did.taken) e.preventDefault();  // the browser would step the slider as well
      if (did.toBoard) Stage.board.focus({ preventScroll: true });
      Stage.requestFrame();
    });
    // A screen reader's swipe, or a key the program leaves to the browser (Home, End),
    // sets the value itself: the part is dragged there.
    input.addEventListener('input', () => {
      Boot.guard(() => Core.slide(index, Number(input.value)));
      Stage.requestFrame();
    });
    document.getElementById('parts').insertBefore(input, document.getElementById('describe'));
    Keys.parts[index] = input;
  },

  // The slider as the core hands it over, each property written only when it changed
  // (a drag changes the value and its words alone; a description left out is the last
  // one). It steps from a base the value lies on, so that a browser never rounds the
  // value to another.
  set(index, given) {
    const input = Keys.parts[index];
    const was = Keys.shown[index] || {};
    const s = given.description === undefined ? { ...given, description: was.description } : given;
    const base = s.min + (s.value - s.min) % s.step;
    if (s.step !== was.step) input.step = s.step;
    if (base !== was.base) input.min = base;
    if (s.max !== was.max) input.max = s.max;
    input.value = s.value;
    if (s.text !== was.text) input.setAttribute('aria-valuetext', s.text);
    if (s.vertical !== was.vertical)
      input.setAttribute('aria-orientation', s.vertical ? 'vertical' : 'horizontal');
    if (s.description !== was.description) {
      if (s.description) input.setAttribute('aria-description', s.description);
      else input.removeAttribute('aria-description');
    }
    Keys.shown[index] = { ...s, base };
  },

  // 「図の説明」 where the window, placed at this scale and offset, has it.
  place(scale, left, top) {
    const b = Keys.describeBox, style = document.getElementById('describe').style;
    for (const [name, v] of [['--left', left + b.x * scale], ['--top', top + b.y * scale],
                             ['--width', b.w * scale], ['--height', b.h * scale],
                             ['--size', Keys.describePixels * scale]])
      style.setProperty(name, v + 'px');
  },

  say(text) {
    // The region changes twice, so that it is a new message whatever it held.
    Keys.status.textContent = '';
    requestAnimationFrame(() => { Keys.status.textContent = text; });
  },

  // The core's words wait for the keys to pause `wait` ms (0: no longer).
  pause(wait) {
    clearTimeout(Keys.timer);
    if (wait > 0) Keys.timer = setTimeout(() => Boot.guard(() => Core.paused()), wait);
  },
};
