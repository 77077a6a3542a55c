// prompt_probe.exe ZOOM SPECIFICATION ANSWER: runs the front end's prompt dialog on its own
// and prints "result=N" and "answer=[TEXT]" when it closes. "\n" stands for CR LF.
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
  if (argc < 4) return 2;
  std::string answer = WithLineBreaks(argv[3]);
  const int result = tessel::RunPrompt(nullptr, std::atoi(argv[1]), WithLineBreaks(argv[2]), answer);
  std::printf("result=%d\nanswer=[%s]\n", result, answer.c_str());
  return 0;
}
