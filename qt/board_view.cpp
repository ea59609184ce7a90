#include "qt/board_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "qt/clip.h"
#include "qt/fonts.h"

namespace view {

namespace {

QColor toQColor(forms::Rgb c) { return {c.r, c.g, c.b}; }

// Model coordinates count whole pixels from the drawing area's top-left pixel. A line
// of odd width is centred on the pixel's centre; one of even width on its edge, so
// that horizontal and vertical lines cover whole pixel rows and stay sharp.
double pixelOffset(int width) { return width % 2 == 1 ? 0.5 : 0.0; }

// Room around a stroke for its round caps and antialiased edge.
int strokeMargin(int width) { return width / 2 + 2; }

// How far outside the drawing area a segment is kept when clipped, so caps and wide
// strokes just outside it still show their inner part.
constexpr double kClipMargin = 64;

const char* const kPictureKeys[] = {"l", "m", "p", "q", "r"};

forms::Int16 buttonCode(Qt::MouseButtons buttons) {
  int code = 0;
  if (buttons & Qt::LeftButton) code |= app::Form1::kLeftButton;
  if (buttons & Qt::RightButton) code |= app::Form1::kRightButton;
  if (buttons & Qt::MiddleButton) code |= app::Form1::kMiddleButton;
  return static_cast<forms::Int16>(code);
}

forms::Int16 shiftCode(Qt::KeyboardModifiers modifiers) {
  int code = 0;
  if (modifiers & Qt::ShiftModifier) code |= 1;
  if (modifiers & Qt::ControlModifier) code |= 2;
  if (modifiers & Qt::AltModifier) code |= 4;
  return static_cast<forms::Int16>(code);
}

}  // namespace

BoardView::BoardView(app::Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
  const forms::DrawingSurface& g = form.gamen;
  setGeometry(static_cast<int>(g.Left), static_cast<int>(g.Top), static_cast<int>(g.Width),
              static_cast<int>(g.Height));
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted; nothing to erase first
  setMouseTracking(true);                 // moves without a button reach the board
  setFocusPolicy(Qt::StrongFocus);

  auto add = [](auto& list, auto& array) {
    array.forEach([&list](int, const auto& c) { list.push_back({&c, c, QRect()}); });
  };
  add(gridLines_, form.Line5);
  add(gridLines_, form.Line6);
  add(labels_, form.Label2);
  add(labels_, form.Label3);
  add(images_, form.Image1);
  add(figureLines_, form.Line1);
  add(figureLines_, form.Line2);
  add(figureLines_, form.Line3);
  add(upperLines_, form.Line4);
  shapes_.push_back({&form.Shape1, form.Shape1, QRect()});
  auto settle = [this](auto& list) {
    for (auto& t : list) t.bounds = boundsOf(t.shown);
  };
  settle(gridLines_);
  settle(labels_);
  settle(images_);
  settle(figureLines_);
  settle(upperLines_);
  settle(shapes_);

  for (const char* key : kPictureKeys) {
    const QString base = QStringLiteral(":/assets/letter-%1").arg(QLatin1String(key));
    QPixmap one(base + QStringLiteral(".png"));
    QPixmap two(base + QStringLiteral("@2x.png"));
    two.setDevicePixelRatio(2);
    pictures_[key] = {one, two};
  }
}

QRect BoardView::innerRect() const {
  const int b = form_.gamen.BorderPixels;
  return {b, b, static_cast<int>(form_.gamen.innerWidth()),
          static_cast<int>(form_.gamen.innerHeight())};
}

QPointF BoardView::toBoard(const QPointF& widgetPos) const {
  return widgetPos - QPointF(innerRect().topLeft());
}

int BoardView::pictureAt(const QPointF& boardPos) const {
  // Pictures are Image1 elements 0 to 4 in order; a later one lies on top.
  for (int index = static_cast<int>(images_.size()) - 1; index >= 0; --index) {
    const forms::Image& i = images_[static_cast<size_t>(index)].shown;
    if (!i.Visible) continue;
    const QRectF r(std::round(i.Left), std::round(i.Top), i.Width, i.Height);
    if (r.contains(boardPos)) return index;
  }
  return -1;
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const QPointF p = toBoard(event->position());
  if (event->buttons() == event->button()) {
    // The first button down decides who owns the press: a picture, or the board.
    pressedPicture_ = pictureAt(p);
  }
  if (pressedPicture_ < 0) {
    form_.gamen_MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()),
                          static_cast<forms::Single>(p.x()), static_cast<forms::Single>(p.y()));
  }
  if (afterInput) afterInput();
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = toBoard(event->position());
  // A picture keeps its press to itself; with no button down, a picture takes the
  // moves over it, as any control does the moves over itself.
  if (pressedPicture_ >= 0) return;
  if (event->buttons() == Qt::NoButton && pictureAt(p) >= 0) return;
  form_.gamen_MouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()),
                        static_cast<forms::Single>(p.x()), static_cast<forms::Single>(p.y()));
  if (afterInput) afterInput();
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF p = toBoard(event->position());
  if (pressedPicture_ >= 0) {
    const int picture = pressedPicture_;
    if (event->buttons() == Qt::NoButton) {
      pressedPicture_ = -1;
      if (event->button() == Qt::LeftButton && pictureAt(p) == picture)
        form_.Image1_Click(static_cast<forms::Int16>(picture));
    }
  } else {
    form_.gamen_MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()),
                        static_cast<forms::Single>(p.x()), static_cast<forms::Single>(p.y()));
  }
  if (afterInput) afterInput();
}

