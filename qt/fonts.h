// Fonts for the window's captions and the point names.
#pragma once

#include <QFont>

#include "forms/controls.h"

namespace view {

// The font for a control: the stored family first, then metric-compatible free
// Japanese families (IPA P Gothic / IPA P Mincho, then Noto CJK). Sizes are in the
// program's logical pixels, taken from points at 96 dpi (21.75 pt is 29 px), so the
// layout is the same on every screen.
QFont fontFor(const forms::FontSpec& wanted);

// The window's default dialog font, used where a control stores no font.
QFont dialogFont();

}  // namespace view
