// Frames as the screen shows them: each scene is driven event by event, and only the
// damaged region of each frame is painted into a persistent image, as the display
// would. The result must equal a full repaint (no damage missed) and the stored
// picture of the scene (nothing changed on screen).
//
// PL_WRITE_REFERENCE=1 stores the pictures anew in tests/gui/reference.
#include <QDir>
#include <QScreen>
#include <QtTest>
#include <functional>

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
    QTest::addColumn<QString>("name");
    QTest::newRow("initial screen") << "initial";
    QTest::newRow("drag of l, held") << "drag-l";
    QTest::newRow("pen stroke") << "pen";
    QTest::newRow("grid") << "grid";
    QTest::newRow("straight lines") << "straight-lines";
    QTest::newRow("eraser and its marker") << "eraser";
  }
  void scenes() {
    QFETCH(QString, name);
    const std::map<QString, std::function<void()>> scenes{
        {"initial", [] {}},
        {"drag-l",
         [this] {
           press(400, 125);
           for (int x = 403; x <= 463; x += 3) move(x, 125 + (x % 7));
         }},
        {"pen",
         [this] {
           click(form_->Command3);
           click(form_->Option1(6));  // bold blue
           stroke({{60, 40}, {300, 90}, {120, 200}, {420, 210}, {380, 60}});
           click(form_->Option1(1));  // thin yellow
           stroke({{100, 560}, {700, 590}});
         }},
        {"grid",
         [this] {
           click(form_->Command3);
           stroke({{110, 60}, {330, 60}});
           click(form_->Command4);
         }},
        {"straight-lines",
         [this] {
           click(form_->Command5);
           stroke({{100, 80}, {460, 300}});
           click(form_->Option2(0));  // red
           stroke({{300, 520}, {700, 420}});
         }},
        {"eraser",
         [this] {
           click(form_->Command3);
           click(form_->Option1(4));  // bold red
           for (int y = 380; y <= 440; y += 4) stroke({{480, y}, {720, y}});
           click(form_->Option1(7));  // bold eraser
           stroke({{500, 410}, {700, 410}});
           click(form_->Option1(3));  // thin eraser
           stroke({{600, 380}, {600, 440}});
           move(640, 470);
         }},
    };
    scenes.at(name)();

    // What the window's backing store holds: every frame painted where it was damaged.
    const QImage shown_ = window_->screen()
                              ->grabWindow(window_->winId())
                              .toImage()
                              .copy(window_->board()->geometry())
                              .convertToFormat(QImage::Format_RGB32);
    QImage full(shown_.size(), QImage::Format_RGB32);
    window_->board()->render(&full);
    QVERIFY2(alike(full, shown_), "a frame left part of the board unpainted");

    const QString path = QStringLiteral(PL_REFERENCE_DIR "/%1.png").arg(name);
    if (qEnvironmentVariableIsSet("PL_WRITE_REFERENCE")) {
      QDir().mkpath(QStringLiteral(PL_REFERENCE_DIR));
      QVERIFY(shown_.save(path));
      return;
    }
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!reference.isNull(), qPrintable(path));
    QVERIFY(alike(shown_, reference));
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
  // After every event: the window syncs, and the frame it takes is painted at once,
  // only where it is damaged.
  void frame() {
    window_->afterEvent();
    window_->board()->flushFrame();
    QCoreApplication::processEvents();
  }
  void move(int x, int y) {
    form_->gamen_MouseMove(0, 0, static_cast<float>(x), static_cast<float>(y));
    frame();
  }
  void press(int x, int y) {
    move(x, y);
    form_->gamen_MouseDown(1, 0, static_cast<float>(x), static_cast<float>(y));
    frame();
  }
  void release(int x, int y) {
    form_->gamen_MouseUp(1, 0, static_cast<float>(x), static_cast<float>(y));
    frame();
  }
  template <class C>
  void click(C& control) {
    control.userClick();
    frame();
  }
  void stroke(const QList<QPoint>& points) {
    press(points.front().x(), points.front().y());
    for (qsizetype i = 1; i < points.size(); ++i)
      for (int k = 1; k <= 5; ++k) {
        const QPoint p = points[i - 1] + (points[i] - points[i - 1]) * k / 5;
        move(p.x(), p.y());
      }
    release(points.back().x(), points.back().y());
  }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
