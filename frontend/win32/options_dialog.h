// The options dialog (class "TSettings"): beep, message duration, off title,
// always-on-top and zoom.
#pragma once
#include "front_end.h"

namespace tessel {

// Runs the dialog over the button window and, on "Set", stores and applies the options; a
// failed write is reported. The caller releases the hook before and takes it again after
// (RunOptions), as the options are read when the hook is installed. False when the button
// window was closed meanwhile.
bool RunOptionsDialog(HWND buttonWindow, FrontEnd& app);

}  // namespace tessel
