// The font a caption asks for, as every front end looks it up: the family the layout
// stores, the same design under other systems' names, and a size in layout pixels.
#pragma once

#include <string>
#include <vector>

#include "forms/controls.h"

namespace frontend {

// Which font family a caption asks for: each front end knows its platform's fonts.
enum class FontFace { Gothic, Mincho, Dialog };

struct FontChoice {
  std::string stored;  // the family the layout names, asked for first
  FontFace face = FontFace::Dialog;
  int pixelSize = 12;
  bool bold = false;
  friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

// Sizes are in the layout's pixels, taken from points at 96 dpi (21.75 pt is 29 px),
// so the layout is the same on every screen.
FontChoice fontChoice(const forms::FontSpec& font);

// The families to ask for, best first: the stored one, the same design under the name
// Windows gives it, then what each system has in that style (IPA, drawn to the same
// metrics, and Noto CJK JP on Linux, ChromeOS and Android; Hiragino and Yu on Apple
// and newer Windows). Japanese families only, so Japanese never falls to a Chinese
// font's glyph forms.
std::vector<std::string> fontFamilies(const FontChoice& font);

}  // namespace frontend
