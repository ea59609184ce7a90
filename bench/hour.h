// An hour of heavy writing, for the benchmarks of what keeping the board costs.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>

#include "frontend/presenter.h"

namespace bench {

// An hour of heavy writing as a page on a laptop hands it over (1366 x 768, the window
// scaled by 1.118, so positions fall between board pixels): 300,000 pen moves in
// strokes of 30 to 150 moves of 0.5 to 4 px, a fifth of them with an eraser, between
// them 60 drags of the figure, and the five straight lines.
inline constexpr int kHourOfMoves = 300000;
inline void writeAnHour(frontend::Presenter& core) {
  using frontend::ControlId;
  using frontend::Phase;
  using Group = ControlId::Group;
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> unit(0, 1);
  constexpr double kScale = 768.0 / 687;
  // Where a viewport pixel falls on the board.
  const auto onBoard = [](double v) { return std::round(v * kScale) / kScale; };
  frontend::PointerEvent e;
  e.held = frontend::kLeft;
  double ms = 0;
  const auto at = [&](Phase phase, double x, double y) {
    e.x = onBoard(x);
    e.y = onBoard(y);
    e.button = phase == Phase::Move ? frontend::kNoButton : frontend::kLeft;
    e.held = phase == Phase::Up ? frontend::kNoButton : frontend::kLeft;
    e.timeMs = ms += 8;
    core.pointer(phase, e);
  };
  const auto drag = [&](double x0, double y0, double dx, double dy) {
    at(Phase::Move, x0, y0);
    at(Phase::Down, x0, y0);
    for (int i = 1; i <= 100; ++i) at(Phase::Move, x0 + dx * i / 100, y0 + dy * i / 100);
    at(Phase::Up, x0 + dx, y0 + dy);
  };
  core.click({Group::Command, 5});
  for (int i = 0; i < 5; ++i) drag(60 + 100 * i, 40, 300, 500);
  core.click({Group::Command, 3});
  int moves = 0, strokes = 0;
  while (moves < kHourOfMoves) {
    if (++strokes % 150 == 0) {
      // Back to the figure for a moment: p and ℓ dragged there and back.
      core.click({Group::Command, 3});
      drag(30, 275, 0, -40);
      drag(30, 235, 0, 40);
      drag(400, 125, 60, 0);
      drag(460, 125, -60, 0);
      core.click({Group::Command, 3});
    }
    const int pen =
        unit(rng) < 0.2 ? (unit(rng) < 0.5 ? 3 : 7) : static_cast<int>(unit(rng) * 7) % 7;
    core.click({Group::Option1, pen == 3 ? 3 : pen});
    double x = 20 + unit(rng) * 760, y = 20 + unit(rng) * 580, heading = unit(rng) * 6.283;
    at(Phase::Move, x, y);
    at(Phase::Down, x, y);
    const int length = 30 + static_cast<int>(unit(rng) * 120);
    for (int i = 0; i < length && moves < kHourOfMoves; ++i, ++moves) {
      heading += (unit(rng) - 0.5) * 0.9;
      const double step = 0.5 + unit(rng) * 3.5;
      x = std::clamp(x + std::cos(heading) * step, 0.0, 801.0);
      y = std::clamp(y + std::sin(heading) * step, 0.0, 625.0);
      at(Phase::Move, x, y);
    }
    at(Phase::Up, x, y);
  }
}

}  // namespace bench
