// A finger or a pen on an interactive whiteboard: touches and a tablet's pen on the
// real window, each as itself, and a gesture whose end never comes.
#include <QPointingDevice>
#include <QTabletEvent>
#include <QtTest>

#include "open_window.h"

using gui_testing::kBoard;
using gui_testing::kRed;
using gui_testing::kWhite;
using gui_testing::pixel;

class TouchTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void initTestCase() {
    device_ = QTest::createTouchDevice();
    pen_ = new QPointingDevice(
        QStringLiteral("pen"), 7, QInputDevice::DeviceType::Stylus,
        QPointingDevice::PointerType::Pen,
        QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3);
  }
  void cleanupTestCase() {
    delete device_;
    delete pen_;
  }
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

  void aSecondFingerDuringADragDoesNothing() {
    QWidget* board = window_->board();
    const double q = form_->figure.LineQY;
    QTest::touchEvent(board, device_).press(0, at({30, 275}), board);
    QTest::touchEvent(board, device_)
        .move(0, at({30, 255}), board)
        .press(1, at({30, int(q)}), board);
    QTest::touchEvent(board, device_)
        .move(0, at({30, 235}), board)
        .move(1, at({30, int(q) + 40}), board);
    QTest::touchEvent(board, device_).stationary(0).release(1, at({30, int(q) + 40}), board);
    QTest::touchEvent(board, device_).move(0, at({30, 215}), board);
    QTest::touchEvent(board, device_).release(0, at({30, 215}), board);
    QCoreApplication::processEvents();
    QCOMPARE(form_->figure.LinePY, 215.0);
    QCOMPARE(form_->figure.LineQY, q);
  }

  void aPenWritesWhileTheHandBesideItDoesNot() {
    tap(window_->commandButton(3));  // メモ
    QWidget* board = window_->board();
    pen(QEvent::TabletPress, {100, 60}, Qt::LeftButton);
    // The palm lands beside the pen and slides along with it.
    QTest::touchEvent(board, device_).press(0, at({100, 200}), board);
    for (int x = 110; x <= 300; x += 10) {
      pen(QEvent::TabletMove, {x, 60}, Qt::LeftButton);
      QTest::touchEvent(board, device_).move(0, at({x, 200}), board);
    }
    QTest::touchEvent(board, device_).release(0, at({300, 200}), board);
    pen(QEvent::TabletRelease, {300, 60}, Qt::LeftButton);
    window_->board()->flushFrame();
    const QImage& ink = window_->board()->inkRaster();
    QCOMPARE(ink.pixelColor(200, 60), kRed);
    QCOMPARE(ink.pixelColor(200, 200), kBoard);
  }

  void aPenAboveTheBoardAndTheMouseMadeOfItDoNotWrite() {
    tap(window_->commandButton(3));  // メモ
    // Hovering from left to right, then down on the board and a short stroke.
    for (int x = 100; x <= 300; x += 10) pen(QEvent::TabletMove, {x, 100}, Qt::NoButton);
    pen(QEvent::TabletPress, {100, 300}, Qt::LeftButton);
    // A press of the mouse a system made of the pen (here well away from it, to see
    // it): the pen is had already, and a mouse's press would end its stroke.
    QMouseEvent made(QEvent::MouseButtonPress, at({200, 400}),
                     window_->board()->mapToGlobal(at({200, 400})), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier, pen_);
    QApplication::sendEvent(window_->board(), &made);
    pen(QEvent::TabletMove, {300, 300}, Qt::LeftButton);
    pen(QEvent::TabletRelease, {300, 300}, Qt::LeftButton);
    window_->board()->flushFrame();
    const QImage& ink = window_->board()->inkRaster();
    QCOMPARE(ink.pixelColor(200, 100), kBoard);
    QCOMPARE(ink.pixelColor(200, 300), kRed);
    QCOMPARE(ink.pixelColor(200, 400), kBoard);
  }

  // A finger holds p when the window loses it: another window comes up, or the system
  // takes the touch. p is let go, and another finger's press is taken at once.
  void aGestureCutOffEndsAndTheNextPressIsNew_data() {
    QTest::addColumn<bool>("byAnotherWindow");
    QTest::newRow("another window comes up") << true;
    QTest::newRow("the system cancels the touch") << false;
  }
  void aGestureCutOffEndsAndTheNextPressIsNew() {
    QFETCH(bool, byAnotherWindow);
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QWidget* board = window_->board();
    QTest::touchEvent(board, device_).press(0, at({30, 275}), board);
    QTest::touchEvent(board, device_).move(0, at({30, 255}), board);
    QCOMPARE(pixel(shot(), 200, 255), kRed);  // held
    if (byAnotherWindow) {
      QWidget other;
      other.resize(200, 100);
      other.show();
      other.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&other));
      QCoreApplication::processEvents();
      other.hide();
      window_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(window_));
    } else {
      QTouchEvent cancel(QEvent::TouchCancel, device_);
      QApplication::sendEvent(board, &cancel);
    }
    QCOMPARE(pixel(shot(), 200, 255), kWhite);  // let go where it was
    const double q = form_->figure.LineQY;
    QTest::touchEvent(board, device_).press(1, at({30, int(q)}), board);
    QTest::touchEvent(board, device_).move(1, at({30, int(q) + 20}), board);
    QTest::touchEvent(board, device_).release(1, at({30, int(q) + 20}), board);
    QCoreApplication::processEvents();
    QCOMPARE(form_->figure.LinePY, 255.0);
    QCOMPARE(form_->figure.LineQY, q + 20);
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
    window_->board()->flushFrame();  // the ink goes into the raster with the frame
  }
  void tap(QWidget* w) {
    const QPoint centre = w->rect().center();
    QTest::touchEvent(w, device_).press(0, centre, w);
    QTest::touchEvent(w, device_).release(0, centre, w);
    QCoreApplication::processEvents();
  }

  // A tablet's pen on the board, at a point of its drawing area.
  void pen(QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    QWidget* board = window_->board();
    const QPointF local = at(p);
    const Qt::MouseButton button = type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    QTabletEvent e(type, pen_, local, board->mapToGlobal(local), buttons ? 0.5 : 0, 0, 0, 0, 0, 0,
                   Qt::NoModifier, button, type == QEvent::TabletRelease ? Qt::NoButton : buttons);
    QApplication::sendEvent(board, &e);
  }

  QPointingDevice* device_ = nullptr;
  QPointingDevice* pen_ = nullptr;
};

QTEST_MAIN(TouchTest)
#include "touch_test.moc"
