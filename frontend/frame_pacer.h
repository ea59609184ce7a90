// When a front end that is not driven by the display's own frame callback paints: at
// most one frame per refresh of the screen, and a change never waits longer than one
// refresh for it.
#pragma once

#include <algorithm>
#include <optional>

namespace frontend {

class FramePacer {
 public:
  // The screen's refresh rate; a rate no screen has (a platform that does not know)
  // leaves 60 Hz.
  void setRefreshRate(double hz) {
    if (hz >= 30 && hz <= 480) intervalMs_ = std::max(2, static_cast<int>(1000 / hz));
  }
  int intervalMs() const { return intervalMs_; }

  // Something changed at `nowMs`: 0 to paint now, otherwise the milliseconds to wait;
  // nothing when a frame is already on its way.
  std::optional<long long> afterChange(long long nowMs) {
    if (waiting_) return std::nullopt;
    if (!lastFrameMs_ || nowMs - *lastFrameMs_ >= intervalMs_) return 0;
    waiting_ = true;
    return intervalMs_ - (nowMs - *lastFrameMs_);
  }
  // A frame was taken at `nowMs`; an empty one (nothing to repaint) does not count.
  void frameTaken(long long nowMs, bool painted) {
    waiting_ = false;
    if (painted) lastFrameMs_ = nowMs;
  }

 private:
  int intervalMs_ = 16;
  std::optional<long long> lastFrameMs_;
  bool waiting_ = false;
};

}  // namespace frontend
