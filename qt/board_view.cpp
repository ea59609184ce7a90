#include "qt/board_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <optional>

#include "qt/colours.h"
#include "qt/item_painter.h"
#include "qt/keyboard.h"

namespace view {

namespace {

unsigned buttonsOf(Qt::MouseButtons buttons) {
  return ((buttons & Qt::LeftButton) ? frontend::kLeft : 0U) |
         ((buttons & Qt::RightButton) ? frontend::kRight : 0U) |
         ((buttons & Qt::MiddleButton) ? frontend::kMiddle : 0U);
}

}  // namespace

BoardView::BoardView(frontend::Presenter& core, QWidget* parent)
    : QWidget(parent), core_(core), painter_(std::make_unique<ItemPainter>()) {
  const frontend::Rect box = core.scene.boxOnWindow();
  setGeometry(box.x, box.y, box.w, box.h);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted; nothing to erase first
  setMouseTracking(true);                 // moves without a button reach the board
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QString::fromUtf8(frontend::ToolRow::kBoardName));
  setAccessibleDescription(QString::fromUtf8(frontend::ToolRow::kBoardDescription));
  if (const QScreen* sc = screen()) pacer_.setRefreshRate(sc->refreshRate());
  clock_.start();
  frameTimer_.setSingleShot(true);
  frameTimer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&frameTimer_, &QTimer::timeout, this, [this] { flushFrame(); });
}

BoardView::~BoardView() = default;

QRect BoardView::innerRect() const {
  const frontend::Rect a = core_.scene.area();
  return QRect(a.x, a.y, a.w, a.h).translated(core_.scene.borderWidth(), core_.scene.borderWidth());
}

frontend::PointerEvent BoardView::pointerEvent(const QMouseEvent* event) const {
  const QPointF p = event->position() - QPointF(innerRect().topLeft());
  const Qt::KeyboardModifiers m = event->modifiers();
  return {
      p.x(),
      p.y(),
      buttonsOf(event->button()),
      buttonsOf(event->buttons()),
      {(m & Qt::ShiftModifier) != 0, (m & Qt::ControlModifier) != 0, (m & Qt::AltModifier) != 0},
      0,
      frontend::PointerKind::Mouse,
      static_cast<double>(event->timestamp())};
}

void BoardView::mousePressEvent(QMouseEvent* event) { report(frontend::Phase::Down, event); }
void BoardView::mouseMoveEvent(QMouseEvent* event) { report(frontend::Phase::Move, event); }
void BoardView::mouseReleaseEvent(QMouseEvent* event) { report(frontend::Phase::Up, event); }

void BoardView::keyPressEvent(QKeyEvent* event) {
  const std::optional<frontend::Key> key = keyOf(event->key(), event->modifiers());
  if (!key) return QWidget::keyPressEvent(event);
  const frontend::Outcome outcome = core_.boardKey(*key);
  if (onInput) onInput(outcome);
  if (!outcome.keyTaken) QWidget::keyPressEvent(event);
}

void BoardView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  const bool byKeys = event->reason() != Qt::MouseFocusReason &&
                      event->reason() != Qt::ActiveWindowFocusReason;
  if (onInput) onInput(core_.boardFocus(byKeys));
}

void BoardView::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (onInput) onInput(core_.boardFocus(false));
}

void BoardView::report(frontend::Phase phase, const QMouseEvent* event) {
  const frontend::Outcome outcome = core_.pointer(phase, pointerEvent(event));
  if (onInput) onInput(outcome);
}

void BoardView::ensureInkRaster() {
  const double scale = core_.scene.keepInkFor(devicePixelRatioF());
  const frontend::InkRaster raster = core_.scene.inkRasterAt(scale);
  if (!ink_.isNull() && raster == inkRaster_) return;
  // The raster carries the scale the core keeps the writing at, so it stays sharp at
  // 150 % or 200 %, and after a move to a coarser screen and back. When that scale
  // grows, the writing so far is carried over, scaled.
  QImage fresh(raster.width, raster.height, QImage::Format_RGB32);
  fresh.setDevicePixelRatio(scale);
  fresh.fill(toQColor(core_.scene.background()));
  if (!ink_.isNull()) {
    QPainter p(&fresh);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(0, 0, raster.width / scale, raster.height / scale), ink_);
  }
  ink_ = std::move(fresh);
  inkRaster_ = raster;
}

void BoardView::sync() {
  if (const auto wait = pacer_.afterChange(clock_.elapsed()); wait == 0)
    flushFrame();
  else if (wait)
    frameTimer_.start(static_cast<int>(*wait));
}

QRegion BoardView::takeFrame() {
  ensureInkRaster();
  // The ink the model drew since the last frame goes into the raster first, so the
  // frame repaints where it lies.
  std::optional<QPainter> painter;
  const double k = inkRaster_.scale, at = inkRaster_.origin / k;
  const std::vector<frontend::Rect> damage = core_.scene.frame([&](const frontend::InkStroke& ink) {
    if (!painter) {
      painter.emplace(&ink_);
      painter->setRenderHint(QPainter::Antialiasing);
      painter->translate(at, at);
    }
    const frontend::SegmentItem& s = ink.stroke;
    if (ink.clear) {
      painter->fillRect(QRectF(-at, -at, ink_.width() / k, ink_.height() / k), toQColor(s.colour));
      return;
    }
    // A true round cap and join here, where strokes meet stroke upon stroke.
    painter->setPen(QPen(toQColor(s.colour), s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->drawLine(QPointF(s.at.x1, s.at.y1), QPointF(s.at.x2, s.at.y2));
  });
  QRegion dirty;
  const int b = core_.scene.borderWidth();
  for (const frontend::Rect& r : damage) dirty += QRect(r.x + b, r.y + b, r.w, r.h);
  return dirty;
}

void BoardView::flushFrame() {
  frameTimer_.stop();
  const QRegion dirty = takeFrame();
  pacer_.frameTaken(clock_.elapsed(), !dirty.isEmpty());
  if (!dirty.isEmpty()) update(dirty);
}

void BoardView::paintEvent(QPaintEvent* event) {
  ensureInkRaster();
  QPainter p(this);
  const int b = core_.scene.borderWidth();
  const frontend::DeviceGrid grid{devicePixelRatioF(), b};
  painter_->begin(&p, grid);
  std::vector<frontend::Rect> damage;
  for (const QRect& r : event->region())
    damage.push_back({r.x() - b, r.y() - b, r.width(), r.height()});
  core_.scene.paintDamage(damage, *painter_, grid, inkRaster_, [&](const frontend::Underlay& u) {
    painter_->inDevicePixels([&] {
      const QRect at(u.device.x, u.device.y, u.device.w, u.device.h);
      p.setClipRect(at);
      p.setRenderHint(QPainter::SmoothPixmapTransform, u.smooth);
      p.drawImage(at, ink_, QRectF(u.sourceX, u.sourceY, u.sourceWidth, u.sourceHeight));
    });
  });
}

}  // namespace view
