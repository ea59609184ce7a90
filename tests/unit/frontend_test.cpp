// The front-end core without a toolkit: what is drawn in which order and how, what a
// frame repaints, who takes the pointer, and what the tool row is told to change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "frontend/draw_list.h"
#include "frontend/fit.h"
#include "frontend/frame_pacer.h"
#include "frontend/ink_rasters.h"
#include "frontend/presenter.h"

namespace {

using frontend::PointerEvent;
using frontend::PointerKind;
// Whole device pixels filled in one colour.
struct Fill {
  frontend::Rect device;
  forms::Rgb colour;
  friend bool operator==(const Fill&, const Fill&) = default;
};
using Item = std::variant<frontend::SegmentItem, frontend::TextItem, frontend::PictureItem, Fill>;

// A rasteriser that keeps what it is asked to draw.
struct Recorder : frontend::Rasteriser {
  std::vector<Item> items;
  void segment(const frontend::SegmentItem& s) override { items.emplace_back(s); }
  void fill(const frontend::Rect& d, forms::Rgb c) override { items.emplace_back(Fill{d, c}); }
  void text(const frontend::TextItem& t) override { items.emplace_back(t); }
  void picture(const frontend::PictureItem& p) override { items.emplace_back(p); }
};

// A surface whose device pixels are the board's.
constexpr frontend::DeviceGrid kBoardPixels{1, 0};
const auto kNoInk = [](const frontend::InkStroke&) {};

struct Core : ::testing::Test {
  app::Form1 form;
  std::unique_ptr<frontend::Presenter> core;
  void SetUp() override {
    form.Form_Load();
    core = std::make_unique<frontend::Presenter>(form);
  }
  std::vector<Item> shown(frontend::Rect within = {0, 0, 802, 626},
                          frontend::DeviceGrid grid = kBoardPixels) {
    core->scene.frame(kNoInk);
    Recorder r;
    core->scene.paint(within, r, grid);
    return r.items;
  }
  // Pointers as the front ends report them; whether each reached the model.
  bool press(const PointerEvent& e) { return core->pointer(frontend::Phase::Down, e).reached; }
  bool move(const PointerEvent& e) { return core->pointer(frontend::Phase::Move, e).reached; }
  bool release(const PointerEvent& e) { return core->pointer(frontend::Phase::Up, e).reached; }
  bool cancel(int pointer) {
    return core->pointer(frontend::Phase::Cancel, at(0, 0, 0, 0, pointer)).reached;
  }
  // The drawn segment whose ends lie on (x1, y1) and (x2, y2), offsets aside.
  static const frontend::SegmentItem* segmentAt(const std::vector<Item>& items, double x1,
                                                double y1, double x2, double y2) {
    for (const Item& i : items)
      if (const auto* s = std::get_if<frontend::SegmentItem>(&i))
        if (std::abs(s->at.x1 - x1) <= 0.5 && std::abs(s->at.y1 - y1) <= 0.5 &&
            std::abs(s->at.x2 - x2) <= 0.5 && std::abs(s->at.y2 - y2) <= 0.5)
          return s;
    return nullptr;
  }
  static PointerEvent at(double x, double y, unsigned button = 0, unsigned held = 0,
                         int pointer = 0, PointerKind kind = PointerKind::Mouse, double ms = 0) {
    return {x, y, button, held, {}, pointer, kind, ms};
  }
  static bool covered(const std::vector<frontend::Rect>& damage, int x, int y) {
    return std::any_of(damage.begin(), damage.end(),
                       [&](const frontend::Rect& r) { return r.contains(x, y); });
  }
};

TEST_F(Core, DisplayListIsStackedGridNamesPicturesLinesStraightLinesMarker) {
  form.Command4.userClick();  // grid
  form.Command5.userClick();  // a straight line over the figure
  press(at(100, 80, frontend::kLeft, frontend::kLeft));
  release(at(400, 300, frontend::kLeft));
  form.Command3.userClick();
  form.Option1(7).userClick();  // the bold eraser shows its marker
  move(at(300, 300));
  const std::vector<Item> items = shown();
  // Rank of each item's layer, in the order drawn: it must never go down. Black
  // pixels are the grid's before the names, the marker's after them.
  bool named = false;
  std::vector<int> layers;
  for (const Item& i : items) {
    if (std::holds_alternative<frontend::TextItem>(i)) {
      named = true;
      layers.push_back(1);
    } else if (std::holds_alternative<frontend::PictureItem>(i)) {
      layers.push_back(2);
    } else if (const auto* f = std::get_if<Fill>(&i)) {
      layers.push_back(f->colour == forms::kBlack ? (named ? 5 : 0) : 3);
    } else {
      const auto& s = std::get<frontend::SegmentItem>(i);
      layers.push_back(s.colour == forms::QBColor(15) && s.at.x1 == 100 ? 4
                                                                        : 3);  // the straight line
    }
  }
  ASSERT_FALSE(layers.empty());
  EXPECT_TRUE(std::is_sorted(layers.begin(), layers.end()));
  EXPECT_EQ(layers.front(), 0);
  EXPECT_EQ(layers.back(), 5);
  EXPECT_EQ(std::count(layers.begin(), layers.end(), 4), 1);
  // Hidden and parked controls (the copy of ℓ, the extensions, "Ｇ") are not drawn.
  EXPECT_EQ(std::count(layers.begin(), layers.end(), 1), 6);
}

TEST_F(Core, LinesArePlacedByThePixelRules) {
  form.Command4.userClick();
  auto fills = [](const std::vector<Item>& items, forms::Rgb colour) {
    std::vector<frontend::Rect> out;
    for (const Item& i : items)
      if (const auto* f = std::get_if<Fill>(&i); f && f->colour == colour) out.push_back(f->device);
    return out;
  };
  const auto has = [](const std::vector<frontend::Rect>& v, const frontend::Rect& r) {
    return std::find(v.begin(), v.end(), r) != v.end();
  };
  const std::vector<Item> items = shown();
  // p, 4 px, level at y 275 from x 50 to 750: rows 273 to 276, crisp, its round ends
  // smoothed discs.
  const auto white = fills(items, forms::kWhite);
  EXPECT_TRUE(has(white, {50, 273, 700, 4}));
  const auto* end = segmentAt(items, 750, 275, 750, 275);
  ASSERT_NE(end, nullptr);
  EXPECT_TRUE(end->antialiased && end->cap == frontend::Cap::Round);
  // The same on a 2x canvas whose border is 2 px: twice as many device pixels, from
  // the border's corner.
  EXPECT_TRUE(has(fills(shown({0, 0, 802, 626}, {2, 2}), forms::kWhite), {104, 550, 1400, 8}));
  // And at 1.5x: each edge on the nearest device pixel edge, (273 + 2) * 1.5 = 412.5 up.
  EXPECT_TRUE(has(fills(shown({0, 0, 802, 626}, {1.5, 2}), forms::kWhite), {78, 413, 1050, 6}));
  // ℓ slanted: antialiased.
  const auto* l = segmentAt(items, 400, 125, 100, 575);
  ASSERT_NE(l, nullptr);
  EXPECT_TRUE(l->antialiased);
  // The grid: a solid hairline at y 50 over x 0 to 800, square-ended (801 pixels); a
  // dotted one at y 25 has a dot on every odd pixel, 1 to 799.
  const auto black = fills(items, forms::kBlack);
  EXPECT_TRUE(has(black, {0, 50, 801, 1}));
  EXPECT_TRUE(has(black, {1, 25, 1, 1}) && has(black, {3, 25, 1, 1}) &&
              has(black, {799, 25, 1, 1}));
  EXPECT_FALSE(has(black, {0, 25, 1, 1}) || has(black, {2, 25, 1, 1}) ||
               has(black, {800, 25, 1, 1}));
  // A small rectangle repainted costs the dots near it only, in the same places.
  const auto near = fills(shown({300, 20, 10, 10}), forms::kBlack);
  EXPECT_TRUE(has(near, {301, 25, 1, 1}) && has(near, {309, 25, 1, 1}));
  EXPECT_FALSE(has(near, {1, 25, 1, 1}) || has(near, {799, 25, 1, 1}) ||
               has(near, {302, 25, 1, 1}));
  // A straight line of no length is its round end alone: a smoothed dot.
  forms::setEnds(form.Line4(0), 640, 180, 640, 180);
  const std::vector<Item> withDot = shown();
  const auto* dot = segmentAt(withDot, 640, 180, 640, 180);
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(dot->cap, frontend::Cap::Round);
  EXPECT_TRUE(dot->antialiased && dot->ownStart && dot->ownEnd);
}

// The marker's ring at the scales screens have: a closed outline of whole device
// pixels, filling its box edge to edge, symmetric, one layout pixel thick: that pixel
// in whole device pixels, the nearest count and never none (1.118 is a 1366 x 768
// laptop, 3.14 a 4K board, 5.748 a 4K board at twice the density within the canvas's
// pixels).
TEST(Ring, IsAClosedOutlineOfWholeDevicePixelsAtEveryScale) {
  EXPECT_EQ(frontend::ringThickness(0.5), 1);
  EXPECT_EQ(frontend::ringThickness(1.25), 1);
  EXPECT_EQ(frontend::ringThickness(3), 3);
  for (const auto& [scale, thickness] :
       {std::pair{1.0, 1}, {1.118, 1}, {1.5, 2}, {2.0, 2}, {3.14, 3}, {5.748, 6}}) {
    EXPECT_EQ(frontend::ringThickness(scale), thickness) << scale;
    for (const int diameter : {15, 25}) {
      const frontend::RingItem ring{{100, 40, diameter, diameter}, forms::kBlack};
      const int border = 2;
      const int left = static_cast<int>(std::lround((100 + border) * scale));
      const int top = static_cast<int>(std::lround((40 + border) * scale));
      const int size = static_cast<int>(std::lround((100 + diameter + border) * scale)) - left;
      std::vector<std::vector<int>> on(size, std::vector<int>(size, 0));
      for (const frontend::Rect& run : frontend::ringPixels(ring, {scale, border})) {
        ASSERT_EQ(run.h, 1);
        for (int x = run.x; x < run.right(); ++x) {
          ASSERT_TRUE(x >= left && x < left + size && run.y >= top && run.y < top + size);
          EXPECT_EQ(on[run.y - top][x - left]++, 0) << "a pixel filled twice";
        }
      }
      const std::string at = " at scale " + std::to_string(scale) + ", " + std::to_string(diameter);
      for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
          EXPECT_EQ(on[i][j], on[j][i]) << at;
          EXPECT_EQ(on[i][j], on[size - 1 - i][j]) << at;
        }
      }
      // It touches every side of its box, and is as thick as a layout pixel there.
      const int middle = size / 2;
      int thick = 0;
      while (thick < size && on[middle][thick] != 0) ++thick;
      EXPECT_EQ(thick, thickness) << at;
      // Closed: the inside cannot reach the box's edge without crossing the outline.
      std::vector<std::vector<bool>> seen(size, std::vector<bool>(size, false));
      std::vector<std::pair<int, int>> todo{{middle, middle}};
      bool escaped = false;
      while (!todo.empty()) {
        const auto [y, x] = todo.back();
        todo.pop_back();
        if (y < 0 || x < 0 || y >= size || x >= size) {
          escaped = true;
          continue;
        }
        if (seen[y][x] || on[y][x] != 0) continue;
        seen[y][x] = true;
        todo.insert(todo.end(), {{y + 1, x}, {y - 1, x}, {y, x + 1}, {y, x - 1}});
      }
      EXPECT_FALSE(escaped) << at;
    }
  }
}

