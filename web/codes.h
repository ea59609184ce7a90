// The integer codes that cross between the page's script and the wasm, named once on
// this side; web/bridge.js names the same numbers on its side. Each is the value of
// the core's own enum, checked below, so a code converts by a cast.
#pragma once

#include "frontend/items.h"
#include "frontend/input.h"
#include "frontend/presenter.h"
#include "frontend/tool_row.h"

namespace web {

// A pointer event's stage, and what made it, as the script reports them.
enum class PhaseCode : int { Down = 0, Move = 1, Up = 2, Cancel = 3 };
enum class PointerCode : int { Mouse = 0, Touch = 1, Pen = 2 };
// How a segment ends, and what a tool-row control is, as the script is told them.
enum class CapCode : int { Flat = 0, Square = 1, Round = 2 };
enum class ControlCode : int { Label = 0, Button = 1, Option = 2, Check = 3 };

template <class A, class B>
constexpr bool same(A a, B b) {
  return static_cast<int>(a) == static_cast<int>(b);
}
static_assert(same(frontend::Phase::Down, PhaseCode::Down) &&
              same(frontend::Phase::Move, PhaseCode::Move) &&
              same(frontend::Phase::Up, PhaseCode::Up) &&
              same(frontend::Phase::Cancel, PhaseCode::Cancel));
static_assert(same(frontend::PointerKind::Mouse, PointerCode::Mouse) &&
              same(frontend::PointerKind::Touch, PointerCode::Touch) &&
              same(frontend::PointerKind::Pen, PointerCode::Pen));
static_assert(same(frontend::Cap::Flat, CapCode::Flat) &&
              same(frontend::Cap::Square, CapCode::Square) &&
              same(frontend::Cap::Round, CapCode::Round));
static_assert(same(frontend::ToolControl::Kind::Label, ControlCode::Label) &&
              same(frontend::ToolControl::Kind::Button, ControlCode::Button) &&
              same(frontend::ToolControl::Kind::Option, ControlCode::Option) &&
              same(frontend::ToolControl::Kind::Check, ControlCode::Check));

template <class Code>
constexpr int code(Code c) {
  return static_cast<int>(c);
}

}  // namespace web
