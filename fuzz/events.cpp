#include "fuzz/events.h"

#include <array>
#include <cmath>
#include <limits>
#include <sstream>

namespace fuzz {

namespace {

constexpr float kFloatMax = std::numeric_limits<float>::max();

// Coordinates worth more than their share of chances: the board's edges, values far
// outside it, and the figure's own heights and handles (q at the height of the upper
// ends is where the swing rule divides by zero).
constexpr std::array<float, 24> kSpecial{0,    801,   802,   -1,    625,    626,   50,     50.5F,
                                         125,  275,   350,   500,   400,    475,   250,    125.0001F,
                                         1e4F, -1e4F, 1e9F,  -1e9F, 1e30F,  -1e30F, kFloatMax, -kFloatMax};

constexpr std::array<forms::Int16, 8> kButtons{1, 1, 1, 2, 4, 3, 5, 0};

float coordinate(std::uint8_t how, std::uint8_t hi, std::uint8_t lo, int span) {
  const int raw = (hi << 8) | lo;
  switch (how % 4) {
    case 0:
    case 1: return static_cast<float>(raw % span);
    case 2: return static_cast<float>(raw % span) + static_cast<float>(how >> 2) / 64.0F;
    default: return kSpecial[static_cast<std::size_t>(raw) % kSpecial.size()];
  }
}

// How coordinates are stored: a plain whole pixel when it is one, else an index into
// the special values, else a pixel with a fraction of 1/64.
void putCoordinate(std::vector<std::uint8_t>& out, float v, int span) {
  for (std::size_t i = 0; i < kSpecial.size(); ++i) {
    if (kSpecial[i] == v) {
      out.insert(out.end(), {3, 0, static_cast<std::uint8_t>(i)});
      return;
    }
  }
  const float whole = std::floor(v);
  const int fraction = static_cast<int>((v - whole) * 64.0F);
  const int raw = static_cast<int>(whole) % span;
  out.push_back(static_cast<std::uint8_t>(fraction == 0 ? 0 : 2 + (fraction << 2)));
  out.push_back(static_cast<std::uint8_t>(raw >> 8));
  out.push_back(static_cast<std::uint8_t>(raw & 0xff));
}

constexpr int kSpanX = 900;  // a little beyond the 802 px board
constexpr int kSpanY = 700;

}  // namespace

std::vector<Event> decode(const std::uint8_t* data, std::size_t size) {
  std::vector<Event> events;
  std::size_t i = 0;
  auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
  while (i < size) {
    const std::uint8_t op = next();
    Event e;
    switch (op % 8) {
      case 0:
      case 1:
      case 2: {
        e.kind = op % 8 == 0 ? Event::Kind::MouseDown
                             : op % 8 == 1 ? Event::Kind::MouseMove : Event::Kind::MouseUp;
        e.button = kButtons[(op >> 3) % kButtons.size()];
        const std::uint8_t hx = next(), x1 = next(), x2 = next();
        const std::uint8_t hy = next(), y1 = next(), y2 = next();
        e.x = coordinate(hx, x1, x2, kSpanX);
        e.y = coordinate(hy, y1, y2, kSpanY);
        break;
      }
      case 3: e.kind = Event::Kind::CommandClick; e.index = 1 + (op >> 3) % 5; break;
      case 4: e.kind = Event::Kind::PenClick; e.index = (op >> 3) % 8; break;
      case 5: e.kind = Event::Kind::ColourClick; e.index = (op >> 3) % 4; break;
      case 6: e.kind = Event::Kind::BoxClick; e.index = (op >> 3) % 5; break;
      default: e.kind = Event::Kind::PictureClick; e.index = (op >> 3) % 5; break;
    }
    events.push_back(e);
  }
  return events;
}

std::vector<std::uint8_t> encode(const std::vector<Event>& events) {
  std::vector<std::uint8_t> out;
  for (const Event& e : events) {
    auto op = [&](int kind, int arg) { out.push_back(static_cast<std::uint8_t>(kind | (arg << 3))); };
    switch (e.kind) {
      case Event::Kind::MouseDown:
      case Event::Kind::MouseMove:
      case Event::Kind::MouseUp: {
        int b = 0;
        while (kButtons[static_cast<std::size_t>(b)] != e.button) ++b;
        op(e.kind == Event::Kind::MouseDown ? 0 : e.kind == Event::Kind::MouseMove ? 1 : 2, b);
        putCoordinate(out, e.x, kSpanX);
        putCoordinate(out, e.y, kSpanY);
        break;
      }
      case Event::Kind::CommandClick: op(3, e.index - 1); break;
      case Event::Kind::PenClick: op(4, e.index); break;
      case Event::Kind::ColourClick: op(5, e.index); break;
      case Event::Kind::BoxClick: op(6, e.index); break;
      case Event::Kind::PictureClick: op(7, e.index); break;
    }
  }
  return out;
}

std::vector<Event> randomSequence(std::mt19937& rng, std::size_t length) {
  std::vector<Event> events;
  std::uniform_int_distribution<int> percent(0, 99);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto coord = [&](int span, std::initializer_list<float> favourites) {
    const int p = percent(rng);
    if (p < 30) return *(favourites.begin() + pick(static_cast<int>(favourites.size()))) +
                       static_cast<float>(pick(61) - 30);
    if (p < 36) return kSpecial[static_cast<std::size_t>(pick(static_cast<int>(kSpecial.size())))];
    if (p < 45) return static_cast<float>(pick(span * 64)) / 64.0F;
    return static_cast<float>(pick(span));
  };
  float x = 300, y = 300;
  while (events.size() < length) {
    const int p = percent(rng);
    Event e;
    if (p < 12) {
      e.kind = Event::Kind::CommandClick;
      e.index = 1 + pick(5);
      if (e.index == 2) continue;  // "終了" ends the run; it is tried on its own
    } else if (p < 18) {
      e.kind = Event::Kind::PenClick;
      e.index = pick(8);
    } else if (p < 22) {
      e.kind = Event::Kind::ColourClick;
      e.index = pick(4);
    } else if (p < 26) {
      e.kind = Event::Kind::BoxClick;
      e.index = pick(5);
    } else if (p < 29) {
      e.kind = Event::Kind::PictureClick;
      e.index = pick(5);
    } else {
      const int m = percent(rng);
      if (m < 12) {
        e.kind = Event::Kind::MouseDown;
        x = coord(kSpanX, {30, 400, 475, 250});
        y = coord(kSpanY, {125, 275, 350});
      } else if (m < 22) {
        e.kind = Event::Kind::MouseUp;
      } else {
        e.kind = Event::Kind::MouseMove;
        // Mostly small steps, as a hand makes them, sometimes a jump.
        if (percent(rng) < 85) {
          x += static_cast<float>(pick(41) - 20);
          y += static_cast<float>(pick(41) - 20);
        } else {
          x = coord(kSpanX, {30, 400, 475, 250});
          y = coord(kSpanY, {125, 275, 350});
        }
      }
      e.button = kButtons[static_cast<std::size_t>(pick(static_cast<int>(kButtons.size())))];
      e.x = x;
      e.y = y;
    }
    events.push_back(e);
  }
  return events;
}

std::string describe(const Event& e) {
  std::ostringstream o;
  o.precision(9);
  switch (e.kind) {
    case Event::Kind::MouseDown: o << "press button " << e.button << " at " << e.x << ", " << e.y; break;
    case Event::Kind::MouseMove: o << "move buttons " << e.button << " to " << e.x << ", " << e.y; break;
    case Event::Kind::MouseUp: o << "release button " << e.button << " at " << e.x << ", " << e.y; break;
    case Event::Kind::CommandClick: o << "click Command" << e.index; break;
    case Event::Kind::PenClick: o << "click Option1(" << e.index << ")"; break;
    case Event::Kind::ColourClick: o << "click Option2(" << e.index << ")"; break;
    case Event::Kind::BoxClick: o << "click Check1(" << e.index << ")"; break;
    case Event::Kind::PictureClick: o << "click Image1(" << e.index << ")"; break;
  }
  return o.str();
}

void deliver(app::Form1& form, const Event& e) {
  switch (e.kind) {
    case Event::Kind::MouseDown: form.gamen_MouseDown(e.button, 0, e.x, e.y); break;
    case Event::Kind::MouseMove: form.gamen_MouseMove(e.button, 0, e.x, e.y); break;
    case Event::Kind::MouseUp: form.gamen_MouseUp(e.button, 0, e.x, e.y); break;
    case Event::Kind::CommandClick: {
      forms::CommandButton* buttons[] = {&form.Command1, &form.Command2, &form.Command3,
                                         &form.Command4, &form.Command5};
      buttons[e.index - 1]->userClick();
      break;
    }
    case Event::Kind::PenClick: form.Option1(e.index).userClick(); break;
    case Event::Kind::ColourClick: form.Option2(e.index).userClick(); break;
    case Event::Kind::BoxClick: form.Check1(e.index).userClick(); break;
    case Event::Kind::PictureClick: form.Image1_Click(static_cast<forms::Int16>(e.index)); break;
  }
}

void apply(app::Form1& form, const Event& e, std::vector<forms::InkCommand>& ink) {
  deliver(form, e);
  ink.clear();
  form.gamen.drain([&](const forms::InkCommand& c) { ink.push_back(c); });
}

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
std::string at(const char* what, int i) { return std::string(what) + "(" + std::to_string(i) + ")"; }

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
  if (b.LineSlot < 0 || b.LineSlot > 5) return "LineSlot out of range: " + std::to_string(b.LineSlot);
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
    if (f.Option1(i).Enabled != pens) return at("Option1", i) + " enabled state does not match the mode";
  for (int i = 0; i < 4; ++i)
    if (f.Option2(i).Enabled != colours) return at("Option2", i) + " enabled state does not match the mode";
  if (f.Command3.FontBold != pens) return "メモ's caption does not show memo mode";
  if (f.Command5.FontBold != colours) return "直線's caption does not show straight-line mode";
  if (f.Command4.FontBold != (f.board.GridShown == 1)) return "方眼's caption does not show the grid";
  return std::nullopt;
}

