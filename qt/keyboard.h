// The keyboard and a screen reader on the desktop: the five parts a drag can hold as
// focusable children of the board, which a screen reader is given as sliders; the
// figure's description; the mode buttons as toggle buttons; and the words the core
// says. What the keys do, and what is said and when, is the core's
// (frontend/keyboard.h, frontend/presenter.h); this is how Qt carries it to AT-SPI.
#pragma once

#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>

#include "frontend/presenter.h"

namespace desktop {

// The core's key for a Qt key press, if the program knows it.
std::optional<frontend::Key> keyOf(int qtKey);
frontend::Modifiers modifiersOf(Qt::KeyboardModifiers m);

// Words for a screen reader: a notification, shown anew with each message. Qt 6.4 has
// no announcement, and sends a name's or a description's change without the text, so
// Orca cannot speak those; a notification that becomes showing Orca speaks, after its
// role's word, whatever holds the focus, and every time. Nothing to see.
class StatusLine : public QWidget {
 public:
  explicit StatusLine(QWidget* parent);
  void say(const std::string& words);

 protected:
  void paintEvent(QPaintEvent*) override {}

 private:
  bool pending_ = false;  // words wait to be shown
};

class PartSlider : public QWidget {
 public:
  PartSlider(frontend::Presenter& core, frontend::Part part, QWidget* board,
             std::function<void(const frontend::Outcome&)> apply);

  frontend::Part part() const { return part_; }
  // The slider as the core last handed it over.
  const frontend::Slider& slider() const { return slider_; }
  // No value-changed event goes to AT-SPI: Orca would speak it as a bare number of
  // pixels, where the page's reader says the value text (the core has that said).
  void show(const frontend::Slider& slider) { slider_ = slider; }
  // What a screen reader reads as its description: its place in squares (Qt 6.4 hands
  // AT-SPI no value text) and what the keys do.
  QString description() const;
  // A screen reader set the value: the part is dragged there.
  void slideTo(double value);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent*) override {}

 private:
  frontend::Presenter& core_;
  frontend::Part part_;
  std::function<void(const frontend::Outcome&)> apply_;
  frontend::Slider slider_;
};

// 「図の説明」: shown only while it has the focus, over the board's lower left corner.
class DescribeButton : public QPushButton {
 public:
  explicit DescribeButton(QWidget* parent);
  // Where it shows, on the window as it stands (the layout's place, scaled in full screen).
  void placeAt(const QRect& at);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;  // nothing, until it has the focus

 private:
  QRect place_;
};

// A mode's button ("メモ", "方眼", "直線") as a toggle button: pressed while on. Its look
// stays a plain button's, whose bold caption is its only sign on screen.
void markToggle(QPushButton* button, bool pressed);

// Qt's accessibility for the sliders, the notification and the toggles (installed
// once, by the window).
void installAccessibility();

}  // namespace desktop
