#include "frontend/presenter.h"

namespace frontend {

Outcome Presenter::pointer(Phase phase, const PointerEvent& e) {
  if (ended()) return {false, {}, true};
  bool reached = false;
  switch (phase) {
    case Phase::Down: reached = input.press(e); break;
    case Phase::Move: reached = input.move(e); break;
    case Phase::Up: reached = input.release(e); break;
    case Phase::Cancel: reached = input.cancel(e.pointer); break;
  }
  return afterInput(reached);
}

Outcome Presenter::pointersLost() {
  if (ended()) return {false, {}, true};
  return afterInput(input.cancelAll());
}

Outcome Presenter::click(const ControlId& id) {
  if (ended()) return {false, {}, true};
  // A second finger on the tool row while the first still holds the board: the
  // board's gesture ends first, where it was, in the mode it began in. Otherwise a
  // line held in the figure would stay held in memo mode and follow the pointer with
  // no button down once the figure is back.
  input.cancelAll();
  toolRow.click(id);
  return afterInput(true);
}

Outcome Presenter::afterInput(bool reached) {
  return {reached, toolRow.takeChanges(), ended()};
}

}  // namespace frontend
