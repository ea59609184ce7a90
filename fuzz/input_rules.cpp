// The input rules as a user meets them, stated again from the outside: one gesture
// owns the board at a time; a second pointer, a hand beside a pen, and a press of no
// known button are not taken; a lost or cancelled gesture leaves nothing behind.
#include "fuzz/delivery.h"
#include "fuzz/session.h"

namespace fuzz {

namespace {

using frontend::Phase;
using frontend::PointerKind;

// A press the board must take: of a button we know (a finger's or a pen's is its
// main button, whichever it reports).
bool knownPress(const Event& e) { return (e.button & frontend::kKnownButtons) != 0; }

// Whether a gesture of any kind still goes on in the model.
bool gestureGoesOn(const app::Form1& form) {
  const board::Board& b = form.board;
  return b.PenDown != 0 || b.LineDrawing != 0 || form.figure.DragTarget != 0;
}

}  // namespace

std::optional<std::string> Session::pointer(const Event& e) {
  const std::optional<int> owner = core_->boardOwner();
  const bool other = owner && *owner != e.pointer;
  const bool palm = e.device == PointerKind::Touch && penMs_ &&
                    nowMs_ - *penMs_ < frontend::BoardInput::kPalmMs && owner != e.pointer;
  // What the rules for a lost end allow: a mouse after a finger or a pen, or any
  // pointer after the gesture's own was silent long enough.
  const bool takeover =
      other && ((e.device == PointerKind::Mouse && ownerKind_ != PointerKind::Mouse) ||
                nowMs_ - heard(*owner) >= frontend::BoardInput::kSilentMs);
  const frontend::Outcome out = deliver(*core_, e, nowMs_);
  if (auto fault = apply(out, e)) return fault;
  if (e.phase != Phase::Cancel) {
    heard(e.pointer) = nowMs_;
    if (e.device == PointerKind::Pen) penMs_ = nowMs_;
  }
  const std::optional<int> now = core_->boardOwner();
  if (now == e.pointer && e.phase == Phase::Down && out.reached) ownerKind_ = e.device;
  if (out.reached && other && (e.phase == Phase::Move || e.phase == Phase::Up))
    return "another pointer's move or release reached the board during a gesture " + where(e);
  if (e.phase == Phase::Down) {
    if (!knownPress(e) && (out.reached || now != owner))
      return "a press of no known button was taken " + where(e);
    if (out.reached && other && !takeover)
      return "a second pointer took the board during a gesture " + where(e);
    if (out.reached && palm) return "the hand beside a pen was taken for a press " + where(e);
    if (knownPress(e) && !palm && (!other || takeover) && !out.reached)
      return "the board did not take a press " + where(e);
  }
  if (e.phase == Phase::Cancel && owner == e.pointer && (now || gestureGoesOn(*form_)))
    return "a gesture went on after its pointer was cancelled " + where(e);
  return std::nullopt;
}

std::optional<std::string> Session::pointersLost(const Event& e) {
  if (auto fault = apply(deliver(*core_, e, nowMs_), e)) return fault;
  if (core_->boardOwner() || gestureGoesOn(*form_))
    return "a gesture went on after every pointer was lost";
  return std::nullopt;
}

std::optional<std::string> Session::click(const Event& e) {
  const auto& controls = core_->toolRow.controls();
  const std::size_t at = static_cast<std::size_t>(e.index) % controls.size();
  // The toolkit's own box or option button changes its look as it is clicked,
  // whatever the model then makes of it.
  using K = frontend::ToolControl::Kind;
  frontend::ToolState& look = shown_[at];
  if (look.enabled && controls[at].kind == K::Option) look.checked = true;
  if (look.enabled && controls[at].kind == K::Check) look.checked = !look.checked;
  return apply(deliver(*core_, e, nowMs_), e);
}

std::optional<std::string> Session::keyboard(const Event& e) {
  if (auto fault = apply(deliver(*core_, e, nowMs_), e)) return fault;
  const frontend::Keyboard& keys = core_->keyboard();
  if (keys.held() && form_->figure.DragTarget != 0)
    return "a part held by the keys would follow a pointer passing over the board";
  if (keys.held().has_value() != keys.overlay()[0].Visible)
    return "the ring does not show what the keys hold";
  if (keys.drawing() && (form_->board.LineDrawing != 1 || core_->boardOwner()))
    return "the keys draw a line that is not being drawn, or beside a pointer";
  return std::nullopt;
}

double& Session::heard(int pointer) {
  const auto at = static_cast<std::size_t>(pointer);
  if (heardMs_.size() <= at) heardMs_.resize(at + 1, 0);
  return heardMs_[at];
}

}  // namespace fuzz