TEST_F(Core, DamageAsTilesCoversItOnAFixedGridEachTileOnce) {
  const std::vector<frontend::Rect> damage{{5, 5, 10, 10}, {60, 0, 8, 8}, {790, 600, 40, 40}};
  const auto tiles = core->scene.tiles(damage, 64);
  // Every damaged pixel lies in exactly one tile, every tile on the grid from the
  // border's corner (-2, -2), and no tile is given twice.
  for (const frontend::Rect& d : damage)
    for (int y = d.y; y < d.bottom(); ++y)
      for (int x = d.x; x < d.right(); ++x) {
        if (x >= 804 || y >= 628) continue;  // beyond the border
        EXPECT_EQ(std::count_if(tiles.begin(), tiles.end(),
                                [&](const frontend::Rect& t) { return t.contains(x, y); }),
                  1);
      }
  for (const frontend::Rect& t : tiles) EXPECT_TRUE((t.x + 2) % 64 == 0 && (t.y + 2) % 64 == 0);
  EXPECT_EQ(tiles.size(), 3U);  // the first two rectangles share the corner tile
  EXPECT_EQ(tiles.back(), (frontend::Rect{766, 574, 38, 54}));
}

TEST_F(Core, SlantedLinesAreCutToTheBoardAndToTheRectanglePainted) {
  // A straight line reaching a billion pixels out: what is drawn stays near the board.
  forms::setEnds(form.Line4(0), 100, 100, 1e9, 300);
  for (const Item& i : shown()) {
    if (const auto* s = std::get_if<frontend::SegmentItem>(&i)) {
      EXPECT_LE(std::max(s->at.x1, s->at.x2), 802 + frontend::kClipMargin + 1);
    }
  }
  // Painting a 10 px square on ℓ draws only ℓ's part that crosses it, with room for
  // its width; p, level, is drawn whole.
  Recorder r;
  core->scene.paint({345, 195, 10, 10}, r, kBoardPixels);
  ASSERT_EQ(r.items.size(), 1U);
  const auto& cut = std::get<frontend::SegmentItem>(r.items.front());
  EXPECT_GE(std::min(cut.at.x1, cut.at.x2), 345 - 4 - 1);
  EXPECT_LE(std::max(cut.at.x1, cut.at.x2), 355 + 4 + 1);
}

