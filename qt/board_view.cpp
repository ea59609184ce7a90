#include "qt/board_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <array>
#include <cmath>
#include <map>

#include "qt/fonts.h"

namespace view {

namespace {

unsigned buttonsOf(Qt::MouseButtons buttons) {
  return ((buttons & Qt::LeftButton) ? frontend::kLeft : 0U) |
         ((buttons & Qt::RightButton) ? frontend::kRight : 0U) |
         ((buttons & Qt::MiddleButton) ? frontend::kMiddle : 0U);
}

}  // namespace

// The display list's items in QPainter calls.
class ItemPainter : public frontend::Rasteriser {
 public:
  ItemPainter() {
    // Each picture at 1x and 2x, so it stays crisp on a scaled screen.
    for (const char* key : {"l", "m", "p", "q", "r"}) {
      const QString base = QStringLiteral(":/assets/letter-%1").arg(QLatin1String(key));
      QPixmap two(base + QStringLiteral("@2x.png"));
      two.setDevicePixelRatio(2);
      pictures_[key] = {QPixmap(base + QStringLiteral(".png")), two};
    }
  }
  // `border`: the board's drawing area starts this many pixels into the widget.
  void begin(QPainter* p, qreal dpr, int border) {
    p_ = p;
    dpr_ = dpr;
    border_ = border;
  }

  void segment(const frontend::SegmentItem& s) override {
    QPen pen(toQColor(s.colour), s.width);
    if (s.dotted) pen.setDashPattern({1, 1});
    // Round ends are drawn as discs beside a flat-ended stroke: Qt rasterises a
    // flat-ended antialiased line many times faster than a round-ended one.
    pen.setCapStyle(s.cap == frontend::Cap::Square ? Qt::SquareCap : Qt::FlatCap);
    p_->setPen(pen);
    p_->setRenderHint(QPainter::Antialiasing, s.antialiased);
    const QPointF ends[] = {{s.at.x1, s.at.y1}, {s.at.x2, s.at.y2}};
    p_->drawLine(ends[0], ends[1]);
    if (s.cap != frontend::Cap::Round) return;
    p_->setPen(Qt::NoPen);
    p_->setBrush(toQColor(s.colour));
    p_->setRenderHint(QPainter::Antialiasing, true);
    for (int i : {0, 1})
      if (i == 0 ? s.ownStart : s.ownEnd) p_->drawEllipse(ends[i], s.width / 2.0, s.width / 2.0);
    p_->setBrush(Qt::NoBrush);
  }

  void text(const frontend::TextItem& t) override {
    QPixmap& drawn = texts_[{t.look, dpr_}];
    if (drawn.isNull()) {
      drawn = QPixmap(QSize(static_cast<int>(std::ceil(t.box.w * dpr_)),
                            static_cast<int>(std::ceil(t.box.h * dpr_))));
      drawn.setDevicePixelRatio(dpr_);
      drawn.fill(toQColor(t.back));
      QPainter painter(&drawn);
      painter.setPen(toQColor(t.fore));
      painter.setFont(fontFor(t.font));
      painter.drawText(QRectF(0, 0, t.box.w, t.box.h), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromStdString(t.caption));
    }
    p_->drawPixmap(QPoint(t.box.x, t.box.y), drawn);
  }

  void picture(const frontend::PictureItem& i) override {
    const auto found = pictures_.find(i.key);
    if (found == pictures_.end()) return;
    const QPixmap& pm = found->second[frontend::pictureScale(dpr_) - 1];
    p_->drawPixmap(QRectF(i.box.x, i.box.y, i.box.w, i.box.h), pm,
                   QRectF(QPointF(0, 0), QSizeF(pm.size())));
  }

