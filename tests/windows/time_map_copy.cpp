// time_map_copy.exe [KEYS]: cost under Wine of the map commands' file work on a map of KEYS
// keys (default 2000) through the real private-profile functions: Copy, Rename and Export
// as the front end does them, and for comparison a copy written key by key.
#include "frontend/map_management.h"
#include "win32_profile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Milliseconds(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1e3 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

template <typename Work>
void Time(const char* name, Work work) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  work();
  std::printf("%-28s %9.1f ms\n", name, Milliseconds(start));
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  const int keys = argc > 1 ? std::atoi(argv[1]) : 2000;
  char folder[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, folder);
  const std::string base = std::string(folder) + "\\";
  DeleteFileA((base + "time_copy.ini").c_str());
  DeleteFileA((base + "time_copy.key").c_str());

  std::string text = "[TESSEL32]\r\nZoom=100\r\n[MAPS]\r\nBig=\r\n[Big]\r\n";
  for (int i = 0; i < keys; ++i) text += std::to_string(i % 128) + "_" + std::to_string(i) + "=value\\s" + std::to_string(i) + "\r\n";
  HANDLE file = CreateFileA((base + "time_copy.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);

  tessel::Win32Profile settings(base + "time_copy.ini");
  tessel::Win32Profile mapFile(base + "time_copy.key");
  std::printf("map of %d keys, settings file of %zu bytes\n", keys, text.size());
  Time("Copy (into a new map)", [&] { tessel::CopyMap(settings, "Big", settings, "Copy"); });
  Time("Copy (merging, same keys)", [&] { tessel::CopyMap(settings, "Big", settings, "Copy"); });
  Time("Rename", [&] { tessel::RenameMap(settings, "Copy", "Renamed"); });
  Time("Export (new file)", [&] {
    tessel::CopyMap(settings, "Big", mapFile, "Big");
    mapFile.WriteString("MAPS", "Big", "");
  });
  Time("Import (merging)", [&] { tessel::CopyMap(mapFile, "Big", settings, "Renamed"); });
  Time("Delete", [&] { tessel::DeleteMap(settings, "Renamed"); });
  Time("key by key (for comparison)", [&] {
    settings.WriteString("MAPS", "Slow", "");
    for (const tessel::ProfileEntry& entry : settings.ReadSection("Big"))
      settings.WriteString("Slow", entry.key, entry.value);
  });
  return 0;
}
