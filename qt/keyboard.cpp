#include "qt/keyboard.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>

namespace view {

std::optional<frontend::Key> keyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
  using frontend::Key;
  // A shortcut of the desktop's, not a key of the figure's.
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
  switch (qtKey) {
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_PageUp: return Key::PageUp;
    case Qt::Key_PageDown: return Key::PageDown;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Space: return Key::Space;
    case Qt::Key_Escape: return Key::Escape;
    default: return std::nullopt;
  }
}

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {
  setGeometry(0, 0, 1, 1);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StatusLine::say(const std::string& words) {
  setAccessibleName(QString::fromStdString(words));
  QAccessibleEvent event(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

PartSlider::PartSlider(frontend::Presenter& core, frontend::Part part, QWidget* board,
                       std::function<void(const frontend::Outcome&)> apply, StatusLine& status)
    : QWidget(board), core_(core), part_(part), apply_(std::move(apply)), status_(status) {
  // A pixel in the board's corner that paints nothing and takes no press: the ring on
  // the board shows the held part.
  setGeometry(0, 0, 1, 1);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::TabFocus);
  setAccessibleName(QString::fromStdString(slider().name));
  pause_.setSingleShot(true);
  pause_.setInterval(frontend::Keyboard::kPauseMs);
  QObject::connect(&pause_, &QTimer::timeout, this,
                   [this] { status_.say(core_.keyboard().whereWords(part_)); });
}

void PartSlider::moved() {
  QAccessibleValueChangeEvent event(this, slider().value);
  QAccessible::updateAccessibility(&event);
  pause_.start();
}

void PartSlider::slideTo(double value) {
  apply_(core_.slideTo(part_, value));
  moved();
}

void PartSlider::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  apply_(core_.focusPart(part_));
  status_.say(core_.keyboard().heldWords(part_));
}

void PartSlider::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  pause_.stop();
  apply_(core_.leavePart());
}

void PartSlider::keyPressEvent(QKeyEvent* event) {
  const std::optional<frontend::Key> key = keyOf(event->key(), event->modifiers());
  if (!key) return QWidget::keyPressEvent(event);
  const frontend::Outcome out = core_.partKey(part_, *key);
  apply_(out);
  if (!out.keyTaken) return QWidget::keyPressEvent(event);
  event->accept();
  if (out.focusBoard)
    parentWidget()->setFocus(Qt::OtherFocusReason);
  else
    moved();
}

DescribeButton::DescribeButton(frontend::Presenter& core, QWidget* parent, StatusLine& status)
    : QPushButton(QString::fromUtf8(frontend::Keyboard::kDescriptionName), parent) {
  setGeometry(0, 0, 1, 1);
  setFocusPolicy(Qt::TabFocus);
  QObject::connect(this, &QPushButton::clicked, this,
                   [&core, &status] { status.say(core.keyboard().description()); });
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

// A part as a screen reader takes it: a slider, its value in board pixels, its words.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit SliderAccessible(PartSlider* s) : QAccessibleWidget(s, QAccessible::Slider), s_(s) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::fromStdString(s_->slider().valueText);
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
  QVariant minimumStepSize() const override { return frontend::Keyboard::kStep; }

 private:
  PartSlider* s_;
};

QAccessibleInterface* sliderFactory(const QString&, QObject* object) {
  if (auto* s = dynamic_cast<PartSlider*>(object)) return new SliderAccessible(s);
  return nullptr;
}

}  // namespace

void installSliderAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(sliderFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace view
