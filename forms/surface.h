// The drawing surface of a picture box: its pen width, clearing, and straight
// segments in a colour. Drawing is recorded as commands; the front end drains them
// into its ink raster after every event, so the model never holds the writing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

#include "forms/controls.h"
#include "forms/numbers.h"
#include "forms/palette.h"

namespace forms {

enum class ScaleMode { Twips, Pixels };

struct InkCommand {
  enum class Kind { Clear, Segment };
  Kind kind = Kind::Segment;
  Single x1 = 0;
  Single y1 = 0;
  Single x2 = 0;
  Single y2 = 0;
  Rgb colour;
  int width = 1;
  friend bool operator==(const InkCommand&, const InkCommand&) = default;
};

class DrawingSurface : public Bounds {
 public:
  Rgb BackColor = kWhite;
  // Pixels of border on each side; the drawing area lies inside it.
  int BorderPixels = 2;
  ScaleMode scaleMode = ScaleMode::Twips;
  int DrawWidth = 1;

  Single innerWidth() const { return Width - 2.0F * static_cast<Single>(BorderPixels); }
  Single innerHeight() const { return Height - 2.0F * static_cast<Single>(BorderPixels); }

  // Erases all drawing. Commands not yet drained are dropped: they would be wiped.
  void Cls() {
    pending_.clear();
    record(InkCommand{InkCommand::Kind::Clear, 0, 0, 0, 0, {}, 0});
  }

  // A straight segment in `colour` at the current DrawWidth.
  void Line(Single x1, Single y1, Single x2, Single y2, Rgb colour) {
    record(InkCommand{InkCommand::Kind::Segment, x1, y1, x2, y2, colour, DrawWidth});
  }

  // Told of every command as it is drawn, whoever drains them: whatever keeps the
  // writing beyond the front end's raster.
  std::function<void(const InkCommand&)> drawn;

  const std::vector<InkCommand>& pending() const { return pending_; }
  // Room for `more` commands before the next drain (a board's writing drawn again).
  void reserve(std::size_t more) { pending_.reserve(pending_.size() + more); }

  // Hands every pending command to `f` in order and forgets them.
  template <class F>
  void drain(F&& f) {
    for (const InkCommand& c : pending_) f(c);
    pending_.clear();
  }
  // The same for the first `most` of them; whether any are left for the next.
  template <class F>
  bool drain(F&& f, std::size_t most) {
    const std::size_t n = std::min(most, pending_.size());
    for (std::size_t i = 0; i < n; ++i) f(pending_[i]);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
    return !pending_.empty();
  }

 private:
  void record(const InkCommand& c) {
    pending_.push_back(c);
    if (drawn) drawn(c);
  }
  std::vector<InkCommand> pending_;
};

}  // namespace forms
