#include "front_end.h"

#include "form.h"
#include "frontend/startup.h"
#include "tesshook32.h"

#include <optional>

namespace tessel {

void InstallHook(HWND window, const FrontEnd& app) {
  // Window handles fit 32 bits on Win64 as well; the store keeps them as 32-bit values.
  Install(static_cast<int>(reinterpret_cast<intptr_t>(window)), app.SettingsFile());
  const char* error = GetLastErrorText();
  if (error && *error) ui::ShowError(window, error);
}

int LibraryVersion() {
  using GetVersionFunction = int(WINAPI*)();
  HMODULE library = GetModuleHandleA("TESSHOOK32.DLL");
  FARPROC procedure = library ? GetProcAddress(library, "GetVersion") : nullptr;
  return procedure ? reinterpret_cast<GetVersionFunction>(reinterpret_cast<void*>(procedure))()
                   : 0;
}

bool StartHiddenHost() {
  const std::optional<std::string> commandLine = HostCommandLine(GetCommandLineA());
  if (commandLine && WinExec(commandLine->c_str(), SW_HIDE) > 31) return true;
  MessageBoxA(nullptr, "Could not go to hidden mode\r\nbecause could not start TESSHIDE32.EXE",
              "Tessel+ : Problem", MB_OK);
  return false;
}

}  // namespace tessel
