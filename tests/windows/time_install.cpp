// time_install.exe [ENTRIES...]: times Install of generated settings files, which the
// library reads through its settings-file layer, beside the private-profile functions'
// reads of the same file (not a test; prints figures). For each entry count (default
// 1000, 10000, 20000 and 50000) it writes C:\tessel\time_N.ini with maps of at most 500 entries
// and prints:
//   install_ms      Install (load + hook), best of the runs, Uninstall between runs
//   compile_ms      the loader's reads and compilation alone (CompileMaps over the file)
//   read_first_us   one GetPrivateProfileStringA of the first key of the first map
//   read_last_us    one GetPrivateProfileStringA of the last key of the last map
//   keys_ms         reading every key list once (GetPrivateProfileStringA with a null key)
//   write_ms        one WritePrivateProfileStringA (the file is written whole)
//   reparse_ms      the first read after that write (the file is parsed again)
//   write_compile_ms  a write followed by CompileMaps, as in Install after Uninstall
//   compile_again_ms  CompileMaps once more right after that
#include "tesshook32.h"
#include "win32_settings_file.h"
#include "hooklib/loader.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kEntriesPerMap = 500;

LARGE_INTEGER frequency;

double NowMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string MapName(int index) { return "MAP" + std::to_string(index); }

// Key descriptors 1_N, 1_S, ..., 1_CAS, 2_N, ...: 8 states per key code.
std::string KeyOf(int entry) {
  static const char* const kCodes[8] = {"N", "S", "C", "CS", "A", "AS", "CA", "CAS"};
  return std::to_string(1 + entry / 8) + "_" + kCodes[entry % 8];
}

long WriteSettings(const std::string& path, int entries) {
  std::string text = "[TESSEL32]\r\nAllocate=4096\r\n[MAPS]\r\n";
  const int maps = (entries + kEntriesPerMap - 1) / kEntriesPerMap;
  for (int m = 1; m <= maps; ++m) text += MapName(m) + "=\r\n";
  for (int m = 1; m <= maps; ++m) {
    text += "[" + MapName(m) + "]\r\n";
    const int count = std::min(kEntriesPerMap, entries - (m - 1) * kEntriesPerMap);
    for (int e = 0; e < count; ++e)
      text += KeyOf(e) + "=entry\\s" + std::to_string(m) + "/" + std::to_string(e) + "{ENTER}\r\n";
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return -1;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  return static_cast<long>(text.size());
}

double ReadOnceUs(const std::string& section, const std::string& key, const std::string& path) {
  char buffer[1024];
  const double start = NowMs();
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, path.c_str());
  return 1000.0 * (NowMs() - start);
}

void Measure(int entries) {
  const std::string path = "C:\\tessel\\time_" + std::to_string(entries) + ".ini";
  const long bytes = WriteSettings(path, entries);
  const int maps = (entries + kEntriesPerMap - 1) / kEntriesPerMap;
  const int runs = entries > 5000 ? 2 : 5;

  double install = 1e30;
  for (int run = 0; run < runs; ++run) {
    const double start = NowMs();
    Install(2, path.c_str());
    install = std::min(install, NowMs() - start);
    if (*GetLastErrorText()) std::printf("error: %s\n", GetLastErrorText());
    Uninstall();
  }
  const int loaded = GetLoaded();

  tessel::Win32SettingsFile profile(path);
  double start = NowMs();
  const tessel::CompiledMaps compiled = tessel::CompileMaps(profile);
  const double compile = NowMs() - start;

  start = NowMs();
  std::vector<char> list(8192);
  for (int m = 0; m <= maps; ++m) {
    const std::string section = m == 0 ? "MAPS" : MapName(m);
    GetPrivateProfileStringA(section.c_str(), nullptr, "", list.data(), 8192, path.c_str());
  }
  const double keys = NowMs() - start;

  // A write changes the file's time stamp, so the next read parses the file again.
  start = NowMs();
  WritePrivateProfileStringA("TESSEL32", "Probe", "1", path.c_str());
  const double write = NowMs() - start;
  start = NowMs();
  ReadOnceUs("MAPS", "MAP1", path);
  const double reparse = NowMs() - start;
  start = NowMs();
  WritePrivateProfileStringA("TESSEL32", "Probe", "2", path.c_str());
  tessel::CompileMaps(profile);
  const double compileAfterWrite = NowMs() - start;
  start = NowMs();
  tessel::CompileMaps(profile);
  const double compileAgain = NowMs() - start;

  const int lastCount = entries - (maps - 1) * kEntriesPerMap;
  const double first = ReadOnceUs(MapName(1), KeyOf(0), path);
  const double last = ReadOnceUs(MapName(maps), KeyOf(lastCount - 1), path);

  std::printf(
      "entries=%d maps=%d file_bytes=%ld loaded=%d needed=%d install_ms=%.1f compile_ms=%.1f "
      "per_entry_us=%.1f keys_ms=%.2f read_first_us=%.1f read_last_us=%.1f write_ms=%.1f "
      "reparse_ms=%.1f write_compile_ms=%.1f compile_again_ms=%.1f\n",
      entries, maps, bytes, loaded, static_cast<int>(compiled.neededSize), install, compile,
      1000.0 * compile / entries, keys, first, last, write, reparse, compileAfterWrite,
      compileAgain);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  QueryPerformanceFrequency(&frequency);
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1000, 10000, 20000, 50000};
  for (int count : counts) Measure(count);
  return 0;
}
