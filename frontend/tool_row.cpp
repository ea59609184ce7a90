#include "frontend/tool_row.h"

#include <stdexcept>

namespace frontend {

namespace {

using Group = ControlId::Group;
using Kind = ToolControl::Kind;

// What a screen reader says of each control besides its name, in the lesson's language.
const char* const kCommandDescriptions[] = {
    "図を最初の形に戻し、書いたものをすべて消します",
    "プログラムを終わります",
    "チョークで書いたり消したりします",
    "1 マスが 25 ピクセルの方眼を出したり消したりします",
    "直線を5本まで引きます",
};
// The colours a pen or a straight line takes, by QBColor index.
std::string colourName(int qbColor) {
  switch (qbColor) {
    case 12:
      return "赤";
    case 14:
      return "黄";
    case 9:
      return "青";
    case 15:
      return "白";
  }
  return "";
}

// A pen's words follow its place in the board's table: its row and what it draws.
std::string penWords(const board::Pen& pen) {
  const std::string row = pen.bold ? "太字" : "細字";
  if (pen.markerWidth > 0) return row + "の消しゴム";
  return row + "の" + colourName(pen.colour) + "のチョーク";
}

Rect boxOf(const forms::Bounds& b) {
  return {static_cast<int>(b.Left), static_cast<int>(b.Top), static_cast<int>(b.Width),
          static_cast<int>(b.Height)};
}

ToolControl labelOf(ControlId id, const forms::Label& l) {
  return {id,          Kind::Label, boxOf(l),  l.Caption, fontChoice(l.Font),
          l.ForeColor, l.BackColor, l.Caption, ""};
}

ToolControl buttonOf(ControlId id, Kind kind, const forms::ButtonBase& b, std::string name,
                     std::string description) {
  return {id,
          kind,
          boxOf(b),
          b.Caption,
          fontChoice({}),
          forms::kBlack,
          b.BackColor,
          std::move(name),
          std::move(description)};
}

}  // namespace

ToolRow::ToolRow(app::Form1& form) : form_(form) {
  auto& c = controls_;
  c.push_back(labelOf({Group::Label1, 0}, form.Label1));
  c.back().description = about();
  for (int n : {1, 3, 4, 5}) {
    c.push_back(buttonOf({Group::Command, n}, Kind::Button, form.command(n),
                         form.command(n).Caption, kCommandDescriptions[n - 1]));
    c.back().toggle = n != 1;  // メモ, 方眼, 直線
  }
  for (int i = 0; i < 4; ++i)
    c.push_back(buttonOf({Group::Option2, i}, Kind::Option, form.Option2(i),
                         form.Option2(i).Caption + " 直線",
                         colourName(board::lineColourOf(i)) + "で直線を引きます"));
  for (int i = 0; i < 5; ++i)
    c.push_back(buttonOf({Group::Check1, i}, Kind::Check, form.Check1(i),
                         "直線 " + form.Check1(i).Caption,
                         boxWords(i + 1, form.Check1(i).Value() != 0)));
  c.push_back(labelOf({Group::Label4, 0}, form.Label4(0)));
  c.push_back(labelOf({Group::Label4, 1}, form.Label4(1)));
  for (int i : {4, 5, 6, 7, 0, 1, 2, 3})
    c.push_back(buttonOf({Group::Option1, i}, Kind::Option, form.Option1(i),
                         form.Option1(i).Caption + (board::penOf(i).bold ? " 太字" : " 細字"),
                         penWords(board::penOf(i))));
  c.push_back(buttonOf({Group::Command, 2}, Kind::Button, form.Command2, form.Command2.Caption,
                       kCommandDescriptions[1]));
  applied_.resize(c.size());
}

std::string ToolRow::about() { return std::string(app::kLessonName) + " 版 " PL_VERSION; }

std::string ToolRow::boxWords(int line, bool ticked) {
  const std::string name = "直線 " + std::to_string(line);
  if (ticked) return name + " が引かれています。印を外すと消えます";
  return name + " はまだ引かれていません。印を付けると、直線モードはこの番号を飛ばします";
}

std::size_t ToolRow::indexOf(const ControlId& id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].id == id) return i;
  throw std::out_of_range("no such control on the tool row");
}

