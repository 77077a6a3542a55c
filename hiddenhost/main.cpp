// TESSHIDE32.EXE: keeps the keyboard hook installed without any window, and gives it back
// when a front end claims it.
#include "common/command_line.h"
#include "common/text_encoding.h"
#include "common/win32/wide_text.h"
#include "tesshook32.h"

#include <cstdlib>
#include <string>

namespace {

constexpr int kHiddenFront = -1;
constexpr DWORD kPollMilliseconds = 500;

bool uninstalled = false;

// Runs at every process end; after the normal end it has nothing left to do, so the
// selection saved by the final Uninstall survives the hand-over.
void UninstallAtExit() {
  if (!uninstalled) Uninstall();
}

void Leave() {
  Uninstall();
  uninstalled = true;
  SetFront(0);
}

// Serves every message of this thread until the deadline. While the host holds the hook,
// the system calls it for applications of the other word size (32-bit ones under the
// 64-bit build and the other way round) through messages sent to this thread, and the
// player's timer of a text started by such a call ticks through this loop.
void PumpUntil(DWORD deadline) {
  MSG message;
  for (;;) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const auto left = static_cast<LONG>(deadline - GetTickCount());
    if (left <= 0) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

// A front end still holds the hook: keep the message queue drained until it leaves.
void WaitForFrontEndToLeave() {
  MSG message;
  while (GetFront() > 0) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    // Wake for messages at once, but do not spin a whole core while the front end runs.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}


}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The command line in UTF-16, so that a settings file in a folder of any script is found.
  const tessel::CommandLineOptions options = tessel::ParseCommandLine(
      tessel::Utf8(GetCommandLineW()));
  // A settings-file name cut to its buffer names another file, which Uninstall would then
  // write: such a host ends at once, touching nothing.
  if (options.settingsFileCut) return 0;
  if (GetFront() == kHiddenFront) return 0;  // another host holds the hook
  WaitForFrontEndToLeave();

  InstallW(kHiddenFront, tessel::Wide(options.settingsFile).c_str());
  std::atexit(UninstallAtExit);

  if (!options.mapName.empty()) {
    // Map names are at most 15 characters.
    SelectMap(IndexByMapW(tessel::Wide(tessel::Utf8Prefix(options.mapName, 15)).c_str()));
  }

  do {
    PumpUntil(GetTickCount() + kPollMilliseconds);
  } while (GetFront() < 0);

  Leave();
  return 0;
}
