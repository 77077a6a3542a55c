// What every window of the front end shares: the settings file named on the command line
// (also the file every Install names), the hook library, the zoom of the dialogs and the
// help file.
#pragma once
#include "frontend/hook_library.h"
#include "win32_settings_file.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace tessel {

struct FrontEnd {
  FrontEnd(HookLibrary& library, std::string settingsFile)
      : settings(std::move(settingsFile)), hook(library) {}
  const std::string& SettingsFile() const { return settings.FileName(); }

  Win32SettingsFile settings;
  HookLibrary& hook;
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

// The standard error box, when there is an error to show.
void ShowErrorIfAny(HWND owner, const std::string& error);

// Window handles fit 32 bits on Win64 as well; the store keeps them as 32-bit values.
int32_t FrontValueOf(HWND window);

// GetVersion of TESSHOOK32.DLL, reached by name (kernel32 has a GetVersion of its own);
// 0 when the library has none.
int LibraryVersion();

// Starts TESSHIDE32.EXE with this program's own command line (program name exchanged).
// On failure shows "Tessel+ : Problem" and returns false.
bool StartHiddenHost();

}  // namespace tessel
