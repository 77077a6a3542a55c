// The button window: a small borderless window filled by one button that names the active
// map; the button opens the menu of maps and commands.
#pragma once
#include "front_end.h"

namespace tessel {

// Creates the button window (which installs the hook with its handle) and runs the user
// interface until it is closed.
int RunButtonWindow(FrontEnd& app);

}  // namespace tessel
