// dialog_probe.exe: runs one of the front end's dialogs on its own and prints what it
// returned when it closes. "\n" in the texts stands for CR LF.
//   dialog_probe.exe prompt ZOOM SPECIFICATION ANSWER   "result=N" and "answer=[TEXT]"
//   dialog_probe.exe import | export                    "chosen=[PATH]" or "cancelled"
#include "map_file_dialogs.h"
#include "prompt_dialog.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "prompt" && argc >= 5) {
    std::string answer = WithLineBreaks(argv[4]);
    const int result = tessel::RunPrompt(nullptr, std::atoi(argv[2]), WithLineBreaks(argv[3]), answer);
    std::printf("result=%d\nanswer=[%s]\n", result, answer.c_str());
    return 0;
  }
  if (command == "import" || command == "export") {
    std::string path;
    const bool chosen = command == "import" ? tessel::ChooseFileToImport(nullptr, path)
                                            : tessel::ChooseFileToExport(nullptr, path);
    if (chosen) {
      std::printf("chosen=[%s]\n", path.c_str());
    } else {
      std::printf("cancelled\n");
    }
    return 0;
  }
  return 2;
}
