#include "qt/board_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QScreen>
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

// The whole pixels a control covers: Left to Left + Width - 1 and Top to Top + Height - 1,
// its place rounded once. Painting and hit testing both take it from here, so a
// picture takes presses exactly where it is drawn.
QRect pixelBox(const forms::Bounds& b) {
  const double left = std::clamp<double>(std::round(b.Left), -1e6, 1e6);
  const double top = std::clamp<double>(std::round(b.Top), -1e6, 1e6);
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(b.Width),
          static_cast<int>(b.Height)};
}

}  // namespace

BoardView::BoardView(app::Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
  const forms::DrawingSurface& g = form.gamen;
  setGeometry(static_cast<int>(g.Left), static_cast<int>(g.Top), static_cast<int>(g.Width),
              static_cast<int>(g.Height));
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted; nothing to erase first
  setMouseTracking(true);                 // moves without a button reach the board
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QStringLiteral("黒板"));
  setAccessibleDescription(QStringLiteral(
      "Board: the figure of three parallel lines p, q, r cut by transversals l and m, "
      "with chalk writing, straight lines and a grid"));

  auto add = [](auto& list, auto& array) {
    array.forEach([&list](int, const auto& c) { list.push_back({&c, c, QRegion()}); });
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
  shapes_.push_back({&form.Shape1, form.Shape1, QRegion()});
  auto settle = [this](auto& list) {
    for (auto& t : list) t.area = areaOf(t.shown);
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

  // One frame per refresh of the screen the board is on (60 Hz when it cannot tell).
  if (const QScreen* sc = screen()) {
    const qreal hz = sc->refreshRate();
    if (hz >= 30 && hz <= 480) frameIntervalMs_ = std::max(2, static_cast<int>(1000 / hz));
  }
  frameTimer_.setSingleShot(true);
  frameTimer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&frameTimer_, &QTimer::timeout, this, [this] { flushFrame(); });
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
  // The pixel under the pointer, tested against the pixels the picture is drawn on.
  const QPoint pixel(static_cast<int>(std::floor(boardPos.x())),
                     static_cast<int>(std::floor(boardPos.y())));
  // Pictures are Image1 elements 0 to 4 in order; a later one lies on top.
  for (int index = static_cast<int>(images_.size()) - 1; index >= 0; --index) {
    const forms::Image& i = images_[static_cast<size_t>(index)].shown;
    if (i.Visible && pixelBox(i).contains(pixel)) return index;
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
    // A mouse always travels to the point it presses, so the board has seen a move
    // there; a finger or a pen on a touch board lands without one. A drag measures
    // its first step from the last move, so without this move the grabbed line
    // would jump by the distance from where the last touch ended.
    if (!lastPosition_ || *lastPosition_ != p) {
      form_.gamen_MouseMove(buttonCode(event->buttons() & ~event->button()),
                            shiftCode(event->modifiers()), static_cast<forms::Single>(p.x()),
                            static_cast<forms::Single>(p.y()));
    }
    form_.gamen_MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()),
                          static_cast<forms::Single>(p.x()), static_cast<forms::Single>(p.y()));
    lastPosition_ = p;
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
  lastPosition_ = p;
  // A move changes nothing on the tool row (only presses and releases can), so only
  // the board itself follows it: this runs up to a thousand times a second.
  sync();
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
    lastPosition_ = p;
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

void BoardView::drawInk(const forms::InkCommand& c, QPainter& painter, QRect& dirty) {
  const QRect inner = innerRect();
  if (c.kind == forms::InkCommand::Kind::Clear) {
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(inner.size())), toQColor(form_.gamen.BackColor));
    dirty = inner;
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
  // One box for all the ink of a frame: a stroke's segments lie close together, and
  // one rectangle reaches the screen far cheaper than many small ones.
  dirty |= r.intersected(inner);
}

template <class T>
void BoardView::track(std::vector<Tracked<T>>& list, QRegion& dirty) {
  for (Tracked<T>& t : list) {
    if (*t.control == t.shown) continue;
    dirty += t.area;
    t.shown = *t.control;
    t.area = areaOf(t.shown);
    dirty += t.area;
  }
}

void BoardView::sync() {
  if (!form_.gamen.pending().empty()) {
    // Every segment goes into the raster as it comes, so no point of a stroke is
    // lost however fast the pen moves; only the painting waits for the display.
    ensureInkRaster();
    QPainter painter(&ink_);
    painter.setRenderHint(QPainter::Antialiasing);
    form_.gamen.drain([&](const forms::InkCommand& c) { drawInk(c, painter, inkDirty_); });
  }
  scheduleFrame();
}