TEST_F(Core, FrameRepaintsBandsAlongMovedLinesAndOneBoxOfInk) {
  core->scene.frame(kNoInk);
  EXPECT_TRUE(core->scene.frame(kNoInk).empty());  // nothing changed
  move(at(30, 275));
  press(at(30, 275, frontend::kLeft, frontend::kLeft));
  move(at(30, 265, 0, frontend::kLeft));
  const std::vector<frontend::Rect> damage = core->scene.frame(kNoInk);
  EXPECT_TRUE(covered(damage, 400, 275));  // where p was
  EXPECT_TRUE(covered(damage, 400, 265));  // where it is
  EXPECT_TRUE(covered(damage, 330, 240));  // the name A, moved along ℓ
  EXPECT_FALSE(covered(damage, 400, 450));
  long area = 0;
  for (const frontend::Rect& r : damage) area += static_cast<long>(r.w) * r.h;
  EXPECT_LT(area, 802L * 626 / 8);  // thin bands, not the board
  release(at(30, 265, frontend::kLeft));

  form.Command3.userClick();
  core->scene.frame(kNoInk);  // the start-up's clearing
  press(at(100, 100, frontend::kLeft, frontend::kLeft));
  for (int x = 110; x <= 200; x += 10) move(at(x, 100, 0, frontend::kLeft));
  // The frame hands over the ink first, and repaints where it lies.
  std::vector<frontend::InkStroke> strokes;
  const std::vector<frontend::Rect> ink =
      core->scene.frame([&](const frontend::InkStroke& s) { strokes.push_back(s); });
  ASSERT_EQ(strokes.size(), 10U);
  EXPECT_EQ(strokes.front().stroke.at, (frontend::Segment{100.5, 100.5, 110.5, 100.5}));
  EXPECT_EQ(strokes.front().stroke.cap, frontend::Cap::Round);
  ASSERT_EQ(ink.size(), 1U);  // one box for all the ink (the pen shows no marker)
  EXPECT_TRUE(covered(ink, 100, 100) && covered(ink, 200, 100));
  EXPECT_FALSE(covered(ink, 250, 100));
}

