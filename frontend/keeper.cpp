#include "frontend/keeper.h"

#include <cmath>

namespace frontend {

namespace {

// The offer's corner of the board (board pixels): the figure as it starts reaches
// y = 577 at most (the lower ends of ℓ and m, with their round caps), and its names and
// marks end further up; below it, at the right, the board is free.
constexpr int kRight = 796, kBottom = 620, kPad = 4;
constexpr int kControlHeight = 28;
constexpr int kTakeBackWidth = 84;
constexpr int kOpenPreviousWidth = 120;
constexpr int kWordsWidth = 104;
// The notice's place, at the lower left, below the end of ℓ.
constexpr Rect kNoticeOnBoard{6, 604, 240, 16};

FontChoice offerFont() { return fontChoice(forms::FontSpec{}); }

}  // namespace

Keeper::Keeper(app::Form1& form) : form_(form) {
  follow();
  form_.beforeInitScreen = [this] { wiped_ = capture(form_, ink_); };
}

void Keeper::follow() {
  form_.gamen.drawn = [this](const forms::InkCommand& c) { ink_.add(c); };
}

void Keeper::putBack(const BoardState& board) {
  // The writing comes to the surface again, to be drawn; its log is the board's own,
  // not logged again stroke by stroke.
  form_.gamen.drawn = nullptr;
  restore(form_, board);
  ink_ = board.ink;
  follow();
}

Keeper::~Keeper() {
  form_.gamen.drawn = nullptr;
  form_.beforeInitScreen = nullptr;
}

Rect Keeper::onWindow(const Rect& r) const {
  const int border = form_.gamen.BorderPixels;
  return {r.x + static_cast<int>(std::lround(form_.gamen.Left)) + border,
          r.y + static_cast<int>(std::lround(form_.gamen.Top)) + border, r.w, r.h};
}

void Keeper::show(Offer::Kind kind) {
  offer_ = {};
  offer_.kind = kind;
  if (kind == Offer::Kind::None) return;
  offer_.font = offerFont();
  const bool takeBack = kind == Offer::Kind::TakeBackWipe;
  const int w = takeBack ? kTakeBackWidth : kOpenPreviousWidth;
  const Rect control{kRight - kPad - w, kBottom - kPad - kControlHeight, w, kControlHeight};
  const int words = takeBack ? kWordsWidth + kPad : 0;
  offer_.words = takeBack ? kWiped : "";
  offer_.action = takeBack ? kTakeBack : kOpenPrevious;
  offer_.control = onWindow(control);
  offer_.box = onWindow({control.x - kPad - words, control.y - kPad, w + 2 * kPad + words,
                         kControlHeight + 2 * kPad});
  offer_.wordsBox = onWindow({control.x - words, control.y, words - kPad, kControlHeight});
}

bool Keeper::settle(bool goesOn, std::string& say) {
  if (wiped_) {
    std::optional<BoardState> wiped = std::move(wiped_);
    wiped_.reset();
    if (wiped->sameBoardAs(capture(form_, ink_))) return false;
    kept_ = std::move(wiped);
    previous_.reset();
    show(Offer::Kind::TakeBackWipe);
    say = kWiped;
    return true;
  }
  if (!goesOn || offer_.kind == Offer::Kind::None) return false;
  kept_.reset();
  previous_.reset();
  show(Offer::Kind::None);
  return true;
}

bool Keeper::take(std::string& say) {
  if (offer_.kind == Offer::Kind::TakeBackWipe) return takeBack(say);
  if (offer_.kind != Offer::Kind::PreviousBoard || !previous_) return false;
  putBack(previous_->board);
  previous_.reset();
  show(Offer::Kind::None);
  dirty_ = true;
  say = kResumed;
  return true;
}

bool Keeper::takeBack(std::string& say) {
  if (offer_.kind != Offer::Kind::TakeBackWipe || !kept_) return false;
  putBack(*kept_);
  kept_.reset();
  show(Offer::Kind::None);
  dirty_ = true;
  say = kTakenBack;
  return true;
}

Record Keeper::current(double nowMs) const {
  Record r;
  r.savedAtMs = nowMs;
  r.ended = ended_;
  r.board = capture(form_, {});
  if (offer_.kind == Offer::Kind::TakeBackWipe) r.kept = kept_;
  return r;
}

Stored Keeper::store(double nowMs) {
  dirty_ = false;
  return frontend::store(current(nowMs), ink_);
}

std::string Keeper::block(std::string_view name) const {
  if (const std::string* text = ink_.blockNamed(name)) return *text;
  if (kept_)
    if (const std::string* text = kept_->ink.blockNamed(name)) return *text;
  return {};
}

std::string Keeper::record(double nowMs) {
  dirty_ = false;
  Record r = current(nowMs);
  r.board.ink = ink_;
  return write(r);
}

bool Keeper::resume(std::string_view text, std::string& say) {
  std::optional<Record> r = read(text);
  if (!r) return false;
  putBack(r->board);
  kept_ = std::move(r->kept);
  previous_.reset();
  show(kept_ ? Offer::Kind::TakeBackWipe : Offer::Kind::None);
  // The lesson goes on: ended or not before, it is not ended now.
  ended_ = false;
  if (!wipesToItself(r->board))
    say = kResumed;
  else if (kept_)
    say = kWiped;
  return true;
}

Previous Keeper::consider(std::string_view text, double nowMs) {
  std::optional<Record> r = read(text);
  if (!r) return Previous::Unreadable;
  const double age = std::abs(nowMs - r->savedAtMs);
  if (age > kKeepForMs) return Previous::Stale;
  if (age > kOfferForMs) return Previous::Old;
  if (r->ended || r->kept || wipesToItself(r->board)) return Previous::NotOffered;
  // Another tab's board never takes the place of this board's own offer.
  if (offer_.kind == Offer::Kind::TakeBackWipe) return Previous::NotOffered;
  if (!previous_ || r->savedAtMs > previous_->savedAtMs) previous_ = std::move(r);
  show(Offer::Kind::PreviousBoard);
  return Previous::Offered;
}

void Keeper::storage(bool keeps) {
  if (keeps) {
    notice_ = {};
    return;
  }
  notice_ = {kCannotKeep, onWindow(kNoticeOnBoard), offerFont()};
}

}  // namespace frontend