std::vector<std::optional<std::size_t>> ToolRow::tabOrder() const {
  std::vector<std::optional<std::size_t>> order;
  for (const app::FocusStop& stop : app::Form1::tabOrder()) {
    using K = app::FocusStop::Kind;
    switch (stop.kind) {
      case K::Surface:
        order.emplace_back();
        break;
      case K::Command:
        order.push_back(indexOf({Group::Command, stop.index}));
        break;
      case K::Option1:
        order.push_back(indexOf({Group::Option1, stop.index}));
        break;
      case K::Option2:
        order.push_back(indexOf({Group::Option2, stop.index}));
        break;
      case K::Check1:
        order.push_back(indexOf({Group::Check1, stop.index}));
        break;
    }
  }
  return order;
}

ToolState ToolRow::stateOf(const ControlId& id) const {
  switch (id.group) {
    case Group::Label1:
      return {form_.Label1.Font.Bold, true, false, form_.Label1.Visible};
    case Group::Label4:
      return {form_.Label4(id.index).Font.Bold, true, false, form_.Label4(id.index).Visible};
    case Group::Command: {
      const forms::CommandButton& button = form_.command(id.index);
      return {button.FontBold, button.Enabled, false, true};
    }
    case Group::Option1:
      return {false, form_.Option1(id.index).Enabled, form_.Option1(id.index).Value(), true};
    case Group::Option2:
      return {false, form_.Option2(id.index).Enabled, form_.Option2(id.index).Value(), true};
    case Group::Check1:
      return {false, form_.Check1(id.index).Enabled, form_.Check1(id.index).Value() != 0, true};
  }
  return {};
}

std::vector<ToolChange> ToolRow::takeChanges() {
  std::vector<ToolChange> changes;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const ToolState now = stateOf(controls_[i].id);
    std::optional<ToolState>& was = applied_[i];
    if (was && *was == now) continue;
    ToolChange change{controls_[i].id, i, {}, {}, {}, {}, {}};
    if (!was || was->bold != now.bold) change.bold = now.bold;
    if (!was || was->enabled != now.enabled) change.enabled = now.enabled;
    const bool checkable = controls_[i].kind == Kind::Option || controls_[i].kind == Kind::Check;
    if (checkable && (!was || was->checked != now.checked)) {
      change.checked = now.checked;
      if (controls_[i].kind == Kind::Check)
        change.description = boxWords(controls_[i].id.index + 1, now.checked);
    }
    if (!was || was->visible != now.visible) change.visible = now.visible;
    changes.push_back(change);
    was = now;
  }
  return changes;
}

std::optional<std::size_t> ToolRow::controlAt(int x, int y) const {
  for (std::size_t i = controls_.size(); i-- > 0;) {
    const ToolControl& c = controls_[i];
    if (c.box.contains(x, y) && stateOf(c.id).visible) return i;
  }
  return std::nullopt;
}

void ToolRow::click(const ControlId& id) {
  // A toolkit's own check box or option button changes its look as it is clicked,
  // whatever the model makes of the click (a selected option stays selected): the
  // next changes give this control's whole state again.
  const std::size_t at = indexOf(id);
  if (controls_[at].kind == Kind::Option || controls_[at].kind == Kind::Check) applied_[at].reset();
  switch (id.group) {
    case Group::Label1:
    case Group::Label4:
      return;
    case Group::Command:
      form_.command(id.index).userClick();
      return;
    case Group::Option1:
      form_.Option1(id.index).userClick();
      return;
    case Group::Option2:
      form_.Option2(id.index).userClick();
      return;
    case Group::Check1:
      form_.Check1(id.index).userClick();
      return;
  }
}

}  // namespace frontend
