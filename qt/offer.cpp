#include "qt/offer.h"

#include <QPalette>

#include "qt/colours.h"
#include "qt/fonts.h"

namespace desktop {

// The words and the button are the window's own children, beside the panel, not inside
// it: a screen reader then finds the button as it finds every other control of the
// window (inside a frame that was hidden when the window opened, Orca never said it).
OfferPanel::OfferPanel(QWidget* parent)
    : QFrame(parent), words_(new QLabel(parent)), button_(new QPushButton(parent)) {
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  words_->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  button_->setFocusPolicy(Qt::TabFocus);
  hide();
  words_->hide();
  button_->hide();
}

void OfferPanel::show(const frontend::Offer& offer, const frontend::Fit& fit) {
  if (offer.kind == frontend::Offer::Kind::None) {
    hide();
    words_->hide();
    button_->hide();
    return;
  }
  QPalette pal = palette();
  pal.setColor(QPalette::Window, toQColor(offer.back));
  pal.setColor(QPalette::WindowText, toQColor(offer.fore));
  setPalette(pal);
  words_->setPalette(pal);
  const auto place = [&](QWidget* w, const frontend::Rect& layout) {
    const frontend::Rect r = fit.onViewport(layout);
    w->setGeometry(r.x, r.y, r.w, r.h);
  };
  place(this, offer.box);
  place(words_, offer.wordsBox);
  place(button_, offer.control);
  QFont f = fontFor(offer.font);
  f.setPixelSize(fit.fontPixels(offer.font.pixelSize));
  words_->setFont(f);
  button_->setFont(f);
  words_->setText(QString::fromStdString(offer.words));
  const QString action = QString::fromStdString(offer.action);
  button_->setText(action);
  button_->setAccessibleName(action);
  button_->setAccessibleDescription(QString::fromStdString(offer.words));
  QFrame::show();
  raise();
  words_->setVisible(!offer.words.empty());
  words_->raise();
  button_->show();
  button_->raise();
}

}  // namespace desktop