void BoardView::ensureInkRaster() {
  const qreal dpr = devicePixelRatioF();
  const QRect inner = innerRect();
  if (!ink_.isNull() && ink_.devicePixelRatio() == dpr) return;
  // The raster carries the screen's pixel ratio, so writing stays sharp at 150 % or
  // 200 %. When the ratio changes (the window moved to another screen), the writing
  // so far is carried over, scaled.
  QImage fresh(inner.size() * dpr, QImage::Format_RGB32);
  fresh.setDevicePixelRatio(dpr);
  fresh.fill(toQColor(form_.gamen.BackColor));
  if (!ink_.isNull()) {
    QPainter p(&fresh);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(inner.size())), ink_);
  }
  ink_ = std::move(fresh);
}

void BoardView::drawInk(const forms::InkCommand& c, QPainter& painter, QRegion& dirty) {
  const QRect inner = innerRect();
  if (c.kind == forms::InkCommand::Kind::Clear) {
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(inner.size())), toQColor(form_.gamen.BackColor));
    dirty += inner;
    return;
  }
  Segment s{c.x1, c.y1, c.x2, c.y2};
  if (!clipSegment(s, -kClipMargin, -kClipMargin, inner.width() + kClipMargin,
                   inner.height() + kClipMargin))
    return;
  // Round caps and joins: consecutive segments of a stroke meet without gaps or
  // notches at every width.
  QPen pen(toQColor(c.colour), c.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  constexpr double o = 0.5;  // pixel centres
  painter.drawLine(QPointF(s.x1 + o, s.y1 + o), QPointF(s.x2 + o, s.y2 + o));
  const int m = strokeMargin(c.width);
  const QRect r = QRectF(QPointF(std::min(s.x1, s.x2), std::min(s.y1, s.y2)),
                         QPointF(std::max(s.x1, s.x2), std::max(s.y1, s.y2)))
                      .toAlignedRect()
                      .adjusted(-m, -m, m + 1, m + 1)
                      .translated(inner.topLeft());
  dirty += r.intersected(inner);
}

template <class T>
void BoardView::track(std::vector<Tracked<T>>& list, QRegion& dirty) {
  for (Tracked<T>& t : list) {
    if (*t.control == t.shown) continue;
    if (!t.bounds.isEmpty()) dirty += t.bounds;
    t.shown = *t.control;
    t.bounds = boundsOf(t.shown);
    if (!t.bounds.isEmpty()) dirty += t.bounds;
  }
}

void BoardView::sync() {
  QRegion dirty;
  if (!form_.gamen.pending().empty()) {
    ensureInkRaster();
    QPainter painter(&ink_);
    painter.setRenderHint(QPainter::Antialiasing);
    form_.gamen.drain([&](const forms::InkCommand& c) { drawInk(c, painter, dirty); });
  }
  track(gridLines_, dirty);
  track(labels_, dirty);
  track(images_, dirty);
  track(figureLines_, dirty);
  track(upperLines_, dirty);
  track(shapes_, dirty);
  if (!dirty.isEmpty()) update(dirty);
}

QRect BoardView::boundsOf(const forms::Line& l) const {
  if (!l.Visible) return {};
  const QRect inner = innerRect();
  Segment s{l.X1, l.Y1, l.X2, l.Y2};
  if (!clipSegment(s, -kClipMargin, -kClipMargin, inner.width() + kClipMargin,
                   inner.height() + kClipMargin))
    return {};
  const int m = strokeMargin(l.BorderWidth);
  const QRect r = QRectF(QPointF(std::min(s.x1, s.x2), std::min(s.y1, s.y2)),
                         QPointF(std::max(s.x1, s.x2), std::max(s.y1, s.y2)))
                      .toAlignedRect()
                      .adjusted(-m, -m, m + 1, m + 1)
                      .translated(inner.topLeft());
  return r.intersected(inner);
}

