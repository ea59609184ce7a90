#include "fuzz/session.h"

#include <sstream>

#include "fuzz/delivery.h"
#include "fuzz/invariants.h"
#include "testing/form_dump.h"

namespace fuzz {

std::string Session::where(const Event& e) {
  // Built up rather than "(" + describe(e): GCC 12 warns of an overlapping copy in that.
  std::string out = "(";
  out += describe(e);
  out += ')';
  return out;
}

Session::Session() : ink_(0, 0), screen_(0, 0), full_(0, 0) { open({}); }

void Session::open(std::string_view record) {
  core_.reset();
  form_ = std::make_unique<app::Form1>();
  form_->Form_Load();
  core_ = std::make_unique<frontend::Presenter>(*form_);
  frontend::BoardScene& scene = core_->scene;
  ink_ = Pixels(scene.width(), scene.height());
  screen_ = Pixels(scene.width(), scene.height());
  full_ = Pixels(scene.width(), scene.height());
  shown_.assign(core_->toolRow.controls().size(), {});
  const frontend::Outcome first = record.empty() ? core_->afterInput() : core_->resume(record);
  for (const frontend::ToolChange& c : first.changes) {
    frontend::ToolState& s = shown_[c.at];
    s = {c.bold.value_or(false), c.enabled.value_or(true), c.checked.value_or(false),
         c.visible.value_or(true)};
  }
  scene.frame([&](const frontend::InkStroke& s) { ink_.ink(s); });
  screen_.underlay(ink_, scene.area());
  scene.paint(scene.area(), screen_, kGrid);
  heardMs_.clear();
  penMs_.reset();
  ownerKind_ = frontend::PointerKind::Mouse;
  seenInk_ = form_->gamen.pending().size();
  drawn_.clear();
  endedState_.clear();
}

std::optional<std::string> Session::play(const Event& e) {
  // The page loaded again starts the lesson anew, even after the end, with the board
  // it ended on offered back.
  if (ended() && e.kind == Event::Kind::Keeping && e.index == Event::kReload) return reload();
  if (ended()) return playAfterEnd(e);
  nowMs_ += e.afterMs;
  if (auto fault = deliverAndJudge(e)) return fault;
  return judgeAfter(e);
}

std::optional<std::string> Session::playAfterEnd(const Event& e) {
  const frontend::Outcome out = deliver(*core_, asDelivered(*form_, e).front(), nowMs_);
  if (out.reached || !out.ended || !out.changes.empty())
    return "an input was handled after the end " + where(e);
  if (testing_support::dump(*form_) != endedState_)
    return "the window changed after the end " + where(e);
  return std::nullopt;
}

std::optional<std::string> Session::deliverAndJudge(const Event& e) {
  switch (e.kind) {
    case Event::Kind::Pointer:
      return pointer(e);
    case Event::Kind::PointersLost:
      return pointersLost(e);
    case Event::Kind::Click:
      return click(e);
    case Event::Kind::Picture:
      for (const Event& p : asDelivered(*form_, e))
        if (auto fault = pointer(p)) return fault;
      return std::nullopt;
    case Event::Kind::Keeping:
      return keeping(e);
    case Event::Kind::Keyboard:
      return keyboard(e);
  }
  return std::nullopt;
}

std::optional<std::string> Session::judgeAfter(const Event& e) {
  // What this event drew: the ink waits for the next frame.
  const auto& pending = form_->gamen.pending();
  drawn_.assign(pending.begin() + static_cast<std::ptrdiff_t>(std::min(seenInk_, pending.size())),
                pending.end());
  seenInk_ = pending.size();
  // A wipe taken back draws the kept writing again, in whatever mode it comes back in:
  // the board it draws is judged whole, pixel for pixel, by keeping().
  if (e.kind == Event::Kind::Keeping) drawn_.clear();
  if (auto broken = brokenInvariant(*form_, drawn_)) return broken;
  if (auto row = toolRowShown()) return row;
  noteOffer();
  if (ended()) endedState_ = testing_support::dump(*form_);
  return std::nullopt;
}

std::optional<std::string> Session::apply(const frontend::Outcome& out, const Event& e) {
  offerChanged_ = offerChanged_ || out.offerChanged;
  const auto& controls = core_->toolRow.controls();
  for (const frontend::ToolChange& c : out.changes) {
    if (c.at >= controls.size() || !(controls[c.at].id == c.id))
      return "a change names no control of the row " + where(e);
    frontend::ToolState& s = shown_[c.at];
    s.bold = c.bold.value_or(s.bold);
    s.enabled = c.enabled.value_or(s.enabled);
    s.checked = c.checked.value_or(s.checked);
    s.visible = c.visible.value_or(s.visible);
  }
  if (out.ended != core_->ended()) return "the end reported wrongly " + where(e);
  return std::nullopt;
}

// The tool row as the changes left it must be what the core holds of each control now:
// a change the core forgot to hand over leaves a front end showing a stale control.
std::optional<std::string> Session::toolRowShown() const {
  const frontend::ToolRow& row = core_->toolRow;
  const auto& controls = row.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (!(shown_[i] == row.stateOf(controls[i].id)))
      return "the tool row shows control " + std::to_string(i) + " (" + controls[i].caption +
             ") otherwise than the model holds it";
  }
  return std::nullopt;
}

std::optional<std::string> run(const std::vector<Event>& events) {
  Session session;
  // A frame every few events, as a display's refresh takes them; the whole screen
  // compared every few dozen and at the end.
  constexpr std::size_t kFrameEvery = 3, kCompareEvery = 40;
  for (std::size_t i = 0; i < events.size(); ++i) {
    std::optional<std::string> fault = session.play(events[i]);
    if (!fault && (i + 1) % kFrameEvery == 0) session.frame();
    if (!fault && ((i + 1) % kCompareEvery == 0 || i + 1 == events.size()))
      fault = session.compareFrames();
    if (fault) {
      std::ostringstream report;
      report << "fault after event " << i + 1 << " of " << events.size() << ": " << *fault
             << "\nevents:\n";
      for (std::size_t k = 0; k <= i; ++k) report << "  " << describe(events[k]) << '\n';
      return report.str();
    }
  }
  return std::nullopt;
}

}  // namespace fuzz
