#include "fuzz/pixels.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>

namespace fuzz {

namespace {

using frontend::Rect;

std::uint32_t colourValue(forms::Rgb c) {
  return (static_cast<std::uint32_t>(c.r) << 16) | (static_cast<std::uint32_t>(c.g) << 8) | c.b;
}

// Texts and pictures are told apart from colours and from each other by their look.
constexpr std::uint32_t kTextTag = 0x01000000;
constexpr std::uint32_t kPictureTag = 0x02000000;

// A boundary a hair wider than exact: the two halves of a line cut at different
// places work out its direction to slightly different last bits, and a pixel centre
// lying exactly on the edge must not flip between them.
constexpr double kHair = 1e-7;

// The x values for which lo <= a * x + b <= hi, narrowed into [left, right].
void narrow(double a, double b, double lo, double hi, double& left, double& right) {
  if (std::abs(a) < 1e-12) {
    if (b < lo - kHair || b > hi + kHair) right = left - 1;
    return;
  }
  double x1 = (lo - kHair - b) / a;
  double x2 = (hi + kHair - b) / a;
  if (x1 > x2) std::swap(x1, x2);
  left = std::max(left, x1);
  right = std::min(right, x2);
}

// A segment as the pixels it covers are worked out from: its ends, how far its edge
// lies from the line, its direction, and what its caps add at either end.
struct Band {
  double ax, ay, bx, by;
  double r;  // from the line to the edge, half a pixel more where antialiased
  double length;
  double ux, uy;            // along the line, from a
  double startCap, endCap;  // how far a square cap stands out beyond its end
  bool square;
  bool roundStart, roundEnd;  // a disc at the end: a round cap of the line's own, or a dot
};

Band bandOf(const frontend::SegmentItem& s) {
  using frontend::Cap;
  Band b{};
  b.r = s.width / 2.0 + (s.antialiased ? 0.5 : 0.0);
  b.ax = s.at.x1;
  b.ay = s.at.y1;
  b.bx = s.at.x2;
  b.by = s.at.y2;
  const double dx = b.bx - b.ax, dy = b.by - b.ay;
  b.length = std::hypot(dx, dy);
  b.ux = b.length > 0 ? dx / b.length : 1;
  b.uy = b.length > 0 ? dy / b.length : 0;
  b.square = s.cap == Cap::Square;
  b.startCap = s.ownStart && b.square ? b.r : 0;
  b.endCap = s.ownEnd && b.square ? b.r : 0;
  const bool round = s.cap == Cap::Round;
  b.roundStart = round && (s.ownStart || b.length == 0);
  b.roundEnd = round && (s.ownEnd || b.length == 0);
  return b;
}

// The centres of one row the band covers, from left to right: none when left > right.
struct Row {
  double left = -1e300, right = 1e300;
  // Joins the disc of radius r about (px, py) to the row at height cy.
  void disc(double r, double px, double py, double cy) {
    const double q = r * r - (cy - py) * (cy - py);
    if (q < 0) return;
    const double h = std::sqrt(q) + kHair;
    if (left > right) {
      left = px - h;
      right = px + h;
    } else {
      left = std::min(left, px - h);
      right = std::max(right, px + h);
    }
  }
};

Row rowOf(const Band& b, double cy) {
  Row row;
  if (b.length > 0) {
    // Along the line from a, and across it.
    narrow(b.ux, (cy - b.ay) * b.uy - b.ax * b.ux, -b.startCap, b.length + b.endCap, row.left,
           row.right);
    narrow(-b.uy, (cy - b.ay) * b.ux + b.ax * b.uy, -b.r, b.r, row.left, row.right);
  } else if (b.square && std::abs(cy - b.ay) <= b.r + kHair) {
    row.left = b.ax - b.r - kHair;
    row.right = b.ax + b.r + kHair;
  } else {
    row.left = 1;
    row.right = 0;
  }
  if (b.roundStart) row.disc(b.r, b.ax, b.ay, cy);
  if (b.roundEnd) row.disc(b.r, b.bx, b.by, cy);
  return row;
}

// Boards given back, to be used again: a fuzzer makes a window for every input, and a
// new board's worth of memory costs more than the input's events.
std::vector<std::vector<std::uint8_t>>& spare() {
  static thread_local std::vector<std::vector<std::uint8_t>> boards;
  return boards;
}

std::vector<std::uint8_t> blank(std::size_t size) {
  auto& boards = spare();
  if (boards.empty() || size == 0) return std::vector<std::uint8_t>(size, 0);
  std::vector<std::uint8_t> board = std::move(boards.back());
  boards.pop_back();
  board.assign(size, 0);
  return board;
}

// What each pixel byte shows, in the order first seen: the same for every board, so
// that two boards compare byte for byte.
std::vector<std::uint32_t>& shown() {
  static thread_local std::vector<std::uint32_t> values{0};
  return values;
}

std::uint8_t byteFor(std::uint32_t value) {
  auto& values = shown();
  for (std::size_t i = 0; i < values.size(); ++i)
    if (values[i] == value) return static_cast<std::uint8_t>(i);
  if (values.size() > 255) throw std::length_error("more than 256 looks on one board");
  values.push_back(value);
  return static_cast<std::uint8_t>(values.size() - 1);
}

}  // namespace

std::uint32_t Pixels::at(int x, int y) const {
  return shown()[pixels_[static_cast<std::size_t>(y) * width_ + x]];
}

Pixels::Pixels(int width, int height)
    : width_(width),
      height_(height),
      clip_(bounds()),
      pixels_(blank(static_cast<std::size_t>(width) * height)) {}

Pixels::~Pixels() {
  if (!pixels_.empty() && spare().size() < 4) spare().push_back(std::move(pixels_));
}

Pixels Pixels::copy() const {
  Pixels out(width_, height_);
  out.clip_ = clip_;
  out.pixels_ = pixels_;
  return out;
}

void Pixels::clip(const Rect& r) { clip_ = r.intersected(bounds()); }

void Pixels::set(const Rect& r, std::uint32_t look) {
  const Rect in = r.intersected(clip_);
  const std::uint8_t value = byteFor(look);
  for (int y = in.y; y < in.bottom(); ++y)
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + in.x, in.w, value);
}

