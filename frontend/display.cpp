#include "frontend/display.h"

#include <algorithm>
#include <cmath>

namespace frontend {

namespace {
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr int kDialogPixelSize = 12;  // 9 pt
}  // namespace

FontChoice fontChoice(const forms::FontSpec& font) {
  if (font.Name.empty()) return {"", FontFace::Dialog, kDialogPixelSize, font.Bold};
  FontFace face = FontFace::Dialog;
  if (font.Name.find("明朝") != std::string::npos) face = FontFace::Mincho;
  if (font.Name.find("ゴシック") != std::string::npos) face = FontFace::Gothic;
  return {font.Name, face, static_cast<int>(std::lround(font.SizePt * kPixelsPerPoint)), font.Bold};
}

std::vector<std::string> fontFamilies(const FontChoice& font) {
  // After the Windows names, IPA (drawn to the same metrics) and Noto CJK JP, then
  // Apple's and the newer Windows families: a system without a family pays a lookup
  // for it, and Linux and ChromeOS boards are the slowest machines in a school.
  if (font.face == FontFace::Dialog) {
    return {"MS UI Gothic", "IPAPGothic", "Noto Sans CJK JP", "Yu Gothic UI", "Meiryo UI",
            "Hiragino Sans"};
  }
  std::vector<std::string> families{font.stored};
  if (font.face == FontFace::Mincho) {
    for (const char* f : {"MS PMincho", "IPAPMincho", "IPAMincho", "Noto Serif CJK JP",
                          "Hiragino Mincho ProN", "Yu Mincho"})
      families.emplace_back(f);
  } else {
    for (const char* f : {"MS PGothic", "IPAPGothic", "IPAGothic", "Noto Sans CJK JP",
                          "Hiragino Sans", "Hiragino Kaku Gothic ProN", "Yu Gothic", "Meiryo"})
      families.emplace_back(f);
  }
  return families;
}

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

std::vector<Rect> ringPixels(const RingItem& ring, double scale, int border) {
  std::vector<Rect> runs;
  if (ring.box.empty() || !(scale > 0)) return runs;
  const auto device = [&](int v) { return static_cast<int>(std::lround((v + border) * scale)); };
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

}  // namespace frontend
