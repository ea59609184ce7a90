// What the tool row tells a front end to show of each control after a run of clicks,
// worked out by hand from what a teacher sees: the fuzzer holds every front end to
// ToolRow::stateOf, so a wrong answer here would be shown everywhere.
#include "frontend/tool_row.h"

#include <gtest/gtest.h>

#include <ostream>

namespace frontend {
void PrintTo(const ToolState& s, std::ostream* o) {
  *o << "{bold " << s.bold << ", enabled " << s.enabled << ", checked " << s.checked << ", visible "
     << s.visible << "}";
}
}  // namespace frontend

namespace {

using frontend::ToolState;
using Group = frontend::ControlId::Group;

// {bold, enabled, checked, visible}
constexpr ToolState kIdle{false, true, false, true};  // a button, or an unticked box
constexpr ToolState kModeOn{true, true, false, true};
constexpr ToolState kChecked{false, true, true, true};
constexpr ToolState kGreyed{false, false, false, true};  // an option of a mode that is off
constexpr ToolState kGreyedChecked{false, false, true, true};

TEST(ToolRow, StatesAfterMemoLineGridAndTheInitialScreen) {
  app::Form1 form;
  form.Form_Load();
  frontend::ToolRow row(form);
  auto state = [&](Group g, int i) { return row.stateOf({g, i}); };
  auto click = [&](Group g, int i) { row.click({g, i}); };

  // Opened: no mode, so every pen and line colour greyed; white lines stay selected.
  EXPECT_EQ(state(Group::Label1, 0), (ToolState{true, true, false, true}));
  EXPECT_EQ(state(Group::Label4, 0), kIdle);
  EXPECT_EQ(state(Group::Command, 3), kIdle);
  EXPECT_EQ(state(Group::Option1, 0), kGreyed);
  EXPECT_EQ(state(Group::Option2, 3), kGreyedChecked);
  EXPECT_EQ(state(Group::Check1, 0), kIdle);

  click(Group::Command, 3);  // メモ: the pens, thin red chosen; the line colours let go
  EXPECT_EQ(state(Group::Command, 3), kModeOn);
  EXPECT_EQ(state(Group::Option1, 0), kChecked);
  EXPECT_EQ(state(Group::Option1, 7), kIdle);
  EXPECT_EQ(state(Group::Option2, 3), kGreyed);
  click(Group::Option1, 7);  // the bold eraser
  EXPECT_EQ(state(Group::Option1, 7), kChecked);
  EXPECT_EQ(state(Group::Option1, 0), kIdle);

  click(Group::Command, 5);  // 直線: memo ends, white lines chosen
  EXPECT_EQ(state(Group::Command, 5), kModeOn);
  EXPECT_EQ(state(Group::Command, 3), kIdle);
  EXPECT_EQ(state(Group::Option1, 7), kGreyed);
  EXPECT_EQ(state(Group::Option2, 3), kChecked);
  EXPECT_EQ(state(Group::Option2, 1), kIdle);
  click(Group::Check1, 1);
  click(Group::Command, 4);  // 方眼
  EXPECT_EQ(state(Group::Check1, 1), kChecked);
  EXPECT_EQ(state(Group::Command, 4), kModeOn);

  click(Group::Command, 1);  // 初期画面: no mode, no grid, no box ticked
  EXPECT_EQ(state(Group::Command, 5), kIdle);
  EXPECT_EQ(state(Group::Command, 4), kIdle);
  EXPECT_EQ(state(Group::Check1, 1), kIdle);
  EXPECT_EQ(state(Group::Option2, 3), kGreyedChecked);
  EXPECT_EQ(state(Group::Option2, 1), kGreyed);
  click(Group::Option1, 2);  // greyed: nothing happens
  EXPECT_EQ(state(Group::Option1, 2), kGreyed);
  EXPECT_EQ(state(Group::Command, 2), kIdle);  // 終了, never clicked
}

}  // namespace
