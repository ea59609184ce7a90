// Dragging the figure and clicking its pictures with mouse events on the real window.
#include <QtTest>

#include "app/form1.h"
#include "qt/main_window.h"

namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kBoard(0, 128, 0);

}  // namespace

class DragTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    form_ = std::make_unique<app::Form1>();
    form_->Form_Load();
    window_ = std::make_unique<view::MainWindow>(*form_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() {
    window_.reset();
    form_.reset();
  }

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
  // A point of the drawing area in the board widget's coordinates (2 px of border).
  static QPoint at(int x, int y) { return {x + 2, y + 2}; }
  QImage shot() const {
    window_->board()->flushFrame();  // whatever the display's pace, show it all now
    QCoreApplication::processEvents();
    return window_->grab().toImage();
  }
  // Pixel (x, y) of the drawing area in a shot of the window.
  static QColor pixel(const QImage& img, int x, int y) {
    return img.pixelColor(8 + 2 + x, 48 + 2 + y);
  }
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

  std::unique_ptr<app::Form1> form_;
  std::unique_ptr<view::MainWindow> window_;
};

QTEST_MAIN(DragTest)
#include "drag_test.moc"
