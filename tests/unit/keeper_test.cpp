// Nothing a teacher made is lost to one press: a wipe is offered back, and a board
// written as a record comes back whole, while a record that is not one is refused.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "frontend/presenter.h"
#include "testing/form_dump.h"

namespace {

using frontend::ControlId;
using frontend::Offer;
using frontend::Phase;
using frontend::PointerEvent;
using Group = ControlId::Group;

// A window and its core, as a front end holds them.
struct Lesson {
  app::Form1 form;
  std::unique_ptr<frontend::Presenter> core;
  Lesson() {
    form.Form_Load();
    core = std::make_unique<frontend::Presenter>(form);
  }
  frontend::Outcome pointer(Phase phase, double x, double y, unsigned button = frontend::kLeft) {
    const bool held = phase == Phase::Down || phase == Phase::Move;
    return core->pointer(phase, PointerEvent{x, y, button, held ? button : 0U, {}, 0, {}, 0});
  }
  frontend::Outcome drag(double x0, double y0, double x1, double y1, int steps = 8) {
    pointer(Phase::Move, x0, y0, 0);
    pointer(Phase::Down, x0, y0);
    for (int i = 1; i <= steps; ++i)
      pointer(Phase::Move, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    return pointer(Phase::Up, x1, y1);
  }
  frontend::Outcome click(Group g, int i) { return core->click({g, i}); }
  // A board with something of everything on it: the figure moved, an extension shown,
  // the copy of ℓ placed, chalk of three pens and the eraser at fractional places, two
  // straight lines, the grid, and straight-line mode left on.
  void fill() {
    drag(400, 125, 452.3, 131);
    drag(20, 275, 20, 230.75);
    drag(250, 350, 301.5, 350);
    form.Image1_Click(0);
    click(Group::Command, 3);
    drag(100.125, 100, 300.7, 180.2, 30);
    click(Group::Option1, 6);
    drag(120, 400.33, 500, 420, 30);
    click(Group::Option1, 7);
    drag(150, 90, 250, 190, 10);
    click(Group::Command, 5);
    click(Group::Option2, 0);
    drag(60, 60, 700, 600);
    drag(700, 60, 60, 600);
    click(Group::Command, 4);
  }
  // What the board shows, ink aside: everything but the commands waiting to be drawn.
  std::string shown() const {
    std::string d = testing_support::dump(form);
    const auto at = d.find(" pending ");
    return d.erase(at, d.find('\n', at) - at);
  }
  // The same, but where the pointer was last seen (and the hidden marker that follows
  // it): a right press moves them before it wipes.
  std::string seen() const {
    std::string d = shown();
    for (const char* line : {"\nShape1 ", "\nlast "}) {
      const auto at = d.find(line);
      if (at != std::string::npos &&
          (line[1] == 'l' || d.find(" hidden", at) < d.find('\n', at + 1)))
        d.erase(at, d.find('\n', at + 1) - at);
    }
    return d;
  }
  std::vector<forms::InkCommand> ink() const {
    std::vector<forms::InkCommand> out;
    core->ink().replay([&](const forms::InkCommand& c) { out.push_back(c); });
    return out;
  }
};

TEST(Record, BringsBackEveryControlVariableAndStrokeOfABusyBoard) {
  Lesson a;
  a.fill();
  ASSERT_EQ(a.form.board.LineMode, 1);
  ASSERT_EQ(a.core->ink().segments(), 70U);
  const std::optional<std::string> text = a.core->record(1000);
  ASSERT_TRUE(text);

  Lesson b;
  const frontend::Outcome out = b.core->resume(*text);
  EXPECT_EQ(out.say, frontend::Keeper::kResumed);
  EXPECT_EQ(b.shown(), a.shown());
  EXPECT_EQ(b.ink(), a.ink());
  // The ink comes to the raster again as it was drawn: a clearing, then each stroke
  // on the sixteenths of a pixel the raster drew it at.
  const std::vector<forms::InkCommand>& pending = b.form.gamen.pending();
  ASSERT_EQ(pending.size(), 71U);
  EXPECT_EQ(pending.front().kind, forms::InkCommand::Kind::Clear);
  EXPECT_FLOAT_EQ(pending[1].x1, 100.125F);
  EXPECT_FLOAT_EQ(pending[1].y2, frontend::onInkGrid(100 + 80.2 / 30));
  EXPECT_EQ(pending.back().width, 25);
  // Read and written again: the same text.
  EXPECT_EQ(frontend::write(*frontend::read(*text)), *text);
}

TEST(Record, RefusesWhatIsNotAWholeRecordOfThisVersion) {
  Lesson a;
  a.fill();
  const std::string text = *a.core->record(5);
  ASSERT_TRUE(frontend::read(text));
  const std::string mark = text.substr(0, text.find(':') + 1);
  std::vector<std::string> bad = {"",
                                  mark,
                                  "garbage",
                                  "{\"elements\":[]}",
                                  mark + "AAAA",
                                  "parallel-lines board 2:" + text.substr(mark.size()),
                                  text + "AAAA",
                                  text.substr(0, text.size() - 1)};
  // Cut short anywhere, or any character changed.
  for (std::size_t n = 0; n < text.size(); n += 97) bad.push_back(text.substr(0, n));
  for (std::size_t i = mark.size(); i < text.size(); i += 31) {
    std::string t = text;
    t[i] = t[i] == 'A' ? 'B' : 'A';
    bad.push_back(t);
  }
  for (const std::string& t : bad) EXPECT_FALSE(frontend::read(t)) << t.substr(0, 60);

  // Whole and unbroken, yet a board the window never holds: refused too.
  const auto refused = [](auto&& spoil) {
    Lesson l;
    spoil(l.form);
    return !frontend::read(frontend::write({5, false, frontend::capture(l.form, {}), {}}));
  };
  EXPECT_TRUE(refused([](app::Form1& f) { f.board.MemoMode = f.board.LineMode = 1; }));
  EXPECT_TRUE(refused([](app::Form1& f) { f.figure.LineLY2 = f.figure.LineLY1; }));
  EXPECT_TRUE(refused([](app::Form1& f) { f.figure.LinePY = std::nan(""); }));
  // (So far out that the next drag's arithmetic would overflow: found by the fuzzer.)
  EXPECT_TRUE(refused([](app::Form1& f) { f.figure.LineLX1 = 1e300; }));
  EXPECT_TRUE(refused([](app::Form1& f) { f.board.LineColor = 99; }));
  EXPECT_TRUE(refused([](app::Form1& f) { f.Option1(1).restore(true); }));
  EXPECT_FALSE(refused([](app::Form1&) {}));

  // A refused record changes nothing on the board it was offered to.
  Lesson b;
  b.drag(20, 275, 20, 200);
  const std::string before = b.shown();
  EXPECT_FALSE(b.core->resume(text.substr(0, text.size() / 2)).offerChanged);
  EXPECT_EQ(b.shown(), before);
}

TEST(Record, ALongLessonRestsOnBlocksEachStoredOnce) {
  Lesson l;
  l.click(Group::Command, 3);
  const auto write = [&](int strokes) {
    for (int s = 0; s < strokes; ++s) {
      l.pointer(Phase::Down, 100 + s % 500, 100);
      for (int i = 1; i <= 100; ++i)
        l.pointer(Phase::Move, 100 + s % 500 + i * 1.3, 100 + (i * 37 % 400));
      l.pointer(Phase::Up, 400, 400);
    }
    l.core->keepAgain();
    return *l.core->store(9);
  };
  const frontend::Stored first = write(300);
  ASSERT_GE(first.blocks.size(), 1U);
  EXPECT_EQ(frontend::blockNames(first.head), first.blocks);
  // Writing on: the blocks stored already are named again, never made anew.
  const frontend::Stored later = write(200);
  ASSERT_GT(later.blocks.size(), first.blocks.size());
  EXPECT_TRUE(std::equal(first.blocks.begin(), first.blocks.end(), later.blocks.begin()));
  // A wipe: the board offered back rests on the very same blocks.
  l.click(Group::Command, 1);
  l.core->keepAgain();
  EXPECT_EQ(l.core->store(9)->blocks, later.blocks);

  const auto whole = [&](const frontend::Stored& s, std::size_t skip) {
    std::string text = s.head;
    for (std::size_t i = 0; i < s.blocks.size(); ++i)
      if (i != skip) {
        text += '\n';
        text += l.core->block(s.blocks[i]);
      }
    return text;
  };
  Lesson b;
  b.core->resume(whole(later, later.blocks.size()));
  b.core->takeOffer();
  l.core->takeBack();
  EXPECT_EQ(b.ink(), l.ink());
  EXPECT_EQ(b.ink().size(), 50000U);
  // A block missing, or another block in its place: the record is not read.
  EXPECT_FALSE(frontend::read(whole(later, 0)));
  std::string swapped = whole(later, later.blocks.size());
  const auto at = swapped.find('\n') + 1;
  swapped[at] = swapped[at] == 'A' ? 'B' : 'A';
  EXPECT_FALSE(frontend::read(swapped));
}

TEST(Wipe, IsOfferedBackUntilTheTeacherGoesOn) {
  Lesson l;
  l.fill();
  const std::string board = l.seen();
  const std::vector<forms::InkCommand> ink = l.ink();

  // A right press wipes as ever, and offers the board back, said once.
  frontend::Outcome out = l.pointer(Phase::Down, 400, 300, frontend::kRight);
  l.pointer(Phase::Up, 400, 300, frontend::kRight);
  EXPECT_TRUE(out.offerChanged);
  EXPECT_EQ(out.say, frontend::Keeper::kWiped);
  EXPECT_EQ(l.core->offer().kind, Offer::Kind::TakeBackWipe);
  EXPECT_EQ(l.core->offer().action, "元に戻す");
  EXPECT_TRUE(l.ink().empty());
  EXPECT_EQ(l.form.board.LineMode, 0);
  // Pressing 初期画面 now loses nothing: the offer stays.
  out = l.click(Group::Command, 1);
  EXPECT_FALSE(out.offerChanged);
  EXPECT_EQ(l.core->offer().kind, Offer::Kind::TakeBackWipe);

  // Ctrl+Z: every control, variable and stroke back.
  out = l.core->takeBack();
  EXPECT_TRUE(out.keyTaken && out.offerChanged);
  EXPECT_EQ(l.core->offer().kind, Offer::Kind::None);
  EXPECT_EQ(l.seen(), board);
  EXPECT_EQ(l.ink(), ink);
  EXPECT_FALSE(l.core->takeBack().keyTaken);  // nothing left to take back

  // A press on the board, or a click on the row, ends an offer.
  l.click(Group::Command, 1);
  EXPECT_EQ(l.core->offer().kind, Offer::Kind::TakeBackWipe);
  l.pointer(Phase::Down, 700, 100);
  l.pointer(Phase::Up, 700, 100);
  EXPECT_EQ(l.core->offer().kind, Offer::Kind::None);
  l.drag(20, 275, 20, 240);
  l.click(Group::Command, 1);
  EXPECT_TRUE(l.click(Group::Command, 4).offerChanged);
  EXPECT_EQ(l.core->offer().kind, Offer::Kind::None);

  // A new wipe keeps the newer board.
  l.drag(20, 350, 20, 380);
  const std::string newer = l.shown();
  l.click(Group::Command, 1);
  l.core->takeOffer();
  EXPECT_EQ(l.shown(), newer);

  // A board a wipe would not change is never offered.
  Lesson fresh;
  EXPECT_FALSE(fresh.click(Group::Command, 1).offerChanged);
}

TEST(Wipe, EndingTheLessonKeepsTheBoardToOfferWhenItStartsAgain) {
  Lesson l;
  l.fill();
  const std::string board = l.shown();
  const frontend::Outcome out = l.click(Group::Command, 2);
  const std::string wiped = l.shown();
  EXPECT_TRUE(out.ended);
  EXPECT_EQ(out.keep, frontend::Keep::Now);
  const std::string text = *l.core->record(7);

  Lesson again;
  again.core->resume(text);
  EXPECT_EQ(again.core->offer().kind, Offer::Kind::TakeBackWipe);
  EXPECT_EQ(again.shown(), wiped);
  again.core->takeOffer();
  EXPECT_EQ(again.shown(), board);
  // An ended lesson is not another tab's board to offer.
  EXPECT_EQ(Lesson().core->consider(text, 8), frontend::Previous::NotOffered);
}

TEST(Record, IsDueAfterAChangeButNeverInTheMiddleOfAStroke) {
  Lesson l;
  EXPECT_FALSE(l.core->record(0));
  // A hand passing over the board changes nothing to keep.
  EXPECT_EQ(l.pointer(Phase::Move, 300, 300, 0).keep, frontend::Keep::No);
  EXPECT_FALSE(l.core->record(0));
  l.click(Group::Command, 3);
  l.pointer(Phase::Down, 100, 100);
  const frontend::Outcome moved = l.pointer(Phase::Move, 150, 120);
  EXPECT_EQ(moved.keep, frontend::Keep::No);
  EXPECT_FALSE(l.core->record(0));
  EXPECT_EQ(l.pointer(Phase::Up, 150, 120).keep, frontend::Keep::Soon);
  EXPECT_TRUE(l.core->record(0));
  EXPECT_FALSE(l.core->record(0));  // written: not due until the next change
}

TEST(Previous, OnlyARecentBoardNotEndedOrWipedIsOffered) {
  constexpr double kHour = 3600 * 1000.0, kNow = 1.8e12;
  Lesson writer;
  const std::string blank = *(writer.click(Group::Command, 4), writer.click(Group::Command, 4),
                              writer.core->record(kNow));
  writer.drag(20, 275, 20, 200);
  const std::string older = *writer.core->record(kNow - 2 * kHour);
  writer.drag(20, 350, 20, 400);
  const std::string newer = *writer.core->record(kNow - kHour);
  const std::string board = writer.shown();
  writer.click(Group::Command, 1);
  const std::string wiped = *writer.core->record(kNow);

  Lesson l;
  using frontend::Previous;
  EXPECT_EQ(l.core->consider("not a board", kNow), Previous::Unreadable);
  EXPECT_EQ(l.core->consider(newer, kNow + 24 * kHour), Previous::Old);
  EXPECT_EQ(l.core->consider(newer, kNow + 8 * 24 * kHour), Previous::Stale);
  EXPECT_EQ(l.core->consider(blank, kNow), Previous::NotOffered);
  EXPECT_EQ(l.core->consider(wiped, kNow), Previous::NotOffered);
  EXPECT_EQ(l.core->offer().kind, Offer::Kind::None);
  EXPECT_EQ(l.core->consider(newer, kNow), Previous::Offered);
  EXPECT_EQ(l.core->consider(older, kNow), Previous::Offered);
  EXPECT_EQ(l.core->offer().action, "前の板書を開く");
  EXPECT_EQ(l.core->takeOffer().say, frontend::Keeper::kResumed);
  EXPECT_EQ(l.shown(), board);  // the newer of the two
}

TEST(Offer, StandsClearOfTheFigureAsItStartsAndTakesAFinger) {
  Lesson l;
  l.drag(20, 275, 20, 200);
  l.click(Group::Command, 1);
  const Offer& offer = l.core->offer();
  ASSERT_EQ(offer.kind, Offer::Kind::TakeBackWipe);
  EXPECT_GE(offer.control.w, 24);
  EXPECT_GE(offer.control.h, 24);
  // Every item the initial board draws, in the window's pixels, misses the offer's box.
  struct Boxes : frontend::Rasteriser {
    std::vector<frontend::Rect> boxes;
    void segment(const frontend::SegmentItem& s) override {
      const int m = s.width / 2 + 1;
      boxes.push_back(
          frontend::alignedRect(s.at.x1, s.at.y1, s.at.x2, s.at.y2).adjusted(-m, -m, m, m));
    }
    void fill(const frontend::Rect& d, forms::Rgb) override { boxes.push_back(d); }
    void text(const frontend::TextItem& t) override { boxes.push_back(t.box); }
    void picture(const frontend::PictureItem& p) override { boxes.push_back(p.box); }
  } drawn;
  l.core->scene.frame([](const frontend::InkStroke&) {});
  l.core->scene.paint(l.core->scene.area(), drawn, {1, 0});
  ASSERT_GT(drawn.boxes.size(), 20U);
  const frontend::Rect board = l.core->scene.boxOnWindow();
  const int border = l.core->scene.borderWidth();
  const frontend::Rect onBoard = offer.box.adjusted(-board.x - border, -board.y - border,
                                                    -board.x - border, -board.y - border);
  EXPECT_EQ(onBoard.intersected(l.core->scene.area()), onBoard);
  for (const frontend::Rect& r : drawn.boxes)
    EXPECT_FALSE(r.intersects(onBoard)) << r.x << ',' << r.y;
}

}  // namespace
