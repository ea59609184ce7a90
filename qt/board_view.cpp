#include "qt/board_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTabletEvent>
#include <QTouchEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

#include "qt/colours.h"
#include "qt/item_painter.h"
#include "qt/keyboard.h"

namespace desktop {

namespace {

unsigned buttonsOf(Qt::MouseButtons buttons) {
  return ((buttons & Qt::LeftButton) ? frontend::kLeft : 0U) |
         ((buttons & Qt::RightButton) ? frontend::kRight : 0U) |
         ((buttons & Qt::MiddleButton) ? frontend::kMiddle : 0U);
}

// A button the core does not know, which it drops: a pen's eraser end.

// Each kind of pointer has ids of its own, so that a finger never passes for the
// mouse or the pen.
constexpr int kMousePointer = 0;
constexpr int kPenPointer = 1;
int touchPointer(int id) { return 2 + (id & 0x3fffffff); }

bool isTablet(QInputDevice::DeviceType type) {
  using T = QInputDevice::DeviceType;
  return type == T::Stylus || type == T::Airbrush || type == T::Puck;
}

}  // namespace

BoardView::BoardView(frontend::Presenter& core, QWidget* parent)
    : QWidget(parent),
      core_(core),
      surface_{1, core.scene.borderWidth()},
      painter_(std::make_unique<ItemPainter>()),
      rasters_(core.scene, 2) {
  const frontend::Rect box = core.scene.boxOnWindow();
  setGeometry(box.x, box.y, box.w, box.h);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted; nothing to erase first
  // Fingers come as touches, not as a mouse Qt makes of the first of them.
  setAttribute(Qt::WA_AcceptTouchEvents);
  setMouseTracking(true);  // moves without a button reach the board
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

void BoardView::setLayoutScale(double scale) {
  if (scale == surface_.scale) return;
  surface_.scale = scale;
  update();
}

frontend::DeviceGrid BoardView::grid() const {
  return {devicePixelRatioF() * surface_.scale, surface_.border};
}

frontend::PointerEvent BoardView::pointerEvent(QPointF at, const QInputEvent* event) const {
  const frontend::Point p = surface_.toBoard(at.x(), at.y());
  frontend::PointerEvent e;
  e.x = p.x;
  e.y = p.y;
  e.modifiers = modifiersOf(event->modifiers());
  e.timeMs = static_cast<double>(event->timestamp());
  return e;
}

void BoardView::mousePressEvent(QMouseEvent* event) { report(frontend::Phase::Down, event); }
void BoardView::mouseMoveEvent(QMouseEvent* event) { report(frontend::Phase::Move, event); }
void BoardView::mouseReleaseEvent(QMouseEvent* event) { report(frontend::Phase::Up, event); }

void BoardView::report(frontend::Phase phase, const QMouseEvent* event) {
  // What Qt or the system made of a touch or a pen the board has had as itself.
  const QInputDevice::DeviceType type = event->device()->type();
  if (type == QInputDevice::DeviceType::TouchScreen || isTablet(type)) return;
  frontend::PointerEvent e = pointerEvent(event->position(), event);
  e.button = buttonsOf(event->button());
  e.held = buttonsOf(event->buttons());
  e.pointer = kMousePointer;
  report(phase, e);
}

void BoardView::report(frontend::Phase phase, const frontend::PointerEvent& e) {
  const frontend::Outcome outcome = core_.pointer(phase, e);
  if (onInput) onInput(outcome);
}

bool BoardView::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
      return touch(static_cast<QTouchEvent*>(event));
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      tablet(static_cast<QTabletEvent*>(event));
      return true;
    default:
      return QWidget::event(event);
  }
}

bool BoardView::touch(QTouchEvent* event) {
  // A touchpad's fingers are no places on the board: they move the mouse.
  if (event->device()->type() != QInputDevice::DeviceType::TouchScreen) {
    event->ignore();
    return false;
  }
  event->accept();
  if (event->type() == QEvent::TouchCancel) {
    // The system took the fingers (a gesture of its own): each gesture ends.
    frontend::PointerEvent e = pointerEvent({}, event);
    e.kind = frontend::PointerKind::Touch;
    for (const int id : std::exchange(touches_, {})) {
      e.pointer = touchPointer(id);
      report(frontend::Phase::Cancel, e);
    }
    return true;
  }
  for (const QEventPoint& point : event->points()) {
    frontend::Phase phase;
    switch (point.state()) {
      case QEventPoint::State::Pressed:
        phase = frontend::Phase::Down;
        break;
      case QEventPoint::State::Updated:
        phase = frontend::Phase::Move;
        break;
      case QEventPoint::State::Released:
        phase = frontend::Phase::Up;
        break;
      default:
        continue;  // a finger held still
    }
    if (phase == frontend::Phase::Down) {
      touches_.insert(point.id());
      setFocus(Qt::MouseFocusReason);  // as a press of the mouse gives it
    } else if (phase == frontend::Phase::Up) {
      touches_.erase(point.id());
    }
    frontend::PointerEvent e = pointerEvent(point.position(), event);
    e.button = phase == frontend::Phase::Move ? frontend::kNoButton : frontend::kLeft;
    e.held = phase == frontend::Phase::Up ? frontend::kNoButton : frontend::kLeft;
    e.pointer = touchPointer(point.id());
    e.kind = frontend::PointerKind::Touch;
    report(phase, e);
  }
  return true;
}

