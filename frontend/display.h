// What a front end draws: four kinds of item, already placed on whole pixels, in the
// board's drawing-area pixels, and the rules that place the board's controls as items.
// A rasteriser needs nothing else to show the board exactly as every other one does.
#pragma once

#include <string>
#include <vector>

#include "forms/controls.h"
#include "forms/palette.h"
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

// Which font family a caption asks for: each front end knows its platform's fonts.
enum class FontFace { Gothic, Mincho, Dialog };

struct FontChoice {
  std::string stored;  // the family the layout names, asked for first
  FontFace face = FontFace::Dialog;
  int pixelSize = 12;
  bool bold = false;
  friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

// Sizes are in the layout's pixels, taken from points at 96 dpi (21.75 pt is 29 px),
// so the layout is the same on every screen.
FontChoice fontChoice(const forms::FontSpec& font);

// The families to ask for, best first: the stored one, the same design under the name
// Windows gives it, then what each system has in that style (IPA, drawn to the same
// metrics, and Noto CJK JP on Linux, ChromeOS and Android; Hiragino and Yu on Apple
// and newer Windows). Japanese families only, so Japanese never falls to a Chinese
// font's glyph forms.
std::vector<std::string> fontFamilies(const FontChoice& font);

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

// A circle's outline, one layout pixel wide, inside the square `box`. It is set on
// whole device pixels with no blending (see ringPixels), so the eraser's marker is a
// black line on the board at every scale, never a green blur.
struct RingItem {
  Rect box;
  forms::Rgb colour;
  friend bool operator==(const RingItem&, const RingItem&) = default;
};

class Rasteriser {
 public:
  virtual ~Rasteriser() = default;
  virtual void segment(const SegmentItem& s) = 0;
  virtual void text(const TextItem& t) = 0;
  virtual void picture(const PictureItem& p) = 0;
  virtual void ring(const RingItem& r) = 0;
};

// The pixels a control covers: Left to Left + Width - 1 and Top to Top + Height - 1,
// its place rounded once. Drawing and hit testing both take it from here, so a
// picture takes presses exactly where it is drawn.
Rect pixelBox(const forms::Bounds& b);

// How far outside the drawing area a line is kept, so the round ends and the width
// of a line just outside it still show their inner part.
inline constexpr double kClipMargin = 64;
// Room around a stroke of this width for its round ends and antialiased edge.
inline constexpr int strokeMargin(int width) { return width / 2 + 2; }
// Model coordinates count whole pixels from the drawing area's top-left pixel. A line
// of odd width is centred on a pixel's centre, one of even width on its edge, so that
// horizontal and vertical lines cover whole pixel rows and stay sharp.
inline constexpr double pixelOffset(int width) { return width % 2 == 1 ? 0.5 : 0.0; }

// A line control as it is drawn on a board of `boardWidth` x `boardHeight`: cut to the
// board, its offset not yet applied (see drawnSegment). Empty when it shows nothing.
struct PlacedLine {
  Segment whole;  // cut to the board and its margin
  forms::Rgb colour;
  int width = 1;
  bool dotted = false;
  bool slanted = false;
};
bool placeLine(const forms::Line& line, int boardWidth, int boardHeight, PlacedLine& out);

// The item that draws a placed line as far as it reaches into `within`: a slanted line
// only over the part crossing it (with room for its width, so the cut ends fall
// outside), a level or upright one whole. False when nothing of it is there.
bool drawnSegment(const PlacedLine& line, const Rect& within, SegmentItem& out);

// The marker circle of a shape control: the largest circle that fits its box, centred.
RingItem markerOutline(const forms::Shape& shape);

// How many device pixels wide a ring is drawn: one layout pixel, in whole device
// pixels, so it keeps its weight on a scaled screen as every other line does.
int ringThickness(double scale);

// The device pixels of a ring, as rectangles to fill (one or two runs per row), on a
// surface with `scale` device pixels per board pixel whose device pixel (0, 0) is
// board pixel (-border, -border).
std::vector<Rect> ringPixels(const RingItem& ring, double scale, int border);

// A label as a text item.
TextItem textOf(const forms::Label& label);

}  // namespace frontend
