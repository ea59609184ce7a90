#include "qt/item_painter.h"

#include <QString>
#include <cmath>

#include "qt/colours.h"
#include "qt/fonts.h"

namespace desktop {

ItemPainter::ItemPainter() = default;

void ItemPainter::begin(QPainter* p, const frontend::DeviceGrid& grid, double layoutScale) {
  p_ = p;
  grid_ = grid;
  board_ = QTransform::fromTranslate(grid.border, grid.border) *
           QTransform::fromScale(layoutScale, layoutScale);
  // The painter's own scale is the screen's; the rest is the layout's.
  const double screen = grid.scale / layoutScale;
  device_ = QTransform::fromScale(1 / screen, 1 / screen);
  p_->setWorldTransform(board_);
}

void ItemPainter::inDevicePixels(const std::function<void()>& f) {
  p_->setWorldTransform(device_);
  f();
  p_->setWorldTransform(board_);
}

void ItemPainter::segment(const frontend::SegmentItem& s) {
  QPen pen(toQColor(s.colour), s.width);
  // Round ends are drawn as discs beside a flat-ended stroke: Qt rasterises a
  // flat-ended antialiased line many times faster than a round-ended one.
  pen.setCapStyle(s.cap == frontend::Cap::Square ? Qt::SquareCap : Qt::FlatCap);
  p_->setPen(pen);
  p_->setRenderHint(QPainter::Antialiasing, true);
  const QPointF ends[] = {{s.at.x1, s.at.y1}, {s.at.x2, s.at.y2}};
  p_->drawLine(ends[0], ends[1]);
  if (s.cap != frontend::Cap::Round) return;
  p_->setPen(Qt::NoPen);
  p_->setBrush(toQColor(s.colour));
  for (int i : {0, 1})
    if (i == 0 ? s.ownStart : s.ownEnd) p_->drawEllipse(ends[i], s.width / 2.0, s.width / 2.0);
  p_->setBrush(Qt::NoBrush);
}

void ItemPainter::fill(const frontend::Rect& d, forms::Rgb colour) {
  p_->setRenderHint(QPainter::Antialiasing, false);
  inDevicePixels([&] { p_->fillRect(QRect(d.x, d.y, d.w, d.h), toQColor(colour)); });
}

void ItemPainter::text(const frontend::TextItem& t) {
  const qreal dpr = grid_.scale;
  QPixmap& drawn = texts_[{t.look, dpr}];
  if (drawn.isNull()) {
    drawn = QPixmap(QSize(static_cast<int>(std::ceil(t.box.w * dpr)),
                          static_cast<int>(std::ceil(t.box.h * dpr))));
    drawn.setDevicePixelRatio(dpr);
    drawn.fill(toQColor(t.back));
    QPainter painter(&drawn);
    painter.setPen(toQColor(t.fore));
    painter.setFont(fontFor(t.font));
    painter.drawText(QRectF(0, 0, t.box.w, t.box.h), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(t.caption));
  }
  // Pixel for pixel, from the device pixel its corner falls on: a scaled layout puts
  // the corner between device pixels, where the name would be resampled.
  inDevicePixels([&] {
    p_->drawPixmap(QRectF(grid_.edge(t.box.x), grid_.edge(t.box.y), drawn.width(), drawn.height()),
                   drawn, QRectF(0, 0, drawn.width(), drawn.height()));
  });
}

void ItemPainter::picture(const frontend::PictureItem& i) {
  auto found = pictures_.find(i.key);
  if (found == pictures_.end()) {
    // Each picture at 1x and 2x, loaded the first time the scene shows it, so it stays
    // crisp on a scaled screen.
    const QString base = QStringLiteral(":/assets/letter-") + QString::fromStdString(i.key);
    QPixmap two(base + QStringLiteral("@2x.png"));
    two.setDevicePixelRatio(2);
    found = pictures_
                .emplace(i.key, std::array<QPixmap, 2>{QPixmap(base + QStringLiteral(".png")), two})
                .first;
  }
  const QPixmap& pm = found->second[frontend::pictureScale(grid_.scale) - 1];
  p_->setRenderHint(QPainter::SmoothPixmapTransform, true);
  p_->drawPixmap(QRectF(i.box.x, i.box.y, i.box.w, i.box.h), pm,
                 QRectF(QPointF(0, 0), QSizeF(pm.size())));
}

}  // namespace desktop
