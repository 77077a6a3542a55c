// What every window of the front end shares: the settings file named on the command line
// (also the file every Install names), the zoom of the dialogs and the help file; and the
// hook library calls that every window makes the same way.
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
  // The per-session guard every running front end owns (a mutex), released as soon as the
  // hook has been given back; null when not held.
  HANDLE instanceGuard = nullptr;
};

// Releases app.instanceGuard, if held; a front end started now may go ahead.
void ReleaseInstanceGuard(FrontEnd& app);

// Install with window's handle as the front value. A failure the library reports (its
// GetLastErrorText) is shown in the standard error box instead of running without a hook.
void InstallHook(HWND window, const FrontEnd& app);

// GetVersion of TESSHOOK32.DLL, reached by name (kernel32 has a GetVersion of its own);
// 0 when the library has none.
int LibraryVersion();

// Starts TESSHIDE32.EXE with this program's own command line (program name exchanged).
// On failure shows "Tessel+ : Problem" and returns false.
bool StartHiddenHost();

}  // namespace tessel
