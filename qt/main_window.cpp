#include "qt/main_window.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <cmath>

#include "qt/colours.h"
#include "qt/fonts.h"

namespace desktop {

// The gap the core gives between an indicator and its caption, and the indicators
// scaled with the rest of the window in full screen.
class ScaledIndicatorStyle : public QProxyStyle {
 public:
  void setScale(double scale) { scale_ = scale; }
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
      case PM_CheckBoxLabelSpacing:
      case PM_RadioButtonLabelSpacing:
        return scaled(frontend::ToolRow::kIndicatorGap);
      case PM_IndicatorWidth:
      case PM_IndicatorHeight:
      case PM_ExclusiveIndicatorWidth:
      case PM_ExclusiveIndicatorHeight:
        return scaled(QProxyStyle::pixelMetric(metric, option, widget));
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

 private:
  int scaled(int v) const { return static_cast<int>(std::lround(v * scale_)); }
  double scale_ = 1;
};

namespace {

using frontend::ControlId;
using frontend::ToolControl;

// A button that takes the presses the core gives it (ToolRow::controlAt): anywhere in
// its box, where no control above it lies.
template <class Base>
class WholeBox : public Base {
 public:
  WholeBox(const QString& caption, QWidget* parent, const frontend::ToolRow& row, std::size_t index,
           const frontend::Fit& fit)
      : Base(caption, parent), row_(row), index_(index), fit_(fit) {}

 protected:
  bool hitButton(const QPoint& pos) const override {
    const QPoint at = this->mapToParent(pos);
    const frontend::Point p = fit_.toLayout(at.x(), at.y());
    return row_.controlAt(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y))) ==
           index_;
  }

 private:
  const frontend::ToolRow& row_;
  std::size_t index_;
  const frontend::Fit& fit_;
};

QWidget* createWidget(const frontend::ToolRow& row, std::size_t index, QWidget* parent,
                      QStyle* compact, const frontend::Fit& fit) {
  const ToolControl& c = row.controls()[index];
  using Kind = ToolControl::Kind;
  const QString caption = QString::fromStdString(c.caption);
  QWidget* w = nullptr;
  switch (c.kind) {
    case Kind::Label:
      w = new QLabel(caption, parent);
      break;
    case Kind::Button:
      w = new WholeBox<QPushButton>(caption, parent, row, index, fit);
      break;
    case Kind::Option:
      w = new WholeBox<QRadioButton>(caption, parent, row, index, fit);
      break;
    case Kind::Check:
      w = new WholeBox<QCheckBox>(caption, parent, row, index, fit);
      break;
  }
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    if (!c.description.empty()) label->setToolTip(QString::fromStdString(c.description));
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
  // Before anything asks for its accessible interface, which Qt makes once.
  if (c.toggle) markToggle(static_cast<QPushButton*>(w), false);
  w->setGeometry(c.box.x, c.box.y, c.box.w, c.box.h);
  w->setFont(fontFor(c.font));
  w->setAccessibleName(QString::fromStdString(c.name));
  w->setAccessibleDescription(QString::fromStdString(c.description));
  return w;
}

}  // namespace

MainWindow::MainWindow(app::Form1& form)
    : core_(form),
      fit_(frontend::fitWindow(app::Form1::kClientWidth, app::Form1::kClientHeight, 1,
                               app::Form1::kClientWidth, app::Form1::kClientHeight,
                               core_.scene.boxOnWindow())) {
  installAccessibility();
  core_.saysValueText = true;  // Qt 6.4 hands AT-SPI no value text
  style_ = new ScaledIndicatorStyle;
  style_->setParent(this);
  setWindowTitle(QString::fromStdString(form.Caption));
  resize(app::Form1::kClientWidth, app::Form1::kClientHeight);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, toQColor(form.BackColor));
  setPalette(pal);
  setAutoFillBackground(true);

  makeToolRow();
  makeKeyboard();
  offer_ = new OfferPanel(this);
  QObject::connect(offer_->button(), &QPushButton::clicked, this, [this] {
    apply(core_.takeOffer());
    board_->setFocus(Qt::OtherFocusReason);  // where the board was used
  });
  chainFocus();
  listenToTheDesktop();
  afterEvent();
}

void MainWindow::makeToolRow() {
  const auto& controls = core_.toolRow.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    QWidget* w = createWidget(core_.toolRow, i, this, style_, fit_);
    widgets_.push_back(w);
    fontPixels_.push_back(w->font().pixelSize());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      QObject::connect(button, &QAbstractButton::clicked, this,
                       [this, id = controls[i].id] { apply(core_.click(id)); });
    }
  }
}

// The board, the five parts' sliders, the description and the words a reader is told.
void MainWindow::makeKeyboard() {
  board_ = new BoardView(core_, this);
  board_->onInput = [this](const frontend::Outcome& outcome) { apply(outcome); };
  status_ = new StatusLine(this);
  for (const frontend::Part part : frontend::kParts)
    parts_.push_back(
        new PartSlider(core_, part, board_, [this](const frontend::Outcome& out) { apply(out); }));
  describe_ = new DescribeButton(this);
  QObject::connect(describe_, &QPushButton::clicked, this, [this] { apply(core_.describe()); });
  pause_.setSingleShot(true);
  pause_.setInterval(frontend::Keyboard::kPauseMs);
  QObject::connect(&pause_, &QTimer::timeout, this,
                   [this] { apply(core_.sayAfterPause(pauseWords_)); });
}