TEST_F(Core, PicturesOwnTheirPressesAndClickOnlyWhenReleasedOverThem) {
  core->scene.frame(kNoInk);
  const float lastX = form.LastX;
  // ℓ's picture covers x 400 to 423 and y 135 to 168.
  EXPECT_EQ(core->scene.pictureAt(423.9, 168.9), 0);
  EXPECT_EQ(core->scene.pictureAt(424, 150), -1);
  EXPECT_EQ(core->scene.pictureAt(410, 169), -1);
  press(at(410, 150, frontend::kLeft, frontend::kLeft));
  move(at(300, 300, 0, frontend::kLeft));  // the picture keeps its moves
  EXPECT_EQ(form.LastX, lastX);
  EXPECT_EQ(form.figure.DragTarget, 0);
  release(at(300, 300, frontend::kLeft));
  EXPECT_EQ(form.figure.ExtensionLShown, 0);  // released elsewhere: no click
  press(at(410, 150, frontend::kLeft, frontend::kLeft));
  release(at(415, 160, frontend::kLeft));
  EXPECT_EQ(form.figure.ExtensionLShown, 1);
  EXPECT_FALSE(move(at(412, 152)));  // hovering over it: the picture's
}

TEST_F(Core, APressLandingWithoutAMoveIsMovedToFirst) {
  move(at(300, 500));
  // A finger lands on p's handle far from the last position, and drags 10 px.
  press(at(30, 275, frontend::kLeft, frontend::kLeft, 7, PointerKind::Touch));
  move(at(30, 285, 0, frontend::kLeft, 7, PointerKind::Touch));
  EXPECT_EQ(form.figure.DragTarget, 1);
  EXPECT_EQ(form.figure.LinePY, 285);
}

TEST_F(Core, OnePointerAtATimeAndNoPalmsNextToAPen) {
  form.Command3.userClick();
  press(at(100, 100, frontend::kLeft, frontend::kLeft, 1, PointerKind::Touch));
  // A second finger neither writes nor lifts the first one's pen.
  EXPECT_FALSE(press(at(500, 500, frontend::kLeft, frontend::kLeft, 2, PointerKind::Touch)));
  EXPECT_FALSE(release(at(500, 500, frontend::kLeft, 0, 2, PointerKind::Touch)));
  EXPECT_EQ(form.board.PenDown, 1);
  // The platform takes the first finger away: the stroke ends where it was.
  move(at(150, 120, 0, frontend::kLeft, 1, PointerKind::Touch));
  EXPECT_TRUE(cancel(1));
  EXPECT_EQ(form.board.PenDown, 0);
  EXPECT_EQ(form.LastX, 150);

  // A pen's barrel button writes as the tip does; a palm just after is ignored.
  press(at(200, 200, frontend::kRight, frontend::kRight, 3, PointerKind::Pen, 1000));
  EXPECT_EQ(form.board.PenDown, 1);
  release(at(210, 200, frontend::kRight, 0, 3, PointerKind::Pen, 1100));
  EXPECT_FALSE(press(at(600, 400, frontend::kLeft, frontend::kLeft, 4, PointerKind::Touch, 1500)));
  EXPECT_EQ(form.board.PenDown, 0);
  EXPECT_TRUE(press(at(600, 400, frontend::kLeft, frontend::kLeft, 5, PointerKind::Touch, 2200)));
  EXPECT_EQ(form.board.PenDown, 1);
}

// A gesture whose end never came: the board goes on listening, and the next gesture
// starts where it presses, with no ink from where the lost one stopped.
TEST_F(Core, AGestureWhoseEndIsLostEndsAndTheBoardHearsTheNext) {
  using frontend::kLeft;
  form.Command3.userClick();
  auto inkTo = [&](double x) {  // whether any ink drawn since the last look reaches x
    bool reaches = false;
    core->scene.frame([&](const frontend::InkStroke& ink) {
      reaches = reaches || std::max(ink.stroke.at.x1, ink.stroke.at.x2) >= x;
    });
    return reaches;
  };
  // A pen goes down and is never heard of again; a mouse press takes the board.
  press(at(100, 100, kLeft, kLeft, 3, PointerKind::Pen, 0));
  move(at(150, 100, 0, kLeft, 3, PointerKind::Pen, 10));
  EXPECT_TRUE(press(at(300, 300, kLeft, kLeft, 1, PointerKind::Mouse, 20)));
  EXPECT_EQ(form.board.PenDown, 1);
  EXPECT_FALSE(inkTo(200));  // nothing from (150, 100) to the mouse
  release(at(300, 300, kLeft, 0, 1, PointerKind::Mouse, 30));
  inkTo(0);
  // A finger held on the board keeps it from a second finger for a while, not for ever.
  press(at(100, 400, kLeft, kLeft, 7, PointerKind::Touch, 5000));
  EXPECT_FALSE(press(at(500, 400, kLeft, kLeft, 8, PointerKind::Touch, 5500)));
  EXPECT_TRUE(press(at(500, 400, kLeft, kLeft, 8, PointerKind::Touch, 7100)));
  EXPECT_FALSE(inkTo(400));
  cancel(8);
  // The same pointer pressing again as if nothing were held: its release was lost.
  press(at(100, 500, kLeft, kLeft, 1, PointerKind::Mouse, 8000));
  EXPECT_TRUE(press(at(600, 500, kLeft, kLeft, 1, PointerKind::Mouse, 8010)));
  EXPECT_FALSE(inkTo(300));
  // ... or moving with nothing held: the stroke ends where it was.
  move(at(650, 500, 0, kLeft, 1, PointerKind::Mouse, 8020));
  EXPECT_TRUE(move(at(700, 550, 0, 0, 1, PointerKind::Mouse, 8030)));
  EXPECT_EQ(form.board.PenDown, 0);
  EXPECT_EQ(form.LastX, 700);
  // A chord is no lost end: a second button on the same pointer keeps the stroke.
  press(at(100, 200, kLeft, kLeft, 1, PointerKind::Mouse, 9000));
  press(at(100, 200, frontend::kMiddle, kLeft | frontend::kMiddle, 1, PointerKind::Mouse, 9010));
  EXPECT_EQ(form.board.PenDown, 1);
}

