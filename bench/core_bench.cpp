// What one pointer move costs in the window's handlers, without any drawing; and what
// keeping the board costs after an hour of heavy writing.
//
//   core_bench [benchmark flags]
//   core_bench --write-hour FILE    the hour's record, for bench/page-keep.mjs
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>

#include "app/form1.h"
#include "bench/hour.h"
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
    if (horizontal)
      x += step;
    else
      y += step;
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

struct HourOfWriting {
  app::Form1 form;
  frontend::Presenter core{form};
  HourOfWriting() {
    form.Form_Load();
    bench::writeAnHour(core);
    form.gamen.drain([](const forms::InkCommand&) {});
  }
};
HourOfWriting& hour() {
  static HourOfWriting* h = new HourOfWriting;
  return *h;
}

// A save after the hour, as the page makes one when the board changed: the record's
// head (its blocks of writing are stored once, as they fill); and its whole size.
void RecordAfterAnHour(benchmark::State& state) {
  HourOfWriting& h = hour();
  std::size_t head = 0;
  for (auto _ : state) {
    h.core.keepAgain();
    const std::optional<frontend::Stored> stored = h.core.store(1.8e12);
    head = stored ? stored->head.size() : 0;
    benchmark::DoNotOptimize(stored);
  }
  h.core.keepAgain();
  state.counters["record_bytes"] = static_cast<double>(h.core.record(1.8e12)->size());
  state.counters["head_bytes"] = static_cast<double>(head);
  state.counters["ink_segments"] = static_cast<double>(h.core.ink().segments());
}
BENCHMARK(RecordAfterAnHour)->Unit(benchmark::kMillisecond);

// The page loaded again: the record read and the board put back (the ink waiting for
// the next frame, as the page draws it).
void ResumeAfterAnHour(benchmark::State& state) {
  HourOfWriting& h = hour();
  h.core.keepAgain();
  const std::string text = *h.core.record(1.8e12);
  for (auto _ : state) {
    app::Form1 form;
    form.Form_Load();
    frontend::Presenter core(form);
    benchmark::DoNotOptimize(core.resume(text));
    form.gamen.drain([](const forms::InkCommand& c) { benchmark::DoNotOptimize(c); });
  }
}
BENCHMARK(ResumeAfterAnHour)->Unit(benchmark::kMillisecond);

// A wipe and the wipe taken back, after the hour: what 初期画面 and 元に戻す cost.
void WipeAndTakeBackAfterAnHour(benchmark::State& state) {
  HourOfWriting& h = hour();
  for (auto _ : state) {
    h.core.click({frontend::ControlId::Group::Command, 1});
    benchmark::DoNotOptimize(h.core.takeBack());
    h.form.gamen.drain([](const forms::InkCommand& c) { benchmark::DoNotOptimize(c); });
  }
}
BENCHMARK(WipeAndTakeBackAfterAnHour)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK(IdleMove);
BENCHMARK(DragP);
BENCHMARK(DragL);
BENCHMARK(DragCopy);
BENCHMARK(PenSegment);
BENCHMARK(StraightLineStretch);

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-hour") == 0) {
    hour().core.keepAgain();
    std::ofstream(argv[2], std::ios::binary) << *hour().core.record(1.8e12);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
