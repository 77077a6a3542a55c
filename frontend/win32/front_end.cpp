#include "front_end.h"

#include "form.h"
#include "frontend/startup.h"
#include "wide_text.h"

#include <optional>

namespace tessel {

void ShowErrorIfAny(HWND owner, const std::string& error) {
  if (!error.empty()) ui::ShowError(owner, error);
}

int32_t FrontValueOf(HWND window) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}

void ReleaseInstanceGuard(FrontEnd& app) {
  if (!app.instanceGuard) return;
  ReleaseMutex(app.instanceGuard);
  CloseHandle(app.instanceGuard);
  app.instanceGuard = nullptr;
}

int LibraryVersion() {
  using GetVersionFunction = int(WINAPI*)();
  HMODULE library = GetModuleHandleA("TESSHOOK32.DLL");
  FARPROC procedure = library ? GetProcAddress(library, "GetVersion") : nullptr;
  return procedure ? reinterpret_cast<GetVersionFunction>(reinterpret_cast<void*>(procedure))()
                   : 0;
}

namespace {

// CreateProcessA, not WinExec: WinExec waits up to 30 s for the new process to read its
// messages, which the windowless host never does once it holds the hook; the front end
// would hang meanwhile, while it may still hold the hook itself.
bool StartProgram(const std::string& commandLine, WORD show) {
  std::wstring line = Wide(commandLine);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

bool StartHiddenHost() {
  const std::optional<std::string> commandLine = HostCommandLine(Utf8(GetCommandLineW()));
  if (commandLine && StartProgram(*commandLine, SW_HIDE)) return true;
  MessageBoxW(nullptr, L"Could not go to hidden mode\r\nbecause could not start TESSHIDE32.EXE",
              L"Tessel+ : Problem", MB_OK);
  return false;
}

}  // namespace tessel
