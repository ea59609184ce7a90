// A frame as one list of numbers, for a front end on the far side of a costly boundary
// (the page's script, across from the wasm): the ink to add to its raster, then each
// damaged rectangle's underlay and what is painted over it, in order. The front end
// reads it once a frame and replays it; strings (a look's caption and font, a
// picture's key) cross once each, the first time they are used, never per frame.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "frontend/items.h"
#include "frontend/pixels.h"
#include "frontend/scene.h"

namespace frontend {

// Each command is its code followed by its numbers; colours are 0xRRGGBB.
enum class DrawOp {
  // x, y, w, h (device pixels), sourceX, sourceY, sourceWidth, sourceHeight, smooth:
  // clip to the rectangle and lay the ink under it (Underlay).
  Underlay = 0,
  // x1, y1, x2, y2, colour, width, cap (Cap), ownStart, ownEnd.
  Segment = 1,
  // x, y, w, h (device pixels), colour.
  Fill = 2,
  // look, x, y, w, h: the look's caption as lookDefined handed it over.
  Text = 3,
  // picture, scale (pictureScale), x, y, w, h: the picture as pictureNamed named it.
  Picture = 4,
  // colour: the ink raster cleared to it.
  InkClear = 5,
  // x1, y1, x2, y2, colour, width: a stroke into the ink raster.
  InkSegment = 6,
};

class DrawList final : public Rasteriser {
 public:
  // The ink strokes of a frame (InkClear or InkSegment), as BoardScene::frame hands them.
  void ink(const InkStroke& stroke);
  // A damaged rectangle's underlay, as BoardScene::paintDamage hands it.
  void underlay(const Underlay& u);

  void segment(const SegmentItem& s) override;
  void fill(const Rect& device, forms::Rgb colour) override;
  void text(const TextItem& t) override;
  void picture(const PictureItem& p) override;

  // The surface the list is painted for: which of each picture's drawings it takes.
  double scale = 1;

  const std::vector<double>& numbers() const { return numbers_; }
  // Looks (a text of each, valid until the scene's next frame) and pictures (by their
  // numbers) met for the first time since the last clear: the front end learns them
  // before it replays the list.
  const std::vector<const TextItem*>& newLooks() const { return newLooks_; }
  const std::vector<int>& newPictures() const { return newPictures_; }
  const std::string& pictureKey(int picture) const {
    return pictures_[static_cast<std::size_t>(picture)];
  }
  // Ready for the next frame; looks and pictures once handed over stay known.
  void clear();

 private:
  void op(DrawOp code, std::initializer_list<double> values);

  std::vector<double> numbers_;
  std::vector<char> lookKnown_;
  std::vector<std::string> pictures_;  // by number
  std::vector<const TextItem*> newLooks_;
  std::vector<int> newPictures_;
};

}  // namespace frontend
