#include "frontend/ink_rasters.h"

#include <algorithm>
#include <cmath>

namespace frontend {

double InkRasters::scaleFor(double shownScale) const {
  const double most =
      std::sqrt(kMostCanvasPixels / (static_cast<double>(scene_.width()) * scene_.height()));
  return shownScale > 0 ? std::min(shownScale, most) : 1;
}

InkRasters::Step InkRasters::show(double scale) {
  // (A surface not laid out yet keeps what is there.)
  double at = scale > 0 || kept_.empty() ? scaleFor(scale) : kept_.front().scale;
  // One raster only grows finer: going back to a coarser screen keeps the sharp one.
  if (most_ == 1 && !kept_.empty()) at = std::max(at, kept_.front().scale);
  Step step;
  step.raster = scene_.inkRasterAt(at);
  const auto found = std::find(kept_.begin(), kept_.end(), step.raster);
  if (found == kept_.begin() && found != kept_.end()) {
    step.same = true;
    return step;
  }
  if (found != kept_.end()) {
    step.kept = static_cast<int>(found - kept_.begin());
    std::rotate(kept_.begin(), found, found + 1);
    return step;
  }
  const auto finest =
      std::max_element(kept_.begin(), kept_.end(),
                       [](const InkRaster& a, const InkRaster& b) { return a.scale < b.scale; });
  if (finest != kept_.end()) step.carryFrom = static_cast<int>(finest - kept_.begin());
  step.dropLast = kept_.size() >= std::max<std::size_t>(most_, 1);
  if (step.dropLast) kept_.pop_back();
  kept_.push_back(step.raster);
  std::rotate(kept_.begin(), kept_.end() - 1, kept_.end());
  return step;
}

}  // namespace frontend