// The focus where the core puts it first; then the board, the offer in its corner
// (while there is one), its five parts and the description, then the row in its order.
void MainWindow::chainFocus() {
  const std::optional<std::size_t> first = core_.toolRow.firstFocus();
  (first ? widgets_[*first] : board_)->setFocus();
  QWidget* previous = nullptr;
  for (const std::optional<std::size_t>& stop : core_.toolRow.tabOrder()) {
    std::vector<QWidget*> stops{stop ? widgets_[*stop] : board_};
    if (!stop) {
      stops.push_back(offer_->button());
      stops.insert(stops.end(), parts_.begin(), parts_.end());
      stops.push_back(describe_);
    }
    for (QWidget* w : stops) {
      if (previous != nullptr) setTabOrder(previous, w);
      previous = w;
    }
  }
}

// The icon, the place on the screen, the desktop's keys, and the focus leaving.
void MainWindow::listenToTheDesktop() {
  QIcon icon;
  for (int size : {PL_WINDOW_ICON_SIZES})
    icon.addFile(QStringLiteral(":/assets/icons/hicolor/%1x%1/apps/parallel-lines.png").arg(size));
  setWindowIcon(icon);
  // Opens in the middle of the screen; the layout itself moves and scales only in
  // full screen.
  if (const QScreen* sc = screen())
    move(sc->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  auto* fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this);
  QObject::connect(fullScreen, &QShortcut::activated, this, [this] { toggleFullScreen(); });
  // Ctrl+Z takes a wipe back while it is offered.
  auto* undo = new QShortcut(QKeySequence::Undo, this);
  QObject::connect(undo, &QShortcut::activated, this, [this] { apply(core_.takeBack()); });
  // A gesture whose end will never come here (another window took the focus, the
  // desktop locked) must not hold a line or a stroke until the next press.
  QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                   [this](Qt::ApplicationState state) {
                     if (state != Qt::ApplicationActive) apply(core_.pointersLost());
                   });
}

void MainWindow::toggleFullScreen() {
  if (isFullScreen())
    showNormal();
  else
    showFullScreen();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) layOut();
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) apply(core_.pointersLost());
}

void MainWindow::layOut() {
  if (board_ == nullptr) return;
  const int w = app::Form1::kClientWidth, h = app::Form1::kClientHeight;
  const bool full = isFullScreen();
  const double dpr = devicePixelRatioF();
  const frontend::Rect box = core_.scene.boxOnWindow();
  const frontend::Fit fit =
      frontend::fitWindow(full ? width() : w, full ? height() : h, dpr, w, h, box);
  if (fit.scale == fit_.scale && fit.left == fit_.left && fit.top == fit_.top) return;
  fit_ = fit;
  style_->setScale(fit.scale);
  const auto place = [&](QWidget* widget, const frontend::Rect& layout, int fontPixels) {
    const frontend::Rect r = fit.onViewport(layout);
    widget->setGeometry(r.x, r.y, r.w, r.h);
    QFont f = widget->font();  // bold as the model has it
    f.setPixelSize(fit.fontPixels(fontPixels));
    widget->setFont(f);
  };
  const auto& controls = core_.toolRow.controls();
  for (std::size_t i = 0; i < controls.size(); ++i)
    place(widgets_[i], controls[i].box, fontPixels_[i]);
  // The board on whole device pixels, as many as the grid of its drawing gives it.
  const frontend::Rect canvas = fit.canvasOnWholePixels(box, dpr);
  board_->setGeometry(canvas.x, canvas.y, canvas.w, canvas.h);
  board_->setLayoutScale(fit.scale);
  const frontend::Rect at = fit.onViewport(frontend::Keyboard::kDescriptionBox);
  describe_->placeAt(QRect(at.x, at.y, at.w, at.h));
  if (offer_ != nullptr) offer_->show(core_.offer(), fit);
  QFont f = dialogFont();
  f.setPixelSize(fit.fontPixels(f.pixelSize()));
  describe_->setFont(f);
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
    if (change.bold && core_.toolRow.controls()[change.at].toggle)
      markToggle(static_cast<QPushButton*>(w), *change.bold);
    if (change.description)
      w->setAccessibleDescription(QString::fromStdString(*change.description));
    if (change.enabled) w->setEnabled(*change.enabled);
    if (change.checked) static_cast<QAbstractButton*>(w)->setChecked(*change.checked);
    if (change.visible) w->setVisible(*change.visible);
  }
  if (outcome.offerChanged) offer_->show(core_.offer(), fit_);
  for (const frontend::PartChange& change : outcome.parts) parts_[change.at]->show(change.slider);
  if (outcome.dropPause) pause_.stop();
  if (!outcome.afterPause.empty()) {
    pauseWords_ = outcome.afterPause;
    pause_.start();
  }
  if (!outcome.say.empty()) status_->say(outcome.say);
  board_->sync();
}

}  // namespace desktop
