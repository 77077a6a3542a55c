#include "options_dialog.h"

#include "tesshook32.h"

namespace tessel {

void RunOptionsDialog(HWND buttonWindow, FrontEnd& app) {
  Uninstall();
  MessageBoxA(buttonWindow, "The options dialog is not available yet.", "Tessel+ : Options",
              MB_OK);
  Install(static_cast<int>(reinterpret_cast<intptr_t>(buttonWindow)), app.SettingsFile());
}

}  // namespace tessel
