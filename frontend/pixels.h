// The rules that put the board on pixels: where a control's box falls, how a line
// control becomes a stroke, and, on a surface of any scale, which whole device pixels
// a crisp line, a dot of the grid or the eraser's ring covers, and how the ink raster
// lies under a rectangle. Every front end follows them, so the board is alike in all.
#pragma once

#include <vector>

#include "forms/controls.h"
#include "frontend/geometry.h"
#include "frontend/items.h"

namespace frontend {

// The pixels a control covers: Left to Left + Width - 1 and Top to Top + Height - 1,
// its place rounded once. Drawing and hit testing both take it from here, so a
// picture takes presses exactly where it is drawn.
Rect pixelBox(const forms::Bounds& b);

// A label as a text item.
TextItem textOf(const forms::Label& label);

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

// The stroke that draws a placed line as far as it reaches into `within`: a slanted
// line only over the part crossing it (with room for its width, so the cut ends fall
// outside), a level or upright one whole. False when nothing of it is there.
bool drawnSegment(const PlacedLine& line, const Rect& within, SegmentItem& out);

// A surface's pixels against the board's: `scale` surface pixels per board pixel, and
// surface pixel (0, 0) at board pixel (-border, -border): a board's canvas or a
// widget's backing store in device pixels, or the widget itself in its own, with the
// board's border. Two roundings: to draw, edges go to the nearest pixel edge (`of`);
// to repaint, a rectangle grows to every pixel it touches (`touching`, `touchedBy`).
struct DeviceGrid {
  double scale = 1;
  int border = 0;
  // The edge between device pixels nearest a board coordinate.
  int edge(double v) const;
  // The device pixels a rectangle of board pixels covers, edge to edge: rectangles
  // that meet share their edge instead of each blending half a device pixel of it.
  Rect of(const Rect& board) const;
  // A surface position as a board position.
  Point toBoard(double x, double y) const { return {x / scale - border, y / scale - border}; }
  // The surface pixels a rectangle of board pixels touches, and the board pixels a
  // rectangle of surface pixels touches: nothing of a repaint is lost at the edges.
  Rect touching(const Rect& board) const {
    return alignedRect((board.x + border) * scale, (board.y + border) * scale,
                       (board.right() + border) * scale, (board.bottom() + border) * scale);
  }
  Rect touchedBy(const Rect& surface) const {
    return alignedRect(surface.x / scale - border, surface.y / scale - border,
                       surface.right() / scale - border, surface.bottom() / scale - border);
  }
};

// The device pixels a stroke that needs no antialiasing covers, as rectangles: a level
// or upright line, whole (its round ends aside, see crispEnds), or the grid's dots,
// one on every other whole pixel from the line's second. False for a stroke that must
// be antialiased.
bool crispPixels(const SegmentItem& s, const DeviceGrid& grid, std::vector<Rect>& out);
// The round ends of such a line, each a stroke of no length at an own end.
std::vector<SegmentItem> crispEnds(const SegmentItem& s);

// A circle's outline, one layout pixel wide, inside the square `box`.
struct RingItem {
  Rect box;
  forms::Rgb colour;
  friend bool operator==(const RingItem&, const RingItem&) = default;
};
// The marker circle of a shape control: the largest circle that fits its box, centred.
RingItem markerOutline(const forms::Shape& shape);
// How many device pixels wide a ring is drawn: one layout pixel, in whole device
// pixels, so it keeps its weight on a scaled screen as every other line does.
int ringThickness(double scale);
// The device pixels of a ring, as rectangles to fill (one or two runs per row): set
// with no blending, the eraser's marker is a black line on the board at every scale,
// never a green blur.
std::vector<Rect> ringPixels(const RingItem& ring, const DeviceGrid& grid);

// Some browsers stop drawing a canvas of more device pixels than this (iOS Safari's
// limit); a 4K screen at twice the density would pass it.
inline constexpr double kMostCanvasPixels = 16777216;

// The persistent raster the ink is drawn into, at `scale` device pixels per board
// pixel: as many pixels as the drawing area covers on a surface of that scale (with
// the board's border), and the raster pixel board coordinate (0, 0) falls at.
struct InkRaster {
  int width = 0;
  int height = 0;
  double scale = 1;
  double origin = 0;  // board (v, v) is raster pixel (v * scale + origin) on both axes
  friend bool operator==(const InkRaster&, const InkRaster&) = default;
};
InkRaster inkRaster(const Rect& area, const DeviceGrid& at);

// The ink laid under a damaged rectangle: the device pixels it covers (the clip, and
// where the ink goes), the part of the raster that goes there, and whether it must be
// scaled smoothly (the raster is finer than the surface).
struct Underlay {
  Rect device;
  double sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
  bool smooth = false;
};
// The board's device pixels map onto the raster's whole, edge to edge: at a finer ink
// scale the two round their edges differently, and a source past the raster's edge
// would leave the board's last column unpainted.
Underlay underlayOf(const Rect& within, const Rect& area, const DeviceGrid& surface,
                    const InkRaster& ink);

}  // namespace frontend
