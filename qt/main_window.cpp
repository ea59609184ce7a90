#include "qt/main_window.h"

#include <QApplication>
#include <QIcon>
#include <QProxyStyle>
#include <QScreen>
#include <QSignalBlocker>

#include "qt/fonts.h"

namespace view {

namespace {

QColor toQColor(forms::Rgb c) { return {c.r, c.g, c.b}; }

QRect geometryOf(const forms::Bounds& b) {
  return {static_cast<int>(b.Left), static_cast<int>(b.Top), static_cast<int>(b.Width),
          static_cast<int>(b.Height)};
}

void paintBackground(QWidget* w, forms::Rgb colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, toQColor(colour));
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

// Option buttons and check boxes here are as narrow as 25 px ("1" to "5"): the
// caption has to sit close to its indicator to be read whole.
class CompactIndicatorStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing) return 3;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

// What each tool-row control does, in English, for screen readers beside its
// Japanese caption.
const char* const kCommandDescriptions[] = {
    "Initial screen: restore the figure, wipe the board",
    "Quit the program",
    "Memo mode: write and erase with chalk pens",
    "Grid: show or hide squares of 25 pixels",
    "Straight-line mode: draw up to five straight lines",
};
const char* const kPenDescriptions[] = {
    "Thin red pen",  "Thin yellow pen",  "Thin blue pen",  "Thin eraser",
    "Bold red pen",  "Bold yellow pen",  "Bold blue pen",  "Bold eraser",
};
const char* const kLineColourDescriptions[] = {
    "Red straight lines", "Yellow straight lines", "Blue straight lines",
    "White straight lines",
};

QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/assets/icons/hicolor/%1x%1/apps/parallel-lines.png").arg(size));
  return icon;
}

MainWindow::MainWindow(app::Form1& form) : form_(form) {
  compactStyle_ = new CompactIndicatorStyle;
  compactStyle_->setParent(this);
  setWindowTitle(QString::fromStdString(form.Caption));
  resize(app::Form1::kClientWidth, app::Form1::kClientHeight);
  paintBackground(this, form.BackColor);

  // Created left to right along the tool row: where option buttons overlap, the one
  // to the right lies on top, as its caption does.
  makeLabel(form.Label1);
  commands_ = {makeButton<QPushButton>(form.Command1), makeButton<QPushButton>(form.Command2),
               makeButton<QPushButton>(form.Command3), makeButton<QPushButton>(form.Command4),
               makeButton<QPushButton>(form.Command5)};
  for (int i = 0; i < 4; ++i) option2_.push_back(makeButton<QRadioButton>(form.Option2(i)));
  for (int i = 0; i < 5; ++i) check1_.push_back(makeButton<QCheckBox>(form.Check1(i)));
  makeLabel(form.Label4(0));
  makeLabel(form.Label4(1));
  option1_.resize(8);
  for (int i : {4, 5, 6, 7, 0, 1, 2, 3})
    option1_[static_cast<size_t>(i)] = makeButton<QRadioButton>(form.Option1(i));

  // Option buttons and check boxes take clicks only on their indicator and caption,
  // and pass the rest of their box on to the window. "消しゴム" reaches 9 px over
  // "終了": the command button lies above them, so its whole face ends the program.
  commandButton(2)->raise();

  board_ = new BoardView(form, this);
  board_->afterInput = [this] { afterEvent(); };
  // The board is first in the tab order, so it holds the focus as the window opens;
  // a Space or Enter pressed at once must not run "初期画面".
  board_->setFocus();

  setUpTabOrder();
  describeForScreenReaders();
  setWindowIcon(programIcon());
  // Opens in the middle of the screen; the layout itself never moves or scales.
  if (const QScreen* sc = screen())
    move(sc->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  afterEvent();
}

void MainWindow::describeForScreenReaders() {
  for (int n = 1; n <= 5; ++n) {
    QPushButton* b = commandButton(n);
    b->setAccessibleName(b->text());
    b->setAccessibleDescription(QString::fromLatin1(kCommandDescriptions[n - 1]));
  }
  for (int i = 0; i < 8; ++i) {
    option1(i)->setAccessibleName(option1(i)->text() + (i < 4 ? QStringLiteral(" 細字") : QStringLiteral(" 太字")));
    option1(i)->setAccessibleDescription(QString::fromLatin1(kPenDescriptions[i]));
  }
  for (int i = 0; i < 4; ++i) {
    option2(i)->setAccessibleName(option2(i)->text() + QStringLiteral(" 直線"));
    option2(i)->setAccessibleDescription(QString::fromLatin1(kLineColourDescriptions[i]));
  }
  for (int i = 0; i < 5; ++i) {
    check1(i)->setAccessibleName(QStringLiteral("直線 ") + check1(i)->text());
    check1(i)->setAccessibleDescription(
        QStringLiteral("Straight line %1 is drawn; untick to erase it").arg(i + 1));
  }
}

QLabel* MainWindow::makeLabel(const forms::Label& l) {
  auto* label = new QLabel(QString::fromStdString(l.Caption), this);
  label->setGeometry(geometryOf(l));
  label->setFont(fontFor(l.Font));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, toQColor(l.ForeColor));
  label->setPalette(pal);
  paintBackground(label, l.BackColor);
  return label;
}