std::optional<std::string> everythingFinite(const app::Form1& f,
                                            const std::vector<forms::InkCommand>&) {
  const figure::Figure& g = f.figure;
  for (double v : {g.LinePY, g.LineQY, g.LineRY, g.LineLX1, g.LineLY1, g.LineLX2, g.LineLY2,
                   g.LineMX1, g.LineMY1, g.LineMX2, g.LineMY2, g.PointAX, g.PointBX, g.PointCX,
                   g.PointAPrimeX, g.PointBPrimeX, g.PointCPrimeX, g.CopyX1, g.CopyY1, g.CopyX2})
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
  if (g.CopyY1 != g.LineLY1 || g.CopyY2 != g.LineLY2) return std::string("the copy's heights differ from ℓ's");
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
      if (!bad && l.Visible != (f.board.GridShown == 1)) bad = at(name, i) + " visibility differs from GridShown";
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

const Check kChecks[] = {flagsAreZeroOrOne,        buttonsMatchTheMode,  everythingFinite,
                         parallelsStayHorizontal,  transversalsKeepTheirHeights,
                         copyIsParallelToL,        gridKeepsItsShape,    unusedLinesAreOutOfSight,
                         inkComesFromThePens,      oneModeAtATime};

}  // namespace

int invariantCount() { return static_cast<int>(std::size(kChecks)); }

std::optional<std::string> brokenInvariant(const app::Form1& form,
                                           const std::vector<forms::InkCommand>& ink) {
  for (Check check : kChecks)
    if (auto broken = check(form, ink)) return broken;
  return std::nullopt;
}

std::optional<std::string> run(const std::vector<Event>& events) {
  app::Form1 form;
  form.Form_Load();
  std::vector<forms::InkCommand> ink;
  form.gamen.drain([](const forms::InkCommand&) {});
  for (std::size_t i = 0; i < events.size(); ++i) {
    apply(form, events[i], ink);
    if (form.endRequested()) return std::nullopt;  // "終了": nothing after it runs
    if (auto broken = brokenInvariant(form, ink)) {
      std::ostringstream report;
      report << "invariant broken after event " << i + 1 << " of " << events.size() << ": "
             << *broken << "\nevents:\n";
      for (std::size_t k = 0; k <= i; ++k) report << "  " << describe(events[k]) << '\n';
      return report.str();
    }
  }
  return std::nullopt;
}

}  // namespace fuzz
