// Writing, erasing, straight lines and the grid, by mouse on the real window.
#include <QtTest>
#include <cmath>

#include "open_window.h"

namespace {

using gui_testing::at;
using gui_testing::kBlack;
using gui_testing::kBoard;
using gui_testing::kRed;
using gui_testing::kWhite;
using gui_testing::pixel;

// Full red, give or take the last bit of an antialiased edge's coverage.
bool isRedInk(const QColor& c) { return c.red() >= 250 && c.green() <= 5 && c.blue() <= 5; }

}  // namespace

class BlackboardTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(openWindow()); }
  void cleanup() { closeWindow(); }

  void strokeHasInkAlongItsWholePolyline_data() {
    QTest::addColumn<int>("pen");
    QTest::addColumn<int>("width");
    QTest::newRow("thin red") << 0 << 3;
    QTest::newRow("bold red") << 4 << 6;
    QTest::newRow("thin eraser") << 3 << 15;
    QTest::newRow("bold eraser") << 7 << 25;
  }
  void strokeHasInkAlongItsWholePolyline() {
    QFETCH(int, pen);
    QFETCH(int, width);
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    const bool eraser = pen == 3 || pen == 7;
    if (eraser) {
      // Something to erase: a red field under the whole polyline.
      QTest::mouseClick(window_->option1(4), Qt::LeftButton);
      for (int y = 2; y <= 130; y += 4) stroke({{10, y}, {390, y}});
    }
    QTest::mouseClick(window_->option1(pen), Qt::LeftButton);
    // A level run, then sharp turns, where a stroke without round joins would show
    // notches.
    const QList<QPoint> polyline{{30, 20}, {350, 20}, {60, 100}, {370, 105}, {200, 15}};
    stroke(polyline);
    QTest::mouseMove(window_->board(), at(700, 600));  // the eraser's marker out of the way
    const QImage img = shot();
    auto inked = [&](int x, int y) {
      const QColor c = pixel(img, x, y);
      return eraser ? c == kBoard : isRedInk(c);
    };
    for (qsizetype i = 1; i < polyline.size(); ++i) {
      const QPointF a = polyline[i - 1];
      const QPointF b = polyline[i];
      const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
      for (double t = 0; t <= length; t += 2) {
        const QPointF p = a + (b - a) * (t / length);
        const int x = static_cast<int>(std::lround(p.x()));
        const int y = static_cast<int>(std::lround(p.y()));
        QVERIFY2(
            inked(x, y),
            qPrintable(
                QStringLiteral("no ink at %1,%2: %3").arg(x).arg(y).arg(pixel(img, x, y).name())));
      }
    }
    // Round joins: a full disc of ink around every corner.
    const int r = width / 2 - 1;
    for (const QPoint& v : polyline) {
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
          if (dx * dx + dy * dy <= r * r && v.y() + dy >= 0)
            QVERIFY2(inked(v.x() + dx, v.y() + dy),
                     qPrintable(QStringLiteral("notch at %1,%2").arg(v.x() + dx).arg(v.y() + dy)));
    }
    // Across the level run the stroke is as thick as its pen: the coverage of the
    // pixels of one column adds up to the width, antialiased edges included.
    double thickness = 0;
    for (int y = 0; y <= 45; ++y) {
      const QColor c = pixel(img, 190, y);
      thickness += eraser ? c.green() / 128.0 : c.red() / 255.0;
    }
    QVERIFY2(std::abs(thickness - width) <= 0.75, qPrintable(QString::number(thickness)));
  }

  void boldEraserRemovesInkButNotTheFigure() {
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    QTest::mouseClick(window_->option1(4), Qt::LeftButton);  // bold red, 6 px
    for (int y = 260; y <= 290; y += 5) stroke({{550, y}, {650, y}});
    QCOMPARE(pixel(shot(), 600, 265), kRed);
    QTest::mouseClick(window_->option1(7), Qt::LeftButton);  // bold eraser, 25 px
    stroke({{570, 275}, {630, 275}});
    const QImage img = shot();
    QCOMPARE(pixel(img, 600, 265), kBoard);
    QCOMPARE(pixel(img, 600, 285), kBoard);
    QCOMPARE(pixel(img, 600, 275), kWhite);  // line p lies above the ink
    QCOMPARE(pixel(img, 600, 258), kRed);    // beyond the eraser's reach
    QCOMPARE(pixel(img, 545, 275), kWhite);
    QCOMPARE(pixel(img, 549, 285), kRed);  // (the name A' covers the ink above 274)
  }

  void inkSurvivesARepaintOfTheWholeBoard() {
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    stroke({{100, 50}, {300, 60}});
    window_->board()->repaint();
    QCOMPARE(pixel(shot(), 200, 55), kRed);
  }

  void eraserMarkerFollowsThePointer_data() {
    QTest::addColumn<int>("pen");
    QTest::addColumn<int>("diameter");
    QTest::newRow("thin eraser") << 3 << 15;
    QTest::newRow("bold eraser") << 7 << 25;
  }
  void eraserMarkerFollowsThePointer() {
    QFETCH(int, pen);
    QFETCH(int, diameter);
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    QTest::mouseClick(window_->option1(pen), Qt::LeftButton);
    // (QTest sends no move to the point where its last move ended.)
    QTest::mouseMove(window_->board(), at(400, 60));
    QTest::mouseMove(window_->board(), at(500, 60));
    const QImage img = shot();
    // A circle as wide as the eraser, centred on (500, 60): a crisp black outline,
    // every pixel black or the board's green, reaching r to each side and no further.
    const int r = (diameter - 1) / 2;
    int left = 1000, right = -1000, top = 1000, bottom = -1000;
    for (int y = 60 - r - 3; y <= 60 + r + 3; ++y)
      for (int x = 500 - r - 3; x <= 500 + r + 3; ++x) {
        const QColor c = pixel(img, x, y);
        if (c == kBoard) continue;
        QCOMPARE(c, kBlack);
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    QCOMPARE(QRect(QPoint(left, top), QPoint(right, bottom)),
             QRect(QPoint(500 - r, 60 - r), QPoint(500 + r, 60 + r)));
    QCOMPARE(pixel(img, 500, 60), kBoard);
    QCOMPARE(pixel(img, 500 - r + 2, 60), kBoard);
    QTest::mouseClick(window_->option1(0), Qt::LeftButton);
    QCOMPARE(pixel(shot(), 500 - r, 60), kBoard);  // a pen hides the marker
  }

  void straightLineAppearsAndGoesWithItsBox() {
    QTest::mouseClick(window_->commandButton(5), Qt::LeftButton);
    QVERIFY(window_->commandButton(5)->font().bold());
    QVERIFY(window_->option2(0)->isEnabled());
    stroke({{100, 50}, {300, 50}});
    QVERIFY(window_->check1(0)->isChecked());
    QCOMPARE(pixel(shot(), 200, 50), kWhite);
    QTest::mouseClick(window_->check1(0), Qt::LeftButton);
    QVERIFY(!window_->check1(0)->isChecked());
    QCOMPARE(pixel(shot(), 200, 50), kBoard);
  }

  void gridSolidAndDottedLinesStandWhereTheyBelong() {
    QTest::mouseClick(window_->commandButton(4), Qt::LeftButton);
    QVERIFY(window_->commandButton(4)->font().bold());
    const QImage img = shot();
    for (int x = 1; x < 25; ++x) {
      QCOMPARE(pixel(img, x, 0), kBlack);   // the first row of the drawing area
      QCOMPARE(pixel(img, x, 50), kBlack);  // solid every 50 px
    }
    for (int y = 1; y < 25; ++y) {
      QCOMPARE(pixel(img, 0, y), kBlack);
      QCOMPARE(pixel(img, 800, y), kBlack);  // the right-most line is solid
    }
    // Dotted half-way between: one pixel on, one off.
    for (int row : {25, 625}) {
      int black = 0;
      for (int x = 1; x < 25; ++x) {
        const bool on = pixel(img, x, row) == kBlack;
        if (!on) QCOMPARE(pixel(img, x, row), kBoard);
        if (on) QVERIFY(pixel(img, x + 1, row) != kBlack);
        black += on;
      }
      QVERIFY2(black >= 11 && black <= 13, qPrintable(QString::number(black)));
    }
    QCOMPARE(pixel(img, 13, 12), kBoard);  // inside a cell
    QTest::mouseClick(window_->commandButton(4), Qt::LeftButton);
    QCOMPARE(pixel(shot(), 13, 50), kBoard);
  }

  // A wipe by a right press or by 初期画面 is offered back in the board's corner, and
  // taken back by its button or Ctrl+Z: the board as it was, to the last pixel.
  void wipeIsTakenBackPixelForPixel_data() {
    QTest::addColumn<bool>("rightPress");
    QTest::addColumn<bool>("ctrlZ");
    QTest::newRow("right press, then 元に戻す") << true << false;
    QTest::newRow("初期画面, then Ctrl+Z") << false << true;
  }
  void wipeIsTakenBackPixelForPixel() {
    QFETCH(bool, rightPress);
    QFETCH(bool, ctrlZ);
    QWidget* board = window_->board();
    stroke({{20, 275}, {20, 230}});  // p
    QTest::mouseClick(window_->commandButton(3), Qt::LeftButton);
    stroke({{100, 100}, {300, 160}, {200, 400}});
    QTest::mouseClick(window_->option1(6), Qt::LeftButton);  // bold blue
    stroke({{120, 420}, {500, 440}});
    QTest::mouseClick(window_->option1(7), Qt::LeftButton);  // bold eraser
    stroke({{150, 130}, {250, 140}});
    QTest::mouseClick(window_->commandButton(5), Qt::LeftButton);
    stroke({{60, 60}, {700, 600}});
    QTest::mouseClick(window_->commandButton(4), Qt::LeftButton);
    const QImage before = shot();
    QVERIFY(!window_->offer()->isVisible());

    if (rightPress) {
      QTest::mousePress(board, Qt::RightButton, {}, at(700, 100));
      QTest::mouseRelease(board, Qt::RightButton, {}, at(700, 100));
    } else {
      QTest::mouseClick(window_->commandButton(1), Qt::LeftButton);
    }
    QImage wiped = shot();
    QCOMPARE(pixel(wiped, 200, 130), kBoard);  // the chalk is gone
    QCOMPARE(pixel(wiped, 200, 275), kWhite);  // p is back
    QCOMPARE(pixel(wiped, 380, 380), kBoard);  // the straight line is gone
    QVERIFY(!window_->commandButton(5)->font().bold());
    QVERIFY(window_->offer()->isVisible());
    QCOMPARE(window_->offer()->button()->text(), QStringLiteral("元に戻す"));
    QVERIFY(window_->status()->accessibleName().contains(QStringLiteral("板書を消しました")));
    // In the board's lower right corner, below the lower ends of ℓ and m (y 577).
    const QRect corner = window_->offer()->geometry();
    QVERIFY(QRect(8 + 2 + 401, 48 + 2 + 578, 401, 48).contains(corner));

    if (ctrlZ)
      QTest::keyClick(window_, Qt::Key_Z, Qt::ControlModifier);
    else
      QTest::mouseClick(window_->offer()->button(), Qt::LeftButton);
    QVERIFY(!window_->offer()->isVisible());
    QCOMPARE(window_->status()->accessibleName(), QStringLiteral("元に戻しました"));
    const QImage after = shot();
    QCOMPARE(after, before);
    QVERIFY(window_->commandButton(5)->font().bold() && window_->commandButton(4)->font().bold());
    QVERIFY(window_->check1(0)->isChecked());
    // A second Ctrl+Z has nothing to take back, and changes nothing.
    QTest::keyClick(window_, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shot(), before);
  }

 private:
  // Presses at the first point, moves through the others, releases at the last.
  void stroke(const QList<QPoint>& points) {
    QWidget* board = window_->board();
    QTest::mouseMove(board, at(points.front().x(), points.front().y()));
    QTest::mousePress(board, Qt::LeftButton, {}, at(points.front().x(), points.front().y()));
    for (qsizetype i = 1; i < points.size(); ++i) {
      // Several moves per side, as a hand makes them.
      const QPoint a = points[i - 1];
      const QPoint b = points[i];
      for (int k = 1; k <= 4; ++k) {
        const QPoint p = a + (b - a) * k / 4;
        QTest::mouseMove(board, at(p.x(), p.y()));
      }
    }
    QTest::mouseRelease(board, Qt::LeftButton, {}, at(points.back().x(), points.back().y()));
  }
};

QTEST_MAIN(BlackboardTest)
#include "blackboard_test.moc"
