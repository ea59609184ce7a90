// The board's corners: the program's offer ("元に戻す" after a wipe, "前の板書を開く" in a
// new tab) and its lasting notice, placed and worded as the program hands them over;
// the offer's control and Ctrl+Z go to the program.
/* global Boot, Core, Stage */

const Corner = {
  // The offer in the board's corner, placed in the window's pixels (the layer over the
  // board is scaled with the window).
  offer(kind, words, action, box, control, wordsBox, font, fore, back) {
    const panel = document.getElementById('offer');
    if (kind === 'none') {
      // The focus on its control goes back to the board, not to the page's top.
      if (panel.contains(document.activeElement)) Stage.focusBoard();
      panel.hidden = true;
      return;
    }
    const place = (el, r, within) => Object.assign(el.style, {
      left: r.x - within.x + 'px', top: r.y - within.y + 'px', width: r.w + 'px', height: r.h + 'px' });
    place(panel, box, { x: 0, y: 0 });
    Object.assign(panel.style, { font, color: fore, background: back });
    const text = document.getElementById('offer-words');
    text.textContent = words;
    text.hidden = !words;
    place(text, wordsBox, box);
    const button = document.getElementById('offer-action');
    button.textContent = action;
    button.style.font = font;
    place(button, control, box);
    panel.hidden = false;
  },

  notice(words, box, font, fore, back) {
    const line = document.getElementById('notice');
    line.textContent = words;
    line.hidden = !words;
    Object.assign(line.style, { left: box.x + 'px', top: box.y + 'px', width: box.w + 'px',
                                height: box.h + 'px', font, color: fore, background: back });
  },

  listen() {
    document.getElementById('offer-action').addEventListener('click', () => {
      Boot.guard(() => Core.takeOffer());
      Stage.focusBoard();
      Stage.requestFrame();
    });
    // Ctrl+Z, and ⌘Z on an Apple keyboard, take a wipe back while it is offered; any
    // other time they are the browser's.
    document.addEventListener('keydown', e => {
      if (!(e.ctrlKey || e.metaKey) || e.altKey || e.shiftKey) return;
      if (e.code !== 'KeyZ' && e.key?.toLowerCase() !== 'z') return;
      if (Boot.guard(() => Core.takeBack())) {
        e.preventDefault();
        Stage.requestFrame();
      }
    });
  },
};