  void ring(const frontend::RingItem& r) override {
    // The core gives the ring in device pixels; painted there, unblended.
    p_->save();
    p_->resetTransform();
    p_->scale(1 / dpr_, 1 / dpr_);
    p_->setRenderHint(QPainter::Antialiasing, false);
    for (const frontend::Rect& run : frontend::ringPixels(r, dpr_, border_))
      p_->fillRect(QRect(run.x, run.y, run.w, run.h), toQColor(r.colour));
    p_->restore();
  }

 private:
  QPainter* p_ = nullptr;
  qreal dpr_ = 1;
  int border_ = 0;
  std::map<std::pair<int, qreal>, QPixmap> texts_;  // each look, drawn once per ratio
  std::map<std::string, std::array<QPixmap, 2>> pictures_;
};

BoardView::BoardView(frontend::Presenter& core, QWidget* parent)
    : QWidget(parent), core_(core), painter_(std::make_unique<ItemPainter>()) {
  const frontend::Rect box = core.scene.onWindow();
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

void BoardView::report(frontend::Phase phase, const QMouseEvent* event) {
  const frontend::Outcome outcome = core_.pointer(phase, pointerEvent(event));
  if (onInput) onInput(outcome);
}

void BoardView::ensureInkRaster() {
  const qreal scale = core_.scene.inkScale(devicePixelRatioF());
  if (!ink_.isNull() && ink_.devicePixelRatio() == scale) return;
  // The raster carries the scale the core keeps the writing at, so it stays sharp at
  // 150 % or 200 %, and after a move to a coarser screen and back. When that scale
  // grows, the writing so far is carried over, scaled.
  QImage fresh(innerRect().size() * scale, QImage::Format_RGB32);
  fresh.setDevicePixelRatio(scale);
  fresh.fill(toQColor(core_.scene.background()));
  if (!ink_.isNull()) {
    QPainter p(&fresh);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(innerRect().size())), ink_);
  }
  ink_ = std::move(fresh);
}

void BoardView::sync() {
  if (core_.scene.hasInk()) {
    // Every segment goes into the raster as it comes, so no point of a stroke is
    // lost however fast the pen moves; only the painting waits for the display.
    ensureInkRaster();
    QPainter painter(&ink_);
    painter.setRenderHint(QPainter::Antialiasing);
    core_.scene.drainInk([&](const frontend::InkStroke& ink) {
      const frontend::SegmentItem& s = ink.stroke;
      if (ink.clear) {
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(innerRect().size())), toQColor(s.colour));
        return;
      }
      // A true round cap and join here, where strokes meet stroke upon stroke.
      painter.setPen(QPen(toQColor(s.colour), s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.drawLine(QPointF(s.at.x1, s.at.y1), QPointF(s.at.x2, s.at.y2));
    });
  }
  if (const auto wait = pacer_.afterChange(clock_.elapsed()); wait == 0)
    flushFrame();
  else if (wait)
    frameTimer_.start(static_cast<int>(*wait));
}

QRegion BoardView::takeFrame() {
  QRegion dirty;
  const int b = core_.scene.borderWidth();
  for (const frontend::Rect& r : core_.scene.takeFrame())
    dirty += QRect(r.x + b, r.y + b, r.w, r.h);
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
  const qreal ink = ink_.devicePixelRatio();
  const int b = core_.scene.borderWidth();
  painter_->begin(&p, devicePixelRatioF(), b);
  // Finer ink than the screen's is scaled down smoothly; the same is copied.
  p.setRenderHint(QPainter::SmoothPixmapTransform, ink != devicePixelRatioF());
  p.translate(b, b);
  std::vector<frontend::Rect> damage;
  for (const QRect& r : event->region())
    damage.push_back({r.x() - b, r.y() - b, r.width(), r.height()});
  core_.scene.paintDamage(damage, *painter_, [&](const frontend::Rect& r) {
    const QRect local(r.x, r.y, r.w, r.h);
    p.setClipRect(local);
    p.drawImage(QRectF(local), ink_, QRectF(r.x * ink, r.y * ink, r.w * ink, r.h * ink));
  });
}

}  // namespace view
