// The real window, offscreen: its layout and the pixels of the initial figure.
#include <QCheckBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QtTest>

#include "open_window.h"
#include "qt/fonts.h"

using gui_testing::kBoard;
using gui_testing::kWhite;
using gui_testing::kYellow;

class WindowTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(openWindow()); }
  void cleanup() { closeWindow(); }

  void clientAreaAndTitle() {
    QCOMPARE(window_->size(), QSize(822, 687));
    QCOMPARE(window_->windowTitle(), QStringLiteral("平行線と線分の比 (by t.Kavel)"));
    QCOMPARE(window_->board()->geometry(), QRect(8, 48, 806, 630));
  }

  void toolRowStandsWhereDesigned() {
    const struct {
      QWidget* w;
      QRect r;
      const char* caption;
    } expected[] = {
        {window_->commandButton(1), {144, 8, 65, 33}, "初期画面"},
        {window_->commandButton(4), {224, 8, 41, 33}, "方眼"},
        {window_->commandButton(5), {272, 8, 41, 33}, "直線"},
        {window_->option2(0), {320, 8, 33, 17}, "赤"},
        {window_->option2(3), {440, 8, 33, 17}, "白"},
        {window_->check1(0), {320, 24, 25, 17}, "1"},
        {window_->check1(4), {448, 24, 25, 17}, "5"},
        {window_->commandButton(3), {480, 8, 41, 33}, "メモ"},
        {window_->option1(4), {560, 8, 57, 17}, "赤"},
        {window_->option1(7), {680, 8, 81, 17}, "消しゴム"},
        {window_->option1(0), {560, 24, 57, 17}, "赤"},
        {window_->option1(3), {680, 24, 81, 17}, "消しゴム"},
        {window_->commandButton(2), {752, 8, 57, 33}, "終了"},
    };
    for (const auto& e : expected) {
      QCOMPARE(e.w->geometry(), e.r);
      QCOMPARE(static_cast<QAbstractButton*>(e.w)->text(), QString::fromUtf8(e.caption));
    }
  }

  void indicatorsStandTheCoresGapFromTheirCaptions() {
    // Measured on the pixels: each caption is drawn 3 px further right than the same
    // control's caption with no gap at all, the indicator, font and glyph being the same.
    struct NoGap : QProxyStyle {
      int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        if (m == PM_CheckBoxLabelSpacing || m == PM_RadioButtonLabelSpacing) return 0;
        return QProxyStyle::pixelMetric(m, o, w);
      }
    } noGap;
    // The last column of the caption's ink, the caption being the rightmost thing
    // drawn (the top-right pixel is background). Its right edge rather than its left:
    // with no gap the caption may touch the indicator.
    const auto captionRight = [](QWidget* w) {
      const QImage img = w->grab().toImage();
      const QRgb background = img.pixel(img.width() - 1, 0);
      for (int x = img.width() - 1; x >= 0; --x)
        for (int y = 0; y < img.height(); ++y)
          if (img.pixel(x, y) != background) return x;
      return -1;
    };
    QCheckBox box(window_->check1(0)->text());
    QRadioButton option(window_->option1(0)->text());
    const struct {
      QAbstractButton* shown;
      QAbstractButton* gapless;
    } pairs[] = {{window_->check1(0), &box}, {window_->option1(0), &option}};
    for (const auto& [shown, gapless] : pairs) {
      gapless->setStyle(&noGap);
      gapless->setFont(shown->font());
      gapless->setPalette(shown->palette());
      gapless->setEnabled(shown->isEnabled());
      gapless->setChecked(shown->isChecked());
      gapless->resize(shown->size());
      const int at = captionRight(shown), without = captionRight(gapless);
      QVERIFY2(without > 0 && at < shown->width() - 1, qPrintable(shown->text()));  // not cut off
      QCOMPARE(at - without, 3);
    }
  }

  void startsWithWhiteSelectedAndEveryOptionDisabled() {
    QVERIFY(window_->option2(3)->isChecked());
    for (int i = 0; i < 8; ++i) {
      QVERIFY(!window_->option1(i)->isChecked());
      QVERIFY(!window_->option1(i)->isEnabled());
    }
    for (int i = 0; i < 5; ++i) QVERIFY(!window_->check1(i)->isChecked());
    QVERIFY(!window_->commandButton(4)->font().bold());
  }

  void initialFigurePixels() {
    const QImage img = window_->grab().toImage();
    // p, q, r between the margin and the arrowheads.
    QCOMPARE(gui_testing::pixel(img, 200, 275), kWhite);
    QCOMPARE(gui_testing::pixel(img, 600, 350), kWhite);
    QCOMPARE(gui_testing::pixel(img, 400, 500), kWhite);
    // ℓ and m, half-way between their upper ends and p.
    QCOMPARE(gui_testing::pixel(img, 350, 200), kWhite);
    QCOMPARE(gui_testing::pixel(img, 500, 200), kWhite);
    // The arrowheads' tips and strokes.
    QCOMPARE(gui_testing::pixel(img, 670, 279), kYellow);
    QCOMPARE(gui_testing::pixel(img, 670, 345), kYellow);
    QCOMPARE(gui_testing::pixel(img, 670, 504), kYellow);
    // Board green where nothing stands, where the hidden extension of ℓ and the
    // parked copy of ℓ would be, and beyond the right end of the parallels.
    QCOMPARE(gui_testing::pixel(img, 100, 100), kBoard);
    QCOMPARE(gui_testing::pixel(img, 433, 75), kBoard);
    QCOMPARE(gui_testing::pixel(img, 790, 275), kBoard);
    QCOMPARE(gui_testing::pixel(img, 700, 600), kBoard);
    // The window's own light green around the board.
    QCOMPARE(img.pixelColor(4, 300), QColor(192, 255, 192));
  }

  void boardHasTheFocusAsTheWindowOpensAndTabGoesOnInOrder() {
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QCOMPARE(QApplication::focusWidget(), window_->board());
    // Space and Enter at once go to the board, which takes no keys: "初期画面" stays
    // unpressed.
    int resets = 0;
    const std::function<void()> reset = form_->Command1.Click;
    form_->Command1.Click = [&] {
      ++resets;
      reset();
    };
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(resets, 0);
    QCOMPARE(QApplication::focusWidget(), window_->board());
    // The five parts and the description first; the option buttons are disabled on
    // the initial screen, so focus passes them by.
    QList<QWidget*> order;
    for (std::size_t i = 0; i < frontend::kParts.size(); ++i) order << window_->part(i);
    order << window_->describeButton();
    order << QList<QWidget*>{
        window_->commandButton(1), window_->commandButton(2), window_->commandButton(3),
        window_->commandButton(4), window_->commandButton(5), window_->check1(0),
        window_->check1(1),        window_->check1(2),        window_->check1(3),
        window_->check1(4),        window_->board()};
    for (QWidget* next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), next);
    }
  }

  void spaceBarPressesTheFocusedButton() {
    window_->commandButton(4)->setFocus();
    QTest::keyClick(window_->commandButton(4), Qt::Key_Space);
    QCOMPARE(form_->board.GridShown, 1.0);
    QVERIFY(window_->commandButton(4)->font().bold());
    window_->check1(2)->setFocus();
    QTest::keyClick(window_->check1(2), Qt::Key_Space);
    QCOMPARE(form_->Check1(2).Value(), 1);
    QVERIFY(window_->check1(2)->isChecked());
  }

  void optionButtonsShowOnlyTheModelsChoice() {
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);  // メモ
    QVERIFY(window_->option1(0)->isChecked());
    QVERIFY(!window_->option2(3)->isChecked());
    QTest::mouseClick(window_->option1(6), Qt::LeftButton);
    QVERIFY(window_->option1(6)->isChecked());
    QVERIFY(!window_->option1(0)->isChecked());
    QTest::mouseClick(window_->option1(6), Qt::LeftButton);  // clicking it again keeps it
    QVERIFY(window_->option1(6)->isChecked());
    QCOMPARE(form_->board.PenColor, 9);
    QTest::mouseClick(window_->option2(0), Qt::LeftButton);  // disabled: ignored
    QVERIFY(!window_->option2(0)->isChecked());
  }

  void pointNamesUseAJapaneseSerifThatFitsTheirLabels() {
    const QFont f = desktop::fontFor(form_->Label2(0).Font);
    const QString family = QFontInfo(f).family();
    QVERIFY2(family.contains(QStringLiteral("Mincho")) || family.contains(QStringLiteral("明朝")) ||
                 family.contains(QStringLiteral("Serif CJK")),
             qPrintable(family));
    QVERIFY(QFontInfo(f).bold());
    // 21.75 pt is 29 px: letters as large as on the original desktop. The free fonts
    // keep more room below the baseline, which the 29 px box cuts off; every capital
    // stands above the baseline, inside the box.
    QCOMPARE(f.pixelSize(), 29);
    const QFontMetrics m(f);
    QVERIFY2(m.ascent() <= 29, qPrintable(QString::number(m.ascent())));
    QVERIFY(m.tightBoundingRect(QStringLiteral("ＡＢＣ")).bottom() <= 29 - m.ascent());
    for (int i = 0; i < 6; ++i) {
      const forms::Label& name = form_->Label2(i);
      QVERIFY(m.horizontalAdvance(QString::fromStdString(name.Caption)) <= name.Width + 1);
    }
  }

  void everyCaptionHasItsGlyphsInTheFontChosen() {
    // No empty boxes: each character of every caption and name exists in the font
    // the fallback chain picked.
    QList<QAbstractButton*> buttons;
    for (int n = 1; n <= 5; ++n) buttons << window_->commandButton(n);
    for (int i = 0; i < 8; ++i) buttons << window_->option1(i);
    for (int i = 0; i < 4; ++i) buttons << window_->option2(i);
    for (QAbstractButton* b : buttons) {
      const QFontMetrics m(b->font());
      for (const QChar c : b->text()) QVERIFY2(m.inFont(c), qPrintable(b->text()));
    }
    for (int i = 0; i < 6; ++i) {
      const forms::Label& name = form_->Label2(i);
      const QFontMetrics m(desktop::fontFor(name.Font));
      for (const QChar c : QString::fromStdString(name.Caption))
        QVERIFY2(m.inFont(c), name.Caption.c_str());
    }
    const QFontMetrics title(desktop::fontFor(form_->Label1.Font));
    for (const QChar c : QString::fromStdString(form_->Label1.Caption)) QVERIFY(title.inFont(c));
  }

  void opensCentredWithAnIconForEveryPlaceTheDesktopShowsIt() {
    const QRect screen = window_->screen()->availableGeometry();
    QVERIFY2((window_->geometry().center() - screen.center()).manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2 in %3x%4")
                            .arg(window_->geometry().x())
                            .arg(window_->geometry().y())
                            .arg(screen.width())
                            .arg(screen.height())));
    // The title bar, the task bar, the window switcher and a 4K dock each take a picture
    // drawn at their own size, not one scaled from another.
    const QList<QSize> sizes = window_->windowIcon().availableSizes();
    for (int s : {16, 24, 32, 48, 256})
      QVERIFY2(sizes.contains(QSize(s, s)), qPrintable(QString::number(s)));
  }

  void aLargerOrSmallerWindowLeavesTheBoardWhereThePointerFindsIt() {
    // The layout keeps its place whatever the window's size: a press on the board
    // still lands on the figure's point under it.
    window_->resize(600, 400);
    QCOMPARE(window_->commandButton(2)->geometry(), QRect(752, 8, 57, 33));
    window_->resize(1200, 900);
    QCOMPARE(window_->board()->geometry(), QRect(8, 48, 806, 630));
    QWidget* board = window_->board();
    QTest::mouseMove(board, gui_testing::at(30, 275));
    QTest::mousePress(board, Qt::LeftButton, {}, gui_testing::at(30, 275));
    QTest::mouseMove(board, gui_testing::at(30, 200));
    QTest::mouseRelease(board, Qt::LeftButton, {}, gui_testing::at(30, 200));
    QCOMPARE(form_->figure.LinePY, 200.0);
  }

  void everyControlHasAnAccessibleNameAndDescription() {
    QList<QWidget*> controls{window_->board()};
    for (int n = 1; n <= 5; ++n) controls << window_->commandButton(n);
    for (int i = 0; i < 8; ++i) controls << window_->option1(i);
    for (int i = 0; i < 4; ++i) controls << window_->option2(i);
    for (int i = 0; i < 5; ++i) controls << window_->check1(i);
    for (QWidget* w : controls) {
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
      QVERIFY2(!w->accessibleDescription().isEmpty(), qPrintable(w->accessibleName()));
    }
    QCOMPARE(window_->commandButton(1)->accessibleName(), QStringLiteral("初期画面"));
    QCOMPARE(window_->option1(7)->accessibleDescription(), QStringLiteral("太字の消しゴム"));
  }

  void closingTheWindowInTheMiddleOfADragEndsTheProgramWithStatusZero() {
    // A teacher may close the window with a line still held: the program ends cleanly,
    // and the gesture ends where the pointer was last seen, as a release there would:
    // p let go (white again, nothing held) at 240, not left held for a release that
    // never comes.
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QWidget* board = window_->board();
    QTest::mouseMove(board, gui_testing::at(30, 275));
    QTest::mousePress(board, Qt::LeftButton, {}, gui_testing::at(30, 275));
    QTest::mouseMove(board, gui_testing::at(30, 240));
    QCOMPARE(form_->figure.DragTarget, 1);  // p held
    QCOMPARE(form_->Line1(0).BorderColor, (forms::Rgb{255, 0, 0}));
    QTimer::singleShot(0, window_, &QWidget::close);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window_->isVisible());
    QCOMPARE(form_->figure.DragTarget, 0);
    QCOMPARE(form_->Line1(0).BorderColor, (forms::Rgb{255, 255, 255}));
    QCOMPARE(form_->figure.LinePY, 240.0);
  }

  void quitButtonsWholeFaceTakesClicksOverTheEraserButtons() {
    // "消しゴム" boxes reach to x 760, over the left of "終了" (752 to 808): what lies
    // on top at each point of its face is the button itself.
    for (const QPoint p : {QPoint(752, 8), QPoint(756, 14), QPoint(756, 30), QPoint(760, 40),
                           QPoint(808, 8), QPoint(808, 40)})
      QCOMPARE(window_->childAt(p), window_->commandButton(2));
  }

  void optionButtonsAndBoxesTakeAClickAnywhereInTheirBox() {
    // Real clicks on the window, which Qt hands to the control on top at that point.
    auto clickAt = [this](QPoint p) {
      QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, p);
    };
    clickAt({500, 24});  // メモ
    clickAt({595, 16});  // bold red, right of its caption
    QVERIFY(window_->option1(4)->isChecked());
    clickAt({605, 16});  // where bold red's box lies under bold yellow's
    QVERIFY(window_->option1(5)->isChecked());
    clickAt({748, 16});  // the bold eraser, just left of 終了
    QVERIFY(window_->option1(7)->isChecked());
    QCOMPARE(form_->board.PenColor, 2);
    clickAt({292, 24});  // 直線
    clickAt({351, 16});  // red, at the right edge of its 33 pixels
    QVERIFY(window_->option2(0)->isChecked());
    QCOMPARE(form_->board.LineColor, forms::Int16{12});
    QTest::mouseMove(window_->board(), gui_testing::at(100, 100));
    QTest::mousePress(window_->board(), Qt::LeftButton, {}, gui_testing::at(100, 100));
    QTest::mouseMove(window_->board(), gui_testing::at(200, 100));
    QTest::mouseRelease(window_->board(), Qt::LeftButton, {}, gui_testing::at(200, 100));
    QVERIFY(window_->check1(0)->isChecked());
    clickAt({343, 38});  // box 1, right of its caption: the line goes
    QVERIFY(!window_->check1(0)->isChecked());
    QCOMPARE(form_->Line4(0).X1, 1000.0F);
  }

  void titleIsBold() {
    QCOMPARE(window_->findChild<QLabel*>()->text(), QStringLiteral("相似と比"));
    QVERIFY(window_->findChild<QLabel*>()->font().bold());
  }

  void endButtonHidesTheWindowAndEndsTheEventLoop() {
    QTimer::singleShot(0, window_->commandButton(2), &QPushButton::click);
    const int status = QCoreApplication::exec();
    QCOMPARE(status, 0);
    QVERIFY(!window_->isVisible());
  }

 private:
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
