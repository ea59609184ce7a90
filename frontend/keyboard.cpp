#include "frontend/keyboard.h"

#include <algorithm>
#include <cmath>

namespace frontend {

namespace {

using app::Form1;

bool level(Part part) { return app::isLevel(part); }

const char* nameOf(Part part) {
  switch (part) {
    case Part::P:
      return "直線 p";
    case Part::Q:
      return "直線 q";
    case Part::UpperEndL:
      return "直線 ℓ の上の端";
    case Part::UpperEndM:
      return "直線 m の上の端";
    case Part::CopyOfL:
      return "ℓ を平行移動した直線";
  }
  return "";
}

// Board pixels as squares of the grid, to one decimal. (Not printf's: its float
// formatting adds about 7 KB to the page's wasm.)
std::string squares(double pixels) {
  const double tenths = std::round(pixels / Keyboard::kSquare * 10);
  if (!std::isfinite(tenths) || std::abs(tenths) > 1e12) return "?";
  const auto n = static_cast<long long>(std::abs(tenths));
  std::string out = tenths < 0 ? "-" : "";
  out += std::to_string(n / 10);
  out += '.';
  out += std::to_string(n % 10);
  return out;
}
void place(forms::Line& line, double x1, double y1, double x2, double y2, bool shown) {
  forms::setEnds(line, x1, y1, x2, y2);
  line.Visible = shown;
}

}  // namespace

Keyboard::Keyboard(Form1& form)
    : form_(form),
      width_(form.gamen.innerWidth()),
      height_(form.gamen.innerHeight()),
      x_(width_ / 2),
      y_(height_ / 2) {
  for (forms::Line& line : overlay_) {
    line.BorderColor = kBoxColour;
    line.BorderWidth = 2;
    line.Visible = false;
  }
  follow();
}

bool Keyboard::hold(Part part) {
  release();
  if (!form_.inFigureMode()) return false;
  app::holdPart(form_, part);
  held_ = part;
  follow();
  return true;
}

bool Keyboard::release() {
  if (!held_) return false;
  // The keys were said with the part on this visit: the next visits go without them.
  taught_[static_cast<std::size_t>(*held_)] = true;
  held_.reset();
  if (form_.inFigureMode()) app::releasePart(form_);
  follow();
  return true;
}

double Keyboard::limit(Part part) const { return level(part) ? height_ : width_; }

double Keyboard::whereOnBoard(Part part) const { return app::placeOf(form_, part); }

// A level line's value grows as it rises, as a slider's does when moved up.
double Keyboard::value(Part part) const {
  return level(part) ? height_ - whereOnBoard(part) : whereOnBoard(part);
}

bool Keyboard::extensionShown(Part part) const { return app::extensionShown(form_, part); }

std::string Keyboard::valueText(Part part) const {
  const char* from = level(part)             ? "上から "
                     : part == Part::CopyOfL ? "q の上で左から "
                                             : "左から ";
  std::string text = from + squares(whereOnBoard(part)) + " マス";
  // The state Enter changes is the upper end's to show, as its value is.
  if (extensionShown(part)) text += "、延長を表示中";
  return text;
}

Slider Keyboard::slider(Part part) const {
  return {nameOf(part),    value(part),     0,          limit(part), kStep,
          valueText(part), keysWords(part), level(part)};
}

Keyboard::Stamp Keyboard::stamp(Part part) const {
  const auto i = static_cast<std::size_t>(part);
  return {value(part),
          (form_.inFigureMode() ? 1 : 0) | (taught_[i] ? 2 : 0) | (extensionShown(part) ? 4 : 0)};
}

void Keyboard::step(Part part, double by) {
  // Within the board: the step shrinks at its edge, and none is taken past it.
  const double from = value(part);
  const double to = std::clamp(from + by, 0.0, limit(part));
  const double d = to - from;
  if (d == 0) return;
  // A level line's value grows as it rises: the model's y falls.
  app::movePart(form_, part, level(part) ? -d : d);
}

KeyResult Keyboard::partKey(Part part, Key key) {
  // Escape goes back to the board in every mode, held or not.
  if (key == Key::Escape) {
    release();
    return {true, true, true, {}, {}};
  }
  if (held_ != part && !hold(part)) return {};
  double by = 0;
  switch (key) {
    case Key::Up:
      by = kStep;
      break;
    case Key::Down:
      by = -kStep;
      break;
    case Key::PageUp:
      by = kPage;
      break;
    case Key::PageDown:
      by = -kPage;
      break;
    // A level line moves only up and down; a side key is still the slider's, or the
    // platform would move it by its own step.
    case Key::Right:
      by = level(part) ? 0 : kStep;
      break;
    case Key::Left:
      by = level(part) ? 0 : -kStep;
      break;
    case Key::Enter:
    case Key::Space:
      if (part == Part::UpperEndL || part == Part::UpperEndM) {
        app::toggleExtension(form_, part);
        follow();
        return {true, true, false, extensionShown(part) ? kExtensionShown : kExtensionHidden, {}};
      }
      return {};
    case Key::Escape:
    case Key::Where:
      return {};
  }
  const double before = value(part);
  step(part, by);
  follow();
  const bool moved = value(part) != before;
  return {true, by != 0, false, {}, moved || by != 0 ? whereWords(part) : std::string()};
}

KeyResult Keyboard::slideTo(Part part, double to) {
  if (held_ != part && !hold(part)) return {};
  if (!std::isfinite(to)) return {true, false, false, {}, {}};
  const double before = value(part);
  // In steps no longer than an arrow's, so that every rule of a drag holds on the way.
  double left = to - before;
  while (std::abs(left) > 0) {
    const double by = std::clamp(left, -kStep, kStep);
    step(part, by);
    left -= by;
  }
  follow();
  const bool moved = value(part) != before;
  return {true, moved, false, {}, moved ? whereWords(part) : std::string()};
}

void Keyboard::lineTo(double x, double y) {
  x_ = std::clamp(x, 0.0, width_);
  y_ = std::clamp(y, 0.0, height_);
  if (drawing_)
    form_.gamen_MouseMove(Form1::kLeftButton, 0, static_cast<forms::Single>(x_),
                          static_cast<forms::Single>(y_));
}

KeyResult Keyboard::boardKey(Key key) {
  if (form_.board.LineMode != 1 && !drawing_) return {};
  boardFocused_ = true;  // a key on the board: the keyboard is in use, its point shows
  KeyResult r{true, true, false, {}, {}};
  switch (key) {
    case Key::Up:
      lineTo(x_, y_ - kStep);
      break;
    case Key::Down:
      lineTo(x_, y_ + kStep);
      break;
    case Key::Left:
      lineTo(x_ - kStep, y_);
      break;
    case Key::Right:
      lineTo(x_ + kStep, y_);
      break;
    case Key::PageUp:
      lineTo(x_, y_ - kPage);
      break;
    case Key::PageDown:
      lineTo(x_, y_ + kPage);
      break;
    case Key::Enter:
    case Key::Space:
      if (drawing_) {
        r.say = lineDrawn();
      } else {
        const int slot = form_.board.LineSlot;
        form_.gamen_MouseDown(Form1::kLeftButton, 0, static_cast<forms::Single>(x_),
                              static_cast<forms::Single>(y_));
        drawing_ = form_.board.LineDrawing == 1;
        if (drawing_) {
          fromX_ = x_, fromY_ = y_, drawingLine_ = slot;
          r.say = "直線 " + std::to_string(slot) + " を引き始めました。" + lineEnds(x_, y_) +
                  "から。矢印キーでもう一方の端を動かし、Enter で止めます";
        }
      }
      follow();
      return r;
    case Key::Escape:
      if (!drawing_) return {};
      r.say = lineDrawn();
      follow();
      return r;
    case Key::Where:
      r.reached = false;
      r.say = crossWords();
      return r;
  }
  follow();
  r.afterPause = crossWords();
  return r;
}

std::string Keyboard::lineDrawn() {
  const int line = drawingLine_;
  finishLine();
  std::string words = "直線 " + std::to_string(line) + " を引きました。" +
                      lineEnds(fromX_, fromY_) + "から" + lineEnds(x_, y_) +
                      "まで。チェックボックス 直線 " + std::to_string(line) + " に印が付きました";
  // The fifth line ends the mode as its release does.
  if (form_.board.LineMode != 1) words += "。直線は 5 本とも引いたので、直線モードを終えました";
  return words;
}

bool Keyboard::finishLine() {
  if (!drawing_) return false;
  drawing_ = false;
  form_.gamen_MouseUp(Form1::kLeftButton, 0, static_cast<forms::Single>(x_),
                      static_cast<forms::Single>(y_));
  follow();
  return true;
}

void Keyboard::boardFocused(bool focused) {
  boardFocused_ = focused;
  follow();
}

void Keyboard::pointerAt(double x, double y) {
  if (drawing_ || !(x >= 0 && x <= width_ && y >= 0 && y <= height_)) return;
  x_ = x;
  y_ = y;
}

std::string Keyboard::keysWords(Part part) const {
  if (!form_.inFigureMode())
    return "メモか直線を使っているあいだは動かせません。Esc で黒板に戻ります。";
  if (taught_[static_cast<std::size_t>(part)]) return "";
  std::string words = level(part) ? "上下の矢印キーで " : "左右の矢印キーで ";
  words += squares(kStep) + " マス、PageUp と PageDown で 1 マス動きます。";
  if (part == Part::UpperEndL || part == Part::UpperEndM)
    words += "Enter で上への延長を表示、もう一度で消します。";
  return words + "Esc で黒板に戻ります。";
}

std::string Keyboard::lineEnds(double x, double y) const {
  return "左から " + squares(x) + " マス、上から " + squares(y) + " マス";
}

std::string Keyboard::crossWords() const {
  if (drawing_) return "直線 " + std::to_string(drawingLine_) + " の端は" + lineEnds(x_, y_);
  return "十字は" + lineEnds(x_, y_);
}

std::string Keyboard::whereWords(Part part) const {
  return std::string(nameOf(part)) + "、" + slider(part).valueText;
}

std::string Keyboard::description() const {
  const app::FigurePlaces f = app::placesOf(form_);
  auto length = [](double x1, double y1, double x2, double y2) {
    return squares(std::hypot(x2 - x1, y2 - y1));
  };
  return "直線 p は上から " + squares(f.lineP) + " マス、q は " + squares(f.lineQ) +
         " マス、r は " + squares(f.lineR) + " マス。" + "左から、A は " + squares(f.a) +
         " マス、B は " + squares(f.b) + " マス、C は " + squares(f.c) + " マス、A ダッシュ は " +
         squares(f.aPrime) + " マス、B ダッシュ は " + squares(f.bPrime) + " マス、C ダッシュ は " +
         squares(f.cPrime) + " マス。長さは、AB が " + length(f.a, f.lineP, f.b, f.lineQ) +
         " マス、BC が " + length(f.b, f.lineQ, f.c, f.lineR) + " マス、A ダッシュ B ダッシュ が " +
         length(f.aPrime, f.lineP, f.bPrime, f.lineQ) + " マス、B ダッシュ C ダッシュ が " +
         length(f.bPrime, f.lineQ, f.cPrime, f.lineR) + " マス。";
}

void Keyboard::follow() {
  if (drawing_ && form_.board.LineDrawing != 1) drawing_ = false;
  // A hold the model has let go of (a right press rebuilt the figure, a mode began)
  // is no hold.
  if (held_ && !form_.inFigureMode()) held_.reset();
  const app::PartBox box = held_ ? app::boxOf(form_, *held_) : app::PartBox{};
  const double cx = box.x, cy = box.y, hw = box.halfWidth, hh = box.halfHeight;
  const bool boxed = held_.has_value();
  place(overlay_[0], cx - hw, cy - hh, cx + hw, cy - hh, boxed);
  place(overlay_[1], cx + hw, cy - hh, cx + hw, cy + hh, boxed);
  place(overlay_[2], cx + hw, cy + hh, cx - hw, cy + hh, boxed);
  place(overlay_[3], cx - hw, cy + hh, cx - hw, cy - hh, boxed);
  const bool cross = boardFocused_ && (form_.board.LineMode == 1 || drawing_);
  place(overlay_[4], x_ - 7, y_, x_ + 7, y_, cross);
  place(overlay_[5], x_, y_ - 7, x_, y_ + 7, cross);
}

}  // namespace frontend
