#include "testing/form_dump.h"

#include <sstream>

namespace testing_support {

std::string dump(const app::Form1& f) {
  std::ostringstream o;
  o.precision(10);
  auto rgb = [&](forms::Rgb c) { o << '#' << int(c.r) << ',' << int(c.g) << ',' << int(c.b); };
  auto lines = [&](const char* name, const forms::ControlArray<forms::Line>& a) {
    a.forEach([&](int i, const forms::Line& l) {
      o << name << '(' << i << ") " << l.X1 << ' ' << l.Y1 << ' ' << l.X2 << ' ' << l.Y2 << ' ';
      rgb(l.BorderColor);
      o << " w" << l.BorderWidth << (l.BorderStyle == forms::LineStyle::Dot ? " dot" : " solid")
        << (l.Visible ? " shown" : " hidden") << '\n';
    });
  };
  auto box = [&](const forms::Bounds& b) {
    o << b.Left << ' ' << b.Top << ' ' << b.Width << ' ' << b.Height;
  };
  auto labels = [&](const char* name, const forms::ControlArray<forms::Label>& a) {
    a.forEach([&](int i, const forms::Label& l) {
      o << name << '(' << i << ") ";
      box(l);
      o << ' ' << l.Caption << (l.Visible ? " shown" : " hidden") << '\n';
    });
  };
  auto options = [&](const char* name, const forms::ControlArray<forms::OptionButton>& a) {
    a.forEach([&](int i, const forms::OptionButton& b) {
      o << name << '(' << i << ") value " << b.Value() << " enabled " << b.Enabled << '\n';
    });
  };
  o << "Caption " << f.Caption << '\n';
  o << "gamen scale " << (f.gamen.scaleMode == forms::ScaleMode::Pixels) << " width "
    << f.gamen.DrawWidth << " pending " << f.gamen.pending().size() << '\n';
  lines("Line1", f.Line1);
  lines("Line2", f.Line2);
  lines("Line3", f.Line3);
  lines("Line4", f.Line4);
  lines("Line5", f.Line5);
  lines("Line6", f.Line6);
  labels("Label2", f.Label2);
  labels("Label3", f.Label3);
  f.Image1.forEach([&](int i, const forms::Image& im) {
    o << "Image1(" << i << ") ";
    box(im);
    o << (im.Visible ? " shown" : " hidden") << '\n';
  });
  o << "Shape1 ";
  box(f.Shape1);
  o << (f.Shape1.Visible ? " shown" : " hidden") << '\n';
  options("Option1", f.Option1);
  options("Option2", f.Option2);
  f.Check1.forEach(
      [&](int i, const forms::CheckBox& b) { o << "Check1(" << i << ") " << b.Value() << '\n'; });
  o << "bold 3/4/5 " << f.Command3.FontBold << f.Command4.FontBold << f.Command5.FontBold << '\n';
  const figure::Figure& g = f.figure;
  o << "P/Q/R " << g.LinePY << ' ' << g.LineQY << ' ' << g.LineRY << '\n'
    << "L " << g.LineLX1 << ' ' << g.LineLY1 << ' ' << g.LineLX2 << ' ' << g.LineLY2 << '\n'
    << "M " << g.LineMX1 << ' ' << g.LineMY1 << ' ' << g.LineMX2 << ' ' << g.LineMY2 << '\n'
    << "points " << g.PointAX << ' ' << g.PointBX << ' ' << g.PointCX << ' ' << g.PointAPrimeX
    << ' ' << g.PointBPrimeX << ' ' << g.PointCPrimeX << '\n'
    << "copy " << g.CopyX1 << ' ' << g.CopyY1 << ' ' << g.CopyX2 << ' ' << g.CopyY2 << " handle "
    << g.CopyQX << '\n'
    << "extensions " << g.ExtensionLShown << ' ' << g.ExtensionMShown << " drag " << g.DragTarget
    << '\n';
  const board::Board& b = f.board;
  o << "modes memo " << b.MemoMode << " line " << b.LineMode << " pen " << b.PenDown << " drawing "
    << b.LineDrawing << " slot " << b.LineSlot << " colours " << b.PenColor << ' ' << b.LineColor
    << " grid " << b.GridShown << '\n';
  o << "last " << f.LastX << ' ' << f.LastY << '\n';
  return o.str();
}

}  // namespace testing_support
