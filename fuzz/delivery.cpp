#include "fuzz/delivery.h"

#include "fuzz/codec_tables.h"

namespace fuzz {

namespace {

frontend::Outcome deliverKeyboard(frontend::Presenter& core, const Event& e) {
  const auto part = frontend::kParts[static_cast<std::size_t>(e.index) % frontend::kParts.size()];
  const auto key = static_cast<frontend::Key>(e.button % tables::kKeys);
  using A = Event::Action;
  switch (e.action) {
    case A::FocusPart:
      return core.focusPart(part);
    case A::LeavePart:
      return core.leavePart();
    case A::PartKey:
      return core.partKey(part, key);
    case A::BoardFocus:
      return core.boardFocus(true);
    case A::BoardBlur:
      return core.boardFocus(false);
    case A::BoardKey:
      return core.boardKey(key);
    case A::Slide:
      return core.slideTo(part, e.x);
  }
  return core.afterInput();
}

}  // namespace

std::vector<Event> asDelivered(const app::Form1& form, const Event& e) {
  if (e.kind != Event::Kind::Picture) return {e};
  const frontend::Rect box = frontend::pixelBox(form.Image1(e.index));
  Event press = e;
  press.kind = Event::Kind::Pointer;
  press.device = frontend::PointerKind::Mouse;
  press.pointer = 0;
  press.x = static_cast<float>(box.x + box.w / 2);
  press.y = static_cast<float>(box.y + box.h / 2);
  press.phase = frontend::Phase::Down;
  press.button = press.held = frontend::kLeft;
  Event release = press;
  release.phase = frontend::Phase::Up;
  release.held = 0;
  release.afterMs = 0;
  return {press, release};
}

frontend::Outcome deliver(frontend::Presenter& core, const Event& e, double nowMs) {
  switch (e.kind) {
    case Event::Kind::Pointer:
      return core.pointer(e.phase, {e.x, e.y, e.button, e.held, {}, e.pointer, e.device, nowMs});
    case Event::Kind::PointersLost:
      return core.pointersLost();
    case Event::Kind::Keeping:
      if (e.index == Event::kCtrlZ) return core.takeBack();
      if (e.index == Event::kTakeOffer) return core.takeOffer();
      break;  // a reload: see Session::reload
    case Event::Kind::Click: {
      const auto& controls = core.toolRow.controls();
      return core.click(controls[static_cast<std::size_t>(e.index) % controls.size()].id);
    }
    case Event::Kind::Picture:
      break;  // two pointer events: see asDelivered
    case Event::Kind::Keyboard:
      return deliverKeyboard(core, e);
  }
  return core.afterInput();
}

}  // namespace fuzz
