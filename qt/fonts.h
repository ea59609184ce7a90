// The core's font choices as Qt takes them.
#pragma once

#include <QFont>
#include <QStringList>

#include "forms/controls.h"
#include "frontend/fonts.h"

namespace desktop {

// The font for a caption: the families the core lists for it, at its size in logical
// pixels.
inline QFont fontFor(const frontend::FontChoice& choice) {
  QStringList families;
  for (const std::string& family : frontend::fontFamilies(choice))
    families << QString::fromStdString(family);
  QFont f;
  f.setFamilies(families);
  f.setPixelSize(choice.pixelSize);
  f.setBold(choice.bold);
  if (choice.face != frontend::FontFace::Dialog)
    f.setStyleHint(QFont::AnyStyle, QFont::PreferAntialias);
  return f;
}
inline QFont fontFor(const forms::FontSpec& font) { return fontFor(frontend::fontChoice(font)); }

// The window's default dialog font, used where a control stores no font.
inline QFont dialogFont() { return fontFor(forms::FontSpec{}); }

}  // namespace desktop
