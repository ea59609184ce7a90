// A board's pixels as a rasteriser of the display list sets them, on a surface whose
// device pixels are the board's (DeviceGrid{1, 0}), but exactly and alike
// under every clip: a pixel belongs to an item when its centre lies inside the item's
// shape, with no blending. A frame painted only where damaged can then be compared
// with a full repaint pixel for pixel, and any difference is damage the scene missed,
// not antialiasing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "frontend/items.h"
#include "frontend/scene.h"

namespace fuzz {

class Pixels : public frontend::Rasteriser {
 public:
  Pixels(int width, int height);
  Pixels(Pixels&&) = default;
  Pixels& operator=(Pixels&&) = default;
  Pixels(const Pixels&) = delete;
  Pixels& operator=(const Pixels&) = delete;
  ~Pixels();

  // The same pixels, to keep beside these.
  Pixels copy() const;

  // Later items set pixels only inside `r` (and the board).
  void clip(const frontend::Rect& r);
  void set(const frontend::Rect& r, std::uint32_t value);  // a value as at() gives it
  // `from`'s pixels inside `r`, and the clip set to `r`: the ink laid under a rectangle
  // (this model's device pixels are the board's).
  void underlay(const Pixels& from, const frontend::Rect& r);
  // A stroke or a clearing of the ink raster.
  void ink(const frontend::InkStroke& s);

  void segment(const frontend::SegmentItem& s) override;
  void text(const frontend::TextItem& t) override;
  void picture(const frontend::PictureItem& p) override;
  void fill(const frontend::Rect& device, forms::Rgb colour) override;

  // The first pixel where the two differ, or nothing.
  std::optional<frontend::Point> firstDifference(const Pixels& other) const;
  // What the pixel shows: a colour as 0xRRGGBB, or a text's or a picture's look.
  std::uint32_t at(int x, int y) const;

 private:
  void span(int y, double left, double right, std::uint8_t value, bool dotted);
  frontend::Rect bounds() const { return {0, 0, width_, height_}; }

  int width_;
  int height_;
  frontend::Rect clip_;
  // One byte a pixel, naming what it shows (see at): a board's worth is written for
  // every window the fuzzer makes, and a quarter of the memory is a quarter the time.
  std::vector<std::uint8_t> pixels_;
};

}  // namespace fuzz
