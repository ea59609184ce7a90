// The board widget: hands Qt's mouse, touch and tablet events to the front-end core as
// what they are, keeps the ink in a raster at the scale the core keeps it at, and
// paints the core's display list over the damaged rectangles, at most once per
// refresh of the screen, at any scale the window is laid out at.
#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QRegion>
#include <QTabletEvent>
#include <QTimer>
#include <QTouchEvent>
#include <QWidget>
#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "frontend/fit.h"
#include "frontend/frame_pacer.h"
#include "frontend/ink_rasters.h"
#include "frontend/presenter.h"

namespace desktop {

class ItemPainter;

class BoardView : public QWidget {
 public:
  BoardView(frontend::Presenter& core, QWidget* parent);
  ~BoardView() override;

  // After an event: a frame asked for, never more than one refresh interval later.
  void sync();
  QRegion takeFrame();  // the core's frame (its ink into the raster), as the region to repaint
  void flushFrame();    // takes the frame and asks Qt to paint it now

  // The ink as it stands, at the scale of the surface shown (for tests and benchmarks).
  const QImage& inkRaster() const { return ink_.front(); }

  // The window laid out at `scale` logical pixels per layout pixel (full screen):
  // the board is drawn at that scale and positions on it map back.
  void setLayoutScale(double scale);

  // Runs after every pointer event the board hands to the core, with its outcome.
  std::function<void(const frontend::Outcome&)> onInput;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Keys on the board draw a straight line in its mode; the keyboard's point shows
  // for a focus the keyboard gave.
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void report(frontend::Phase phase, const QMouseEvent* event);
  // A pointer at `at` on the widget, to the core.
  void report(frontend::Phase phase, QPointF at, const QInputEvent* event,
              frontend::PointerKind kind, int pointer, unsigned button, unsigned held);
  void hand(const frontend::Outcome& outcome);  // to onInput
  bool touch(QTouchEvent* event);
  bool tablet(QTabletEvent* event);
  // Which device pixels a surface has per board pixel, with the screen's own.
  frontend::DeviceGrid grid() const;
  void ensureInkRaster();

  frontend::Presenter& core_;
  frontend::DeviceGrid surface_;  // the widget's own pixels against the board's
  std::unique_ptr<ItemPainter> painter_;
  // The ink, an image for each raster the core keeps: two, one for the window and one
  // for full screen, so that each shows its writing as if it had never left it.
  frontend::InkRasters rasters_;
  std::list<QImage> ink_;  // in the order of rasters_.kept()
  frontend::FramePacer pacer_;
  QElapsedTimer clock_;
  QTimer frameTimer_;
};

}  // namespace desktop