void BoardView::tablet(QTabletEvent* event) {
  event->accept();  // no mouse is made of it
  frontend::PointerEvent e = pointerEvent(event->position(), event);
  const bool eraser = event->pointerType() == QPointingDevice::PointerType::Eraser;
  e.button = eraser && event->button() != Qt::NoButton ? frontend::kOtherButton
                                                       : buttonsOf(event->button());
  e.held = eraser && event->buttons() != Qt::NoButton ? frontend::kOtherButton
                                                      : buttonsOf(event->buttons());
  e.pointer = kPenPointer;
  e.kind = frontend::PointerKind::Pen;
  frontend::Phase phase = frontend::Phase::Move;  // a pen above the board, or one drawing
  if (event->type() == QEvent::TabletPress) {
    phase = frontend::Phase::Down;
    setFocus(Qt::MouseFocusReason);
  } else if (event->type() == QEvent::TabletRelease) {
    phase = frontend::Phase::Up;
  }
  report(phase, e);
}

void BoardView::keyPressEvent(QKeyEvent* event) {
  const std::optional<frontend::Key> key = keyOf(event->key());
  if (!key) return QWidget::keyPressEvent(event);
  const frontend::Outcome outcome = core_.boardKey(*key, modifiersOf(event->modifiers()));
  if (onInput) onInput(outcome);
  if (!outcome.keyTaken) QWidget::keyPressEvent(event);
}

void BoardView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  const bool byKeys =
      event->reason() != Qt::MouseFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
  if (onInput) onInput(core_.boardFocus(byKeys));
}

void BoardView::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (onInput) onInput(core_.boardFocus(false));
}

void BoardView::ensureInkRaster() {
  const frontend::InkRasters::Step step = rasters_.show(grid().scale);
  if (step.same) return;
  if (step.kept >= 0) {
    ink_.splice(ink_.begin(), ink_, std::next(ink_.begin(), step.kept));
    return;
  }
  const frontend::InkRaster& want = step.raster;
  QImage fresh(want.width, want.height, QImage::Format_RGB32);
  fresh.setDevicePixelRatio(want.scale);
  fresh.fill(toQColor(core_.scene.background()));
  if (step.carryFrom >= 0) {
    QPainter p(&fresh);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(0, 0, want.width / want.scale, want.height / want.scale),
                *std::next(ink_.begin(), step.carryFrom));
  }
  if (step.dropLast) ink_.pop_back();
  ink_.push_front(std::move(fresh));
}

void BoardView::sync() {
  if (const auto wait = pacer_.afterChange(clock_.elapsed()); wait == 0)
    flushFrame();
  else if (wait)
    frameTimer_.start(static_cast<int>(*wait));
}

QRegion BoardView::takeFrame() {
  ensureInkRaster();
  // The ink the model drew since the last frame goes into the rasters first, so the
  // frame repaints where it lies.
  std::vector<std::optional<QPainter>> inkPainters(ink_.size());
  const std::vector<frontend::Rect> damage = core_.scene.frame([&](const frontend::InkStroke& ink) {
    const frontend::SegmentItem& s = ink.stroke;
    std::size_t i = 0;
    for (QImage& image : ink_) {
      const frontend::InkRaster& raster = rasters_.kept()[i];
      const double k = raster.scale, at = raster.origin / k;
      std::optional<QPainter>& painter = inkPainters[i++];
      if (!painter) {
        painter.emplace(&image);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(at, at);
      }
      if (ink.clear) {
        painter->fillRect(QRectF(-at, -at, image.width() / k, image.height() / k),
                          toQColor(s.colour));
        continue;
      }
      // A true round cap and join here, where strokes meet stroke upon stroke.
      painter->setPen(
          QPen(toQColor(s.colour), s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter->drawLine(QPointF(s.at.x1, s.at.y1), QPointF(s.at.x2, s.at.y2));
    }
  });
  QRegion dirty;
  for (const frontend::Rect& r : damage) {
    const frontend::Rect on = surface_.touching(r);
    dirty += QRect(on.x, on.y, on.w, on.h);
  }
  return dirty;
}

void BoardView::flushFrame() {
  frameTimer_.stop();
  const QRegion dirty = takeFrame();
  pacer_.frameTaken(clock_.elapsed(), !dirty.isEmpty());
  if (!dirty.isEmpty()) update(dirty);
  // Writing that came back whole is drawn over the frames it takes.
  if (core_.scene.hasInk()) sync();
}

void BoardView::paintEvent(QPaintEvent* event) {
  ensureInkRaster();
  QPainter p(this);
  const frontend::DeviceGrid grid = this->grid();
  painter_->begin(&p, grid, surface_.scale);
  std::vector<frontend::Rect> damage;
  for (const QRect& r : event->region())
    damage.push_back(surface_.touchedBy({r.x(), r.y(), r.width(), r.height()}));
  const QImage& ink = ink_.front();
  core_.scene.paintDamage(
      damage, *painter_, grid, rasters_.kept().front(), [&](const frontend::Underlay& u) {
        painter_->inDevicePixels([&] {
          const QRect at(u.device.x, u.device.y, u.device.w, u.device.h);
          p.setClipRect(at);
          p.setRenderHint(QPainter::SmoothPixmapTransform, u.smooth);
          p.drawImage(at, ink, QRectF(u.sourceX, u.sourceY, u.sourceWidth, u.sourceHeight));
        });
      });
}

}  // namespace desktop
