#include "qt/offer.h"

#include <QPalette>
#include <algorithm>
#include <cmath>

#include "qt/colours.h"
#include "qt/fonts.h"

namespace view {

OfferPanel::OfferPanel(QWidget* parent)
    : QFrame(parent), words_(new QLabel(this)), button_(new QPushButton(this)) {
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  words_->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  button_->setFocusPolicy(Qt::TabFocus);
  hide();
}

void OfferPanel::show(const frontend::Offer& offer, const frontend::Fit& fit) {
  if (offer.kind == frontend::Offer::Kind::None) {
    hide();
    return;
  }
  QPalette pal = palette();
  pal.setColor(QPalette::Window, toQColor(offer.back));
  pal.setColor(QPalette::WindowText, toQColor(offer.fore));
  setPalette(pal);
  const frontend::Rect box = fit.onViewport(offer.box);
  const frontend::Rect control = fit.onViewport(offer.control);
  setGeometry(box.x, box.y, box.w, box.h);
  QFont f = fontFor(offer.font);
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(offer.font.pixelSize * fit.scale))));
  words_->setFont(f);
  button_->setFont(f);
  words_->setText(QString::fromStdString(offer.words));
  const frontend::Rect words = fit.onViewport(offer.wordsBox);
  words_->setGeometry(words.x - box.x, words.y - box.y, words.w, words.h);
  words_->setVisible(!offer.words.empty());
  const QString action = QString::fromStdString(offer.action);
  button_->setText(action);
  button_->setAccessibleName(action);
  button_->setGeometry(control.x - box.x, control.y - box.y, control.w, control.h);
  raise();
  QFrame::show();
}

}  // namespace view
