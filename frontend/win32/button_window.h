// The button window (class "TMain"): a small borderless window filled by one button that
// names the active map; the button, a right-click, the context-menu key and Shift+F10 open
// the menu of maps and commands.
#pragma once
#include "front_end.h"

#include <string>

namespace tessel {

// Creates the button window (which installs the hook with its handle) and runs the user
// interface until it is closed.
int RunButtonWindow(FrontEnd& app);

// Operations of the running button window that its dialogs use.
std::string OffTitle(HWND buttonWindow);
void SetOffTitle(HWND buttonWindow, const std::string& title);
// Shows the selected map's name, or the off title, on the button and as the caption.
void UpdateDisplay(HWND buttonWindow);
void SetAlwaysOnTop(HWND buttonWindow, bool onTop);

}  // namespace tessel