// Faults the fuzzer found in reports a platform may make, each replayed.
TEST_F(Core, OddButtonsAndASecondFingerOnTheToolRowLeaveNoGestureBehind) {
  using frontend::kLeft;
  using frontend::Phase;
  // A press of it is nobody's: it reaches nothing and keeps no finger from the board.
  EXPECT_FALSE(core->pointer(Phase::Down, at(300, 300, frontend::kOtherButton,
                                             frontend::kOtherButton, 2, PointerKind::Pen, 0))
                   .reached);
  EXPECT_TRUE(
      core->pointer(Phase::Down, at(30, 275, kLeft, kLeft, 5, PointerKind::Touch, 2000)).reached);
  // Its release from the finger that holds the board still shows the finger is
  // there: the board is not taken from it 2 s after its press.
  core->pointer(Phase::Up, at(30, 275, frontend::kOtherButton, kLeft, 5, PointerKind::Touch, 3500));
  EXPECT_FALSE(
      core->pointer(Phase::Down, at(400, 400, kLeft, kLeft, 6, PointerKind::Touch, 4100)).reached);
  core->pointer(Phase::Up, at(30, 275, kLeft, 0, 5, PointerKind::Touch, 4200));

  // A press reported with nothing held still holds its button, and a cancel ends it.
  form.Command3.userClick();
  core->pointer(Phase::Down, at(100, 100, kLeft, 0, 7, PointerKind::Touch, 6000));
  EXPECT_EQ(form.board.PenDown, 1);
  core->pointer(Phase::Cancel, at(0, 0, 0, 0, 7, PointerKind::Touch, 6010));
  EXPECT_EQ(form.board.PenDown, 0);
  // The system taking every finger ends a finger's stroke, and leaves a mouse's alone.
  core->pointer(Phase::Down, at(100, 100, kLeft, kLeft, 9, PointerKind::Touch, 6100));
  EXPECT_TRUE(core->touchesLost().reached);
  EXPECT_EQ(form.board.PenDown, 0);
  core->pointer(Phase::Down, at(100, 100, kLeft, kLeft, 0, PointerKind::Mouse, 6200));
  EXPECT_FALSE(core->touchesLost().reached);
  EXPECT_EQ(form.board.PenDown, 1);
  core->pointer(Phase::Up, at(100, 100, kLeft, 0, 0, PointerKind::Mouse, 6300));
  form.Command3.userClick();

  // One finger holds p while another taps メモ and メモ again: the hold ends with the
  // tap, so p does not follow the next pointer that merely passes over the board.
  core->pointer(Phase::Down, at(30, 275, kLeft, kLeft, 8, PointerKind::Touch, 8000));
  core->pointer(Phase::Move, at(30, 265, 0, kLeft, 8, PointerKind::Touch, 8010));
  core->click({frontend::ControlId::Group::Command, 3});
  core->pointer(Phase::Up, at(30, 265, kLeft, 0, 8, PointerKind::Touch, 8020));
  core->click({frontend::ControlId::Group::Command, 3});
  EXPECT_EQ(form.figure.DragTarget, 0);
  core->pointer(Phase::Move, at(200, 100, 0, 0, 1, PointerKind::Mouse, 9000));
  EXPECT_EQ(form.figure.LinePY, 265);
  // A pointer reported far beyond the board is over no picture (the sanitizer build
  // catches a cast of it to a pixel).
  EXPECT_EQ(core->scene.pictureAt(1e30, -1e30), -1);
  EXPECT_EQ(core->scene.pictureAt(std::nan(""), 100), -1);
}

