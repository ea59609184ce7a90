// A finger or a pen on an interactive whiteboard: touches on the real window.
#include <QPointingDevice>
#include <QtTest>

#include "open_window.h"

class TouchTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void initTestCase() { device_ = QTest::createTouchDevice(); }
  void cleanupTestCase() { delete device_; }
  void init() { QVERIFY(openWindow()); }
  void cleanup() { closeWindow(); }

  void touchDragOnTheBoardDragsP() {
    touchDrag({30, 275}, {30, 215});
    QCOMPARE(form_->figure.LinePY, 215.0);
  }

  void aTouchStartsWhereItLands() {
    touchDrag({300, 500}, {310, 520});  // a first touch somewhere else
    QCOMPARE(form_->figure.LinePY, 275.0);
    // Lands on p's handle far from where the last touch ended, then moves 10 px down.
    touchDrag({30, 275}, {30, 285}, 1);
    QCOMPARE(form_->figure.LinePY, 285.0);
  }

  void aPressWithoutAMoveBeforeItStillStartsWhereItLands() {
    // Whatever path the press came by (here straight to the board, with no move to
    // the press point first), the board hands the model a move there before it.
    QWidget* board = window_->board();
    QTest::mouseMove(board, at({300, 500}));
    QTest::mousePress(board, Qt::LeftButton, {}, at({30, 275}));
    QTest::mouseMove(board, at({30, 285}));
    QTest::mouseRelease(board, Qt::LeftButton, {}, at({30, 285}));
    QCOMPARE(form_->figure.LinePY, 285.0);
  }

  void touchWritesInMemoModeAndDrawsStraightLines() {
    tap(window_->commandButton(3));  // メモ
    QCOMPARE(form_->board.MemoMode, 1);
    touchDrag({100, 60}, {300, 60});
    QCOMPARE(window_->board()->inkRaster().pixelColor(200, 60), QColor(255, 0, 0));

    tap(window_->commandButton(5));  // 直線
    QCOMPARE(form_->board.LineMode, 1);
    touchDrag({100, 100}, {400, 150});
    QCOMPARE(form_->Check1(0).Value(), 1);
    QCOMPARE(form_->Line4(0).X1, 100.0F);
    QCOMPARE(form_->Line4(0).Y2, 150.0F);
  }

  void aTapOnAButtonClicksIt() {
    tap(window_->commandButton(4));  // 方眼
    QCOMPARE(form_->board.GridShown, 1.0);
    QVERIFY(window_->commandButton(4)->font().bold());
  }

 private:
  static QPoint at(QPoint p) { return p + QPoint(2, 2); }
  void touchDrag(QPoint from, QPoint to, int stepPixels = 10) {
    QWidget* board = window_->board();
    QTest::touchEvent(board, device_).press(0, at(from), board);
    const QPoint delta = to - from;
    const int steps = std::max(1, std::max(std::abs(delta.x()), std::abs(delta.y())) / stepPixels);
    for (int i = 1; i <= steps; ++i)
      QTest::touchEvent(board, device_).move(0, at(from + delta * i / steps), board);
    QTest::touchEvent(board, device_).release(0, at(to), board);
    QCoreApplication::processEvents();
  }
  void tap(QWidget* w) {
    const QPoint centre = w->rect().center();
    QTest::touchEvent(w, device_).press(0, centre, w);
    QTest::touchEvent(w, device_).release(0, centre, w);
    QCoreApplication::processEvents();
  }

  QPointingDevice* device_ = nullptr;
};

QTEST_MAIN(TouchTest)
#include "touch_test.moc"