void BoardView::scheduleFrame() {
  if (frameTimer_.isActive()) return;  // the next frame will take this change too
  if (!sinceFrame_.isValid() || sinceFrame_.elapsed() >= frameIntervalMs_) {
    flushFrame();
  } else {
    frameTimer_.start(frameIntervalMs_ - static_cast<int>(sinceFrame_.elapsed()));
  }
}

QRegion BoardView::takeFrame() {
  QRegion dirty = inkDirty_;
  inkDirty_ = QRect();
  track(gridLines_, dirty);
  track(labels_, dirty);
  track(images_, dirty);
  track(figureLines_, dirty);
  track(upperLines_, dirty);
  track(shapes_, dirty);
  return dirty;
}

void BoardView::flushFrame() {
  frameTimer_.stop();
  const QRegion dirty = takeFrame();
  if (dirty.isEmpty()) return;
  sinceFrame_.start();
  update(dirty);
}

// A line's area is a chain of small boxes along it, not its bounding box: a long
// slanted line moved by a pixel repaints a thin band, not half the board.
QRegion BoardView::areaOf(const forms::Line& l) const {
  if (!l.Visible) return {};
  const QRect inner = innerRect();
  Segment s{l.X1, l.Y1, l.X2, l.Y2};
  if (!clipSegment(s, -kClipMargin, -kClipMargin, inner.width() + kClipMargin,
                   inner.height() + kClipMargin))
    return {};
  const int m = strokeMargin(l.BorderWidth);
  constexpr double kStep = 128;  // px along the longer axis per box
  const double span = std::max(std::abs(s.x2 - s.x1), std::abs(s.y2 - s.y1));
  const int boxes = std::max(1, static_cast<int>(std::ceil(span / kStep)));
  QRegion area;
  for (int i = 0; i < boxes; ++i) {
    const double t0 = static_cast<double>(i) / boxes;
    const double t1 = static_cast<double>(i + 1) / boxes;
    const QPointF a(s.x1 + (s.x2 - s.x1) * t0, s.y1 + (s.y2 - s.y1) * t0);
    const QPointF b(s.x1 + (s.x2 - s.x1) * t1, s.y1 + (s.y2 - s.y1) * t1);
    area += QRectF(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                   QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())))
                .toAlignedRect()
                .adjusted(-m, -m, m + 1, m + 1);
  }
  return area.translated(inner.topLeft()).intersected(inner);
}

QRect BoardView::boundsOf(const forms::Bounds& b, bool visible) const {
  if (!visible) return {};
  const QRect inner = innerRect();
  return pixelBox(b).translated(inner.topLeft()).intersected(inner);
}

QRegion BoardView::areaOf(const forms::Shape& s) const {
  return boundsOf(s, s.Visible).adjusted(-1, -1, 1, 1).intersected(innerRect());
}

const QFont& BoardView::fontOf(const forms::FontSpec& wanted) const {
  for (const auto& [known, font] : fonts_)
    if (known == wanted) return font;
  fonts_.emplace_back(wanted, fontFor(wanted));
  return fonts_.back().second;
}

void BoardView::paintEvent(QPaintEvent* event) {
  ensureInkRaster();
  QPainter p(this);
  const QRect inner = innerRect();
  if (!inner.contains(event->rect())) paintBorder(p);
  // Rectangle by rectangle, with each line cut to the rectangle before it is drawn:
  // a frame costs what it shows, not the full length of every line crossing it.
  for (const QRect& r : event->region().intersected(inner)) paintRect(p, r);
}

