// The tool row above the board: its controls made as the core lists them, and their
// state as the core hands it over after every input. Their clicks go to the core.
/* global Boot, Core, Stage */

const Row = {
  controls: [],
  // The row is put on the window once the board is on screen: laying out its Japanese
  // captions, with a search for their fonts, is the longest part of the page's first
  // layout, and the figure need not wait for it.
  fragment: document.createDocumentFragment(),


  // `place` is the control's place in the tab order, or -1 when the keyboard does not
  // stop at it.
  add(index, kind, box, caption, font, fore, back, name, description, place, toggle) {
    let element, input;
    if (kind === 'label') {
      element = document.createElement('div');
      element.className = 'label';
      element.style.background = back;
      element.textContent = caption;
      if (description) element.title = description;  // the title's: the lesson and the version
    } else if (kind === 'button') {
      element = input = document.createElement('button');
      element.type = 'button';
      element.className = 'command';
      element.textContent = caption;
      // A mode's button: pressed while its caption is bold, its only sign on screen.
      if (toggle) element.setAttribute('aria-pressed', 'false');
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
      input.tabIndex = place >= 0 ? 0 : -1;
      input.addEventListener('click', () => {
        Boot.guard(() => Core.click(index));
        Stage.requestFrame();
      });
    }
    // Later controls lie on top, as the core stacks them, whatever the document's order.
    element.style.zIndex = index + 1;
    Row.controls[index] = { element, input: input || element, place };
  },

  // Each flag is true, false, or undefined for unchanged. The core hands `checked` to
  // option buttons and boxes only, and `description` (words that follow a box's state)
  // to boxes.
  set(index, bold, enabled, checked, visible, description) {
    const c = Row.controls[index];
    if (bold !== undefined) {
      c.element.style.fontWeight = bold ? 'bold' : 'normal';
      if (c.element.hasAttribute('aria-pressed')) c.element.setAttribute('aria-pressed', String(bold));
    }
    if (description !== undefined) c.input.setAttribute('aria-description', description);
    if (enabled !== undefined) {
      c.input.disabled = !enabled;
      c.element.classList.toggle('disabled', !enabled);
    }
    if (checked !== undefined) c.input.checked = checked;
    if (visible !== undefined) c.element.style.visibility = visible ? 'visible' : 'hidden';
  },

  // The row, made so far aside, put on the window in the tab order: the keyboard
  // follows the document's order, with no tabindex of its own.
  attach() {
    const inOrder = Row.controls.slice().sort((a, b) => a.place - b.place);
    for (const c of inOrder) Row.fragment.append(c.element);
    document.getElementById('window').append(Row.fragment);
  },
};
