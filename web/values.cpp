// The values the page's assembler needs from the program, written by the build as a
// small JSON file so that they are named once, here in the C++: the window's and the
// board's colours (the installed site's title bar, splash and icon frame) and the
// lesson's name.
//
//   node parallel-lines-values.js FILE
#include <cstdio>

#include "app/form1.h"

namespace {

void colour(std::FILE* out, const char* name, forms::Rgb c, const char* after) {
  std::fprintf(out, "  \"%s\": \"#%02x%02x%02x\"%s\n", name, c.r, c.g, c.b, after);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "{\n");
  colour(out, "windowColour", app::kWindowGreen, ",");
  colour(out, "boardColour", app::kBoardGreen, ",");
  std::fprintf(out, "  \"name\": \"%s\"\n}\n", app::kLessonName);
  return std::fclose(out) == 0 ? 0 : 1;
}
