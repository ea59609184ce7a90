// The display list's items as QPainter calls: the desktop's rasteriser.
#pragma once

#include <QPainter>
#include <QPixmap>
#include <QTransform>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "frontend/items.h"
#include "frontend/pixels.h"

namespace desktop {

// On a painter whose transform puts board pixels where they belong on the widget.
class ItemPainter : public frontend::Rasteriser {
 public:
  ItemPainter();
  // Board pixels from the drawing area's corner, `grid.border` pixels into the widget;
  // device pixels as the core counts them, from the widget's corner.
  // `layoutScale`: the widget's logical pixels per board pixel (1 but in full screen).
  void begin(QPainter* p, const frontend::DeviceGrid& grid, double layoutScale = 1);
  // Work in the device's pixels for a while.
  void inDevicePixels(const std::function<void()>& f);

  void segment(const frontend::SegmentItem& s) override;
  void fill(const frontend::Rect& d, forms::Rgb colour) override;
  void text(const frontend::TextItem& t) override;
  void picture(const frontend::PictureItem& i) override;

 private:
  QPainter* p_ = nullptr;
  frontend::DeviceGrid grid_;
  QTransform board_, device_;
  std::map<std::pair<int, qreal>, QPixmap> texts_;  // each look, drawn once per ratio
  std::map<std::string, std::array<QPixmap, 2>> pictures_;
};

}  // namespace desktop
