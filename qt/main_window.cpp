#include "qt/main_window.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QProxyStyle>
#include <QScreen>
#include <QSignalBlocker>

#include "qt/colours.h"
#include "qt/fonts.h"

namespace view {

namespace {

using frontend::ControlId;
using frontend::ToolControl;

// The gap the core gives between an indicator and its caption.
class CompactIndicatorStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing)
      return frontend::ToolRow::kIndicatorGap;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

// A button that takes the presses the core gives it (ToolRow::controlAt): anywhere in
// its box, where no control above it lies.
template <class Base>
class WholeBox : public Base {
 public:
  WholeBox(const QString& caption, QWidget* parent, const frontend::ToolRow& row, std::size_t index)
      : Base(caption, parent), row_(row), index_(index) {}

 protected:
  bool hitButton(const QPoint& pos) const override {
    const QPoint at = this->mapToParent(pos);
    return row_.controlAt(at.x(), at.y()) == index_;
  }

 private:
  const frontend::ToolRow& row_;
  std::size_t index_;
};

QWidget* createWidget(const frontend::ToolRow& row, std::size_t index, QWidget* parent,
                      QStyle* compact) {
  const ToolControl& c = row.controls()[index];
  using Kind = ToolControl::Kind;
  const QString caption = QString::fromStdString(c.caption);
  QWidget* w = nullptr;
  switch (c.kind) {
    case Kind::Label:
      w = new QLabel(caption, parent);
      break;
    case Kind::Button:
      w = new WholeBox<QPushButton>(caption, parent, row, index);
      break;
    case Kind::Option:
      w = new WholeBox<QRadioButton>(caption, parent, row, index);
      break;
    case Kind::Check:
      w = new WholeBox<QCheckBox>(caption, parent, row, index);
      break;
  }
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
  }
  if (c.kind == Kind::Option || c.kind == Kind::Check) {
    static_cast<QAbstractButton*>(w)->setAutoExclusive(false);  // the model decides
    w->setStyle(compact);
  }
  if (c.kind != Kind::Button) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(c.back));
    pal.setColor(QPalette::Button, toQColor(c.back));
    pal.setColor(QPalette::WindowText, toQColor(c.fore));
    w->setPalette(pal);
  }
  w->setGeometry(c.box.x, c.box.y, c.box.w, c.box.h);
  w->setFont(fontFor(c.font));
  w->setAccessibleName(QString::fromStdString(c.name));
  w->setAccessibleDescription(QString::fromStdString(c.description));
  return w;
}

}  // namespace

MainWindow::MainWindow(app::Form1& form) : core_(form) {
  auto* compact = new CompactIndicatorStyle;
  compact->setParent(this);
  setWindowTitle(QString::fromStdString(form.Caption));
  resize(app::Form1::kClientWidth, app::Form1::kClientHeight);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, toQColor(form.BackColor));
  setPalette(pal);
  setAutoFillBackground(true);

  const auto& controls = core_.toolRow.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ToolControl& c = controls[i];
    QWidget* w = createWidget(core_.toolRow, i, this, compact);
    widgets_.push_back(w);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      QObject::connect(button, &QAbstractButton::clicked, this,
                       [this, id = c.id] { apply(core_.click(id)); });
    }
  }

  board_ = new BoardView(core_, this);
  board_->onInput = [this](const frontend::Outcome& outcome) { apply(outcome); };
  installSliderAccessibility();
  status_ = new StatusLine(this);
  for (const frontend::Part part : frontend::kParts)
    parts_.push_back(new PartSlider(core_, part, board_, board_->onInput, *status_));
  describe_ = new DescribeButton(core_, this, *status_);
  const std::optional<std::size_t> first = core_.toolRow.firstFocus();
  (first ? widgets_[*first] : board_)->setFocus();
  // The board, then its five parts and the description, then the row in its order.
  QWidget* previous = nullptr;
  for (const std::optional<std::size_t>& stop : core_.toolRow.tabOrder()) {
    std::vector<QWidget*> stops{stop ? widgets_[*stop] : board_};
    if (!stop) {
      stops.insert(stops.end(), parts_.begin(), parts_.end());
      stops.push_back(describe_);
    }
    for (QWidget* w : stops) {
      if (previous != nullptr) setTabOrder(previous, w);
      previous = w;
    }
  }

  QIcon icon;
  for (int size : {PL_WINDOW_ICON_SIZES})
    icon.addFile(QStringLiteral(":/assets/icons/hicolor/%1x%1/apps/parallel-lines.png").arg(size));
  setWindowIcon(icon);
  // Opens in the middle of the screen; the layout itself never moves or scales.
  if (const QScreen* sc = screen())
    move(sc->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  afterEvent();
}

MainWindow::~MainWindow() {
  delete board_;
  board_ = nullptr;
  parts_.clear();
}

void MainWindow::apply(const frontend::Outcome& outcome) {
  if (board_ == nullptr) return;  // being torn down
  if (outcome.ended) {
    // "終了" ends the program at once: no further event is handled.
    hide();
    QApplication::exit(0);
    return;
  }
  for (const frontend::ToolChange& change : outcome.changes) {
    QWidget* w = widgets_[change.at];
    const QSignalBlocker block(w);
    if (change.bold) {
      QFont f = w->font();
      f.setBold(*change.bold);
      w->setFont(f);
    }
    if (change.enabled) w->setEnabled(*change.enabled);
    if (change.checked) static_cast<QAbstractButton*>(w)->setChecked(*change.checked);
    if (change.visible) w->setVisible(*change.visible);
  }
  board_->sync();
}

}  // namespace view
