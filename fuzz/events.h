// Byte strings read as the input a window can receive, and the invariants the window
// must keep after every one of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/form1.h"

namespace fuzz {

struct Event {
  enum class Kind {
    MouseDown,
    MouseMove,
    MouseUp,
    CommandClick,  // Command1..Command5
    PenClick,      // Option1(i)
    ColourClick,   // Option2(i)
    BoxClick,      // Check1(i)
    PictureClick,  // Image1(i)
  };
  Kind kind = Kind::MouseMove;
  forms::Int16 button = 0;  // mouse events: the button (or buttons) reported
  float x = 0;
  float y = 0;
  int index = 0;  // clicks: CommandN's N, or the element number
};

// Every byte string decodes to a (possibly empty) sequence; nothing is rejected.
std::vector<Event> decode(const std::uint8_t* data, std::size_t size);
// The inverse, so that sequences found by chance can be stored as corpus files.
std::vector<std::uint8_t> encode(const std::vector<Event>& events);
// A random sequence of `length` events, biased toward the figure's handles and the
// tool row's buttons so that every mode and drag is reached often.
std::vector<Event> randomSequence(std::mt19937& rng, std::size_t length);

std::string describe(const Event& e);

// Delivers the event as the window would (a click on a disabled control does
// nothing).
void deliver(app::Form1& form, const Event& e);
// ... and drains the ink into `ink`, as the front end does after every event.
void apply(app::Form1& form, const Event& e, std::vector<forms::InkCommand>& ink);

// The first invariant the window breaks, or nothing. `ink` holds the commands the
// last event drew.
std::optional<std::string> brokenInvariant(const app::Form1& form,
                                           const std::vector<forms::InkCommand>& ink);

// Runs a sequence on a fresh, loaded window. Returns a readable report of the first
// broken invariant (with the events that led to it), or nothing.
std::optional<std::string> run(const std::vector<Event>& events);

// The number of invariants checked after each event (for reports).
int invariantCount();

}  // namespace fuzz