TEST_F(Core, EveryInputHandsBackOnlyWhatChangedOnTheToolRowAndTheEnd) {
  using Group = frontend::ControlId::Group;
  using frontend::Phase;
  const auto& controls = core->toolRow.controls();
  const auto first = core->afterInput().changes;
  EXPECT_EQ(first.size(), controls.size());  // everything, once
  EXPECT_EQ(first.front().bold, true);       // the title
  EXPECT_TRUE(core->afterInput().changes.empty());
  const auto changes = core->click({Group::Command, 4}).changes;  // 方眼
  ASSERT_EQ(changes.size(), 1U);
  EXPECT_EQ(changes[0].id, (frontend::ControlId{Group::Command, 4}));
  EXPECT_EQ(changes[0].bold, true);
  EXPECT_FALSE(changes[0].enabled || changes[0].checked);
  // A click on a disabled option changes nothing in the model, but the toolkit's own
  // button may have flipped: its state is handed back all the same.
  const auto again = core->click({Group::Option1, 2}).changes;
  ASSERT_EQ(again.size(), 1U);
  EXPECT_EQ(again[0].checked, false);
  EXPECT_EQ(again[0].enabled, false);
  // A straight line whose gesture is taken away ends as a release does, and its box
  // is ticked on the tool row at once.
  core->click({Group::Command, 5});
  core->pointer(Phase::Down, at(100, 100, frontend::kLeft, frontend::kLeft));
  EXPECT_TRUE(core->pointer(Phase::Move, at(200, 100, 0, frontend::kLeft)).changes.empty());
  const auto cancelled = core->pointer(Phase::Cancel, at(0, 0)).changes;
  ASSERT_EQ(cancelled.size(), 1U);
  EXPECT_EQ(cancelled[0].id, (frontend::ControlId{Group::Check1, 0}));
  EXPECT_EQ(cancelled[0].checked, true);
  // "終了": the end comes back once asked for, and nothing is handled after it.
  EXPECT_FALSE(core->pointer(Phase::Move, at(300, 300)).ended);
  EXPECT_TRUE(core->click({Group::Command, 2}).ended);
  const frontend::Outcome after =
      core->pointer(Phase::Down, at(30, 275, frontend::kLeft, frontend::kLeft));
  EXPECT_TRUE(after.ended && !after.reached && after.changes.empty());
  EXPECT_EQ(form.figure.LinePY, 275);
  // "終了" lies on top of everything; the board comes first in the tab order and
  // holds the focus as the window opens.
  EXPECT_EQ(controls.back().caption, "終了");
  EXPECT_FALSE(core->toolRow.tabOrder().front().has_value());
  EXPECT_FALSE(core->toolRow.firstFocus().has_value());
}

// Who takes a press on the tool row, and what each control is told of its state.
TEST_F(Core, TheToolRowTakesPressesAnywhereInABoxTheUpperWhereTheyOverlap) {
  using Group = frontend::ControlId::Group;
  const frontend::ToolRow& row = core->toolRow;
  auto at = [&](int x, int y) {
    const auto i = row.controlAt(x, y);
    return i ? row.controls()[*i].id : frontend::ControlId{Group::Label1, -1};
  };
  // Right of bold red's caption; where its box lies under bold yellow's; the bold
  // eraser just left of 終了; 終了 itself; red lines at the right edge of their box.
  EXPECT_EQ(at(595, 16), (frontend::ControlId{Group::Option1, 4}));
  EXPECT_EQ(at(605, 16), (frontend::ControlId{Group::Option1, 5}));
  EXPECT_EQ(at(748, 16), (frontend::ControlId{Group::Option1, 7}));
  EXPECT_EQ(at(790, 16), (frontend::ControlId{Group::Command, 2}));
  EXPECT_EQ(at(351, 16), (frontend::ControlId{Group::Option2, 0}));
  EXPECT_EQ(at(343, 38), (frontend::ControlId{Group::Check1, 0}));
  EXPECT_EQ(at(400, 300).index, -1);  // the board is no control
  // Only option buttons and boxes are told whether they are checked.
  for (const frontend::ToolChange& c : core->afterInput().changes) {
    const auto kind = row.controls()[c.at].kind;
    const bool checkable =
        kind == frontend::ToolControl::Kind::Option || kind == frontend::ToolControl::Kind::Check;
    EXPECT_EQ(c.checked.has_value(), checkable) << row.controls()[c.at].caption;
  }
}

// The ink rasters a front end keeps as the board goes from screen to screen. One
// raster: the finest scale shown, carried over, never coarser again. Two: one per
// screen, the window's image taken back as it was when full screen ends.
TEST_F(Core, InkRastersFollowTheScreensAsAFrontEndDeclares) {
  frontend::InkRasters one(core->scene, 1);
  EXPECT_EQ(one.show(1).raster.scale, 1);
  frontend::InkRasters::Step finer = one.show(2);
  EXPECT_EQ(finer.raster.scale, 2);
  EXPECT_EQ(finer.carryFrom, 0);
  EXPECT_TRUE(finer.dropLast);
  EXPECT_TRUE(one.show(1).same);  // back on a 1x screen: still sharp at 2x
  EXPECT_EQ(one.kept().size(), 1U);
  // A 4K board at twice the density: √(16777216 / (802 × 626)) = 5.7808 at most.
  EXPECT_NEAR(one.show(12.56).raster.scale, 5.7808, 1e-4);

  frontend::InkRasters two(core->scene, 2);
  two.show(1);
  const frontend::InkRasters::Step full = two.show(1.49);  // full screen
  EXPECT_EQ(full.raster.scale, 1.49);
  EXPECT_EQ(full.carryFrom, 0);
  EXPECT_FALSE(full.dropLast);
  const frontend::InkRasters::Step back = two.show(1);  // the window again, as it was
  EXPECT_EQ(back.kept, 1);
  EXPECT_EQ(back.raster.scale, 1);
  const frontend::InkRasters::Step third = two.show(2);  // a third screen: the finest carried
  EXPECT_EQ(third.carryFrom, 1);
  EXPECT_TRUE(third.dropLast);
  EXPECT_EQ(two.kept().size(), 2U);
  EXPECT_EQ(two.kept()[1].scale, 1);  // the one shown least lately went
}

