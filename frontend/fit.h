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
};

// A surface the board is drawn on at `scale` surface pixels per board pixel, its
// border included, surface (0, 0) at board (-border, -border): how a toolkit's widget
// and the board's pixels stand to each other, for positions and for repaints.
struct BoardSurface {
  double scale = 1;
  int border = 0;

  Point toBoard(double x, double y) const { return {x / scale - border, y / scale - border}; }
  // The surface pixels a rectangle of board pixels touches, and the board pixels a
  // rectangle of surface pixels touches: nothing of a repaint is lost at the edges.
  Rect toSurface(const Rect& board) const {
    return alignedRect((board.x + border) * scale, (board.y + border) * scale,
                       (board.right() + border) * scale, (board.bottom() + border) * scale);
  }
  Rect fromSurface(const Rect& surface) const {
    return alignedRect(surface.x / scale - border, surface.y / scale - border,
                       surface.right() / scale - border, surface.bottom() / scale - border);
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
  const auto onDevicePixels = [pixelRatio](double v) { return std::round(v * pixelRatio) / pixelRatio; };
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
