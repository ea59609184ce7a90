// The window on a scaled screen (QT_SCALE_FACTOR is set by the test's environment):
// the layout stays 822 x 687 logical pixels, the figure and the ink are drawn at the
// device's resolution, and pointer positions map to the same board coordinates.
#include <QtTest>
#include <cmath>

#include "open_window.h"

class ScalingTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(openWindow());
    dpr_ = window_->devicePixelRatioF();
  }
  void cleanup() { closeWindow(); }

  void layoutKeepsItsLogicalSize() {
    const double expected = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QCOMPARE(dpr_, expected);
    QCOMPARE(window_->size(), QSize(822, 687));
    QCOMPARE(window_->board()->geometry(), QRect(8, 48, 806, 630));
    const QImage img = shot();
    QCOMPARE(img.size(), (QSize(822, 687) * dpr_));
  }

  void figureLinesAreSharpAtTheDevicesResolution() {
    const QImage img = shot();
    // p is 4 logical pixels thick, from y 273 to 277: every device row inside is
    // pure white (no blurry upscaling), and the rows just outside are board green.
    const int x = device(10 + 200);
    const int top = static_cast<int>(std::ceil((50 + 273) * dpr_));
    const int bottom = static_cast<int>(std::floor((50 + 277) * dpr_)) - 1;
    for (int y = top; y <= bottom; ++y) QCOMPARE(img.pixelColor(x, y), QColor(255, 255, 255));
    QCOMPARE(img.pixelColor(x, top - 2), QColor(0, 128, 0));
    QCOMPARE(img.pixelColor(x, bottom + 2), QColor(0, 128, 0));
  }

  void inkIsRasterisedAtTheDevicesResolutionWherePointerWent() {
    QCOMPARE(window_->board()->inkRaster().size(), (QSize(802, 626) * dpr_));
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    QWidget* board = window_->board();
    QTest::mouseMove(board, QPoint(102, 62));
    QTest::mousePress(board, Qt::LeftButton, {}, QPoint(102, 62));
    for (int x = 110; x <= 302; x += 8) QTest::mouseMove(board, QPoint(x, 62));
    QTest::mouseRelease(board, Qt::LeftButton, {}, QPoint(302, 62));
    window_->board()->flushFrame();  // the ink goes into the raster with the next frame
    // The stroke went along y = 60 of the board, whatever the scale.
    QCOMPARE(form_->LastY, 60.0F);
    const QImage& ink = window_->board()->inkRaster();
    QCOMPARE(ink.pixelColor(device(200), device(60)), QColor(255, 0, 0));
    // A 3-pixel stroke is about 3 * scale device pixels thick, not 3.
    int red = 0;
    for (int y = device(50); y < device(70); ++y)
      red += ink.pixelColor(device(200), y) == QColor(255, 0, 0);
    QVERIFY2(red >= static_cast<int>(2 * dpr_), qPrintable(QString::number(red)));
  }

  void markerIsACrispBlackRingAtTheDevicesResolution() {
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    QTest::mouseClick(window_->option1(7), Qt::LeftButton);  // the bold eraser's 25 px
    // (Here a press brings the marker; QTest's moves alone do not reach a scaled window.)
    QTest::mousePress(window_->board(), Qt::LeftButton, {}, QPoint(502, 62));
    QTest::mouseRelease(window_->board(), Qt::LeftButton, {}, QPoint(502, 62));
    const QImage img = shot();
    // Around (500, 60) every device pixel is black or the board's green, the black
    // ones spanning the circle's 25 layout pixels, as many device pixels wide.
    int left = img.width(), right = -1, black = 0;
    for (int y = device(50 + 60 - 16); y <= device(50 + 60 + 16); ++y) {
      for (int x = device(10 + 500 - 16); x <= device(10 + 500 + 16); ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c == QColor(0, 128, 0)) continue;
        QCOMPARE(c, QColor(0, 0, 0));
        ++black;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
    QVERIFY(black > 0);
    QVERIFY2(std::abs((right - left + 1) - 25 * dpr_) <= 1,
             qPrintable(QString::number(right - left)));
  }

 private:
  int device(double logical) const { return static_cast<int>(std::floor((logical + 0.5) * dpr_)); }

  double dpr_ = 1;
};

QTEST_MAIN(ScalingTest)
#include "scaling_test.moc"
