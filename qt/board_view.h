// The board: paints gamen from the model (board green, the ink raster, then the
// controls inside it) and hands the mouse to the model.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"

namespace view {

class BoardView : public QWidget {
 public:
  BoardView(app::Form1& form, QWidget* parent);

  // Called after the model has handled an event: draws the new ink into the raster
  // at once and asks for a frame. Frames follow the display: at most one per refresh
  // interval, never more than one interval after the event.
  void sync();

  // Brings what is shown in line with the model and returns the region that must be
  // repainted for it: bands along the old and new places of every moved line, the
  // old and new boxes of moved names, pictures and the marker, and the new ink.
  QRegion takeFrame();
  // Takes the frame and asks Qt to paint it now.
  void flushFrame();

  // The ink as it stands, at the device's resolution (for tests and benchmarks).
  const QImage& inkRaster() const { return ink_; }

  // Runs after every press and release the board hands to the model.
  std::function<void()> afterInput;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  template <class T>
  struct Tracked {
    const T* control;
    T shown;        // the control as the screen shows it
    QRegion area;   // where it is painted, in widget pixels; empty when invisible
  };

  QRect innerRect() const;
  // The pointer in the drawing area's pixels.
  QPointF toBoard(const QPointF& widgetPos) const;
  // The topmost visible line-name picture under a point of the drawing area, or -1.
  int pictureAt(const QPointF& boardPos) const;
  void ensureInkRaster();
  void drawInk(const forms::InkCommand& c, QPainter& painter, QRect& dirty);
  template <class T>
  void track(std::vector<Tracked<T>>& list, QRegion& dirty);
  void scheduleFrame();

  QRegion areaOf(const forms::Line& l) const;
  QRect boundsOf(const forms::Bounds& b, bool visible) const;
  QRegion areaOf(const forms::Label& l) const { return boundsOf(l, l.Visible); }
  QRegion areaOf(const forms::Image& i) const { return boundsOf(i, i.Visible); }
  QRegion areaOf(const forms::Shape& s) const;
  const QFont& fontOf(const forms::FontSpec& wanted) const;
  const QPixmap& labelPixmap(const forms::Label& l) const;

  // Paints one rectangle of the board (widget pixels), bottom to top.
  void paintRect(QPainter& p, const QRect& r) const;
  // Each paints its control, as far as it lies in `within` (drawing-area pixels).
  void paintLine(QPainter& p, const forms::Line& l, const QRect& within) const;
  void paintLabel(QPainter& p, const forms::Label& l, const QRect& within) const;
  void paintImage(QPainter& p, const forms::Image& i, const QRect& within) const;
  void paintShape(QPainter& p, const forms::Shape& s, const QRect& within) const;
  void paintBorder(QPainter& p) const;

  app::Form1& form_;
  QImage ink_;
  // Where new ink has gone since the last frame.
  QRect inkDirty_;
  QTimer frameTimer_;
  QElapsedTimer sinceFrame_;
  int frameIntervalMs_ = 16;
  mutable std::vector<std::pair<forms::FontSpec, QFont>> fonts_;
  struct CachedLabel {
    std::string caption;
    forms::FontSpec font;
    forms::Rgb fore, back;
    float width, height;
    QPixmap pixmap;
  };
  // A deque keeps each cached picture where it is while more are added.
  mutable std::deque<CachedLabel> labelPixmaps_;
  // A picture that took a press: it gets the release (a click when the pointer is
  // still over it), and the board sees nothing of that press.
  int pressedPicture_ = -1;
  // The last pointer position the board handed to the model.
  std::optional<QPointF> lastPosition_;
  // Stacking order, bottom to top: ink, grid, point names, line-name pictures, the
  // figure's lines, the straight lines, the eraser marker. A name's opaque box touches
  // its transversal, so the names lie under the lines, which stay whole; the straight
  // lines are the teacher's marks over the figure, so nothing of it may hide them; the
  // marker shows where the eraser acts, so it is on top of all.
  std::vector<Tracked<forms::Line>> gridLines_;
  std::vector<Tracked<forms::Label>> labels_;
  std::vector<Tracked<forms::Image>> images_;
  std::vector<Tracked<forms::Line>> figureLines_;
  std::vector<Tracked<forms::Line>> upperLines_;
  std::vector<Tracked<forms::Shape>> shapes_;
  // Each picture at 1x and 2x, so it stays crisp on a scaled screen.
  std::map<std::string, std::array<QPixmap, 2>> pictures_;
};

}  // namespace view
