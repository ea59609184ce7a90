// The screen as a front end paints it, frame by frame and only where damaged, held
// against a full repaint of the same state: any difference is damage the scene missed.
#include <sstream>

#include "fuzz/session.h"

namespace fuzz {

const Pixels& Session::repaint() {
  paintDamage();
  frontend::BoardScene& scene = core_->scene;
  full_.underlay(ink_, scene.area());
  scene.paint(scene.area(), full_, kGrid);
  return full_;
}

void Session::frame() {
  if (!ended()) paintDamage();
}

void Session::paintDamage() {
  frontend::BoardScene& scene = core_->scene;
  const auto damage = scene.frame([&](const frontend::InkStroke& s) { ink_.ink(s); });
  seenInk_ = form_->gamen.pending().size();
  scene.paintDamage(damage, screen_, kGrid, scene.inkRasterAt(1),
                    [&](const frontend::Underlay& u) { screen_.underlay(ink_, u.device); });
}

std::optional<std::string> Session::compareFrames() {
  if (ended()) return std::nullopt;
  const Pixels& full = repaint();
  const auto at = screen_.firstDifference(full);
  if (!at) return std::nullopt;
  std::ostringstream o;
  o << "the screen painted where damaged differs from a full repaint at board pixel (" << at->x
    << ", " << at->y << "): " << std::hex
    << screen_.at(static_cast<int>(at->x), static_cast<int>(at->y)) << " against "
    << full.at(static_cast<int>(at->x), static_cast<int>(at->y));
  return o.str();
}

}  // namespace fuzz
