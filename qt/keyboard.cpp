#include "qt/keyboard.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QTimer>
#include <utility>

namespace desktop {

frontend::Modifiers modifiersOf(Qt::KeyboardModifiers m) {
  return {(m & Qt::ShiftModifier) != 0, (m & Qt::ControlModifier) != 0, (m & Qt::AltModifier) != 0,
          (m & Qt::MetaModifier) != 0};
}

std::optional<frontend::Key> keyOf(int qtKey) {
  using frontend::Key;
  static const std::pair<int, Key> kKeys[] = {
      {Qt::Key_Up, Key::Up},         {Qt::Key_Down, Key::Down},
      {Qt::Key_Left, Key::Left},     {Qt::Key_Right, Key::Right},
      {Qt::Key_PageUp, Key::PageUp}, {Qt::Key_PageDown, Key::PageDown},
      {Qt::Key_Return, Key::Enter},  {Qt::Key_Enter, Key::Enter},
      {Qt::Key_Space, Key::Space},   {Qt::Key_Escape, Key::Escape},
      {Qt::Key_W, Key::Where}};
  for (const auto& [qt, key] : kKeys)
    if (qt == qtKey) return key;
  return std::nullopt;
}

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {
  setGeometry(0, 0, 1, 1);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StatusLine::say(const std::string& words) {
  // Words said in one turn of the event loop go out as one message.
  const QString now = QString::fromStdString(words);
  setAccessibleName(pending_ ? accessibleName() + QStringLiteral("。") + now : now);
  if (pending_) return;
  pending_ = true;
  // Shown once the turn is over, after the focus change the same input made: Orca
  // speaks the newer of the two, and the focus's words would cut these off.
  QTimer::singleShot(0, this, [this] {
    pending_ = false;
    hide();  // becoming showing is what Orca speaks a notification for
    show();
  });
}

PartSlider::PartSlider(frontend::Presenter& core, frontend::Part part, QWidget* board,
                       std::function<void(const frontend::Outcome&)> apply)
    : QWidget(board), core_(core), part_(part), apply_(std::move(apply)) {
  // A pixel in the board's corner that paints nothing and takes no press: the ring on
  // the board shows the held part.
  setGeometry(0, 0, 1, 1);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::TabFocus);
  slider_ = core_.keyboard().slider(part_);
  setAccessibleName(QString::fromStdString(slider_.name));
}

QString PartSlider::description() const {
  return QString::fromStdString(slider_.valueText + "。" + slider_.description);
}

void PartSlider::slideTo(double value) { apply_(core_.slideTo(part_, value)); }

void PartSlider::focusInEvent(QFocusEvent* event) {
  // Before Qt tells AT-SPI of the focus: its place and keys as they are now (a
  // reader's cache keeps what it was last told).
  QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
  QWidget::focusInEvent(event);
  apply_(core_.focusPart(part_));
}

void PartSlider::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  apply_(core_.leavePart());
}

void PartSlider::keyPressEvent(QKeyEvent* event) {
  const std::optional<frontend::Key> key = keyOf(event->key());
  if (!key) return QWidget::keyPressEvent(event);
  const frontend::Outcome out = core_.partKey(part_, *key, modifiersOf(event->modifiers()));
  apply_(out);
  if (!out.keyTaken) return QWidget::keyPressEvent(event);
  event->accept();
  if (out.focusBoard) parentWidget()->setFocus(Qt::OtherFocusReason);
}

DescribeButton::DescribeButton(QWidget* parent)
    : QPushButton(QString::fromUtf8(frontend::Keyboard::kDescriptionName), parent) {
  setGeometry(0, 0, 1, 1);
  setFocusPolicy(Qt::TabFocus);
}

void DescribeButton::placeAt(const QRect& at) {
  place_ = at;
  if (hasFocus()) setGeometry(place_);
}

void DescribeButton::focusInEvent(QFocusEvent* event) {
  setGeometry(place_);
  raise();
  QPushButton::focusInEvent(event);
}

void DescribeButton::paintEvent(QPaintEvent* event) {
  if (hasFocus()) QPushButton::paintEvent(event);
}

void DescribeButton::focusOutEvent(QFocusEvent* event) {
  setGeometry(0, 0, 1, 1);
  QPushButton::focusOutEvent(event);
}

namespace {

const char* const kToggle = "parallel-lines-toggle";  // a property: the button is a mode's
const char* const kPressed = "parallel-lines-pressed";

// A part as a screen reader takes it: a slider, its value in board pixels (growing as
// Up or Right moves it), its words.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit SliderAccessible(PartSlider* s) : QAccessibleWidget(s, QAccessible::Slider), s_(s) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::fromStdString(s_->slider().valueText);
    if (t == QAccessible::Description) return s_->description();
    return QAccessibleWidget::text(t);
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QVariant currentValue() const override { return s_->slider().value; }
  void setCurrentValue(const QVariant& value) override { s_->slideTo(value.toDouble()); }
  QVariant maximumValue() const override { return s_->slider().max; }
  QVariant minimumValue() const override { return s_->slider().min; }
  QVariant minimumStepSize() const override { return s_->slider().step; }

 private:
  PartSlider* s_;
};

class NotificationAccessible : public QAccessibleWidget {
 public:
  explicit NotificationAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Notification) {}
};

// A mode's button: checked while the mode is on, with the press a reader's "click"
// runs. Qt 6.4's AT-SPI bridge has no toggle button (a checkable button goes out as a
// plain push button, whose state Orca never says): a check box is what carries it.
class ToggleAccessible : public QAccessibleWidget {
 public:
  explicit ToggleAccessible(QPushButton* b) : QAccessibleWidget(b, QAccessible::CheckBox), b_(b) {}
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = b_->property(kPressed).toBool();
    s.pressed = s.checked;
    return s;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return b_->accessibleName();
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == pressAction())
      b_->click();
    else
      QAccessibleWidget::doAction(name);
  }

 private:
  QPushButton* b_;
};

QAccessibleInterface* factory(const QString&, QObject* object) {
  if (auto* s = dynamic_cast<PartSlider*>(object)) return new SliderAccessible(s);
  if (auto* s = dynamic_cast<StatusLine*>(object)) return new NotificationAccessible(s);
  if (auto* b = qobject_cast<QPushButton*>(object); b && b->property(kToggle).toBool())
    return new ToggleAccessible(b);
  return nullptr;
}

}  // namespace

void markToggle(QPushButton* button, bool pressed) {
  if (!button->property(kToggle).toBool()) {
    button->setProperty(kToggle, true);
    // Setting its caption may have made its accessible interface already, as a plain
    // button's: the next one asked for is made by the factory below.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(button))
      QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
  const bool was = button->property(kPressed).toBool();
  button->setProperty(kPressed, pressed);
  if (was == pressed) return;
  QAccessible::State changed;
  changed.checked = true;
  changed.pressed = true;
  QAccessibleStateChangeEvent event(button, changed);
  QAccessible::updateAccessibility(&event);
}

void installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(factory);
    return true;
  }();
  (void)installed;
}

}  // namespace desktop
