// What every window of the front end shares: the settings file named on the command line
// (also the file every Install names), the zoom of the dialogs and the help file.
#pragma once
#include "win32_profile.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace tessel {

struct FrontEnd {
  explicit FrontEnd(std::string settingsFile) : settings(std::move(settingsFile)) {}
  const char* SettingsFile() const { return settings.FileName().c_str(); }

  Win32Profile settings;
  uint16_t zoom = 100;    // percent; scales dialogs when they are created
  std::string helpFile;   // the program's path with the extension "chm"
  std::string startMap;   // "/M:" value, used once when the button window is created
  HWND buttonWindow = nullptr;
};

}  // namespace tessel
