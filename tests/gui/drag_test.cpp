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

  void heldLinesAreLightRedAndWhiteAgainAfterRelease() {
    // q, grabbed in the margin and dragged up 20 px.
    QTest::mouseMove(board(), at(30, 350));
    QTest::mousePress(board(), Qt::LeftButton, {}, at(30, 350));
    QTest::mouseMove(board(), at(30, 340));
    QTest::mouseMove(board(), at(30, 330));
    QCOMPARE(pixel(shot(), 200, 330), kRed);
    QCOMPARE(pixel(shot(), 200, 350), kBoard);
    QTest::mouseRelease(board(), Qt::LeftButton, {}, at(30, 330));
    QCOMPARE(pixel(shot(), 200, 330), kWhite);
    // m's upper end swung 50 px right: m turns about B', where it crosses q at 330,
    // and now crosses y 200 about 532, where it is red while held.
    QTest::mouseMove(board(), at(475, 125));
    QTest::mousePress(board(), Qt::LeftButton, {}, at(475, 125));
    for (int x = 485; x <= 525; x += 10) QTest::mouseMove(board(), at(x, 125));
    const double bPrime = 625 - 150.0 * (575 - 330) / 450;
    const int mAt200 = static_cast<int>(525 + (bPrime - 525) * 75 / 205);
    QCOMPARE(pixel(shot(), mAt200, 200), kRed);
    QCOMPARE(pixel(shot(), 500, 200), kBoard);  // where m stood
    QTest::mouseRelease(board(), Qt::LeftButton, {}, at(525, 125));
    QCOMPARE(pixel(shot(), mAt200, 200), kWhite);
  }

  void picturesTakePressesOnTheirOwnPixelsOnly_data() {
    QTest::addColumn<int>("picture");
    QTest::addColumn<QPoint>("swingFrom");
    QTest::addColumn<QPoint>("swingTo");
    QTest::newRow("l at its start") << 0 << QPoint() << QPoint();
    QTest::newRow("m at its start") << 1 << QPoint() << QPoint();
    // ℓ leaning right going down, and m swung 10 px: both pictures at fractional Lefts.
    QTest::newRow("l swung") << 0 << QPoint(400, 125) << QPoint(200, 125);
    QTest::newRow("m swung") << 1 << QPoint(475, 125) << QPoint(485, 125);
  }
  void picturesTakePressesOnTheirOwnPixelsOnly() {
    QFETCH(int, picture);
    QFETCH(QPoint, swingFrom);
    QFETCH(QPoint, swingTo);
    if (!swingFrom.isNull()) drag(swingFrom, swingTo);
    // Where the picture is drawn: the offset at which the shot shows the letter.
    const QRect box = drawnPicture(picture);
    QVERIFY2(!box.isEmpty(), "the picture is not on the board");
    auto toggles = [&](QPoint p) {
      const double before = extensionShown(picture);
      QTest::mouseClick(board(), Qt::LeftButton, {}, at(p.x(), p.y()));
      return extensionShown(picture) != before;
    };
    const int midX = box.center().x();
    const int midY = box.center().y();
    for (const QPoint inside : {QPoint(box.left(), midY), QPoint(box.right(), midY),
                                QPoint(midX, box.top()), QPoint(midX, box.bottom())})
      QVERIFY2(toggles(inside),
               qPrintable(QStringLiteral("%1,%2").arg(inside.x()).arg(inside.y())));
    for (const QPoint outside : {QPoint(box.left() - 1, midY), QPoint(box.right() + 1, midY),
                                 QPoint(midX, box.top() - 1), QPoint(midX, box.bottom() + 1)})
      QVERIFY2(!toggles(outside),
               qPrintable(QStringLiteral("%1,%2").arg(outside.x()).arg(outside.y())));
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
  double extensionShown(int picture) const {
    return picture == 0 ? form_->figure.ExtensionLShown : form_->figure.ExtensionMShown;
  }
  // The board pixels the picture's letter is drawn on, found in a shot of the window
  // near where the model puts it; empty when it is not there.
  QRect drawnPicture(int picture) {
    const forms::Image& model = form_->Image1(picture);
    const QImage letter =
        QImage(QStringLiteral(":/assets/letter-%1.png").arg(QLatin1String(model.Picture.c_str())))
            .convertToFormat(QImage::Format_RGB32);
    const QImage img = shot();
    const int left = static_cast<int>(model.Left);
    const int top = static_cast<int>(model.Top);
    // A figure line may cross the letter (the lines lie above the pictures), so the
    // best match wins if most of the picture agrees.
    QRect best;
    int bestSame = letter.width() * letter.height() * 3 / 4;
    for (int dy = -1; dy <= 2; ++dy) {
      for (int dx = -1; dx <= 2; ++dx) {
        int same = 0;
        for (int y = 0; y < letter.height(); ++y)
          for (int x = 0; x < letter.width(); ++x)
            same += pixel(img, left + dx + x, top + dy + y) == letter.pixelColor(x, y);
        if (same > bestSame) {
          bestSame = same;
          best = QRect(left + dx, top + dy, letter.width(), letter.height());
        }
      }
    }
    return best;
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
};

QTEST_MAIN(DragTest)
#include "drag_test.moc"
