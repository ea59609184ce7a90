// The core's colours as Qt takes them.
#pragma once

#include <QColor>

#include "forms/palette.h"

namespace desktop {

inline QColor toQColor(forms::Rgb c) { return {c.r, c.g, c.b}; }

}  // namespace desktop
