// settings_tool.exe COMMAND FILE [ARGS]: the settings-file layer in a process of its own,
// for the end-to-end tests of torn and failed writes. Output is one line "name=value".
//   write FILE COUNT    COUNT writes through the layer, the value of [Torn] Value alternating
//                       between a short and a long text: written=COUNT
//   watch FILE MS       reads the file's bytes as any other program would, again and again for
//                       MS ms, and counts the reads that do not end with the line "End=1":
//                       reads=N torn=M
//   time FILE COUNT     (a benchmark) the mean time of a section read, of a write through the
//                       layer and of the file system's replacement of the file alone:
//                       read_ms=.. write_ms=.. replace_ms=..
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32_settings_file.h"

namespace {

double NowMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Usage() {
  std::fprintf(stderr, "usage: settings_tool write FILE COUNT | watch FILE MS\n");
  return 2;
}

// The whole file as it is at one moment; false when it could not be opened (the writer
// holds it for the instant of its replacement).
bool ReadWhole(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return true;
}

bool Whole(const std::string& bytes) {
  const std::string end = "End=1\r\n";
  return bytes.size() >= end.size() && bytes.compare(bytes.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage();
  const std::string command = argv[1];
  const std::string file = argv[2];
  if (command == "write") {
    tessel::Win32SettingsFile settings(file);
    const int count = std::atoi(argv[3]);
    const std::string longValue(3000, 'x');
    for (int i = 0; i < count; ++i) settings.WriteString("Torn", "Value", i % 2 ? "short" : longValue);
    std::printf("written=%d\n", count);
    return 0;
  }
  if (command == "watch") {
    const std::wstring path = tessel::SettingsFilePath(file);
    const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(argv[3]));
    int reads = 0, torn = 0;
    std::string bytes;
    while (static_cast<int32_t>(GetTickCount() - end) < 0) {
      if (!ReadWhole(path, bytes)) continue;
      ++reads;
      if (!Whole(bytes)) ++torn;
    }
    std::printf("reads=%d torn=%d\n", reads, torn);
    return 0;
  }
  if (command == "time") {
    tessel::Win32SettingsFile settings(file);
    const int count = std::max(1, std::atoi(argv[3]));
    double start = NowMs();
    size_t entries = 0;
    for (int i = 0; i < count; ++i) entries += settings.ReadSection("MAPS").size();
    const double read = (NowMs() - start) / count;
    start = NowMs();
    for (int i = 0; i < count; ++i) settings.WriteInteger("TESSEL32", "Probe", i);
    const double write = (NowMs() - start) / count;
    std::string bytes;
    tessel::Win32SettingsFileSystem::Instance().ReadBytes(file, bytes);
    start = NowMs();
    for (int i = 0; i < count; ++i) tessel::Win32SettingsFileSystem::Instance().ReplaceBytes(file, bytes);
    const double replace = (NowMs() - start) / count;
    std::printf("read_ms=%.2f write_ms=%.2f replace_ms=%.2f (%zu bytes)\n", read, write, replace, bytes.size());
    return 0;
  }
  return Usage();
}
