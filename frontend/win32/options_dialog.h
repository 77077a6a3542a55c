// The options dialog: beep, message duration, off title, always-on-top and zoom.
#pragma once
#include "front_end.h"

namespace tessel {

// Runs the dialog between an Uninstall and an Install, as the options are read when the
// hook is installed. A failed write is reported; the hook is installed again in any case.
void RunOptionsDialog(HWND buttonWindow, FrontEnd& app);

}  // namespace tessel
