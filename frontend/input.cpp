#include "frontend/input.h"

namespace frontend {

namespace {

forms::Int16 buttonCode(unsigned buttons) {
  int code = 0;
  if ((buttons & kLeft) != 0) code |= app::Form1::kLeftButton;
  if ((buttons & kRight) != 0) code |= app::Form1::kRightButton;
  if ((buttons & kMiddle) != 0) code |= app::Form1::kMiddleButton;
  return static_cast<forms::Int16>(code);
}

forms::Int16 shiftCode(const Modifiers& m) {
  return static_cast<forms::Int16>((m.shift ? 1 : 0) | (m.ctrl ? 2 : 0) | (m.alt ? 4 : 0));
}

forms::Single single(double v) { return static_cast<forms::Single>(v); }

}  // namespace

void BoardInput::normalise(PointerEvent& e) {
  // Buttons we do not know (a pen's eraser end, a mouse's fourth button) are not ours.
  e.button &= kKnownButtons;
  e.held &= kKnownButtons;
  if (e.kind != PointerKind::Mouse) {
    // A finger or a pen on the board is the left button, whatever it reports.
    if (e.button != kNoButton) e.button = kLeft;
    if (e.held != kNoButton) e.held = kLeft;
  }
  if (e.kind == PointerKind::Pen) penSeenMs_ = e.timeMs;
}

bool BoardInput::isPalm(const PointerEvent& e) const {
  // The hand holding a pen rests on the board: its touch must not write.
  return e.kind == PointerKind::Touch && penSeenMs_ && e.timeMs - *penSeenMs_ < kPalmMs &&
         owner_ != e.pointer;
}

bool BoardInput::endWasLost(const PointerEvent& e) const {
  if (!owner_ || ownerHeld_ == kNoButton) return false;
  if (*owner_ == e.pointer) return (e.held & ~e.button) == kNoButton;
  return (e.kind == PointerKind::Mouse && ownerKind_ != PointerKind::Mouse) ||
         e.timeMs - ownerHeardMs_ >= kSilentMs;
}

void BoardInput::heard(const PointerEvent& e) {
  if (owner_ && *owner_ == e.pointer) ownerHeardMs_ = e.timeMs;
}

void BoardInput::deliverMove(const PointerEvent& e) {
  form_.gamen_MouseMove(buttonCode(e.held), shiftCode(e.modifiers), single(e.x), single(e.y));
  lastPosition_ = Point{e.x, e.y};
}

void BoardInput::gestureOver() {
  owner_.reset();
  ownerHeld_ = kNoButton;
}

bool BoardInput::press(PointerEvent e) {
  normalise(e);
  if (isPalm(e)) return false;
  heard(e);  // its pointer is still there, whatever it pressed
  // A press of no button we know is nobody's: it neither reaches the window nor
  // takes the board from anyone.
  if (e.button == kNoButton) return false;
  // Whatever the platform says is held, the button that went down is: a press that
  // held nothing would own the board with no end to wait for.
  e.held |= e.button;
  if (endWasLost(e)) cancel(*owner_);
  if (!owns(e)) return false;
  owner_ = e.pointer;
  ownerKind_ = e.kind;
  ownerHeardMs_ = e.timeMs;
  ownerHeld_ = e.held;
  ownerAt_ = {e.x, e.y};
  // The first button down decides who owns the press: a picture, or the board.
  if (e.held == e.button) pressedPicture_ = scene_.pictureAt(e.x, e.y);
  if (pressedPicture_ >= 0) return true;
  // A mouse always travels to the point it presses, so the board has seen a move
  // there; a finger or a pen lands without one. A drag measures its first step from
  // the last move, so without this move the grabbed line would jump by the distance
  // from where the last touch ended.
  if (!lastPosition_ || *lastPosition_ != Point{e.x, e.y}) {
    PointerEvent before = e;
    before.held = e.held & ~e.button;
    deliverMove(before);
  }
  form_.gamen_MouseDown(buttonCode(e.button), shiftCode(e.modifiers), single(e.x), single(e.y));
  lastPosition_ = Point{e.x, e.y};
  return true;
}

bool BoardInput::move(PointerEvent e) {
  normalise(e);
  if (isPalm(e)) return false;
  // Its own pointer moving with nothing held: the release never came.
  if (owner_ == e.pointer && e.held == kNoButton && ownerHeld_ != kNoButton) cancel(*owner_);
  if (!owns(e)) return false;
  heard(e);
  if (owner_) ownerAt_ = {e.x, e.y};
  // A picture keeps its press to itself; with no button down, a picture takes the
  // moves over it, as any control does the moves over itself.
  if (pressedPicture_ >= 0) return false;
  if (e.held == kNoButton && scene_.pictureAt(e.x, e.y) >= 0) return false;
  deliverMove(e);
  return true;
}

bool BoardInput::release(PointerEvent e) {
  normalise(e);
  if (isPalm(e)) return false;
  heard(e);
  if (e.button == kNoButton || !owns(e)) return false;
  e.held &= ~e.button;        // the button that went up is no longer held
  if (!owner_) return false;  // nothing went down: a release from elsewhere
  ownerHeld_ = e.held;
  if (e.held == kNoButton) gestureOver();
  if (pressedPicture_ >= 0) {
    const int picture = pressedPicture_;
    if (e.held == kNoButton) {
      pressedPicture_ = -1;
      if (e.button == kLeft && scene_.pictureAt(e.x, e.y) == picture)
        form_.Image1_Click(static_cast<forms::Int16>(picture));
    }
    return true;
  }
  form_.gamen_MouseUp(buttonCode(e.button), shiftCode(e.modifiers), single(e.x), single(e.y));
  lastPosition_ = Point{e.x, e.y};
  return true;
}

bool BoardInput::cancel(int pointer) {
  if (!owner_ || *owner_ != pointer) return false;
  const unsigned held = ownerHeld_;
  const Point at = ownerAt_;
  gestureOver();
  if (pressedPicture_ >= 0) {
    pressedPicture_ = -1;  // taken away, not clicked
    return false;
  }
  for (unsigned b : {kLeft, kRight, kMiddle}) {
    if ((held & b) == 0) continue;
    form_.gamen_MouseUp(buttonCode(b), 0, single(at.x), single(at.y));
  }
  lastPosition_ = at;
  return held != kNoButton;
}

bool BoardInput::cancelAll() { return owner_ && cancel(*owner_); }

}  // namespace frontend
