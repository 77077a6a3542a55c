// The compiled HTML help file beside the program, shown by the HTML Help viewer
// (hhctrl.ocx), which is loaded when help is first asked for.
#pragma once
#include "front_end.h"

#include <string>

namespace tessel {

enum class HelpTopic { Contents, ReplacementText };

// The program's own path with its last three characters replaced by "chm".
std::string HelpFilePath();

// Opens the help file at its contents or at the replacement-text language page (context
// 1); a missing file or viewer is reported in a message box.
void OpenHelp(HWND owner, const FrontEnd& app, HelpTopic topic);

// Closes the help windows this process opened, if any.
void CloseHelp();

}  // namespace tessel
