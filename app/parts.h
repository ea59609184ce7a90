// The figure's parts a key moves, and the one door the keyboard takes into the model:
// beside the window's own handlers, which the pointer takes, a key holds, moves and
// lets go of a part through the figure's own grab, as a drag does.
#pragma once

#include <array>

#include "app/form1.h"

namespace app {

// In the order the keyboard reaches them, right after the board.
enum class Part { P, Q, UpperEndL, UpperEndM, CopyOfL };
inline constexpr std::array<Part, 5> kParts{Part::P, Part::Q, Part::UpperEndL, Part::UpperEndM,
                                            Part::CopyOfL};

// p and q move up and down; the others left and right.
inline bool isLevel(Part part) { return part == Part::P || part == Part::Q; }

// Where the part stands, in board pixels: a level line's height from the top, the
// others' distance from the left.
double placeOf(const Form1& form, Part part);
// Whether an upper end's extension shows (the others have none).
bool extensionShown(const Form1& form, Part part);

// The part held as a press on it holds it (its look and pivot), though between the
// keys' steps nothing is dragged by a pointer passing over the board.
void holdPart(Form1& form, Part part);
void releasePart(Form1& form);
// The part moved `by` board pixels along its own way (down for a level line, right
// for the others), as a drag of it would move it.
void movePart(Form1& form, Part part, double by);
// An upper end's extension shown or taken away, as a click on its line's name does.
void toggleExtension(Form1& form, Part part);

// The box the keyboard draws round a held part: its centre and half its size.
struct PartBox {
  double x = 0, y = 0, halfWidth = 0, halfHeight = 0;
};
PartBox boxOf(const Form1& form, Part part);

// The figure's places and points, in board pixels, as a description tells them.
struct FigurePlaces {
  double lineP = 0, lineQ = 0, lineR = 0;
  double a = 0, b = 0, c = 0, aPrime = 0, bPrime = 0, cPrime = 0;  // x on p, q, r
};
FigurePlaces placesOf(const Form1& form);

}  // namespace app
