// The record's reader under bytes of any kind, for libFuzzer and for the fuzz driver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace fuzz {

// Reads `data` as a stored record (first byte even: the rest as text; odd: the rest as
// a record's body, sealed). Returns what went wrong, or nothing: nothing accepted may
// fail to write back the same, or leave a window that resumes it broken. `accepted`:
// whether it was read as a record.
std::optional<std::string> readRecord(const std::uint8_t* data, std::size_t size,
                                      bool* accepted = nullptr);

// Inputs for it from a real record (a board written by a random sequence), mutated:
// bytes changed, cut, repeated, or whole garbage.
std::vector<std::uint8_t> mutatedRecord(std::mt19937& rng);

}  // namespace fuzz
