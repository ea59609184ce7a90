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
  return true;
}

EllipseItem markerOutline(const forms::Shape& shape) {
  const double d = std::min(shape.Width, shape.Height);
  const Rect box = pixelBox(shape);
  return {box.x + (shape.Width - d) / 2 + 0.5,
          box.y + (shape.Height - d) / 2 + 0.5,
          d - 1,
          d - 1,
          shape.BorderColor,
          1};
}

TextItem textOf(const forms::Label& label) {
  return {pixelBox(label), label.Caption, fontChoice(label.Font), label.ForeColor, label.BackColor};
}

}  // namespace frontend
