// The lesson without dragging: the five parts held and moved by keys as a drag moves
// them, a straight line drawn with keys, and the words a screen reader says.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "frontend/presenter.h"

namespace {

using frontend::Key;
using frontend::Part;
using frontend::Phase;

constexpr forms::Rgb kLightRed{255, 0, 0};
constexpr forms::Rgb kWhite{255, 255, 255};

struct Keys : ::testing::Test {
  app::Form1 form;
  std::unique_ptr<frontend::Presenter> core;
  void SetUp() override {
    form.Form_Load();
    core = std::make_unique<frontend::Presenter>(form);
  }
  void press(Part part, Key key, int times = 1) {
    for (int i = 0; i < times; ++i) core->partKey(part, key);
  }
  void board(Key key, int times = 1) {
    for (int i = 0; i < times; ++i) core->boardKey(key);
  }
  frontend::PointerEvent mouse(double x, double y, unsigned button, unsigned held) {
    return {x, y, button, held, {}, 0, frontend::PointerKind::Mouse, 0};
  }
  bool ringShown() const { return core->keyboard().overlay()[0].Visible; }
  // The black pixels a frame repaints, as the rectangles filled (level and upright
  // lines are whole pixels).
  std::vector<frontend::Rect> blackInFrame() {
    struct Black : frontend::Rasteriser {
      std::vector<frontend::Rect> found;
      void segment(const frontend::SegmentItem&) override {}
      void fill(const frontend::Rect& r, forms::Rgb c) override {
        if (c == forms::Rgb{0, 0, 0}) found.push_back(r);
      }
      void text(const frontend::TextItem&) override {}
      void picture(const frontend::PictureItem&) override {}
    } black;
    for (const frontend::Rect& r : core->scene.frame([](const frontend::InkStroke&) {}))
      core->scene.paint(r.intersected(core->scene.area()), black, {1, 0});
    return black.found;
  }
};

TEST_F(Keys, APartHeldByTheFocusMovesAsADragOfTheKeysSizeAndGoesOnEscape) {
  blackInFrame();
  core->focusPart(Part::P);
  EXPECT_EQ(form.Line1(0).BorderColor, kLightRed);
  // The next frame draws a black ring round p, from x 44 to 756, 6 pixels off it.
  const auto ring = blackInFrame();
  for (const auto& [x, y] : {std::pair{400, 269}, {400, 281}, {44, 275}, {756, 275}})
    EXPECT_TRUE(std::any_of(ring.begin(), ring.end(),
                            [&](const frontend::Rect& r) { return r.contains(x, y); }))
        << x << ", " << y;
  press(Part::P, Key::Up, 5);
  EXPECT_EQ(form.figure.LinePY, 250);
  EXPECT_EQ(form.Image1(2).Top, 214);  // p's picture follows, as in a drag
  press(Part::P, Key::PageDown);
  EXPECT_EQ(form.figure.LinePY, 275);
  press(Part::P, Key::Right);  // a level line moves only up and down
  EXPECT_EQ(form.figure.LinePY, 275);
  const frontend::Outcome out = core->partKey(Part::P, Key::Escape);
  EXPECT_TRUE(out.keyTaken);
  EXPECT_TRUE(out.focusBoard);
  EXPECT_EQ(form.Line1(0).BorderColor, kWhite);
  EXPECT_FALSE(ringShown());

  // ℓ's upper end: six steps of 5 to the right swing ℓ about B, as a drag of 30 does.
  core->focusPart(Part::UpperEndL);
  EXPECT_EQ(form.Line1(3).BorderColor, kLightRed);
  press(Part::UpperEndL, Key::Right, 6);
  EXPECT_EQ(form.figure.LineLX1, 430);
  EXPECT_NEAR(form.figure.LineLX2, 70, 1e-9);
  EXPECT_EQ(form.Line2(0).X1, 1000);  // the copy of ℓ put back on ℓ, out of sight
  press(Part::UpperEndL, Key::Enter);
  EXPECT_EQ(form.figure.ExtensionLShown, 1);
  EXPECT_EQ(form.Line2(1).X2, 510);  // the extension's worked end, (510, 25)
  press(Part::UpperEndL, Key::Space);
  EXPECT_EQ(form.figure.ExtensionLShown, 0);

  // The next slider's focus lets go of ℓ and holds the copy, shown where it lies.
  core->focusPart(Part::CopyOfL);
  EXPECT_EQ(form.Line1(3).BorderColor, kWhite);
  EXPECT_EQ(form.Line2(0).X1, 430);
  press(Part::CopyOfL, Key::PageUp);
  EXPECT_EQ(form.figure.CopyQX, 275);
  core->leavePart();
  EXPECT_EQ(form.Line2(0).BorderColor, kWhite);
  EXPECT_EQ(form.Line2(0).X1, 455);  // it stays where it was left
}

TEST_F(Keys, KeysStayWithinTheBoardAndAHoldGivesWayToThePointer) {
  core->focusPart(Part::Q);
  press(Part::Q, Key::PageUp, 20);
  EXPECT_EQ(form.figure.LineQY, 0);
  press(Part::Q, Key::PageDown, 40);
  EXPECT_EQ(form.figure.LineQY, 626);
  // A screen reader sets the value: the line steps there (a level line's value grows
  // as it rises).
  core->slideTo(Part::Q, 626 - 350);
  EXPECT_EQ(form.figure.LineQY, 350);
  EXPECT_EQ(core->keyboard().slider(Part::Q).valueText, "上から 14.0 マス");

  // A mouse passing over the board while q is held by the keys drags nothing ...
  core->pointer(Phase::Move, mouse(20, 350, 0, 0));
  core->pointer(Phase::Move, mouse(20, 300, 0, 0));
  EXPECT_EQ(form.figure.LineQY, 350);
  // ... and its press lets go of q first, then grabs p as any press would.
  core->pointer(Phase::Down, mouse(20, 275, frontend::kLeft, frontend::kLeft));
  EXPECT_FALSE(core->keyboard().held());
  EXPECT_EQ(form.Line1(1).BorderColor, kWhite);
  EXPECT_EQ(form.Line1(0).BorderColor, kLightRed);
  core->pointer(Phase::Move, mouse(20, 265, 0, frontend::kLeft));
  core->pointer(Phase::Up, mouse(20, 265, frontend::kLeft, 0));
  EXPECT_EQ(form.figure.LinePY, 265);

  // In memo mode nothing can be held; the words say why.
  core->click({frontend::ControlId::Group::Command, 3});
  core->focusPart(Part::P);
  EXPECT_FALSE(core->keyboard().held());
  press(Part::P, Key::Up);
  EXPECT_EQ(form.figure.LinePY, 265);
  EXPECT_NE(core->keyboard().slider(Part::P).description.find("動かせません"), std::string::npos);
  // Escape goes back to the board all the same.
  EXPECT_TRUE(core->partKey(Part::P, Key::Escape).focusBoard);
}

TEST_F(Keys, AStraightLineIsDrawnWithTheKeysAsAPressMovesAndReleaseDrawIt) {
  core->boardFocus(true);
  EXPECT_FALSE(core->keyboard().overlay()[4].Visible);    // the cross shows in line mode only
  core->click({frontend::ControlId::Group::Command, 5});  // 直線
  core->boardFocus(true);
  EXPECT_TRUE(core->keyboard().overlay()[4].Visible);
  // The keyboard's point starts where the pointer was last on the board.
  core->pointer(Phase::Move, mouse(100, 200, 0, 0));
  board(Key::Enter);
  board(Key::Right, 4);
  board(Key::PageDown);
  board(Key::Space);
  EXPECT_EQ(form.Line4(0).X1, 100);
  EXPECT_EQ(form.Line4(0).Y1, 200);
  EXPECT_EQ(form.Line4(0).X2, 120);
  EXPECT_EQ(form.Line4(0).Y2, 225);
  EXPECT_EQ(form.Check1(0).Value(), 1);
  EXPECT_EQ(form.board.LineSlot, 2);
  // Escape fixes a line where it is, as a cancel does; a press by the pointer does too.
  board(Key::Enter);
  board(Key::Left, 2);
  board(Key::Escape);
  EXPECT_EQ(form.Line4(1).X2, 110);
  EXPECT_EQ(form.Check1(1).Value(), 1);
  board(Key::Enter);
  board(Key::Up);
  core->pointer(Phase::Down, mouse(300, 300, frontend::kLeft, frontend::kLeft));
  EXPECT_EQ(form.Line4(2).Y2, 220);
  EXPECT_EQ(form.Check1(2).Value(), 1);
  core->pointer(Phase::Up, mouse(300, 300, frontend::kLeft, 0));
  // While a pointer holds the board, the keys draw nothing.
  core->pointer(Phase::Down, mouse(300, 300, frontend::kLeft, frontend::kLeft));
  EXPECT_FALSE(core->boardKey(Key::Enter).keyTaken);
}

TEST_F(Keys, TheWordsNameWhatIsHeldWhereItStandsAndTheFigureInSquares) {
  const frontend::Keyboard& k = core->keyboard();
  EXPECT_EQ(k.slider(Part::UpperEndL).name, "直線 ℓ の上の端");
  EXPECT_EQ(k.whereWords(Part::P), "直線 p、上から 11.0 マス");
  EXPECT_EQ(k.whereWords(Part::UpperEndM), "直線 m の上の端、左から 19.0 マス");
  EXPECT_EQ(k.slider(Part::UpperEndL).description,
            "左右の矢印キーで 0.2 マス、PageUp と PageDown で 1 マス動きます。Enter で上への延長を"
            "表示、もう一度で消します。Esc で黒板に戻ります。");
  // The initial figure: ℓ from (400, 125) to (100, 575) meets p, q, r (275, 350, 500)
  // in A 300, B 250, C 150; m from (475, 125) to (625, 575) in A' 525, B' 550, C' 600.
  // AB = √(50² + 75²) = 90.1 pixels, 3.6 squares; A'B' = √(25² + 75²) = 79.1, 3.2.
  EXPECT_EQ(
      k.description(),
      "直線 p は上から 11.0 マス、q は 14.0 マス、r は 20.0 マス。左から、A は 12.0 マス、"
      "B は 10.0 マス、C は 6.0 マス、A ダッシュ は 21.0 マス、B ダッシュ は 22.0 マス、"
      "C ダッシュ は 24.0 マス。長さは、AB が 3.6 マス、BC が 7.2 マス、A ダッシュ B ダッシュ が "
      "3.2 マス、B ダッシュ C ダッシュ が 6.3 マス。");
  // The keys do what the words promise: an arrow's 0.2 of a 25 px square is 5 pixels,
  // the step a reader is given, and five of them make a page key's one square. (To one
  // decimal an arrow of 4 pixels would still read 0.2: the moves are what tell.)
  EXPECT_EQ(k.slider(Part::UpperEndL).step, 5);
  core->focusPart(Part::UpperEndL);
  press(Part::UpperEndL, Key::Right, 5);
  EXPECT_EQ(form.figure.LineLX1, 425);
  EXPECT_EQ(k.slider(Part::UpperEndL).valueText, "左から 17.0 マス");
  press(Part::UpperEndL, Key::PageDown);
  EXPECT_EQ(form.figure.LineLX1, 400);
  EXPECT_EQ(k.slider(Part::UpperEndL).valueText, "左から 16.0 マス");
  core->leavePart();
}

TEST_F(Keys, TheReaderIsToldWhatEachInputDidAndWhenOnceAndAgainWhenRepeated) {
  using frontend::ControlId;
  // The first outcome hands over every slider; a pointer passing over the board none.
  EXPECT_EQ(core->afterInput().parts.size(), 5u);
  EXPECT_TRUE(core->pointer(Phase::Move, mouse(20, 20, 0, 0)).parts.empty());
  // A key: the part's new place now, its name and place once the keys pause.
  core->focusPart(Part::P);
  frontend::Outcome up = core->partKey(Part::P, Key::Up);
  ASSERT_EQ(up.parts.size(), 1u);
  EXPECT_EQ(up.parts[0].slider.valueText, "上から 10.8 マス");
  EXPECT_EQ(up.afterPause, "直線 p、上から 10.8 マス");
  EXPECT_EQ(up.say, "");  // the page's reader says the value text itself
  // A desktop whose reader is not handed the value text hears it at once, and only
  // when the key moved the part.
  core->saysValueText = true;
  EXPECT_EQ(core->partKey(Part::P, Key::Up).say, "上から 10.6 マス");
  EXPECT_EQ(core->partKey(Part::P, Key::Enter).say, "");
  core->saysValueText = false;
  EXPECT_TRUE(core->partKey(Part::P, Key::Escape).dropPause);
  // The keys were said on the first visit, not on the next.
  EXPECT_EQ(core->keyboard().slider(Part::P).description, "");
  EXPECT_NE(core->keyboard().slider(Part::Q).description, "");
  // Enter on an upper end says what it did, and its value says the state.
  core->focusPart(Part::UpperEndM);
  EXPECT_EQ(core->partKey(Part::UpperEndM, Key::Enter).say, "延長を表示しました");
  EXPECT_EQ(core->keyboard().slider(Part::UpperEndM).valueText, "左から 19.0 マス、延長を表示中");
  EXPECT_EQ(core->partKey(Part::UpperEndM, Key::Enter).say, "延長を消しました");
  core->leavePart();
  // The same words twice are not the same message: a reader drops a repeat.
  const std::string once = core->describe().say, twice = core->describe().say;
  EXPECT_NE(once, twice);
  EXPECT_EQ(twice, once + "\u200B");
  EXPECT_EQ(core->describe().say, once);
  // The modes say what they did, and the board takes the keys in straight-line mode.
  const frontend::Outcome line = core->click({ControlId::Group::Command, 5});
  EXPECT_EQ(line.say.rfind("直線モードにしました", 0), 0u);
  EXPECT_EQ(line.boardKeys, true);
  // The keys come to the board: where its cross stands (where the pointer last was),
  // and again on request.
  const std::string cross = "十字は左から 0.8 マス、上から 0.8 マス";
  EXPECT_EQ(core->boardFocus(true).say, cross);
  EXPECT_EQ(core->boardKey(Key::Where).say.rfind(cross, 0), 0u);
  EXPECT_EQ(core->boardKey(Key::Enter).say.rfind("直線 1 を引き始めました", 0), 0u);
  EXPECT_EQ(core->boardKey(Key::Right).afterPause, "直線 1 の端は左から 1.0 マス、上から 0.8 マス");
  const frontend::Outcome drawn = core->boardKey(Key::Enter);
  EXPECT_NE(drawn.say.find("チェックボックス 直線 1 に印が付きました"), std::string::npos);
  bool boxSays = false;
  for (const frontend::ToolChange& c : drawn.changes)
    if (c.id == ControlId{ControlId::Group::Check1, 0})
      boxSays = c.description == "直線 1 が引かれています。印を外すと消えます";
  EXPECT_TRUE(boxSays);
  EXPECT_EQ(core->click({ControlId::Group::Command, 4}).say, "方眼を表示しました");
  EXPECT_EQ(core->click({ControlId::Group::Command, 1})
                .say.rfind("図を最初の形に戻しました。板書を消しました", 0),
            0u);
}

}  // namespace
