#include "frontend/presenter.h"

namespace frontend {

Outcome Presenter::pointer(Phase phase, const PointerEvent& e) {
  if (ended()) return {false, {}, true};
  bool reached = false;
  // A line the keys are drawing is fixed where it is as soon as a pointer comes to
  // the board: a move in its mode would stretch it to the pointer. A part the keys
  // hold is let go by a press only; a pointer passing over the board drags nothing.
  if (keyboard_.finishLine()) input.positionChanged();
  keyboard_.pointerAt(e.x, e.y);
  switch (phase) {
    case Phase::Down:
      keyboardMakesWay();
      reached = input.press(e);
      break;
    case Phase::Move: reached = input.move(e); break;
    case Phase::Up: reached = input.release(e); break;
    case Phase::Cancel: reached = input.cancel(e.pointer); break;
  }
  return afterInput(reached);
}

Outcome Presenter::pointersLost() {
  if (ended()) return {false, {}, true};
  const bool lineEnded = keyboard_.finishLine();
  if (lineEnded) input.positionChanged();
  return afterInput(input.cancelAll() || lineEnded);
}

Outcome Presenter::click(const ControlId& id) {
  if (ended()) return {false, {}, true};
  // A second finger on the tool row while the first still holds the board: the
  // board's gesture ends first, where it was, in the mode it began in. Otherwise a
  // line held in the figure would stay held in memo mode and follow the pointer with
  // no button down once the figure is back.
  input.cancelAll();
  keyboardMakesWay();
  toolRow.click(id);
  return afterInput(true);
}

Outcome Presenter::afterInput(bool reached) {
  keyboard_.follow();
  return {reached, toolRow.takeChanges(), ended()};
}

void Presenter::keyboardMakesWay() {
  keyboard_.release();
  keyboard_.boardFocused(false);  // the pointer's press: the keyboard's point goes
  if (keyboard_.finishLine()) input.positionChanged();
}

Outcome Presenter::keyOutcome(const KeyResult& r) {
  Outcome out = afterInput(r.reached);
  out.keyTaken = r.taken;
  out.focusBoard = r.toBoard;
  return out;
}

Outcome Presenter::focusPart(Part part) {
  if (ended()) return {false, {}, true};
  // A gesture still on the board ends first, as a click on the row ends it.
  input.cancelAll();
  if (keyboard_.finishLine()) input.positionChanged();
  return afterInput(keyboard_.hold(part));
}

Outcome Presenter::leavePart() {
  if (ended()) return {false, {}, true};
  return afterInput(keyboard_.release());
}

Outcome Presenter::partKey(Part part, Key key) {
  if (ended()) return {false, {}, true};
  if (keyboard_.held() != part) input.cancelAll();
  return keyOutcome(keyboard_.partKey(part, key));
}

Outcome Presenter::slideTo(Part part, double value) {
  if (ended()) return {false, {}, true};
  if (keyboard_.held() != part) input.cancelAll();
  return keyOutcome(keyboard_.slideTo(part, value));
}

Outcome Presenter::boardFocus(bool focused) {
  if (ended()) return {false, {}, true};
  keyboard_.boardFocused(focused);
  return afterInput(false);
}

Outcome Presenter::boardKey(Key key) {
  if (ended()) return {false, {}, true};
  // The keyboard draws only while no pointer holds the board.
  if (input.owner()) return afterInput(false);
  const KeyResult r = keyboard_.boardKey(key);
  if (r.reached) input.positionChanged();
  return keyOutcome(r);
}

}  // namespace frontend
