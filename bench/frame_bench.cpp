// What one frame costs in the view: the model moves, the view takes the frame (the
// region to repaint) and paints it into an offscreen image, as the screen would; in
// the window, and full screen on a 1280 x 1024 projector (the window scaled by
// 1024 / 687).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "app/form1.h"
#include "bench/hour.h"
#include "qt/main_window.h"

namespace {

struct View {
  app::Form1 form;
  std::unique_ptr<desktop::MainWindow> window;
  QImage image;
  explicit View(bool fullScreen = false) {
    form.Form_Load();
    window = std::make_unique<desktop::MainWindow>(form);
    if (fullScreen) {
      window->showFullScreen();
      while (window->fit().scale == 1) QCoreApplication::processEvents();
    }
    image = QImage(window->board()->size(), QImage::Format_ARGB32_Premultiplied);
    window->board()->render(&image);
  }
  desktop::BoardView* board() const { return window->board(); }
  void event() { window->afterEvent(); }
  void grab(float x, float y) {
    form.gamen_MouseMove(0, 0, x, y);
    form.gamen_MouseDown(1, 0, x, y);
    event();
  }
  // One move, then the frame it makes, painted.
  void frame(float x, float y) {
    form.gamen_MouseMove(1, 0, x, y);
    event();
    const QRegion dirty = board()->takeFrame();
    board()->render(&image, dirty.boundingRect().topLeft(), dirty);
  }
};

void FrameDragL(benchmark::State& state) {
  View v(state.range(0) != 0);
  v.grab(400, 125);
  float x = 400, step = 3;
  for (auto _ : state) {
    x += step;
    step = -step;
    v.frame(x, 125);
  }
}

void framesOfPen(benchmark::State& state, int pen) {
  View v(state.range(0) != 0);
  v.form.Command3.userClick();
  v.form.Option1(pen).userClick();
  v.grab(100, 60);
  float x = 100, y = 60, dx = 4;
  for (auto _ : state) {
    x += dx;
    if (x > 700 || x < 100) dx = -dx;
    y = y > 200 ? 60 : y + 0.5F;
    v.frame(x, y);
  }
}
void FramePenWidth3(benchmark::State& state) { framesOfPen(state, 0); }
void FramePenWidth25(benchmark::State& state) { framesOfPen(state, 7); }

void FrameWholeSurface(benchmark::State& state) {
  View v;
  v.form.Command4.userClick();  // grid
  v.form.Image1_Click(0);
  v.form.Image1_Click(1);
  v.form.Command3.userClick();
  v.grab(20, 20);
  for (int i = 0; i < 300; ++i)
    v.frame(20.0F + static_cast<float>((i * 37) % 760), 20.0F + static_cast<float>((i * 53) % 580));
  for (auto _ : state) v.board()->render(&v.image);
}

// F11 pressed: the window laid out full screen and its first frame painted whole.
void FullScreenFirstFrame(benchmark::State& state) {
  View v;
  v.form.Command3.userClick();
  v.grab(100, 60);
  for (int i = 0; i < 100; ++i)
    v.frame(100.0F + static_cast<float>(i * 6), 60);  // writing to carry
  for (auto _ : state) {
    v.window->toggleFullScreen();
    while (v.window->fit().scale == 1) QCoreApplication::processEvents();
    QImage shown(v.window->board()->size(), QImage::Format_ARGB32_Premultiplied);
    v.window->board()->render(&shown);
    benchmark::DoNotOptimize(shown.constBits());
    state.PauseTiming();
    v.window->toggleFullScreen();
    while (v.window->fit().scale != 1) QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

// After an hour of writing, 初期画面 and then 元に戻す: the frame that draws the hour's
// writing into the ink raster again and paints the board.
void FrameTakeBackAfterAnHour(benchmark::State& state) {
  View v;
  bench::writeAnHour(v.window->core());
  v.event();
  v.board()->flushFrame();
  for (auto _ : state) {
    state.PauseTiming();
    v.window->apply(v.window->core().click({frontend::ControlId::Group::Command, 1}));
    v.board()->takeFrame();
    state.ResumeTiming();
    v.window->apply(v.window->core().takeBack());
    const QRegion dirty = v.board()->takeFrame();
    v.board()->render(&v.image, dirty.boundingRect().topLeft(), dirty);
  }
}

}  // namespace

// Argument 1: full screen.
BENCHMARK(FrameDragL)->Arg(0)->Arg(1);
BENCHMARK(FramePenWidth3)->Arg(0)->Arg(1);
BENCHMARK(FramePenWidth25)->Arg(0)->Arg(1);
BENCHMARK(FrameWholeSurface);
BENCHMARK(FullScreenFirstFrame);
BENCHMARK(FrameTakeBackAfterAnHour)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PL_PROJECTOR_SCREEN);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
