#include "frontend/pixels.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace frontend {

Rect pixelBox(const forms::Bounds& b) {
  // A control dragged a million pixels off the board is as good as anywhere beyond it.
  const double left = std::clamp<double>(std::round(b.Left), -1e6, 1e6);
  const double top = std::clamp<double>(std::round(b.Top), -1e6, 1e6);
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(b.Width),
          static_cast<int>(b.Height)};
}

bool placeLine(const forms::Line& line, int boardWidth, int boardHeight, PlacedLine& out) {
  if (!line.Visible) return false;
  Segment s{line.X1, line.Y1, line.X2, line.Y2};
  if (!clipSegment(s, -kClipMargin, -kClipMargin, boardWidth + kClipMargin,
                   boardHeight + kClipMargin))
    return false;
  out.whole = s;
  out.colour = line.BorderColor;
  out.width = line.BorderWidth;
  out.dotted = line.BorderStyle == forms::LineStyle::Dot;
  // Horizontal and vertical lines already fall on whole pixels and stay crisper
  // without antialiasing; slanted ones need it.
  out.slanted = !(s.x1 == s.x2 || s.y1 == s.y2);
  return true;
}

bool drawnSegment(const PlacedLine& line, const Rect& within, SegmentItem& out) {
  Segment s = line.whole;
  // The rectangle with room for the line's width: beyond it nothing of the line shows.
  const int m = strokeMargin(line.width);
  const double l = within.x - m, t = within.y - m, r = within.right() + m, b = within.bottom() + m;
  // A frame costs what it shows, not the full length of every line crossing it.
  if (line.slanted && !clipSegment(s, l, t, r, b)) return false;
  if (line.dotted && !line.slanted) {
    // The grid's dots near `within` only, one per two pixels: moved on by an even
    // number of pixels, a dotted line keeps its dots where the whole line has them.
    const bool level = s.y1 == s.y2;
    double& a = level ? s.x1 : s.y1;
    double& z = level ? s.x2 : s.y2;
    if (a > z) std::swap(a, z);
    const double lo = level ? l : t, hi = level ? r : b;
    if (z < lo || a > hi) return false;
    if (a < lo) a += 2 * std::floor((lo - a) / 2);
    z = std::min(z, hi);
  }
  auto reaches = [&](double x, double y) { return x >= l && x <= r && y >= t && y <= b; };
  out.ownStart = reaches(line.whole.x1, line.whole.y1);
  out.ownEnd = reaches(line.whole.x2, line.whole.y2);
  const double o = pixelOffset(line.width);
  out.at = {s.x1 + o, s.y1 + o, s.x2 + o, s.y2 + o};
  out.colour = line.colour;
  out.width = line.width;
  out.dotted = line.dotted;
  // Wide lines end round; the grid's hairlines end square, on their last pixel.
  out.cap = line.dotted ? Cap::Flat : (line.width > 1 ? Cap::Round : Cap::Square);
  out.antialiased = line.slanted;
  // A line of no length shows only its round end: a dot, smoothed like any disc.
  if (out.cap == Cap::Round && line.whole.x1 == line.whole.x2 && line.whole.y1 == line.whole.y2)
    out.antialiased = true;
  return true;
}

RingItem markerOutline(const forms::Shape& shape) {
  const Rect box = pixelBox(shape);
  const int d = std::min(box.w, box.h);
  return {{box.x + (box.w - d) / 2, box.y + (box.h - d) / 2, d, d}, shape.BorderColor};
}

int ringThickness(double scale) {
  return std::max(1, static_cast<int>(std::lround(std::min(scale, 64.0))));
}

std::vector<Rect> ringPixels(const RingItem& ring, const DeviceGrid& grid) {
  std::vector<Rect> runs;
  const double scale = grid.scale;
  if (ring.box.empty() || !(scale > 0)) return runs;
  const auto device = [&](int v) { return grid.edge(v); };
  const int left = device(ring.box.x);
  const int top = device(ring.box.y);
  const int size = device(ring.box.x + ring.box.w) - left;
  const double outer = size / 2.0;
  const double inner = outer - ringThickness(scale);
  // A pixel belongs to the disc when its centre does: the outline is the outer disc
  // less the inner one, row by row.
  const auto halfSpan = [](double radius, double dy) {
    const double q = radius * radius - dy * dy;
    return q < 0 ? -1.0 : std::sqrt(q);
  };
  for (int row = 0; row < size; ++row) {
    const double dy = row + 0.5 - outer;
    const double o = halfSpan(outer, dy);
    if (o < 0) continue;
    // Columns whose centres lie within o of the middle: from first to last.
    const int first = static_cast<int>(std::ceil(outer - o - 0.5));
    const int last = static_cast<int>(std::floor(outer + o - 0.5));
    if (last < first) continue;
    const double i = inner > 0 ? halfSpan(inner, dy) : -1.0;
    // Columns strictly inside the inner circle are left out.
    int holeFirst = i < 0 ? last + 1 : static_cast<int>(std::floor(outer - i - 0.5)) + 1;
    int holeLast = i < 0 ? last : static_cast<int>(std::ceil(outer + i - 0.5)) - 1;
    holeFirst = std::max(holeFirst, first);
    holeLast = std::min(holeLast, last);
    if (holeLast < holeFirst) {
      runs.push_back({left + first, top + row, last - first + 1, 1});
    } else {
      if (holeFirst > first) runs.push_back({left + first, top + row, holeFirst - first, 1});
      if (last > holeLast) runs.push_back({left + holeLast + 1, top + row, last - holeLast, 1});
    }
  }
  return runs;
}

