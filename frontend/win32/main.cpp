// TESSEL32.EXE: checks the hook library's version, reads the command line and decides
// from the front value whether to refuse, take over from the hidden-mode host or show the
// button window.
#include "button_window.h"
#include "common/command_line.h"
#include "common/win32/info_window.h"
#include "front_end.h"
#include "frontend/version.h"
#include "tesshook32.h"

namespace {

// The library's own number, reached by name: kernel32 has a GetVersion of its own.
int LibraryVersion() {
  using GetVersionFunction = int(WINAPI*)();
  HMODULE library = GetModuleHandleA("TESSHOOK32.DLL");
  auto getVersion =
      library ? reinterpret_cast<GetVersionFunction>(
                    reinterpret_cast<void*>(GetProcAddress(library, "GetVersion")))
              : nullptr;
  return getVersion ? getVersion() : 0;
}

void Inform(const char* text, int duration) {
  tessel::ShowInformation(GetModuleHandleA(nullptr), text, duration);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!tessel::LibraryCompatible(LibraryVersion())) {
    Inform("Tessel+ cannot start !\r\n\r\nThe library \"TESSHOOK32.DLL\" is too different\r\n"
           "from the front end \"TESSEL32.EXE\".\r\nPlease install compatible versions!",
           -10000);
    return 1;
  }
  const tessel::CommandLineOptions options = tessel::ParseCommandLine(GetCommandLineA());
  tessel::FrontEnd app(options.settingsFile);
  app.startMap = options.mapName;

  if (GetFront() > 0) {
    Inform("Tessel+ is running", -1000);
    return 0;
  }
  return tessel::RunButtonWindow(app);
}
