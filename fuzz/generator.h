// Random sequences of events, shaped like real use so that every mode and drag is
// reached often, and each one storable as a corpus file (fuzz/events.h).
#pragma once

#include <cstddef>
#include <random>
#include <vector>

#include "fuzz/events.h"

namespace fuzz {

// A random sequence of `length` events: gestures of up to three pointers of every
// kind, interleaved, cancelled, lost and silent, biased toward the figure's handles,
// the pictures and the tool row so that every mode and drag is reached often.
std::vector<Event> randomSequence(std::mt19937& rng, std::size_t length);

}  // namespace fuzz