TextItem textOf(const forms::Label& label) {
  return {pixelBox(label), label.Caption, fontChoice(label.Font), label.ForeColor, label.BackColor};
}

int DeviceGrid::edge(double v) const { return static_cast<int>(std::lround((v + border) * scale)); }

Rect DeviceGrid::of(const Rect& board) const {
  const int l = edge(board.x), t = edge(board.y);
  return {l, t, edge(board.right()) - l, edge(board.bottom()) - t};
}

bool crispPixels(const SegmentItem& s, const DeviceGrid& grid, std::vector<Rect>& out) {
  if (s.antialiased) return false;
  const double x1 = std::min(s.at.x1, s.at.x2), x2 = std::max(s.at.x1, s.at.x2);
  const double y1 = std::min(s.at.y1, s.at.y2), y2 = std::max(s.at.y1, s.at.y2);
  const bool level = s.at.y1 == s.at.y2;
  if (s.dotted) {
    // Pixels whose centres the line passes, from the first to the last; a dot on the
    // second, the fourth and so on.
    const double from = level ? x1 : y1, to = level ? x2 : y2;
    const int first = static_cast<int>(std::ceil(from - 0.5));
    const int last = static_cast<int>(std::floor(to - 0.5));
    const int across = static_cast<int>(std::floor(level ? s.at.y1 : s.at.x1));
    for (int p = first + 1; p <= last; p += 2)
      out.push_back(grid.of(level ? Rect{p, across, 1, 1} : Rect{across, p, 1, 1}));
    return true;
  }
  // Across, the line's width about its centre; along, to its ends, and half its width
  // beyond them for a square end (a round end is its disc, see crispEnds).
  const double half = s.width / 2.0;
  const double ext = s.cap == Cap::Square ? half : 0;
  const double l = x1 - (s.at.x1 == s.at.x2 ? half : ext),
               r = x2 + (s.at.x1 == s.at.x2 ? half : ext);
  const double t = y1 - (level ? half : ext), b = y2 + (level ? half : ext);
  const int dl = grid.edge(l), dt = grid.edge(t);
  out.push_back({dl, dt, grid.edge(r) - dl, grid.edge(b) - dt});
  return true;
}

std::vector<SegmentItem> crispEnds(const SegmentItem& s) {
  std::vector<SegmentItem> ends;
  if (s.antialiased || s.cap != Cap::Round) return ends;
  auto dot = [&](double x, double y) {
    ends.push_back({{x, y, x, y}, s.colour, s.width, Cap::Round, false, true, true, false});
  };
  if (s.ownStart) dot(s.at.x1, s.at.y1);
  if (s.ownEnd) dot(s.at.x2, s.at.y2);
  return ends;
}

InkRaster inkRaster(const Rect& area, const DeviceGrid& at) {
  const Rect span = at.of(area);
  return {span.w, span.h, at.scale, at.border * at.scale - span.x};
}

Underlay underlayOf(const Rect& within, const Rect& area, const DeviceGrid& surface,
                    const InkRaster& ink) {
  const Rect board = surface.of(area);
  Underlay u;
  u.device = surface.of(within).intersected(board);
  if (u.device.empty() || board.empty()) return u;
  const double kx = static_cast<double>(ink.width) / board.w;
  const double ky = static_cast<double>(ink.height) / board.h;
  u.sourceX = (u.device.x - board.x) * kx;
  u.sourceY = (u.device.y - board.y) * ky;
  u.sourceWidth = u.device.w * kx;
  u.sourceHeight = u.device.h * ky;
  u.smooth = ink.width != board.w || ink.height != board.h;
  return u;
}

}  // namespace frontend
