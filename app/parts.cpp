#include "app/parts.h"

namespace app {

namespace {

Int16 holdCode(Part part) {
  switch (part) {
    case Part::P:
      return figure::kHoldP;
    case Part::Q:
      return figure::kHoldQ;
    case Part::UpperEndL:
      return figure::kHoldUpperEndL;
    case Part::UpperEndM:
      return figure::kHoldUpperEndM;
    case Part::CopyOfL:
      return figure::kHoldCopyOfL;
  }
  return figure::kHoldNothing;
}

}  // namespace

double placeOf(const Form1& form, Part part) {
  const figure::Figure& f = form.figure;
  switch (part) {
    case Part::P:
      return f.LinePY;
    case Part::Q:
      return f.LineQY;
    case Part::UpperEndL:
      return f.LineLX1;
    case Part::UpperEndM:
      return f.LineMX1;
    case Part::CopyOfL:
      return f.CopyQX;
  }
  return 0;
}

bool extensionShown(const Form1& form, Part part) {
  if (part == Part::UpperEndL) return form.figure.ExtensionLShown != 0;
  if (part == Part::UpperEndM) return form.figure.ExtensionMShown != 0;
  return false;
}

void holdPart(Form1& form, Part part) {
  form.figure.hold(holdCode(part));
  form.figure.DragTarget = figure::kHoldNothing;
}

void releasePart(Form1& form) { form.figure.release(); }

void movePart(Form1& form, Part part, double by) {
  figure::Figure& f = form.figure;
  f.DragTarget = holdCode(part);
  if (isLevel(part))
    f.dragBy(0, static_cast<Single>(by));
  else
    f.dragBy(static_cast<Single>(by), 0);
  f.DragTarget = figure::kHoldNothing;
}

void toggleExtension(Form1& form, Part part) {
  if (part == Part::UpperEndL) form.Image1_Click(figure::kPictureL);
  if (part == Part::UpperEndM) form.Image1_Click(figure::kPictureM);
}

PartBox boxOf(const Form1& form, Part part) {
  const figure::Figure& f = form.figure;
  // A level line's box runs the line's whole length, with 6 pixels to spare at each end.
  constexpr double kMiddle = (figure::kParallelLeft + figure::kParallelRight) / 2;
  constexpr double kHalfLine = (figure::kParallelRight - figure::kParallelLeft) / 2 + 6;
  switch (part) {
    case Part::P:
      return {kMiddle, f.LinePY, kHalfLine, 6};
    case Part::Q:
      return {kMiddle, f.LineQY, kHalfLine, 6};
    case Part::UpperEndL:
      return {f.LineLX1, f.LineLY1, 10, 10};
    case Part::UpperEndM:
      return {f.LineMX1, f.LineMY1, 10, 10};
    case Part::CopyOfL:
      return {static_cast<double>(f.CopyQX), f.LineQY, 10, 10};
  }
  return {};
}

FigurePlaces placesOf(const Form1& form) {
  const figure::Figure& f = form.figure;
  return {f.LinePY,  f.LineQY,       f.LineRY,       f.PointAX,     f.PointBX,
          f.PointCX, f.PointAPrimeX, f.PointBPrimeX, f.PointCPrimeX};
}

}  // namespace app
