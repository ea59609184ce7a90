// What one pointer move costs in the window's handlers, without any drawing.
#include <benchmark/benchmark.h>

#include "app/form1.h"
#include "frontend/presenter.h"

namespace {

struct Lesson {
  app::Form1 form;
  Lesson() {
    form.Form_Load();
    form.gamen.drain([](const forms::InkCommand&) {});
  }
  void move(float x, float y) { form.gamen_MouseMove(1, 0, x, y); }
  void grab(float x, float y) {
    form.gamen_MouseMove(0, 0, x, y);
    form.gamen_MouseDown(1, 0, x, y);
  }
};

// Moves back and forth by a pixel, so the figure stays where it is measured.
template <class Setup>
void movesFrom(benchmark::State& state, float x, float y, bool horizontal, Setup setup) {
  Lesson lesson;
  setup(lesson);
  float step = 1;
  for (auto _ : state) {
    if (horizontal) x += step; else y += step;
    step = -step;
    lesson.move(x, y);
    lesson.form.gamen.drain([](const forms::InkCommand& c) { benchmark::DoNotOptimize(c); });
  }
}

void IdleMove(benchmark::State& state) {
  movesFrom(state, 300, 60, true, [](Lesson&) {});
}
void DragP(benchmark::State& state) {
  movesFrom(state, 30, 275, false, [](Lesson& l) { l.grab(30, 275); });
}
void DragL(benchmark::State& state) {
  movesFrom(state, 400, 125, true, [](Lesson& l) { l.grab(400, 125); });
}
void DragCopy(benchmark::State& state) {
  movesFrom(state, 250, 350, true, [](Lesson& l) { l.grab(250, 350); });
}
void PenSegment(benchmark::State& state) {
  movesFrom(state, 300, 60, true, [](Lesson& l) {
    l.form.Command3.userClick();
    l.grab(300, 60);
  });
}
void StraightLineStretch(benchmark::State& state) {
  movesFrom(state, 300, 60, true, [](Lesson& l) {
    l.form.Command5.userClick();
    l.grab(100, 60);
  });
}

// The same drag of p as a front end hands it over: through the pointer rules, with the
// tool row's changes taken after every move.
void DragPThroughPresenter(benchmark::State& state) {
  app::Form1 form;
  form.Form_Load();
  frontend::Presenter core(form);
  core.afterInput(true);
  frontend::PointerEvent e;
  e.x = 30;
  e.y = 275;
  e.button = frontend::kLeft;
  e.held = frontend::kLeft;
  if (!core.pointer(frontend::Phase::Down, e).reached) state.SkipWithError("p was not taken");
  double step = 1;
  for (auto _ : state) {
    e.y += step;
    step = -step;
    e.timeMs += 1;
    benchmark::DoNotOptimize(core.pointer(frontend::Phase::Move, e));
    form.gamen.drain([](const forms::InkCommand& c) { benchmark::DoNotOptimize(c); });
  }
}
BENCHMARK(DragPThroughPresenter);

}  // namespace

BENCHMARK(IdleMove);
BENCHMARK(DragP);
BENCHMARK(DragL);
BENCHMARK(DragCopy);
BENCHMARK(PenSegment);
BENCHMARK(StraightLineStretch);
BENCHMARK_MAIN();