void BoardView::paintRect(QPainter& p, const QRect& r) const {
  const QRect inner = innerRect();
  const QRect local = r.translated(-inner.topLeft());
  const qreal dpr = ink_.devicePixelRatio();
  p.setClipRect(r);
  // A plain copy of the raster's pixels under the rectangle.
  p.drawImage(QRectF(r), ink_,
              QRectF(local.x() * dpr, local.y() * dpr, local.width() * dpr, local.height() * dpr));
  p.translate(inner.topLeft());
  auto paintAll = [&](const auto& list, auto paintOne) {
    for (const auto& t : list) {
      if (t.area.boundingRect().intersects(r) && t.area.intersects(r))
        (this->*paintOne)(p, t.shown, local);
    }
  };
  paintAll(gridLines_, &BoardView::paintLine);
  paintAll(labels_, &BoardView::paintLabel);
  paintAll(images_, &BoardView::paintImage);
  paintAll(figureLines_, &BoardView::paintLine);
  paintAll(upperLines_, &BoardView::paintLine);
  paintAll(shapes_, &BoardView::paintShape);
  p.translate(-inner.topLeft());
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

void BoardView::paintLine(QPainter& p, const forms::Line& l, const QRect& within) const {
  const QRect inner = innerRect();
  Segment s{l.X1, l.Y1, l.X2, l.Y2};
  if (!clipSegment(s, -kClipMargin, -kClipMargin, inner.width() + kClipMargin,
                   inner.height() + kClipMargin))
    return;
  const Segment whole = s;
  const bool axisAligned = s.x1 == s.x2 || s.y1 == s.y2;
  const int m = strokeMargin(l.BorderWidth);
  if (!axisAligned) {
    // Only the part that crosses the rectangle being painted, with room for the
    // stroke's width so that the cut ends fall outside it.
    if (!clipSegment(s, within.left() - m, within.top() - m, within.right() + 1 + m,
                     within.bottom() + 1 + m))
      return;
  }
  const QColor colour = toQColor(l.BorderColor);
  const bool dotted = l.BorderStyle == forms::LineStyle::Dot;
  // Wide lines end round. The caps are drawn as discs at the line's own ends, beside
  // a flat-ended stroke: Qt rasterises a flat-ended antialiased line many times
  // faster than a round-ended one.
  const bool roundEnds = !dotted && l.BorderWidth > 1;
  QPen pen(colour, l.BorderWidth);
  if (dotted) {
    pen.setDashPattern({1, 1});  // one pixel on, one off
    pen.setCapStyle(Qt::FlatCap);
  } else {
    pen.setCapStyle(roundEnds ? Qt::FlatCap : Qt::SquareCap);
  }
  p.setPen(pen);
  // Slanted lines are antialiased; horizontal and vertical ones already fall on whole
  // pixels and stay crisper without.
  p.setRenderHint(QPainter::Antialiasing, !axisAligned);
  const double o = pixelOffset(l.BorderWidth);
  p.drawLine(QPointF(s.x1 + o, s.y1 + o), QPointF(s.x2 + o, s.y2 + o));
  if (roundEnds) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double r = l.BorderWidth / 2.0;
    const QRectF reach(within.left() - m, within.top() - m, within.width() + 2 * m,
                       within.height() + 2 * m);
    for (const QPointF end : {QPointF(whole.x1, whole.y1), QPointF(whole.x2, whole.y2)}) {
      if (reach.contains(end)) p.drawEllipse(end + QPointF(o, o), r, r);
    }
    p.setBrush(Qt::NoBrush);
  }
}

void BoardView::paintLabel(QPainter& p, const forms::Label& l, const QRect&) const {
  p.drawPixmap(pixelBox(l).topLeft(), labelPixmap(l));
}

// A name never changes its caption, font or colours, only its place: its picture is
// drawn once and then copied, which is far cheaper than laying out text every frame.
const QPixmap& BoardView::labelPixmap(const forms::Label& l) const {
  const qreal dpr = devicePixelRatioF();
  for (const CachedLabel& c : labelPixmaps_) {
    if (c.caption == l.Caption && c.font == l.Font && c.fore == l.ForeColor &&
        c.back == l.BackColor && c.width == l.Width && c.height == l.Height &&
        c.pixmap.devicePixelRatio() == dpr)
      return c.pixmap;
  }
  QPixmap pixmap(QSize(static_cast<int>(std::ceil(l.Width * dpr)),
                       static_cast<int>(std::ceil(l.Height * dpr))));
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(toQColor(l.BackColor));
  {
    QPainter painter(&pixmap);
    painter.setPen(toQColor(l.ForeColor));
    painter.setFont(fontOf(l.Font));
    painter.drawText(QRectF(0, 0, l.Width, l.Height), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(l.Caption));
  }
  labelPixmaps_.push_back({l.Caption, l.Font, l.ForeColor, l.BackColor, l.Width, l.Height, pixmap});
  return labelPixmaps_.back().pixmap;
}

void BoardView::paintImage(QPainter& p, const forms::Image& i, const QRect&) const {
  const auto found = pictures_.find(i.Picture);
  if (found == pictures_.end()) return;
  const QPixmap& pm = devicePixelRatioF() > 1.0 ? found->second[1] : found->second[0];
  p.drawPixmap(QRectF(pixelBox(i)), pm, QRectF(QPointF(0, 0), QSizeF(pm.size())));
}

void BoardView::paintShape(QPainter& p, const forms::Shape& s, const QRect&) const {
  const double d = std::min(s.Width, s.Height);
  const QRectF circle(std::round(s.Left) + (s.Width - d) / 2 + 0.5,
                      std::round(s.Top) + (s.Height - d) / 2 + 0.5, d - 1, d - 1);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(toQColor(s.BorderColor), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(circle);
}

}  // namespace view
