// profile_differential.exe SECONDS [SEED]: writes generated settings files (blanks, quotes,
// duplicate keys and sections, comments, lines without "=", odd line ends, very long lines,
// Ctrl-Z, NUL bytes, characters of the ANSI code page; ANSI, UTF-8 and UTF-16LE files with
// their marks) and reads every section and key both through
// the private-profile functions and through the program's settings-file layer, until the
// time is up. Prints each difference (file, question, both answers) and exits with 1 when
// there was one, else 0.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "win32_profile.h"
#include "win32_settings_file.h"

namespace {

std::mt19937 random;

int Below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
template <typename T>
const T& Pick(const std::vector<T>& items) { return items[Below(static_cast<int>(items.size()))]; }

const std::vector<std::string> kNames = {"S", "s", "Maps", "MAPS", "k", "K", "key", "a b", "x",
                                         "\xE9t\xE9", "\xC9T\xC9", "30_N", ""};
const std::vector<std::string> kBlanks = {"", "", " ", "  ", "\t", " \t ", "\x1a"};
const std::vector<std::string> kLineEnds = {"\r\n", "\r\n", "\n", "\r", "\r\n\r\n"};

std::string Blank() { return Pick(kBlanks); }

std::string Value() {
  switch (Below(9)) {
    case 0: return "";
    case 1: return "\"" + Pick(kNames) + "\"";
    case 2: return "'" + Pick(kNames) + "'";
    case 3: return "\"" + Pick(kNames);
    case 4: return Pick(kNames) + "=" + Pick(kNames);
    case 5: return std::string(1000 + Below(1200), 'v');
    case 6: return "\"" + std::string(1020 + Below(6), 'q') + "\"";
    case 7: return "caf\xE9 \x80" + Pick(kNames);
    default: return Pick(kNames) + Blank() + Pick(kNames);
  }
}

std::string Line() {
  switch (Below(12)) {
    case 0: return "[" + Blank() + Pick(kNames) + Blank() + "]" + (Below(4) == 0 ? " tail" : "");
    case 1: return "[" + Pick(kNames);  // no closing bracket
    case 2: return ";" + Pick(kNames) + "=" + Value();
    case 3: return Pick(kNames) + Blank();  // no "="
    case 4: return "";
    case 5: return "=" + Value();
    case 6: return std::string(3000 + Below(3000), 'L');
    case 7: return Pick(kNames) + "=a" + std::string(1, '\0') + "b";
    default: return Blank() + Pick(kNames) + Blank() + "=" + Blank() + Value() + Blank();
  }
}

std::string File() {
  std::string text;
  const int lines = 1 + Below(40);
  for (int i = 0; i < lines; ++i) {
    if (Below(3) == 0) text += "[" + Pick(kNames) + "]" + Pick(kLineEnds);
    text += Line() + Pick(kLineEnds);
  }
  return text;
}

std::string Shown(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte >= 127) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      shown += escape;
    } else {
      shown += c;
    }
  }
  return shown.size() > 120 ? shown.substr(0, 120) + "...(" + std::to_string(shown.size()) + ")" : shown;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += "[" + item + "]";
  return text;
}

std::string Joined(const std::vector<tessel::ProfileEntry>& entries) {
  std::string text;
  for (const tessel::ProfileEntry& entry : entries) text += "[" + entry.key + "=" + entry.value + "]";
  return text;
}

int differences = 0;

// The layer answers in UTF-8, the profile functions in the ANSI code page.
void Compare(const std::string& file, const std::string& question, const std::string& system,
             const std::string& layer) {
  const std::string layerAnsi = [&] {
    std::string ansi;
    tessel::Utf8ToAnsi(layer, ansi);
    return ansi;
  }();
  if (system == layerAnsi) return;
  if (++differences > 20) return;
  std::printf("DIFFERENT %s\n  file:   %s\n  system: %s\n  layer:  %s\n", question.c_str(),
              Shown(file).c_str(), Shown(system).c_str(), Shown(layerAnsi).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
  random.seed(argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : GetTickCount());

  char folder[MAX_PATH + 1] = "";
  GetTempPathA(sizeof folder, folder);
  const std::string path = std::string(folder) + "tessel_differential.ini";
  const std::string utf8Path = tessel::AnsiToUtf8(path);

  const DWORD start = GetTickCount();
  int files = 0;
  while (GetTickCount() - start < seconds * 1000) {
    const std::string text = File();
    // Also saved as UTF-8 and UTF-16LE with their marks, which both readers know.
    std::string bytes = text;
    const int kind = Below(4);
    if (kind == 1) bytes = "\xEF\xBB\xBF" + tessel::AnsiToUtf8(text);
    if (kind == 2) tessel::EncodeFile(tessel::AnsiToUtf8(text), tessel::FileEncoding::Utf16Le, bytes);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    ++files;
    tessel::Win32Profile system(path);
    tessel::Win32SettingsFile layer(utf8Path);
    for (const std::string& section : kNames) {
      const std::string utf8Section = tessel::AnsiToUtf8(section);
      const std::string where = "[" + Shown(section) + "]";
      Compare(text, "keys of " + where, Joined(system.ReadKeys(section)),
              Joined(layer.ReadKeys(utf8Section)));
      Compare(text, "section " + where, Joined(system.ReadSection(section)),
              Joined(layer.ReadSection(utf8Section)));
      for (const std::string& key : kNames) {
        Compare(text, where + " " + Shown(key), system.ReadString(section, key, "-"),
                layer.ReadString(utf8Section, tessel::AnsiToUtf8(key), "-"));
      }
    }
  }
  DeleteFileA(path.c_str());
  std::printf("files=%d differences=%d\n", files, differences);
  return differences == 0 ? 0 : 1;
}
