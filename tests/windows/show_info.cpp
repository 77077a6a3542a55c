// show_info.exe TEXT DURATION: shows the timed information window with the dialog resource
// of TESSHOOK32.DLL, as the hook does, and prints the time the call blocked.
// "\n" in TEXT stands for a line break.
#include "info_window.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 3) return 2;
  std::string text;
  for (const char* p = argv[1]; *p; ++p) {
    if (p[0] == '\\' && p[1] == 'n') {
      text += "\r\n";
      ++p;
    } else {
      text += *p;
    }
  }
  HMODULE library = LoadLibraryA("TESSHOOK32.DLL");
  if (!library) return 3;
  const DWORD start = GetTickCount();
  tessel::ShowInformation(library, text.c_str(), std::atoi(argv[2]));
  std::printf("blocked_ms=%lu\n", GetTickCount() - start);
  return 0;
}
