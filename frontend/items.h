// What a front end draws: the display list's items and the rasteriser that takes them.
// Strokes, texts and pictures come in the board's drawing-area pixels; whatever must be
// crisp (level and upright lines, the grid's dots, the eraser's ring) comes already in
// the device pixels of the surface painted. A rasteriser needs nothing else to show
// the board exactly as every other one does.
#pragma once

#include <string>

#include "forms/palette.h"
#include "frontend/fonts.h"
#include "frontend/geometry.h"

namespace frontend {

enum class Cap { Flat, Square, Round };

// A straight stroke. Its ends are where the pen's centre runs, pixel offsets applied.
struct SegmentItem {
  Segment at;
  forms::Rgb colour;
  int width = 1;
  Cap cap = Cap::Square;
  bool dotted = false;  // one pixel on, one off
  bool antialiased = false;
  // Whether each end is the line's own end, or a cut where the line goes on beyond
  // the rectangle being painted: only an own end shows its cap.
  bool ownStart = true;
  bool ownEnd = true;
  friend bool operator==(const SegmentItem&, const SegmentItem&) = default;
};

// A caption on an opaque box, left and top aligned.
struct TextItem {
  Rect box;
  std::string caption;
  FontChoice font;
  forms::Rgb fore;
  forms::Rgb back;
  // The same for every text that looks the same (caption, font, colours and size),
  // wherever it stands: a name only ever moves, so a rasteriser may draw each look
  // once and copy it.
  int look = 0;
  friend bool operator==(const TextItem&, const TextItem&) = default;
};

// One of the program's pictures, by name, filling `box`.
struct PictureItem {
  std::string key;
  Rect box;
  friend bool operator==(const PictureItem&, const PictureItem&) = default;
};

// Each picture is drawn at 1x and at 2x: which to show where each board pixel takes
// `scale` device pixels. The finer one only where it has pixels to fill, so a 1x
// screen shows the picture exactly as drawn.
inline int pictureScale(double scale) { return scale > 1 ? 2 : 1; }

class Rasteriser {
 public:
  virtual ~Rasteriser() = default;
  // An antialiased stroke: a slanted line, or a round end (a stroke of no length).
  // A round cap is a disc at each of the item's own ends, beside a flat-ended stroke.
  virtual void segment(const SegmentItem& s) = 0;
  // Whole device pixels of the surface, in one colour, unblended.
  virtual void fill(const Rect& device, forms::Rgb colour) = 0;
  // The look drawn once at the surface's resolution and copied as drawn, never
  // smoothed, wherever it stands.
  virtual void text(const TextItem& t) = 0;
  // The picture at pictureScale's drawing, scaled smoothly to its box.
  virtual void picture(const PictureItem& p) = 0;
};

}  // namespace frontend
