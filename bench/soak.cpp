// A long lesson in one process: a million events through the core as the window
// hands them over (fingers, pens and the mouse, clicks, pointers lost), the window
// following every outcome, its ink drain and painting of the whole board into an
// offscreen image, reporting the
// resident memory as it goes. Memory must stay flat: the model keeps no ink, and the
// view's raster has a fixed size.
//
//   QT_QPA_PLATFORM=offscreen soak [EVENTS]
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "app/form1.h"
#include "fuzz/delivery.h"
#include "fuzz/generator.h"
#include "qt/main_window.h"

namespace {

long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const long total = argc > 1 ? std::stol(argv[1]) : 1'000'000;

  app::Form1 form;
  form.Form_Load();
  desktop::MainWindow window(form);
  QImage frame(window.board()->size(), QImage::Format_ARGB32_Premultiplied);

  std::mt19937 rng(20261208);
  long delivered = 0;
  long strokes = 0;
  long before = -1;
  double nowMs = 0;
  const long warmUp = std::min(total / 10, 20'000L);
  const int endButton = static_cast<int>(window.core().toolRow.controls().size()) - 1;
  std::printf("%10s %12s\n", "events", "RSS KiB");
  while (delivered < total) {
    // Lessons of a thousand events; "初期画面" now and then, as a teacher would.
    for (const fuzz::Event& e : fuzz::randomSequence(rng, 1000)) {
      // "終了" would end the lesson, and every event after it would do nothing.
      if (e.kind == fuzz::Event::Kind::Click && e.index == endButton) continue;
      nowMs += e.afterMs;
      const std::size_t waiting = form.gamen.pending().size();
      for (const fuzz::Event& d : fuzz::asDelivered(form, e))
        window.apply(fuzz::deliver(window.core(), d, nowMs));
      strokes += form.gamen.pending().size() != waiting;
      window.afterEvent();
      ++delivered;
    }
    window.board()->render(&frame);
    QCoreApplication::processEvents();
    if (delivered == warmUp || (before < 0 && delivered > warmUp)) {
      before = residentKiB();
      std::printf("%10ld %12ld   (after warm-up)\n", delivered, before);
    } else if (delivered % 100'000 == 0) {
      std::printf("%10ld %12ld\n", delivered, residentKiB());
    }
  }
  const long after = residentKiB();
  std::printf(
      "events %ld, events that drew ink %ld, RSS before %ld KiB, after %ld KiB, growth %ld KiB\n",
      delivered, strokes, before, after, after - before);
  return 0;
}
