// dialog_probe.exe shows a dialog of the product on its own; "\n" in its texts stands for a
// line break (CR LF).
//   info TEXT DURATION          the timed information window with the dialog resource of
//                               TESSHOOK32.DLL, as the hook shows it; prints "blocked_ms=N",
//                               the time the call blocked
//   prompt ZOOM SPEC ANSWER     the front end's prompt dialog; prints "result=N" and
//                               "answer=[TEXT]" when it closes
#include "common/text_encoding.h"
#include "info_window.h"
#include "prompt_dialog.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <shellapi.h>

namespace {

std::string WithLineBreaks(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (p[0] == '\\' && p[1] == 'n') {
      out += "\r\n";
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  // The arguments as UTF-8, as the product's texts are.
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(tessel::Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  char** argv = pointers.data();
  if (argc == 4 && std::strcmp(argv[1], "info") == 0) {
    HMODULE library = LoadLibraryA("TESSHOOK32.DLL");
    if (!library) return 3;
    const DWORD start = GetTickCount();
    tessel::ShowInformation(library, WithLineBreaks(argv[2]).c_str(), std::atoi(argv[3]));
    std::printf("blocked_ms=%lu\n", GetTickCount() - start);
    return 0;
  }
  if (argc == 5 && std::strcmp(argv[1], "prompt") == 0) {
    std::string answer = WithLineBreaks(argv[4]);
    const int result = tessel::RunPrompt(nullptr, std::atoi(argv[2]), WithLineBreaks(argv[3]), answer);
    std::printf("result=%d\nanswer=[%s]\n", result, answer.c_str());
    return 0;
  }
  std::printf("usage: dialog_probe.exe info TEXT DURATION | prompt ZOOM SPEC ANSWER\n");
  return 2;
}
