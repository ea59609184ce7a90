// Dragging the figure and clicking its pictures with mouse events on the real window.
#include <QtTest>

#include "open_window.h"

using gui_testing::at;
using gui_testing::kBoard;
using gui_testing::kRed;
using gui_testing::kWhite;
using gui_testing::pixel;

class DragTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(openWindow()); }
  void cleanup() { closeWindow(); }

  void draggingPMovesItsLine() {
    drag({30, 275}, {30, 200});
    const QImage img = shot();
    QCOMPARE(pixel(img, 200, 200), kWhite);
    QCOMPARE(pixel(img, 600, 200), kWhite);
    QCOMPARE(pixel(img, 200, 275), kBoard);
    QCOMPARE(form_->figure.LinePY, 200.0);
  }

  void swingingLMovesItsLineAboutB() {
    drag({400, 125}, {500, 125});
    // ℓ now runs from (500, 125) through B (250, 350) to (0, 575).
    const QImage img = shot();
    QCOMPARE(pixel(img, 417, 200), kWhite);
    QCOMPARE(pixel(img, 100, 485), kWhite);
    QCOMPARE(pixel(img, 350, 200), kBoard);  // where ℓ stood
  }

  void copyOfLIsRedWhileHeldAndWhiteWhereItWasLeft() {
    QTest::mouseMove(board(), at(250, 350));
    QTest::mousePress(board(), Qt::LeftButton, {}, at(250, 350));
    for (int x = 260; x <= 300; x += 10) QTest::mouseMove(board(), at(x, 350));
    // From (450, 125) to (150, 575), parallel to ℓ.
    QCOMPARE(pixel(shot(), 400, 200), kRed);
    QTest::mouseRelease(board(), Qt::LeftButton, {}, at(300, 350));
    const QImage img = shot();
    QCOMPARE(pixel(img, 400, 200), kWhite);
    QCOMPARE(pixel(img, 200, 500), kWhite);
    QCOMPARE(pixel(img, 350, 200), kWhite);  // ℓ itself stayed
  }

  void clickingPictureLShowsAndHidesItsExtension() {
    const QPoint pictureL = at(412, 152);
    QCOMPARE(pixel(shot(), 433, 75), kBoard);
    QTest::mouseClick(board(), Qt::LeftButton, {}, pictureL);
    QCOMPARE(pixel(shot(), 433, 75), kWhite);
    QCOMPARE(form_->figure.DragTarget, 0);  // the picture took the press, not the board
    QTest::mouseClick(board(), Qt::LeftButton, {}, pictureL);
    QCOMPARE(pixel(shot(), 433, 75), kBoard);
  }

  void pressOnAPictureThatEndsElsewhereIsNoClick() {
    QTest::mousePress(board(), Qt::LeftButton, {}, at(412, 152));
    QTest::mouseMove(board(), at(300, 50));
    QTest::mouseRelease(board(), Qt::LeftButton, {}, at(300, 50));
    QCOMPARE(form_->figure.ExtensionLShown, 0.0);
  }

 private:
  QWidget* board() const { return window_->board(); }
  void drag(QPoint from, QPoint to) {
    QTest::mouseMove(board(), at(from.x(), from.y()));
    QTest::mousePress(board(), Qt::LeftButton, {}, at(from.x(), from.y()));
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i) {
      const QPoint p = from + (to - from) * i / kSteps;
      QTest::mouseMove(board(), at(p.x(), p.y()));
    }
    QTest::mouseRelease(board(), Qt::LeftButton, {}, at(to.x(), to.y()));
  }

};

QTEST_MAIN(DragTest)
#include "drag_test.moc"
