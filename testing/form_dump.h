// A readable dump of everything a window holds, so two states can be compared whole
// and a difference shows which control or variable it is.
#pragma once

#include <string>

#include "app/form1.h"

namespace testing_support {

std::string dump(const app::Form1& f);

}  // namespace testing_support
