// The whole window scaled to fill a screen of any size: a classroom board of 4K, a
// laptop of 1366 x 768. The layout keeps its own pixels, scaled as one; the board's
// canvas is backed by as many device pixels as it covers, so it stays sharp.
#pragma once

#include <algorithm>
#include <cmath>

#include "frontend/geometry.h"
#include "frontend/pixels.h"

namespace frontend {

struct Fit {
  double scale = 1;  // viewport pixels per layout pixel
  double left = 0;   // where the window's top-left corner stands in the viewport
  double top = 0;
  // The board's canvas (its border included): in device pixels, and device pixels per
  // layout pixel on it; and where it stands in the viewport, on whole device pixels,
  // so that each of its pixels is one of the screen's.
  int canvasWidth = 0;
  int canvasHeight = 0;
  double canvasScale = 1;
  Point canvasAt;
  double canvasCssWidth = 0;
  double canvasCssHeight = 0;

  // A viewport position (CSS pixels) as a position on the board's drawing area.
  Point toBoard(double x, double y, const Rect& boardOnWindow, int border) const {
    return {(x - left) / scale - boardOnWindow.x - border,
            (y - top) / scale - boardOnWindow.y - border};
  }
  // A viewport position as a position in the layout (the window's own pixels).
  Point toLayout(double x, double y) const { return {(x - left) / scale, (y - top) / scale}; }
  // A box of the layout (a control's, in window pixels) in the viewport, edges on the
  // nearest whole pixels, so that boxes that meet in the layout still meet.
  Rect onViewport(const Rect& box) const {
    const auto at = [](double v) { return static_cast<int>(std::lround(v)); };
    const int l = at(left + box.x * scale), t = at(top + box.y * scale);
    return {l, t, at(left + box.right() * scale) - l, at(top + box.bottom() * scale) - t};
  }
  // A font of `pixels` layout pixels, as many viewport pixels as the scale gives it.
  int fontPixels(int pixels) const {
    return std::max(1, static_cast<int>(std::lround(pixels * scale)));
  }
  // The board's canvas for a toolkit whose widgets stand on whole viewport pixels, at
  // `pixelRatio` device pixels to one: where canvasAt puts it, as wide and high as the
  // board's box scaled, each to the viewport pixel whose device edge is nearest.
  Rect canvasOnWholePixels(const Rect& boardOnWindow, double pixelRatio) const {
    const auto whole = [pixelRatio](double v) {
      return static_cast<int>(static_cast<double>(std::lround(v * pixelRatio)) / pixelRatio);
    };
    return {whole(canvasAt.x), whole(canvasAt.y), whole(boardOnWindow.w * scale),
            whole(boardOnWindow.h * scale)};
  }
};

// Scales the window uniformly to fit a `viewportWidth` x `viewportHeight` viewport
// with `pixelRatio` device pixels per viewport pixel, centred in it.
inline Fit fitWindow(double viewportWidth, double viewportHeight, double pixelRatio,
                     int windowWidth, int windowHeight, const Rect& boardOnWindow) {
  Fit f;
  if (!(viewportWidth > 0 && viewportHeight > 0)) return f;  // not laid out yet
  if (!(pixelRatio > 0)) pixelRatio = 1;
  f.scale = std::min(viewportWidth / windowWidth, viewportHeight / windowHeight);
  // Centred, on whole device pixels: a window edge that falls inside a device pixel is
  // blended with the margin, and not alike in every browser (one blends a column,
  // one snaps it, one blends only part of it, and a seam shows down the edge).
  const auto onDevicePixels = [pixelRatio](double v) {
    return std::round(v * pixelRatio) / pixelRatio;
  };
  f.left = onDevicePixels((viewportWidth - windowWidth * f.scale) / 2);
  f.top = onDevicePixels((viewportHeight - windowHeight * f.scale) / 2);
  const double area = static_cast<double>(boardOnWindow.w) * boardOnWindow.h;
  f.canvasScale = std::min(f.scale * pixelRatio, std::sqrt(kMostCanvasPixels / area));
  f.canvasWidth = static_cast<int>(std::ceil(boardOnWindow.w * f.canvasScale));
  f.canvasHeight = static_cast<int>(std::ceil(boardOnWindow.h * f.canvasScale));
  if (static_cast<double>(f.canvasWidth) * f.canvasHeight > kMostCanvasPixels) {
    f.canvasWidth = static_cast<int>(std::floor(boardOnWindow.w * f.canvasScale));
    f.canvasHeight = static_cast<int>(std::floor(boardOnWindow.h * f.canvasScale));
  }
  f.canvasAt = {std::round((f.left + boardOnWindow.x * f.scale) * pixelRatio) / pixelRatio,
                std::round((f.top + boardOnWindow.y * f.scale) * pixelRatio) / pixelRatio};
  // Past the pixel limit the browser stretches a smaller canvas over the board.
  const bool capped = f.canvasScale < f.scale * pixelRatio;
  f.canvasCssWidth = capped ? boardOnWindow.w * f.scale : f.canvasWidth / pixelRatio;
  f.canvasCssHeight = capped ? boardOnWindow.h * f.scale : f.canvasHeight / pixelRatio;
  return f;
}

}  // namespace frontend
