// Frames as the screen shows them: each scene (tests/scenes/frames.json, which the
// page's frame test plays too) is driven event by event through the real widgets, and
// only the damaged region of each frame is painted into a persistent image, as the
// display would. The result must equal a full repaint (no damage missed) and the
// stored picture of the scene (nothing changed on screen).
//
// PL_WRITE_REFERENCE=1 stores the pictures anew in tests/gui/reference.
#include <QAbstractButton>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QScreen>
#include <QtTest>

#include "open_window.h"

#ifndef PL_REFERENCE_DIR
#error "PL_REFERENCE_DIR must name the folder of the reference pictures"
#endif

class FrameTest : public gui_testing::WindowTestBase {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(openWindow()); }
  void cleanup() { closeWindow(); }

  void scenes_data() {
    QTest::addColumn<QJsonObject>("scene");
    QFile file(QStringLiteral(PL_SCENES_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray scenes = QJsonDocument::fromJson(file.readAll())["scenes"].toArray();
    QVERIFY(!scenes.isEmpty());
    for (const QJsonValue& scene : scenes)
      QTest::newRow(qPrintable(scene["name"].toString())) << scene.toObject();
  }
  void scenes() {
    QFETCH(const QJsonObject, scene);
    for (const QJsonValue& event : scene["events"].toArray()) play(event.toArray());

    // What the window's backing store holds: every frame painted where it was damaged.
    const QImage shown_ = window_->screen()
                              ->grabWindow(window_->winId())
                              .toImage()
                              .copy(window_->board()->geometry())
                              .convertToFormat(QImage::Format_RGB32);
    QImage full(shown_.size(), QImage::Format_RGB32);
    window_->board()->render(&full);
    // A wipe's offer stands over the board's corner: the board is judged around it.
    QImage shown = shown_;
    if (window_->offer()->isVisible()) {
      const QRect over = window_->offer()->geometry().translated(-window_->board()->pos());
      for (QImage* img : {&shown, &full}) QPainter(img).fillRect(over, Qt::magenta);
    }
    QVERIFY2(alike(full, shown), "a frame left part of the board unpainted");

    const QString name = scene["name"].toString();
    const QString path =
        QStringLiteral(PL_REFERENCE_DIR "/%1.png").arg(scene["reference"].toString(name));
    if (qEnvironmentVariableIsSet("PL_WRITE_REFERENCE")) {
      if (scene.contains("reference")) return;  // another scene's picture
      QDir().mkpath(QStringLiteral(PL_REFERENCE_DIR));
      QVERIFY(shown_.save(path));
      return;
    }
    QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!reference.isNull(), qPrintable(path));
    if (window_->offer()->isVisible())
      QPainter(&reference)
          .fillRect(window_->offer()->geometry().translated(-window_->board()->pos()), Qt::magenta);
    QVERIFY(alike(shown, reference));
  }

 private:
  // The same pixels, up to the last bits of antialiasing: a slanted line cut to
  // each damaged rectangle is rasterised a shade differently from the whole line.
  // A line missed, moved by a pixel or in another colour differs by far more.
  static bool alike(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    constexpr int kShade = 8;
    for (int y = 0; y < a.height(); ++y) {
      for (int x = 0; x < a.width(); ++x) {
        const QColor p = a.pixelColor(x, y);
        const QColor q = b.pixelColor(x, y);
        if (std::abs(p.red() - q.red()) > kShade || std::abs(p.green() - q.green()) > kShade ||
            std::abs(p.blue() - q.blue()) > kShade) {
          qWarning("first difference at %d,%d: %s against %s", x, y, qPrintable(p.name()),
                   qPrintable(q.name()));
          return false;
        }
      }
    }
    return true;
  }
  // After every event the frame the window takes is painted at once, only where it
  // is damaged.
  void frame() {
    window_->board()->flushFrame();
    QCoreApplication::processEvents();
  }
  QWidget* board() const { return window_->board(); }
  void move(QPoint p) {
    QTest::mouseMove(board(), gui_testing::at(p.x(), p.y()));
    frame();
  }
  void press(QPoint p) {
    move(p);
    QTest::mousePress(board(), Qt::LeftButton, {}, gui_testing::at(p.x(), p.y()));
    frame();
  }
  void release(QPoint p) {
    QTest::mouseRelease(board(), Qt::LeftButton, {}, gui_testing::at(p.x(), p.y()));
    frame();
  }
  void click(const QString& name) {
    for (QAbstractButton* b : window_->findChildren<QAbstractButton*>()) {
      if (b->accessibleName() != name) continue;
      QTest::mouseClick(b, Qt::LeftButton);
      frame();
      return;
    }
    QFAIL(qPrintable("no control called " + name));
  }
  static QPoint point(const QJsonValue& v) { return {v[0].toInt(), v[1].toInt()}; }
  void play(const QJsonArray& e) {
    const QString op = e[0].toString();
    if (op == "press") {
      press({e[1].toInt(), e[2].toInt()});
    } else if (op == "move") {
      move({e[1].toInt(), e[2].toInt()});
    } else if (op == "release") {
      release({e[1].toInt(), e[2].toInt()});
    } else if (op == "click") {
      click(e[1].toString());
    } else if (op == "stroke") {
      const QJsonArray points = e[1].toArray();
      press(point(points.first()));
      for (qsizetype i = 1; i < points.size(); ++i)
        for (int k = 1; k <= 5; ++k)
          move(point(points[i - 1]) + (point(points[i]) - point(points[i - 1])) * k / 5);
      release(point(points.last()));
    } else {
      QFAIL(qPrintable("no such event: " + op));
    }
  }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