TEST_F(Core, InkUnderlayCoversTheBoardEdgeToEdgeSmoothedOnlyWhenScaled) {
  const frontend::Rect area = core->scene.area();  // 802 x 626, a border of 2
  // At the raster's own scale: pixel for pixel, nothing to smooth.
  const frontend::Underlay same =
      frontend::underlayOf({0, 0, 64, 64}, area, {1, 2}, core->scene.inkRasterAt(1));
  EXPECT_EQ(same.device, (frontend::Rect{2, 2, 64, 64}));
  EXPECT_EQ(same.sourceX, 0);
  EXPECT_EQ(same.sourceWidth, 64);
  EXPECT_FALSE(same.smooth);
  // Shown at 1.5 with the writing kept at 2 (a 2x screen visited before): smoothed,
  // and the board's last device column takes the raster's last column.
  const frontend::InkRaster two = core->scene.inkRasterAt(2);
  const frontend::DeviceGrid fine{1.5, 2};
  const frontend::Underlay last = frontend::underlayOf({738, 562, 64, 64}, area, fine, two);
  const frontend::Rect board = fine.of(area);
  EXPECT_TRUE(last.smooth);
  EXPECT_EQ(last.device.x + last.device.w, board.x + board.w);
  EXPECT_DOUBLE_EQ(last.sourceX + last.sourceWidth, two.width);
  EXPECT_DOUBLE_EQ(last.sourceY + last.sourceHeight, two.height);
}

TEST(FramePacer, PaintsAtMostOncePerRefreshAndNeverLater) {
  frontend::FramePacer pacer;
  EXPECT_EQ(pacer.afterChange(100), 0);  // the first change paints at once
  pacer.frameTaken(100, true);
  EXPECT_EQ(pacer.afterChange(105), 11);  // the rest of the 16 ms
  EXPECT_FALSE(pacer.afterChange(110));   // already on its way
  pacer.frameTaken(116, true);
  EXPECT_EQ(pacer.afterChange(140), 0);
  pacer.frameTaken(140, false);  // nothing to repaint: not a frame
  EXPECT_EQ(pacer.afterChange(141), 0);
  pacer.setRefreshRate(120);
  EXPECT_EQ(pacer.intervalMs(), 8);
  pacer.setRefreshRate(0);  // a platform that cannot tell
  EXPECT_EQ(pacer.intervalMs(), 8);
}

// A frame as one list across a costly boundary: the ink first, then each rectangle's
// underlay and the very items a rasteriser is handed, in order; a look's strings and a
// picture's key cross once, the first time they are met.
TEST_F(Core, ADrawListCarriesTheFrameARasteriserIsHandedAndEachStringOnce) {
  using Op = frontend::DrawOp;
  frontend::DrawList list;
  core->click({frontend::ControlId::Group::Command, 3});  // メモ
  core->scene.frame(kNoInk);
  press(at(300, 300, frontend::kLeft, frontend::kLeft));
  move(at(320, 310, 0, frontend::kLeft));
  core->scene.frame([&](const frontend::InkStroke& s) { list.ink(s); });
  ASSERT_FALSE(list.numbers().empty());  // a stroke in memo mode is ink
  EXPECT_EQ(list.numbers()[0], static_cast<double>(Op::InkSegment));
  const std::size_t inkEnd = list.numbers().size();
  Recorder r;
  const frontend::InkRaster raster = core->scene.inkRasterAt(1);
  core->scene.paintDamage({{0, 0, 802, 626}}, r, kBoardPixels, raster,
                          [](const frontend::Underlay&) {});
  core->scene.paintDamage({{0, 0, 802, 626}}, list, kBoardPixels, raster,
                          [&](const frontend::Underlay& u) { list.underlay(u); });
  // The list read back as a replay would, beside what the rasteriser was handed.
  const std::vector<double>& n = list.numbers();
  std::size_t i = inkEnd, item = 0;
  ASSERT_EQ(n[i], static_cast<double>(Op::Underlay));
  EXPECT_EQ(n[i + 3], 802);  // the whole board, pixel for pixel
  i += 10;
  for (; i < n.size(); ++item) {
    ASSERT_LT(item, r.items.size());
    const Item& want = r.items[item];
    switch (static_cast<Op>(n[i])) {
      case Op::Segment: {
        const auto& s = std::get<frontend::SegmentItem>(want);
        EXPECT_EQ(n[i + 1], s.at.x1);
        EXPECT_EQ(n[i + 4], s.at.y2);
        EXPECT_EQ(n[i + 6], s.width);
        i += 10;
        break;
      }
      case Op::Fill:
        EXPECT_EQ(n[i + 1], std::get<Fill>(want).device.x);
        i += 6;
        break;
      case Op::Text:
        EXPECT_EQ(n[i + 1], std::get<frontend::TextItem>(want).look);
        EXPECT_EQ(n[i + 2], std::get<frontend::TextItem>(want).box.x);
        i += 6;
        break;
      case Op::Picture:
        EXPECT_EQ(list.pictureKey(static_cast<int>(n[i + 1])),
                  std::get<frontend::PictureItem>(want).key);
        i += 7;
        break;
      default:
        FAIL() << "command " << n[i] << " at " << i;
    }
  }
  EXPECT_EQ(item, r.items.size());
  // Six names (A, B, C, A', B', C') and p, q, r's letter pictures, as the scene shows them.
  EXPECT_EQ(list.newLooks().size(), 6U);
  EXPECT_EQ(list.newPictures().size(), 5U);
  list.clear();
  core->scene.paintDamage({{0, 0, 802, 626}}, list, kBoardPixels, raster,
                          [](const frontend::Underlay&) {});
  EXPECT_TRUE(list.newLooks().empty());  // known already
  EXPECT_TRUE(list.newPictures().empty());
}

}  // namespace

