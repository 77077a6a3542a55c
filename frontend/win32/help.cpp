#include "help.h"

namespace tessel {

void OpenHelp(HWND owner, const FrontEnd&, HelpTopic) {
  MessageBoxA(owner, "The help file is not available yet.", "Tessel+ : Help", MB_OK);
}

}  // namespace tessel
