// The desktop by keyboard: the five parts reached by Tab and moved by keys as a drag
// moves them, given to a screen reader as sliders with their words, and a straight
// line drawn from the board's keys.
#include <QAccessible>
#include <QAccessibleValueInterface>

#include "open_window.h"

using gui_testing::kBoard;
using gui_testing::kRed;
using gui_testing::kWhite;

class KeyboardTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(openWindow()); }
  void cleanup() { closeWindow(); }

  void tabHoldsEachPartAndTheKeysMoveItAsADrag() {
    QVERIFY(QTest::qWaitForWindowActive(window_));
    key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window_->part(0));
    for (int i = 0; i < 5; ++i) key(Qt::Key_Up);
    QCOMPARE(form_->figure.LinePY, 250.0);
    QCOMPARE(pixel(shot(), 200, 250), kRed);
    key(Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), window_->board());
    QCOMPARE(pixel(shot(), 200, 250), kWhite);
    // Three Tabs on, ℓ's upper end: six Rights swing ℓ to (430, 125)-(70, 575).
    for (int i = 0; i < 3; ++i) key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window_->part(2));
    for (int i = 0; i < 6; ++i) key(Qt::Key_Right);
    QCOMPARE(form_->figure.LineLX1, 430.0);
    QCOMPARE(form_->figure.LineLX2, 70.0);
    // The notification says where it went once the keys paused, then what Enter did.
    QTRY_COMPARE(window_->status()->accessibleName(),
                 QStringLiteral("直線 ℓ の上の端、左から 17.2 マス"));
    key(Qt::Key_Return);
    QCOMPARE(form_->figure.ExtensionLShown, 1.0);
    QCOMPARE(window_->status()->accessibleName(), QStringLiteral("延長を表示しました"));
    QAccessibleInterface* end = QAccessible::queryAccessibleInterface(window_->part(2));
    QCOMPARE(end->text(QAccessible::Value), QStringLiteral("左から 17.2 マス、延長を表示中"));
    // In memo mode a part cannot move, and Escape still goes back to the board.
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    window_->part(0)->setFocus(Qt::TabFocusReason);
    QVERIFY(QAccessible::queryAccessibleInterface(window_->part(0))
                ->text(QAccessible::Description)
                .contains(QStringLiteral("動かせません")));
    key(Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), window_->board());
  }

  void theModesAreButtonsAReaderHearsPressed() {
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(window_->commandButton(5));
    QCOMPARE(line->role(), QAccessible::CheckBox);  // Qt 6.4's bridge has no toggle button
    QVERIFY(!line->state().checked);
    QTest::mouseClick(window_->commandButton(5), Qt::LeftButton);
    QVERIFY(line->state().checked);
    QVERIFY(window_->status()->accessibleName().startsWith(QStringLiteral("直線モードにしました")));
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);  // メモ ends 直線
    QVERIFY(!line->state().checked);
    QVERIFY(QAccessible::queryAccessibleInterface(window_->commandButton(3))->state().checked);
  }

  void aScreenReaderFindsSlidersWithTheirWordsAndSetsThem() {
    const QStringList names{"直線 p", "直線 q", "直線 ℓ の上の端", "直線 m の上の端",
                            "ℓ を平行移動した直線"};
    for (int i = 0; i < 5; ++i) {
      QAccessibleInterface* a =
          QAccessible::queryAccessibleInterface(window_->part(static_cast<std::size_t>(i)));
      QVERIFY(a);
      QCOMPARE(a->role(), QAccessible::Slider);
      QCOMPARE(a->text(QAccessible::Name), names[i]);
    }
    QAccessibleInterface* q = QAccessible::queryAccessibleInterface(window_->part(1));
    QCOMPARE(q->text(QAccessible::Value), QStringLiteral("上から 14.0 マス"));
    QAccessibleValueInterface* value = q->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->currentValue().toDouble(), 626.0 - 350);
    value->setCurrentValue(626.0 - 300);  // q up two squares
    QCOMPARE(form_->figure.LineQY, 300.0);
    QCOMPARE(q->text(QAccessible::Value), QStringLiteral("上から 12.0 マス"));
  }

  void theBoardsKeysDrawAStraightLine() {
    QTest::mouseClick(window_->commandButton(5), Qt::LeftButton);  // 直線
    window_->board()->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Return);  // from the board's middle, (401, 313)
    for (int i = 0; i < 8; ++i) key(Qt::Key_Right);
    key(Qt::Key_PageDown);
    key(Qt::Key_Space);
    QCOMPARE(form_->Line4(0).X2, 441.0F);
    QCOMPARE(form_->Line4(0).Y2, 338.0F);
    QVERIFY(window_->check1(0)->isChecked());
    QCOMPARE(pixel(shot(), 421, 325), kWhite);
  }

 private:
  static void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
  static QColor pixel(const QImage& img, int x, int y) { return gui_testing::pixel(img, x, y); }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