QRect BoardView::boundsOf(const forms::Bounds& b, bool visible) const {
  if (!visible) return {};
  const QRect inner = innerRect();
  const double left = std::clamp<double>(std::round(b.Left), -1e6, 1e6);
  const double top = std::clamp<double>(std::round(b.Top), -1e6, 1e6);
  const QRect r(static_cast<int>(left), static_cast<int>(top), static_cast<int>(b.Width),
                static_cast<int>(b.Height));
  return r.translated(inner.topLeft()).intersected(inner);
}

QRect BoardView::boundsOf(const forms::Shape& s) const {
  return boundsOf(s, s.Visible).adjusted(-1, -1, 1, 1).intersected(innerRect());
}

void BoardView::paintEvent(QPaintEvent* event) {
  ensureInkRaster();
  QPainter p(this);
  const QRect inner = innerRect();
  if (!inner.contains(event->rect())) paintBorder(p);
  p.setClipRegion(event->region().intersected(inner));
  p.drawImage(QRectF(inner), ink_);

  p.translate(inner.topLeft());
  const QRect area = event->rect().translated(-inner.topLeft());
  auto paintAll = [&](const auto& list, auto paintOne) {
    for (const auto& t : list) {
      if (!t.bounds.isEmpty() && t.bounds.translated(-inner.topLeft()).intersects(area))
        (this->*paintOne)(p, t.shown);
    }
  };
  paintAll(gridLines_, &BoardView::paintLine);
  paintAll(labels_, &BoardView::paintLabel);
  paintAll(images_, &BoardView::paintImage);
  paintAll(figureLines_, &BoardView::paintLine);
  paintAll(upperLines_, &BoardView::paintLine);
  paintAll(shapes_, &BoardView::paintShape);
}

// A sunken border two pixels wide, as the platform's picture boxes have.
void BoardView::paintBorder(QPainter& p) const {
  const int w = width();
  const int h = height();
  p.setPen(Qt::NoPen);
  p.fillRect(0, 0, w, 1, QColor(128, 128, 128));
  p.fillRect(0, 0, 1, h, QColor(128, 128, 128));
  p.fillRect(1, 1, w - 2, 1, QColor(0, 0, 0));
  p.fillRect(1, 1, 1, h - 2, QColor(0, 0, 0));
  p.fillRect(0, h - 1, w, 1, QColor(255, 255, 255));
  p.fillRect(w - 1, 0, 1, h, QColor(255, 255, 255));
  p.fillRect(1, h - 2, w - 2, 1, QColor(192, 192, 192));
  p.fillRect(w - 2, 1, 1, h - 2, QColor(192, 192, 192));
}

void BoardView::paintLine(QPainter& p, const forms::Line& l) const {
  const QRect inner = innerRect();
  Segment s{l.X1, l.Y1, l.X2, l.Y2};
  if (!clipSegment(s, -kClipMargin, -kClipMargin, inner.width() + kClipMargin,
                   inner.height() + kClipMargin))
    return;
  const bool axisAligned = s.x1 == s.x2 || s.y1 == s.y2;
  const bool dotted = l.BorderStyle == forms::LineStyle::Dot;
  QPen pen(toQColor(l.BorderColor), l.BorderWidth);
  if (dotted) {
    // One pixel on, one off.
    pen.setDashPattern({1, 1});
    pen.setCapStyle(Qt::FlatCap);
  } else {
    pen.setCapStyle(l.BorderWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
  }
  p.setPen(pen);
  // Slanted lines are antialiased; horizontal and vertical ones already fall on whole
  // pixels and stay crisper without.
  p.setRenderHint(QPainter::Antialiasing, !axisAligned);
  const double o = pixelOffset(l.BorderWidth);
  p.drawLine(QPointF(s.x1 + o, s.y1 + o), QPointF(s.x2 + o, s.y2 + o));
}

void BoardView::paintLabel(QPainter& p, const forms::Label& l) const {
  const QRectF r(std::round(l.Left), std::round(l.Top), l.Width, l.Height);
  p.fillRect(r, toQColor(l.BackColor));
  p.setPen(toQColor(l.ForeColor));
  p.setFont(fontFor(l.Font));
  p.drawText(r, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(l.Caption));
}

void BoardView::paintImage(QPainter& p, const forms::Image& i) const {
  const auto found = pictures_.find(i.Picture);
  if (found == pictures_.end()) return;
  const QPixmap& pm = devicePixelRatioF() > 1.0 ? found->second[1] : found->second[0];
  p.drawPixmap(QRectF(std::round(i.Left), std::round(i.Top), i.Width, i.Height), pm,
               QRectF(QPointF(0, 0), QSizeF(pm.size())));
}

void BoardView::paintShape(QPainter& p, const forms::Shape& s) const {
  const double d = std::min(s.Width, s.Height);
  const QRectF circle(std::round(s.Left) + (s.Width - d) / 2 + 0.5,
                      std::round(s.Top) + (s.Height - d) / 2 + 0.5, d - 1, d - 1);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(toQColor(s.BorderColor), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(circle);
}

}  // namespace view
