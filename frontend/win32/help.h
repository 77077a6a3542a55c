// The compiled HTML help file beside the program.
#pragma once
#include "front_end.h"

namespace tessel {

enum class HelpTopic { Contents, ReplacementText };

// Opens the help file at its contents or at the replacement-text language page; a missing
// file or viewer is reported in a message box.
void OpenHelp(HWND owner, const FrontEnd& app, HelpTopic topic);

}  // namespace tessel
