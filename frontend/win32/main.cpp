// TESSEL32.EXE: checks the hook library's version, reads the command line and decides
// from the instance guard and the front value whether to refuse, take over from the
// hidden-mode host, start the host instead, or show the button window.
#include "button_window.h"
#include "common/command_line.h"
#include "common/win32/info_window.h"
#include "form.h"
#include "front_end.h"
#include "frontend/startup.h"
#include "frontend/version.h"
#include "frontend/hook_handover.h"
#include "help.h"
#include "hook_library_dll.h"
#include "wide_text.h"

namespace tessel {
namespace {

// Owned by the running front end until it has given the hook back (also while its options
// dialog or map editor has set the front value to 0). Names without a prefix live in the
// user's session.
constexpr const char* kGuardName = "TESSEL32FRONTEND";
// A front end that has just died still holds the guard for a moment; a start that finds no
// live front-end window waits this long for it.
constexpr DWORD kGuardWaitMs = 1000;
constexpr DWORD kPollMs = 20;

// Takes the guard into app.instanceGuard; false when another front end holds it.
class InstanceGuard {
 public:
  explicit InstanceGuard(FrontEnd& app)
      : app_(app), mutex_(CreateMutexA(nullptr, FALSE, kGuardName)) {}
  ~InstanceGuard() {
    ReleaseInstanceGuard(app_);
    if (mutex_) CloseHandle(mutex_);
  }
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  bool Acquire(DWORD milliseconds) {
    if (!mutex_) return true;  // no guard to be had: the front value alone decides
    const DWORD wait = WaitForSingleObject(mutex_, milliseconds);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
    app_.instanceGuard = mutex_;  // the front end owns it from here on
    mutex_ = nullptr;
    return true;
  }

 private:
  FrontEnd& app_;
  HANDLE mutex_;
};

void Inform(const char* text, int duration) {
  tessel::ShowInformation(GetModuleHandleA(nullptr), text, duration);
}

bool IsLiveWindow(int32_t front) {
  return front > 1 && IsWindow(reinterpret_cast<HWND>(static_cast<intptr_t>(front)));
}

// The steps of the sequences that run before the button window exists.
class StartSteps : public FrontEndSteps {
 public:
  bool RunMapEditor(std::string&) override { return false; }
  bool RunOptionsDialog() override { return false; }
  bool StartHiddenHost() override { return tessel::StartHiddenHost(); }
  void ShowError(const std::string& text) override { ui::ShowError(nullptr, text); }
  void Inform(const std::string& text, int32_t duration) override {
    tessel::ShowInformation(GetModuleHandleA(nullptr), text.c_str(), duration);
  }
  bool WaitFor(const std::function<bool()>& done, uint32_t milliseconds) override {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start >= milliseconds) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    return true;
  }
};

StartDecision Decide(InstanceGuard& guard, HookLibrary& hook) {
  bool held = guard.Acquire(0);
  if (!held && !IsLiveWindow(hook.GetFront())) held = guard.Acquire(kGuardWaitMs);
  const int32_t front = hook.GetFront();
  return DecideStart({held, front, IsLiveWindow(front)});
}

int Run() {
  if (!LibraryCompatible(LibraryVersion())) {
    Inform("Tessel+ cannot start !\r\n\r\nThe library \"TESSHOOK32.DLL\" is too different\r\n"
           "from the front end \"TESSEL32.EXE\".\r\nPlease install compatible versions!",
           -10000);
    return 1;
  }
  // The command line in UTF-16: a settings file in a folder of any script, a map of any name.
  const CommandLineOptions options = ParseCommandLine(Utf8(GetCommandLineW()));
  if (options.settingsFileCut) {
    // The cut name would name another file, which would then be written.
    MessageBoxW(nullptr,
                L"The settings file name after /I: is longer than 260 characters.\r\n"
                L"Tessel+ does not start.",
                L"Tessel+ : Cannot start", MB_OK | MB_ICONERROR);
    return 1;
  }
  HookLibraryDll library;
  FrontEnd app(library, options.settingsFile);
  app.startMap = options.mapName;

  InstanceGuard guard(app);
  StartSteps steps;
  switch (Decide(guard, library)) {
    case StartDecision::Refuse:
      Inform("Tessel+ is running", -1000);
      return 0;
    case StartDecision::Unhide:
      Unhide({library, steps, app.SettingsFile()}, app.settings);
      break;
    case StartDecision::ClearStale:
      // The hook of a front end that died went with it; Uninstall clears its window from
      // the front value and its hook from the store.
      library.Uninstall();
      [[fallthrough]];
    case StartDecision::Continue:
      if (app.settings.ReadInteger("TESSEL32", "ShowWindow", 1) == 0 && StartHiddenHost())
        return 0;
      break;
  }
  const int result = RunButtonWindow(app);
  CloseHelp();
  return result;
}

}  // namespace
}  // namespace tessel

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return tessel::Run();
  } catch (const std::exception& error) {
    tessel::ui::ShowError(nullptr, error.what());
    return 1;
  }
}