TEST(FitWindow, FillsAnyViewportAndMapsPointsBackToTheBoard) {
  const frontend::Rect board{8, 48, 806, 630};
  // The window's own size: nothing moves, and the canvas lies on the board's pixels.
  const frontend::Fit one = frontend::fitWindow(822, 687, 1, 822, 687, board);
  EXPECT_EQ(one.scale, 1);
  EXPECT_EQ(one.canvasWidth, 806);
  EXPECT_EQ(one.canvasAt, (frontend::Point{8, 48}));
  EXPECT_EQ(one.toBoard(10, 50, board, 2), (frontend::Point{0, 0}));
  // A 1366 x 768 laptop: the height decides, and the window stands in the middle.
  const frontend::Fit laptop = frontend::fitWindow(1366, 768, 1, 822, 687, board);
  EXPECT_DOUBLE_EQ(laptop.scale, 768.0 / 687);
  EXPECT_DOUBLE_EQ(laptop.top, 0);
  // In the middle, on a whole device pixel (223.54 would blend a column with the margin).
  EXPECT_DOUBLE_EQ(laptop.left, 224);
  EXPECT_DOUBLE_EQ(frontend::fitWindow(1366, 768, 2, 822, 687, board).left, 223.5);
  EXPECT_DOUBLE_EQ(frontend::fitWindow(3840, 2160, 1.25, 822, 687, board).left, 628);
  const frontend::Point centre =
      laptop.toBoard(laptop.left + 411 * laptop.scale, laptop.top + 363 * laptop.scale, board, 2);
  EXPECT_NEAR(centre.x, 401, 1e-9);
  EXPECT_NEAR(centre.y, 313, 1e-9);
  // A control's box on the laptop: its edges on whole pixels, so that boxes that meet
  // in the layout meet there too; and a press in it found in the layout again.
  const frontend::Rect left = laptop.onViewport({168, 12, 57, 33}),
                       right = laptop.onViewport({225, 12, 40, 33});
  EXPECT_EQ(left, (frontend::Rect{412, 13, 64, 37}));
  EXPECT_EQ(left.right(), right.x);
  const frontend::Point pressed = laptop.toLayout(left.x + 1, left.y + 1);
  EXPECT_TRUE((frontend::Rect{168, 12, 57, 33})
                  .contains(static_cast<int>(pressed.x), static_cast<int>(pressed.y)));
  // The board's widget drawn 1.5 times: a repaint of board pixels touches every
  // widget pixel they cover, and a widget's repaint every board pixel under it.
  const frontend::DeviceGrid surface{1.5, 2};
  EXPECT_EQ(surface.touching({0, 0, 3, 3}), (frontend::Rect{3, 3, 5, 5}));
  EXPECT_EQ(surface.touchedBy({3, 3, 5, 5}), (frontend::Rect{0, 0, 4, 4}));
  EXPECT_EQ(surface.toBoard(3, 4.5), (frontend::Point{0, 1}));
  // A 4K board at twice the density would pass the pixels a canvas may have: the
  // canvas stays under them, stretched over the board's place.
  // There the scale is 2160 / 687 = 3.1441, twice that 6.288 device pixels a layout
  // pixel, past the √(16777216 / (806 × 630)) = 5.7481 the canvas may have: 806 × 5.7481
  // = 4632.98 by 630 × 5.7481 = 3621.31, rounded up too many (4633 × 3622 = 16780726),
  // so down. The canvas then covers the board's 806 × 3.1441 = 2534.15 CSS pixels.
  const frontend::Fit board4k = frontend::fitWindow(3840, 2160, 2, 822, 687, board);
  EXPECT_EQ(board4k.canvasWidth, 4632);
  EXPECT_EQ(board4k.canvasHeight, 3621);
  EXPECT_NEAR(board4k.canvasCssWidth, 2534.148, 1e-3);
  EXPECT_NEAR(board4k.canvasCssHeight, 1980.786, 1e-3);
  // Within the limit the canvas has the device pixels it covers, rounded up, and its
  // CSS size is theirs: the laptop's 806 × 1.1179 = 901.03 takes 902 (630 × 1.1179 =
  // 704.28 takes 705); at twice the density 1802.06 takes 1803, 901.5 CSS pixels; a 4K
  // board at 1.25, 806 × 3.9301 = 3167.69, takes 3168, 2534.4 CSS pixels.
  EXPECT_EQ(one.canvasCssWidth, 806);
  EXPECT_EQ(one.canvasCssHeight, 630);
  EXPECT_EQ(laptop.canvasWidth, 902);
  EXPECT_EQ(laptop.canvasCssWidth, 902);
  EXPECT_EQ(laptop.canvasCssHeight, 705);
  const frontend::Fit laptop2x = frontend::fitWindow(1366, 768, 2, 822, 687, board);
  EXPECT_EQ(laptop2x.canvasWidth, 1803);
  EXPECT_DOUBLE_EQ(laptop2x.canvasCssWidth, 901.5);
  const frontend::Fit board4k125 = frontend::fitWindow(3840, 2160, 1.25, 822, 687, board);
  EXPECT_EQ(board4k125.canvasWidth, 3168);
  EXPECT_DOUBLE_EQ(board4k125.canvasCssWidth, 2534.4);
  // A viewport not laid out yet leaves everything finite.
  const frontend::Fit none = frontend::fitWindow(0, 0, 0, 822, 687, board);
  EXPECT_EQ(none.scale, 1);
}
