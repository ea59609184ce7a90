// The core's offers on the desktop: a small panel in the board's corner with its words
// and one button ("元に戻す" after a wipe), and the core's lasting notice. Where they
// stand, what they say and when they come and go is the core's (frontend/keeper.h).
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "frontend/fit.h"
#include "frontend/keeper.h"

namespace desktop {

class OfferPanel : public QFrame {
 public:
  explicit OfferPanel(QWidget* parent);
  // Shows the offer as the core has it (hidden when there is none), laid out by `fit`.
  void show(const frontend::Offer& offer, const frontend::Fit& fit);
  QPushButton* button() const { return button_; }

 private:
  QLabel* words_;
  QPushButton* button_;
};

}  // namespace desktop
