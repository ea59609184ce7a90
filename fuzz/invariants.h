// What the model must keep after every input, whatever came before.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"

namespace fuzz {

// The first invariant the model breaks, or nothing. `ink` holds the commands the last
// event drew.
std::optional<std::string> brokenInvariant(const app::Form1& form,
                                           const std::vector<forms::InkCommand>& ink);
int invariantCount();
// Of those, what keeps the window's arithmetic sound whatever it shows: flags, finite
// values, one mode at a time.
std::optional<std::string> brokenSafety(const app::Form1& form);

}  // namespace fuzz
