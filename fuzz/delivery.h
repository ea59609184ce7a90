// Events handed to the program's core as both front ends hand them.
#pragma once

#include <vector>

#include "app/form1.h"
#include "frontend/presenter.h"
#include "fuzz/events.h"

namespace fuzz {

// What a front end hands the core for `e`: the event itself or, for a click on a
// picture, a press and a release of the mouse at its middle, wherever it stands now.
std::vector<Event> asDelivered(const app::Form1& form, const Event& e);
// Hands one of those to the core, as happening at `nowMs`. A reload is the session's
// to play (Session::reload): here it only asks the core what changed.
frontend::Outcome deliver(frontend::Presenter& core, const Event& e, double nowMs);

}  // namespace fuzz
