// A session plays events through the core as both front ends do, and after every one
// checks what a user could see go wrong: the model's invariants, the tool row, who
// holds the board, the screen painted where damaged, a wipe taken back and the page
// loaded again.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "frontend/presenter.h"
#include "fuzz/events.h"
#include "fuzz/pixels.h"

namespace fuzz {

// One window and its core, with what a front end keeps of it: the tool row as last
// applied, the ink raster, and the screen as painted frame by frame, only where damaged.
class Session {
 public:
  Session();
  // Plays one event; the first thing that went wrong, or nothing.
  std::optional<std::string> play(const Event& e);
  // Paints a frame, and compares the screen with a full repaint of the same state.
  std::optional<std::string> compareFrames();
  // Paints a frame where it is damaged, as a display's refresh does.
  void frame();
  bool ended() const { return core_->ended(); }

 private:
  // The pixel model's device pixels are the board's.
  static constexpr frontend::DeviceGrid kGrid{1, 0};
  // `e` as a fault report names it.
  static std::string where(const Event& e);

  // The window opened afresh, with the board of `record` if one is given, as a page
  // opens in its tab.
  void open(std::string_view record);
  // Once the program has ended, nothing reaches it and nothing changes.
  std::optional<std::string> playAfterEnd(const Event& e);
  std::optional<std::string> deliverAndJudge(const Event& e);
  // What every event is judged by once it was handed over.
  std::optional<std::string> judgeAfter(const Event& e);

  // The input rules: who takes the board, and what ends a gesture (input_rules.cpp).
  std::optional<std::string> pointer(const Event& e);
  std::optional<std::string> pointersLost(const Event& e);
  std::optional<std::string> click(const Event& e);
  std::optional<std::string> keyboard(const Event& e);
  double& heard(int pointer);

  // A wipe taken back, and the page loaded again (keeping.cpp).
  std::optional<std::string> keeping(const Event& e);
  // The page loaded again: its record read into a new window, which must show the
  // board as the old one showed it.
  std::optional<std::string> reload();
  // Keeps how the wiped board showed when the core offers it back.
  void noteOffer();

  // A full repaint of the board as it stands, ink and all, after the screen is
  // painted where damaged (frames.cpp).
  const Pixels& repaint();
  // The frame's damage painted on the screen, whether or not the program has ended.
  void paintDamage();

  // The tool row's changes applied as a front end applies them.
  std::optional<std::string> apply(const frontend::Outcome& out, const Event& e);
  std::optional<std::string> toolRowShown() const;

  std::unique_ptr<app::Form1> form_;
  std::unique_ptr<frontend::Presenter> core_;
  std::vector<frontend::ToolState> shown_;  // the tool row, as the changes left it
  Pixels ink_;
  Pixels screen_;
  Pixels full_;  // a full repaint, to compare with
  double nowMs_ = 0;
  std::vector<double> heardMs_;  // each pointer's last event
  frontend::PointerKind ownerKind_ = frontend::PointerKind::Mouse;
  std::optional<double> penMs_;
  std::string endedState_;                // the window as it was when it ended
  std::vector<forms::InkCommand> drawn_;  // what the last event drew
  std::size_t seenInk_ = 0;               // of the ink waiting for the next frame
  bool offerChanged_ = false;             // the last outcome changed the offer
  std::optional<Pixels> offered_;         // the wiped board offered back, as it showed
};

// Runs a sequence on a fresh, loaded window, comparing frames every few dozen events
// and at the end. Returns a readable report of the first fault (with the events that
// led to it), or nothing.
std::optional<std::string> run(const std::vector<Event>& events);

}  // namespace fuzz
