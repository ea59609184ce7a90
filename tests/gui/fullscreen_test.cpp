// F11 on a projector: the whole window scaled as one to fill the screen (offscreen, a
// screen smaller than the window: scaled down), every hit and drag mapped back, and
// F11 again the window as it was.
#include <QtTest>
#include <cmath>

#include "open_window.h"

using gui_testing::kBoard;
using gui_testing::kWhite;

class FullScreenTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(openWindow()); }
  void cleanup() { closeWindow(); }

  void fillsTheScreenScaledAsOneAndComesBackPixelForPixel() {
    drag({30, 275}, {30, 215});  // p moved, so that what comes back is not the start
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);  // メモ: some writing too
    drag({100, 600}, {300, 610});
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    const QImage before = boardShot();
    QCOMPARE(before.pixelColor(202, 607), gui_testing::kRed);
    const QRect button = window_->commandButton(1)->geometry();
    const int fontPixels = window_->commandButton(1)->font().pixelSize();
    enterFullScreen();
    // As large as the screen takes the whole window, centred on whole pixels.
    const QSize screen = window_->size();
    const double s = std::min(screen.width() / 822.0, screen.height() / 687.0);
    const double left = std::round((screen.width() - 822 * s) / 2);
    const double top = std::round((screen.height() - 687 * s) / 2);
    QCOMPARE(window_->fit().scale, s);
    QCOMPARE(window_->board()->inkRaster().devicePixelRatio(),
             s);  // writing at the screen's resolution
    const auto x = [&](int v) { return static_cast<int>(std::lround(left + v * s)); };
    const auto y = [&](int v) { return static_cast<int>(std::lround(top + v * s)); };
    QCOMPARE(window_->board()->geometry(),
             QRect(x(8), y(48), static_cast<int>(std::lround(806 * s)),
                   static_cast<int>(std::lround(630 * s))));
    QCOMPARE(window_->commandButton(1)->geometry(),
             QRect(QPoint(x(button.left()), y(button.top())),
                   QPoint(x(button.right() + 1) - 1, y(button.bottom() + 1) - 1)));
    QCOMPARE(window_->commandButton(1)->font().pixelSize(),
             static_cast<int>(std::lround(fontPixels * s)));
    // p at its scaled height, one layout pixel below its 4 thick still board green.
    const QImage full = boardShot();
    QCOMPARE(full.pixelColor(scaled(200), scaled(215)), kWhite);
    QCOMPARE(full.pixelColor(scaled(200), scaled(222)), kBoard);
    // A press where 方眼 is drawn now is a press of 方眼 (its hit test maps back).
    QTest::mouseClick(window_->commandButton(4), Qt::LeftButton);
    QCOMPARE(form_->board.GridShown, 1.0);
    QTest::mouseClick(window_->commandButton(4), Qt::LeftButton);
    QCOMPARE(form_->board.GridShown, 0.0);

    window_->toggleFullScreen();
    QTRY_COMPARE(window_->size(), QSize(822, 687));
    QCOMPARE(window_->board()->geometry(), QRect(8, 48, 806, 630));
    QCOMPARE(window_->commandButton(1)->geometry(), button);
    QCOMPARE(window_->commandButton(1)->font().pixelSize(), fontPixels);
    QCOMPARE(window_->board()->inkRaster().devicePixelRatio(), 1.0);
    QCOMPARE(boardShot(), before);
  }

  // ℓ's upper end dragged 30 layout pixels right, in scaled pixels: ℓ swings about B
  // to (430, 125)-(70, 575), as at 1x.
  void aDragInScaledPixelsIsTheSameDragOfTheFigure() {
    enterFullScreen();
    const double s = window_->fit().scale;
    const auto to = [&](double x, double y) { return QPointF((x + 2) * s, (y + 2) * s); };
    send(QEvent::MouseMove, to(400, 125), Qt::NoButton);
    send(QEvent::MouseButtonPress, to(400, 125), Qt::LeftButton);
    for (int i = 1; i <= 6; ++i) send(QEvent::MouseMove, to(400 + 5 * i, 125), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to(430, 125), Qt::LeftButton);
    QCOMPARE(form_->figure.LineLX1, 430.0);
    QCOMPARE(form_->figure.LineLX2, 70.0);
  }

 private:
  void enterFullScreen() {
    window_->toggleFullScreen();
    QTRY_COMPARE(window_->size(), window_->screen()->geometry().size());
    QVERIFY(window_->fit().scale != 1);
  }
  // A layout pixel of the drawing area as a pixel of the scaled board widget.
  int scaled(int v) const { return static_cast<int>((v + 2 + 0.5) * window_->fit().scale); }
  QImage boardShot() const {
    window_->board()->flushFrame();
    QCoreApplication::processEvents();
    return window_->board()->grab().toImage();
  }
  void drag(QPoint from, QPoint to) {
    QWidget* board = window_->board();
    QTest::mouseMove(board, gui_testing::at(from.x(), from.y()));
    QTest::mousePress(board, Qt::LeftButton, {}, gui_testing::at(from.x(), from.y()));
    QTest::mouseMove(board, gui_testing::at(to.x(), to.y()));
    QTest::mouseRelease(board, Qt::LeftButton, {}, gui_testing::at(to.x(), to.y()));
  }
  // A mouse event at a position between the screen's pixels, as a fine pointer gives.
  void send(QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QWidget* board = window_->board();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, board->mapToGlobal(at), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : buttons, Qt::NoModifier);
    QApplication::sendEvent(board, &e);
  }
};

QTEST_MAIN(FullScreenTest)
#include "fullscreen_test.moc"
