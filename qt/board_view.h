// The board widget: hands Qt's mouse events to the front-end core, keeps the ink in a
// raster at the scale the core keeps it at, and paints the core's display list over
// the damaged rectangles, at most once per refresh of the screen.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "frontend/frame_pacer.h"
#include "frontend/presenter.h"

namespace view {

class ItemPainter;

class BoardView : public QWidget {
 public:
  BoardView(frontend::Presenter& core, QWidget* parent);
  ~BoardView() override;

  // After an event: a frame asked for, never more than one refresh interval later.
  void sync();
  QRegion takeFrame();  // the core's frame (its ink into the raster), as the region to repaint
  void flushFrame();    // takes the frame and asks Qt to paint it now

  // The ink as it stands, at the scale the core keeps it at (for tests and benchmarks).
  const QImage& inkRaster() const { return ink_; }

  // Runs after every pointer event the board hands to the core, with its outcome.
  std::function<void(const frontend::Outcome&)> onInput;

 protected:
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
  QRect innerRect() const;
  void report(frontend::Phase phase, const QMouseEvent* event);
  frontend::PointerEvent pointerEvent(const QMouseEvent* event) const;
  void ensureInkRaster();

  frontend::Presenter& core_;
  std::unique_ptr<ItemPainter> painter_;
  QImage ink_;
  frontend::InkRaster inkRaster_;
  frontend::FramePacer pacer_;
  QElapsedTimer clock_;
  QTimer frameTimer_;
};

}  // namespace view
