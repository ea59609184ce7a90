#include "frontend/fonts.h"

#include <cmath>

namespace frontend {

namespace {
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr int kDialogPixelSize = 12;  // 9 pt
}  // namespace

FontChoice fontChoice(const forms::FontSpec& font) {
  if (font.Name.empty()) return {"", FontFace::Dialog, kDialogPixelSize, font.Bold};
  FontFace face = FontFace::Dialog;
  if (font.Name.find("明朝") != std::string::npos) face = FontFace::Mincho;
  if (font.Name.find("ゴシック") != std::string::npos) face = FontFace::Gothic;
  return {font.Name, face, static_cast<int>(std::lround(font.SizePt * kPixelsPerPoint)), font.Bold};
}

std::vector<std::string> fontFamilies(const FontChoice& font) {
  // After the Windows names, IPA (drawn to the same metrics) and Noto CJK JP, then
  // Apple's and the newer Windows families: a system without a family pays a lookup
  // for it, and Linux and ChromeOS boards are the slowest machines in a school.
  if (font.face == FontFace::Dialog) {
    return {"MS UI Gothic", "IPAPGothic", "Noto Sans CJK JP",
            "Yu Gothic UI", "Meiryo UI",  "Hiragino Sans"};
  }
  std::vector<std::string> families{font.stored};
  if (font.face == FontFace::Mincho) {
    for (const char* f : {"MS PMincho", "IPAPMincho", "IPAMincho", "Noto Serif CJK JP",
                          "Hiragino Mincho ProN", "Yu Mincho"})
      families.emplace_back(f);
  } else {
    for (const char* f : {"MS PGothic", "IPAPGothic", "IPAGothic", "Noto Sans CJK JP",
                          "Hiragino Sans", "Hiragino Kaku Gothic ProN", "Yu Gothic", "Meiryo"})
      families.emplace_back(f);
  }
  return families;
}

}  // namespace frontend