void Pixels::underlay(const Pixels& from, const Rect& r) {
  clip(r);
  for (int y = clip_.y; y < clip_.bottom(); ++y) {
    const auto row = static_cast<std::ptrdiff_t>(y) * width_ + clip_.x;
    std::copy_n(from.pixels_.begin() + row, clip_.w, pixels_.begin() + row);
  }
}

void Pixels::ink(const frontend::InkStroke& s) {
  clip(bounds());
  if (s.clear)
    set(bounds(), colourValue(s.stroke.colour));
  else
    segment(s.stroke);
}

// The pixels of row y whose centres lie from left to right.
void Pixels::span(int y, double left, double right, std::uint8_t value, bool dotted) {
  if (y < clip_.y || y >= clip_.bottom() || !(left <= right)) return;
  const double first = std::max(std::ceil(left - 0.5), static_cast<double>(clip_.x));
  const double last = std::min(std::floor(right - 0.5), static_cast<double>(clip_.right() - 1));
  for (int x = static_cast<int>(first); x <= static_cast<int>(last); ++x)
    if (!dotted || (x + y) % 2 == 0) pixels_[static_cast<std::size_t>(y) * width_ + x] = value;
}

void Pixels::segment(const frontend::SegmentItem& s) {
  const std::uint8_t value = byteFor(colourValue(s.colour));
  const Band band = bandOf(s);
  const double reach = band.r + std::max(band.startCap, band.endCap) + 1;
  const int top = static_cast<int>(std::floor(std::min(band.ay, band.by) - reach));
  const int bottom = static_cast<int>(std::ceil(std::max(band.ay, band.by) + reach));
  for (int y = std::max(top, clip_.y); y <= std::min(bottom, clip_.bottom() - 1); ++y) {
    const Row row = rowOf(band, y + 0.5);
    span(y, row.left, row.right, value, s.dotted);
  }
}

void Pixels::text(const frontend::TextItem& t) {
  set(t.box, kTextTag | (static_cast<std::uint32_t>(t.look) & 0xffffff));
}

void Pixels::picture(const frontend::PictureItem& p) {
  set(p.box,
      kPictureTag | (static_cast<std::uint32_t>(std::hash<std::string>{}(p.key)) & 0xffffff));
}

void Pixels::fill(const Rect& device, forms::Rgb colour) { set(device, colourValue(colour)); }

std::optional<frontend::Point> Pixels::firstDifference(const Pixels& other) const {
  if (pixels_ == other.pixels_) return std::nullopt;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (at(x, y) != other.at(x, y))
        return frontend::Point{static_cast<double>(x), static_cast<double>(y)};
  return std::nullopt;
}

}  // namespace fuzz
