// Which rasters of the ink a front end keeps, at which scales, and how the writing
// carries over from one to the next, decided once for every front end. A front end
// declares how many it can keep (its memory: one canvas on a tablet, two images on a
// desktop), keeps its images in the same order as this list, and does what each
// step says.
#pragma once

#include <cstddef>
#include <vector>

#include "frontend/pixels.h"
#include "frontend/scene.h"

namespace frontend {

class InkRasters {
 public:
  // `most` 1: one raster, at the finest scale the board has been shown at, so writing
  // made small and large again stays sharp (the page: a second canvas the size of a
  // 4K board would cost a tablet too much). More: one for each surface shown lately,
  // each at its own scale, every stroke drawn into each, so a window that comes back
  // from full screen shows its writing pixel for pixel as it was.
  InkRasters(const BoardScene& scene, std::size_t most) : scene_(scene), most_(most) {}

  // What a front end does to its images when the board is shown at `scale` device
  // pixels per board pixel, in this order: nothing when `raster` is already first;
  // else the image at `kept` moves to the front; else a new image of `raster` is
  // made, the writing carried over (scaled) from the image at `carryFrom` (if any),
  // the last image dropped when `dropLast`, and the new one put first.
  struct Step {
    InkRaster raster;
    bool same = false;
    int kept = -1;
    int carryFrom = -1;
    bool dropLast = false;
  };
  Step show(double scale);

  // The rasters kept, the one painted with first.
  const std::vector<InkRaster>& kept() const { return kept_; }

  // The scale a raster for a surface of `shownScale` is kept at: that one, but never
  // more than kMostCanvasPixels in all (a tablet's canvas memory).
  double scaleFor(double shownScale) const;

 private:
  const BoardScene& scene_;
  std::size_t most_;
  std::vector<InkRaster> kept_;
};

}  // namespace frontend
