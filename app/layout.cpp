// The window's stored layout: every control's place, size, caption, colours and font,
// in pixels (inside the board, relative to its drawing area).
#include "app/form1.h"

namespace app {

namespace {

using forms::Rgb;

constexpr Rgb kBrightGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kWhite = forms::kWhite;
constexpr Rgb kBlack = forms::kBlack;

const forms::FontSpec kTitleFont{"ＭＳ Ｐゴシック", 24, true, true};
const forms::FontSpec kPointNameFont{"ＭＳ Ｐ明朝", 21.75, true, true};
const forms::FontSpec kDialogFont{};

void place(forms::Bounds& b, Single left, Single top, Single width, Single height) {
  b.Left = left;
  b.Top = top;
  b.Width = width;
  b.Height = height;
}

forms::Label label(Single left, Single top, Single width, Single height, const char* caption,
                   const forms::FontSpec& font, Rgb fore, Rgb back) {
  forms::Label l;
  place(l, left, top, width, height);
  l.Caption = caption;
  l.Font = font;
  l.ForeColor = fore;
  l.BackColor = back;
  return l;
}

void button(forms::ButtonBase& b, Single left, Single top, Single width, Single height,
            const char* caption) {
  place(b, left, top, width, height);
  b.Caption = caption;
}

template <class T>
T onWindow(Single left, Single top, Single width, Single height, const char* caption) {
  T b;
  button(b, left, top, width, height, caption);
  b.BackColor = kWindowGreen;
  return b;
}

forms::Line line(Single x1, Single y1, Single x2, Single y2, Rgb colour, int width) {
  forms::Line l;
  l.X1 = x1;
  l.Y1 = y1;
  l.X2 = x2;
  l.Y2 = y2;
  l.BorderColor = colour;
  l.BorderWidth = width;
  return l;
}

forms::Image image(Single left, Single top, Single width, Single height, const char* picture) {
  forms::Image i;
  place(i, left, top, width, height);
  i.Picture = picture;
  return i;
}

forms::Label pointName(Single left, Single top, Single width, const char* caption) {
  return label(left, top, width, 29, caption, kPointNameFont, kWhite, kBoardGreen);
}

}  // namespace

Form1::Form1()
    : Label1(label(8, 8, 125, 33, "相似と比", kTitleFont, kBrightGreen, kBoardGreen)),
      Option1{
          {4, onWindow<forms::OptionButton>(560, 8, 57, 17, "赤")},
          {5, onWindow<forms::OptionButton>(600, 8, 57, 17, "黄")},
          {6, onWindow<forms::OptionButton>(640, 8, 57, 17, "青")},
          {7, onWindow<forms::OptionButton>(680, 8, 81, 17, "消しゴム")},
          {0, onWindow<forms::OptionButton>(560, 24, 57, 17, "赤")},
          {1, onWindow<forms::OptionButton>(600, 24, 57, 17, "黄")},
          {2, onWindow<forms::OptionButton>(640, 24, 57, 17, "青")},
          {3, onWindow<forms::OptionButton>(680, 24, 81, 17, "消しゴム")},
      },
      Option2{
          {0, onWindow<forms::OptionButton>(320, 8, 33, 17, "赤")},
          {1, onWindow<forms::OptionButton>(360, 8, 33, 17, "黄")},
          {2, onWindow<forms::OptionButton>(400, 8, 33, 17, "青")},
          {3, onWindow<forms::OptionButton>(440, 8, 33, 17, "白")},
      },
      Check1{
          {0, onWindow<forms::CheckBox>(320, 24, 25, 17, "1")},
          {1, onWindow<forms::CheckBox>(352, 24, 25, 17, "2")},
          {2, onWindow<forms::CheckBox>(384, 24, 25, 17, "3")},
          {3, onWindow<forms::CheckBox>(416, 24, 25, 17, "4")},
          {4, onWindow<forms::CheckBox>(448, 24, 25, 17, "5")},
      },
      Label4{
          {0, label(528, 10, 24, 12, "太字", kDialogFont, kBlack, kWindowGreen)},
          {1, label(528, 27, 24, 12, "細字", kDialogFont, kBlack, kWindowGreen)},
      },
      // Inside the board: the parking layout at its right, which the initial screen
      // replaces before the window is first shown.
      Line1{
          {0, line(592, 352, 592, 424, kWhite, 4)},  // p
          {1, line(608, 352, 608, 424, kWhite, 4)},  // q
          {2, line(624, 352, 624, 424, kWhite, 4)},  // r
          {3, line(592, 440, 592, 512, kWhite, 4)},  // ℓ
          {4, line(608, 440, 608, 512, kWhite, 4)},  // m
      },
      Line2{
          {0, line(672, 352, 672, 424, kRed, 4)},    // copy of ℓ
          {1, line(696, 352, 696, 424, kWhite, 4)},  // extension of ℓ
          {2, line(720, 352, 720, 424, kWhite, 4)},  // extension of m
      },
      Line3{
          {0, line(688, 440, 688, 512, kYellow, 2)}, {1, line(704, 440, 704, 512, kYellow, 2)},
          {2, line(720, 440, 720, 512, kYellow, 2)}, {3, line(736, 440, 736, 512, kYellow, 2)},
          {4, line(752, 440, 752, 512, kYellow, 2)}, {5, line(768, 440, 768, 512, kYellow, 2)},
      },
      Line4{
          {0, line(592, 544, 592, 616, kRed, 4)}, {1, line(608, 544, 608, 616, kRed, 4)},
          {2, line(624, 544, 624, 616, kRed, 4)}, {3, line(640, 544, 640, 616, kRed, 4)},
          {4, line(656, 544, 656, 616, kRed, 4)},
      },
      Line5{{0, line(696, 552, 760, 552, kBlack, 1)}},
      Line6{{0, line(712, 568, 712, 608, kBlack, 1)}},
      // The apostrophe of a primed name is the narrow one, after a full-width letter.
      Label2{
          {0, pointName(616, 208, 24, "Ａ")},  {1, pointName(664, 208, 22, "Ｂ")},
          {2, pointName(712, 208, 23, "Ｃ")},  {3, pointName(616, 240, 34, "Ａ'")},
          {4, pointName(664, 240, 32, "Ｂ'")}, {5, pointName(720, 240, 33, "Ｃ'")},
      },
      Label3{{1, pointName(616, 288, 24, "Ｇ")}},
      Image1{
          {0, image(592, 80, 24, 34, "l")},  {1, image(640, 80, 35, 24, "m")},
          {2, image(584, 128, 24, 34, "p")}, {3, image(632, 128, 24, 31, "q")},
          {4, image(680, 128, 24, 27, "r")},
      },
      figure({Line1, Line2, Line3, Label2, Label3, Image1}),
      board({gamen, Option1, Option2, Check1, Command3, Command4, Command5, Shape1, Line4, Line5,
             Line6}) {
  button(Command1, 144, 8, 65, 33, "初期画面");
  button(Command4, 224, 8, 41, 33, "方眼");
  button(Command5, 272, 8, 41, 33, "直線");
  button(Command3, 480, 8, 41, 33, "メモ");
  button(Command2, 752, 8, 57, 33, "終了");

  place(gamen, 8, 48, 806, 630);
  gamen.BackColor = kBoardGreen;
  gamen.BorderPixels = 2;

  place(Shape1, 472, 328, 57, 25);
  Shape1.BorderColor = kBlack;

  // All twelve option buttons sit directly on the window: one group.
  Option1.forEach([this](int, forms::OptionButton& b) { optionGroup.add(b); });
  Option2.forEach([this](int, forms::OptionButton& b) { optionGroup.add(b); });
  Option1(0).setValue(true);  // stored as selected; no handler is connected yet

  connectHandlers();
}

const std::vector<FocusStop>& Form1::tabOrder() {
  using K = FocusStop::Kind;
  static const std::vector<FocusStop> order{
      {K::Surface, 0}, {K::Command, 1}, {K::Command, 2}, {K::Command, 3}, {K::Option1, 0},
      {K::Option1, 1}, {K::Option1, 2}, {K::Option1, 3}, {K::Option1, 4}, {K::Option1, 5},
      {K::Option1, 6}, {K::Option1, 7}, {K::Command, 4}, {K::Command, 5}, {K::Check1, 0},
      {K::Check1, 1},  {K::Check1, 2},  {K::Check1, 3},  {K::Check1, 4},  {K::Option2, 0},
      {K::Option2, 1}, {K::Option2, 2}, {K::Option2, 3},
  };
  return order;
}

}  // namespace app