template <class W, class C>
W* MainWindow::makeButton(C& control) {
  auto* w = new W(QString::fromStdString(control.Caption), this);
  w->setGeometry(geometryOf(control));
  w->setFont(dialogFont());
  if constexpr (!std::is_same_v<W, QPushButton>) {
    // The model decides which option is selected; Qt only shows it.
    if constexpr (std::is_same_v<W, QRadioButton>) w->setAutoExclusive(false);
    w->setStyle(compactStyle_);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(control.BackColor));
    pal.setColor(QPalette::Button, toQColor(control.BackColor));
    w->setPalette(pal);
  }
  QObject::connect(w, &QAbstractButton::clicked, this, [this, &control] {
    control.userClick();
    afterEvent();
  });
  return w;
}

void MainWindow::setUpTabOrder() {
  QWidget* previous = nullptr;
  for (const app::FocusStop& stop : app::Form1::tabOrder()) {
    QWidget* w = nullptr;
    switch (stop.kind) {
      case app::FocusStop::Kind::Surface: w = board_; break;
      case app::FocusStop::Kind::Command: w = commandButton(stop.index); break;
      case app::FocusStop::Kind::Option1: w = option1(stop.index); break;
      case app::FocusStop::Kind::Option2: w = option2(stop.index); break;
      case app::FocusStop::Kind::Check1: w = check1(stop.index); break;
    }
    if (previous != nullptr) setTabOrder(previous, w);
    previous = w;
  }
}

void MainWindow::afterEvent() {
  if (form_.endRequested()) {
    // "終了" ends the program at once: no further event is handled.
    hide();
    QApplication::exit(0);
    return;
  }
  auto syncBold = [](QPushButton* w, const forms::CommandButton& c) {
    if (w->font().bold() != c.FontBold) {
      QFont f = w->font();
      f.setBold(c.FontBold);
      w->setFont(f);
    }
    w->setEnabled(c.Enabled);
  };
  syncBold(commands_[0], form_.Command1);
  syncBold(commands_[1], form_.Command2);
  syncBold(commands_[2], form_.Command3);
  syncBold(commands_[3], form_.Command4);
  syncBold(commands_[4], form_.Command5);
  auto syncCheckable = [](QAbstractButton* w, bool checked, bool enabled) {
    const QSignalBlocker block(w);
    if (w->isChecked() != checked) w->setChecked(checked);
    if (w->isEnabled() != enabled) w->setEnabled(enabled);
  };
  for (int i = 0; i < 8; ++i)
    syncCheckable(option1_[static_cast<size_t>(i)], form_.Option1(i).Value(),
                  form_.Option1(i).Enabled);
  for (int i = 0; i < 4; ++i)
    syncCheckable(option2_[static_cast<size_t>(i)], form_.Option2(i).Value(),
                  form_.Option2(i).Enabled);
  for (int i = 0; i < 5; ++i)
    syncCheckable(check1_[static_cast<size_t>(i)], form_.Check1(i).Value() != 0,
                  form_.Check1(i).Enabled);
  board_->sync();
}

}  // namespace view
