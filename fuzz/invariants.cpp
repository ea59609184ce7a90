// What the model must keep after every input, whatever came before: the figure's
// rules, one mode at a time with its buttons to match, finite coordinates, and ink
// from the pens only.
#include "fuzz/invariants.h"

#include <cmath>
#include <string>

namespace fuzz {

namespace {

using Check = std::optional<std::string> (*)(const app::Form1&,
                                             const std::vector<forms::InkCommand>&);

bool isFlag(double v) { return v == 0 || v == 1; }
bool finite(float v) { return std::isfinite(v); }
bool finiteLine(const forms::Line& l) {
  return finite(l.X1) && finite(l.Y1) && finite(l.X2) && finite(l.Y2);
}
bool finiteBox(const forms::Bounds& b) {
  return finite(b.Left) && finite(b.Top) && finite(b.Width) && finite(b.Height);
}
std::string at(const char* what, int i) {
  return std::string(what) + "(" + std::to_string(i) + ")";
}

std::optional<std::string> flagsAreZeroOrOne(const app::Form1& f,
                                             const std::vector<forms::InkCommand>&) {
  const board::Board& b = f.board;
  const figure::Figure& g = f.figure;
  if (!isFlag(b.MemoMode)) return "MemoMode is " + std::to_string(b.MemoMode);
  if (!isFlag(b.LineMode)) return "LineMode is " + std::to_string(b.LineMode);
  if (!isFlag(b.PenDown)) return "PenDown is " + std::to_string(b.PenDown);
  if (!isFlag(b.LineDrawing)) return "LineDrawing is " + std::to_string(b.LineDrawing);
  if (!isFlag(b.GridShown)) return "GridShown is not 0 or 1";
  if (!isFlag(g.ExtensionLShown)) return "ExtensionLShown is not 0 or 1";
  if (!isFlag(g.ExtensionMShown)) return "ExtensionMShown is not 0 or 1";
  return std::nullopt;
}

std::optional<std::string> oneModeAtATime(const app::Form1& f,
                                          const std::vector<forms::InkCommand>&) {
  const board::Board& b = f.board;
  if (b.MemoMode == 1 && b.LineMode == 1) return "memo and straight-line mode both on";
  if (b.LineMode == 1 && (b.LineSlot < 1 || b.LineSlot > 5))
    return "straight-line mode with LineSlot " + std::to_string(b.LineSlot);
  if (b.LineSlot < 0 || b.LineSlot > 5)
    return "LineSlot out of range: " + std::to_string(b.LineSlot);
  if (b.PenDown == 1 && b.MemoMode != 1) return std::string("the pen is down outside memo mode");
  if (b.LineDrawing == 1 && b.LineMode != 1)
    return std::string("a line is being stretched outside straight-line mode");
  return std::nullopt;
}

std::optional<std::string> buttonsMatchTheMode(const app::Form1& f,
                                               const std::vector<forms::InkCommand>&) {
  int selected = 0;
  for (const forms::OptionButton* o : f.optionGroup.members()) selected += o->Value();
  if (selected > 1) return std::to_string(selected) + " option buttons selected";
  const bool pens = f.board.MemoMode == 1;
  const bool colours = f.board.LineMode == 1;
  for (int i = 0; i < 8; ++i)
    if (f.Option1(i).Enabled != pens)
      return at("Option1", i) + " enabled state does not match the mode";
  for (int i = 0; i < 4; ++i)
    if (f.Option2(i).Enabled != colours)
      return at("Option2", i) + " enabled state does not match the mode";
  if (f.Command3.FontBold != pens) return "メモ's caption does not show memo mode";
  if (f.Command5.FontBold != colours) return "直線's caption does not show straight-line mode";
  if (f.Command4.FontBold != (f.board.GridShown == 1))
    return "方眼's caption does not show the grid";
  return std::nullopt;
}

std::optional<std::string> everythingFinite(const app::Form1& f,
                                            const std::vector<forms::InkCommand>&) {
  const figure::Figure& g = f.figure;
  for (double v :
       {g.LinePY,       g.LineQY,       g.LineRY,       g.LineLX1, g.LineLY1, g.LineLX2, g.LineLY2,
        g.LineMX1,      g.LineMY1,      g.LineMX2,      g.LineMY2, g.PointAX, g.PointBX, g.PointCX,
        g.PointAPrimeX, g.PointBPrimeX, g.PointCPrimeX, g.CopyX1,  g.CopyY1,  g.CopyX2})
    if (!std::isfinite(v)) return std::string("a figure variable is not finite");
  std::optional<std::string> bad;
  auto lines = [&](const char* name, const forms::ControlArray<forms::Line>& a) {
    a.forEach([&](int i, const forms::Line& l) {
      if (!bad && !finiteLine(l)) bad = at(name, i) + " has a coordinate that is not finite";
    });
  };
  lines("Line1", f.Line1);
  lines("Line2", f.Line2);
  lines("Line3", f.Line3);
  lines("Line4", f.Line4);
  f.Label2.forEach([&](int i, const forms::Label& l) {
    if (!bad && !finiteBox(l)) bad = at("Label2", i) + " is not at a finite place";
  });
  f.Image1.forEach([&](int i, const forms::Image& im) {
    if (!bad && !finiteBox(im)) bad = at("Image1", i) + " is not at a finite place";
  });
  if (!bad && !finiteBox(f.Shape1)) bad = "Shape1 is not at a finite place";
  if (!bad && !(finite(f.LastX) && finite(f.LastY))) bad = "LastX, LastY not finite";
  return bad;
}

std::optional<std::string> parallelsStayHorizontal(const app::Form1& f,
                                                   const std::vector<forms::InkCommand>&) {
  const double heights[3] = {f.figure.LinePY, f.figure.LineQY, f.figure.LineRY};
  for (int k = 0; k < 3; ++k) {
    const forms::Line& l = f.Line1(k);
    if (l.X1 != 50 || l.X2 != 750) return at("Line1", k) + " does not span 50 to 750";
    if (l.Y1 != l.Y2) return at("Line1", k) + " is not horizontal";
    if (l.Y1 != forms::toSingle(heights[k])) return at("Line1", k) + " is not at its line's height";
  }
  if (f.figure.LineRY != 500) return std::string("LineRY changed");
  return std::nullopt;
}

std::optional<std::string> transversalsKeepTheirHeights(const app::Form1& f,
                                                        const std::vector<forms::InkCommand>&) {
  const figure::Figure& g = f.figure;
  if (g.LineLY1 != 125 || g.LineLY2 != 575 || g.LineMY1 != 125 || g.LineMY2 != 575)
    return std::string("a transversal's end changed height");
  for (int k : {3, 4})
    if (f.Line1(k).Y1 != 125 || f.Line1(k).Y2 != 575) return at("Line1", k) + " changed height";
  return std::nullopt;
}

std::optional<std::string> copyIsParallelToL(const app::Form1& f,
                                             const std::vector<forms::InkCommand>&) {
  const figure::Figure& g = f.figure;
  if (g.CopyY1 != g.LineLY1 || g.CopyY2 != g.LineLY2)
    return std::string("the copy's heights differ from ℓ's");
  const double run = g.LineLX1 - g.LineLX2;
  const double copyRun = g.CopyX1 - g.CopyX2;
  if (std::abs(run - copyRun) > 1e-6 * (1 + std::abs(run)))
    return "the copy of ℓ is not parallel to ℓ (runs " + std::to_string(copyRun) + " and " +
           std::to_string(run) + ")";
  const forms::Line& shown = f.Line2(0);
  if (shown.X1 != figure::kOutOfSightX || shown.X2 != figure::kOutOfSightX) {
    const double shownRun = static_cast<double>(shown.X1) - static_cast<double>(shown.X2);
    if (std::abs(shownRun - copyRun) > 1e-3 * (1 + std::abs(copyRun)))
      return std::string("the copy in view is not parallel to ℓ");
  }
  return std::nullopt;
}

std::optional<std::string> gridKeepsItsShape(const app::Form1& f,
                                             const std::vector<forms::InkCommand>&) {
  if (f.Line5.count() != 26 || f.Line6.count() != 33) return std::string("grid line count changed");
  std::optional<std::string> bad;
  auto check = [&](const char* name, const forms::ControlArray<forms::Line>& a) {
    a.forEach([&](int i, const forms::Line& l) {
      const auto style = i % 2 == 1 ? forms::LineStyle::Dot : forms::LineStyle::Solid;
      if (!bad && (l.BorderStyle != style || l.BorderWidth != 1 || l.BorderColor != forms::kBlack))
        bad = at(name, i) + " changed its look";
      if (!bad && l.Visible != (f.board.GridShown == 1))
        bad = at(name, i) + " visibility differs from GridShown";
    });
  };
  check("Line5", f.Line5);
  check("Line6", f.Line6);
  return bad;
}

std::optional<std::string> unusedLinesAreOutOfSight(const app::Form1& f,
                                                    const std::vector<forms::InkCommand>&) {
  for (int i = 0; i < 5; ++i) {
    if (f.Check1(i).Value() == 1) continue;
    const bool stretching = f.board.LineDrawing == 1 && f.board.LineSlot == i + 1;
    const forms::Line& l = f.Line4(i);
    if (!stretching && (l.X1 != 1000 || l.X2 != 1000))
      return at("Line4", i) + " is in sight although its box is unticked";
  }
  return std::nullopt;
}

std::optional<std::string> inkComesFromThePens(const app::Form1& f,
                                               const std::vector<forms::InkCommand>& ink) {
  for (const forms::InkCommand& c : ink) {
    if (c.kind == forms::InkCommand::Kind::Clear) continue;
    bool known = false;
    for (int i = 0; i < board::kPenCount; ++i) {
      const board::Pen pen = board::penOf(i);
      known = known || (c.width == pen.width && c.colour == forms::QBColor(pen.colour));
    }
    if (!known) return std::string("ink in a colour and width that no pen has");
    if (f.board.MemoMode != 1) return std::string("ink drawn outside memo mode");
  }
  return std::nullopt;
}

const Check kChecks[] = {flagsAreZeroOrOne,       buttonsMatchTheMode,          everythingFinite,
                         parallelsStayHorizontal, transversalsKeepTheirHeights, copyIsParallelToL,
                         gridKeepsItsShape,       unusedLinesAreOutOfSight,     inkComesFromThePens,
                         oneModeAtATime};

}  // namespace

int invariantCount() { return static_cast<int>(std::size(kChecks)); }

std::optional<std::string> brokenInvariant(const app::Form1& form,
                                           const std::vector<forms::InkCommand>& ink) {
  for (Check check : kChecks)
    if (auto broken = check(form, ink)) return broken;
  return std::nullopt;
}

std::optional<std::string> brokenSafety(const app::Form1& form) {
  for (Check check : {flagsAreZeroOrOne, everythingFinite, oneModeAtATime})
    if (auto broken = check(form, {})) return broken;
  return std::nullopt;
}

}  // namespace fuzz
