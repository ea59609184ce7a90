// The integer codes that cross between the page's script and the wasm, named once on
// this side; web/bridge.js names the same numbers on its side. Each is the value of
// the core's own enum, checked below, so a code converts by a cast.
#pragma once

#include "frontend/input.h"
#include "frontend/items.h"
#include "frontend/keyboard.h"
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

// The keys the keyboard knows, by the name the script reads from a key event, and
// what a key did, as bits.
enum class KeyCode : int {
  Up = 0,
  Down = 1,
  Left = 2,
  Right = 3,
  PageUp = 4,
  PageDown = 5,
  Enter = 6,
  Space = 7,
  Escape = 8,
  Where = 9
};
static_assert(same(frontend::Key::Up, KeyCode::Up) && same(frontend::Key::Down, KeyCode::Down) &&
              same(frontend::Key::Left, KeyCode::Left) &&
              same(frontend::Key::Right, KeyCode::Right) &&
              same(frontend::Key::PageUp, KeyCode::PageUp) &&
              same(frontend::Key::PageDown, KeyCode::PageDown) &&
              same(frontend::Key::Enter, KeyCode::Enter) &&
              same(frontend::Key::Space, KeyCode::Space) &&
              same(frontend::Key::Escape, KeyCode::Escape) &&
              same(frontend::Key::Where, KeyCode::Where));
enum class KeyBit : int { Taken = 1, ToBoard = 2 };

// A flag of a tool-row change that leaves the property as it is (else 0 or 1).
inline constexpr int kUnchanged = -1;

// The keys held with a pointer event, as bits.
enum class ModifierBit : int { Shift = 1, Ctrl = 2, Alt = 4, Meta = 8 };

// A control's state as the checks read it (pl_control_state), as bits; kNoSuchControl
// for a place past the row.
enum class StateBit : int { Bold = 1, Enabled = 2, Checked = 4, Visible = 8 };
inline constexpr int kNoSuchControl = -1;

// Pointer Events' own numbers, which the script hands over as the browser gives them:
// `button`, the one that went down or up, and `buttons`, those held, as bits. Held
// buttons are the core's bits already.
enum class DomButton : int { Main = 0, Middle = 1, Secondary = 2 };
inline constexpr unsigned kDomMainHeld = 1, kDomSecondaryHeld = 2, kDomMiddleHeld = 4;
static_assert(kDomMainHeld == frontend::kLeft && kDomSecondaryHeld == frontend::kRight &&
              kDomMiddleHeld == frontend::kMiddle);

// The offer in the board's corner, when a record is due, and what another tab's record
// turned out to be, as the script is told them.
enum class OfferCode : int { None = 0, TakeBackWipe = 1, PreviousBoard = 2 };
static_assert(same(frontend::Offer::Kind::None, OfferCode::None) &&
              same(frontend::Offer::Kind::TakeBackWipe, OfferCode::TakeBackWipe) &&
              same(frontend::Offer::Kind::PreviousBoard, OfferCode::PreviousBoard));
enum class KeepCode : int { No = 0, Soon = 1, Now = 2 };
static_assert(same(frontend::Keep::No, KeepCode::No) &&
              same(frontend::Keep::Soon, KeepCode::Soon) &&
              same(frontend::Keep::Now, KeepCode::Now));
enum class PreviousCode : int { Unreadable = 0, Stale = 1, Old = 2, NotOffered = 3, Offered = 4 };
static_assert(same(frontend::Previous::Unreadable, PreviousCode::Unreadable) &&
              same(frontend::Previous::Stale, PreviousCode::Stale) &&
              same(frontend::Previous::Old, PreviousCode::Old) &&
              same(frontend::Previous::NotOffered, PreviousCode::NotOffered) &&
              same(frontend::Previous::Offered, PreviousCode::Offered));

// Where the focus goes first, when it is not a tool-row control (their places in the
// row are 0 and up).
inline constexpr int kTheBoard = -1;

template <class Code>
constexpr int code(Code c) {
  return static_cast<int>(c);
}

}  // namespace web
