// What one frame costs in the view: the model moves, the view takes the frame (the
// region to repaint) and paints it into an offscreen image, as the screen would.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "app/form1.h"
#include "qt/main_window.h"

namespace {

struct View {
  app::Form1 form;
  std::unique_ptr<view::MainWindow> window;
  QImage image;
  View() {
    form.Form_Load();
    window = std::make_unique<view::MainWindow>(form);
    image = QImage(window->board()->size(), QImage::Format_ARGB32_Premultiplied);
    window->board()->render(&image);
  }
  view::BoardView* board() const { return window->board(); }
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
  View v;
  v.grab(400, 125);
  float x = 400, step = 3;
  for (auto _ : state) {
    x += step;
    step = -step;
    v.frame(x, 125);
  }
}

void framesOfPen(benchmark::State& state, int pen) {
  View v;
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
  for (int i = 0; i < 300; ++i) v.frame(20.0F + static_cast<float>((i * 37) % 760),
                                        20.0F + static_cast<float>((i * 53) % 580));
  for (auto _ : state) v.board()->render(&v.image);
}

}  // namespace

BENCHMARK(FrameDragL);
BENCHMARK(FramePenWidth3);
BENCHMARK(FramePenWidth25);
BENCHMARK(FrameWholeSurface);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
