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

void BoardView::report(frontend::Phase phase, QPointF at, const QInputEvent* event,
                       frontend::PointerKind kind, int pointer, unsigned button, unsigned held) {
  const frontend::Point p = surface_.toBoard(at.x(), at.y());
  frontend::PointerEvent e{p.x, p.y, button, held, modifiersOf(event->modifiers()), pointer, kind};
  e.timeMs = static_cast<double>(event->timestamp());
  if (onInput) onInput(core_.pointer(phase, e));
}

void BoardView::mousePressEvent(QMouseEvent* event) { report(frontend::Phase::Down, event); }
void BoardView::mouseMoveEvent(QMouseEvent* event) { report(frontend::Phase::Move, event); }
void BoardView::mouseReleaseEvent(QMouseEvent* event) { report(frontend::Phase::Up, event); }

void BoardView::report(frontend::Phase phase, const QMouseEvent* event) {
  // What Qt or the system made of a touch or a pen the board has had as itself.
  const QInputDevice::DeviceType type = event->device()->type();
  if (type == QInputDevice::DeviceType::TouchScreen || isTablet(type)) return;
  report(phase, event->position(), event, frontend::PointerKind::Mouse, kMousePointer,
         buttonsOf(event->button()), buttonsOf(event->buttons()));
}

void BoardView::hand(const frontend::Outcome& outcome) {
  if (onInput) onInput(outcome);
}

bool BoardView::event(QEvent* event) {
  if (auto* touchEvent = dynamic_cast<QTouchEvent*>(event)) return touch(touchEvent);
  if (auto* tabletEvent = dynamic_cast<QTabletEvent*>(event)) return tablet(tabletEvent);
  return QWidget::event(event);
}

bool BoardView::touch(QTouchEvent* event) {
  // A touchpad's fingers are no places on the board: they move the mouse.
  if (event->device()->type() != QInputDevice::DeviceType::TouchScreen) {
    event->ignore();
    return false;
  }
  event->accept();
  // The system took the fingers (a gesture of its own): the touch's gesture ends.
  if (event->type() == QEvent::TouchCancel) {
    hand(core_.touchesLost());
    return true;
  }
  using State = QEventPoint::State;
  for (const QEventPoint& point : event->points()) {
    const State state = point.state();
    if (state != State::Pressed && state != State::Updated && state != State::Released)
      continue;  // a finger held still
    const frontend::Phase phase = state == State::Pressed    ? frontend::Phase::Down
                                  : state == State::Released ? frontend::Phase::Up
                                                             : frontend::Phase::Move;
    if (phase == frontend::Phase::Down) setFocus(Qt::MouseFocusReason);  // as a mouse's press
    report(phase, point.position(), event, frontend::PointerKind::Touch, touchPointer(point.id()),
           phase == frontend::Phase::Move ? frontend::kNoButton : frontend::kLeft,
           phase == frontend::Phase::Up ? frontend::kNoButton : frontend::kLeft);
  }
  return true;
}

bool BoardView::tablet(QTabletEvent* event) {
  event->accept();  // no mouse is made of it
  // The eraser end's buttons are none the program uses.
  const bool eraser = event->pointerType() == QPointingDevice::PointerType::Eraser;
  const auto buttons = [eraser](Qt::MouseButtons b) {
    return eraser && b != Qt::NoButton ? unsigned{frontend::kOtherButton} : buttonsOf(b);
  };
  const QEvent::Type type = event->type();
  if (type == QEvent::TabletPress) setFocus(Qt::MouseFocusReason);
  // Anything else is a pen above the board, or one drawing.
  const frontend::Phase phase = type == QEvent::TabletPress     ? frontend::Phase::Down
                                : type == QEvent::TabletRelease ? frontend::Phase::Up
                                                                : frontend::Phase::Move;
  report(phase, event->position(), event, frontend::PointerKind::Pen, kPenPointer,
         buttons(event->button()), buttons(event->buttons()));
  return true;
}

void BoardView::keyPressEvent(QKeyEvent* event) {
  const std::optional<frontend::Key> key = keyOf(event->key());
  if (!key) return QWidget::keyPressEvent(event);
  const frontend::Outcome outcome = core_.boardKey(*key, modifiersOf(event->modifiers()));
  hand(outcome);
  if (!outcome.keyTaken) QWidget::keyPressEvent(event);
}

void BoardView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  const bool byKeys =
      event->reason() != Qt::MouseFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
  hand(core_.boardFocus(byKeys));
}

void BoardView::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  hand(core_.boardFocus(false));
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
