// The keyboard and a screen reader on the desktop: the five parts a drag can hold as
// focusable children of the board, which a screen reader is given as sliders; the
// figure's description; and a status line whose name changes say the core's words.
// What the keys do and what is said is the core's (frontend/keyboard.h).
#pragma once

#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "frontend/presenter.h"

namespace view {

// The core's key for a Qt key press, if the program knows it.
std::optional<frontend::Key> keyOf(int qtKey, Qt::KeyboardModifiers modifiers);

// Nothing to see: its name is what a screen reader says next.
class StatusLine : public QWidget {
 public:
  explicit StatusLine(QWidget* parent);
  void say(const std::string& words);
};

class PartSlider : public QWidget {
 public:
  PartSlider(frontend::Presenter& core, frontend::Part part, QWidget* board,
             std::function<void(const frontend::Outcome&)> apply, StatusLine& status);

  frontend::Part part() const { return part_; }
  frontend::Slider slider() const { return core_.keyboard().slider(part_); }
  // A screen reader set the value: the part is dragged there.
  void slideTo(double value);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent*) override {}

 private:
  void moved();

  frontend::Presenter& core_;
  frontend::Part part_;
  std::function<void(const frontend::Outcome&)> apply_;
  StatusLine& status_;
  QTimer pause_;  // the keys paused: the new place is said
};

// 「図の説明」: shown only while it has the focus, over the board's lower left corner.
class DescribeButton : public QPushButton {
 public:
  DescribeButton(frontend::Presenter& core, QWidget* parent, StatusLine& status);
  // Where it shows, in the window (the layout's place, scaled in full screen).
  static constexpr QRect kPlace{16, 634, 120, 36};
  void placeAt(const QRect& at);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;  // nothing, until it has the focus

 private:
  QRect place_ = kPlace;
};

// Qt's accessibility for the sliders (installed once, by the window).
void installSliderAccessibility();

}  // namespace view
