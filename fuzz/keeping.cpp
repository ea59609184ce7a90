// A board kept for the user: a wipe offered back and taken back by Ctrl+Z or the
// offer's control, and the page loaded again from its record. Each must show the
// board pixel for pixel as it showed before.
#include <sstream>

#include "frontend/record.h"
#include "fuzz/delivery.h"
#include "fuzz/session.h"

namespace fuzz {

namespace {

bool offersWipe(const frontend::Presenter& core) {
  return core.offer().kind == frontend::Offer::Kind::TakeBackWipe;
}

// A board as a window that holds it shows it: a full repaint, ink and all.
Pixels boardOf(const frontend::BoardState& board, const frontend::DeviceGrid& grid) {
  app::Form1 form;
  form.Form_Load();
  frontend::Presenter core(form);
  frontend::restore(form, board);
  frontend::BoardScene& scene = core.scene;
  Pixels ink(scene.width(), scene.height()), out(scene.width(), scene.height());
  scene.frame([&](const frontend::InkStroke& s) { ink.ink(s); });
  out.underlay(ink, scene.area());
  scene.paint(scene.area(), out, grid);
  return out;
}

std::string differsAt(const frontend::Point& at) {
  std::ostringstream o;
  o << "board pixel (" << at.x << ", " << at.y << ")";
  return o.str();
}

}  // namespace

std::optional<std::string> Session::reload() {
  // What a page's leaving does: every gesture and the keys' hold end, and the record
  // is written.
  core_->pointersLost();
  core_->leavePart();
  core_->boardFocus(false);
  core_->keepAgain();
  const std::optional<std::string> text = core_->record(nowMs_);
  if (!text) return "no record to keep as the page left";
  const Pixels before = repaint().copy();
  const bool offered = offersWipe(*core_);
  open(*text);
  if (auto at = repaint().firstDifference(before))
    return "the page loaded again shows the board otherwise, at " + differsAt(*at);
  if (offered != offersWipe(*core_))
    return "the page loaded again lost the wipe's offer, or made one";
  return std::nullopt;
}

std::optional<std::string> Session::keeping(const Event& e) {
  if (e.index == Event::kReload) return reload();
  const bool offered = offersWipe(*core_);
  const frontend::Outcome out = deliver(*core_, e, nowMs_);
  if (auto fault = apply(out, e)) return fault;
  if (e.index == Event::kCtrlZ && out.keyTaken != offered)
    return "Ctrl+Z was taken with no wipe to take back, or left with one " + where(e);
  if (offered && core_->offer().kind != frontend::Offer::Kind::None)
    return "the offer stayed after it was taken " + where(e);
  if (offered && offered_) {
    if (auto at = repaint().firstDifference(*offered_))
      return "the wipe taken back differs from the board wiped, at " + differsAt(*at);
  }
  return std::nullopt;
}

// A wipe offered back: how the wiped board showed, drawn afresh from what was kept,
// for the board taken back to be held against.
void Session::noteOffer() {
  if (offerChanged_) offered_.reset();
  if (offerChanged_ && offersWipe(*core_)) {
    core_->keepAgain();
    if (const auto text = core_->record(nowMs_))
      offered_ = boardOf(*frontend::read(*text)->kept, kGrid);
  }
  offerChanged_ = false;
}

}  // namespace fuzz
