// tesselstore.exe [--header]: prints the shared map store as the hook sees it, read-only,
// from outside the processes that use it. One field or entry per line:
//   Front=0 ... HookHandle=0      header fields, then MappedSize and SettingsPath
//   map 1 GREEK                   each map index with its name
//     30_N alpha                  its entries: key descriptor, blank, text
//   SkippedEntries=0              entries of the settings file the loader could not store
// Texts escape backslash as \\ and other bytes outside 0x20..0x7E as \xNN.
// The block is copied with the store's mutex held and printed afterwards, so that a slow
// or paused output never holds up the hook. When the mutex stays busy the copy is taken
// without it, printed all the same, and the tool says so on stderr.
// Exit codes: 0 printed, 1 usage, 2 no store, 3 printed without the mutex (it stayed busy).
#include "common/keys.h"
#include "common/win32/win32_settings_file.h"
#include "hooklib/loader.h"
#include "hooklib/store_layout.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tessel;
using namespace tessel::store;

constexpr DWORD kMutexWaitMs = 10000;

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<uint8_t>(ch);
    if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      out += ch;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string Descriptor(uint8_t keyByte, uint8_t stateByte) {
  if ((stateByte & 0xF8) != kStateByteMark) {
    char raw[32];
    std::snprintf(raw, sizeof raw, "?%02X/%02X", keyByte, stateByte);
    return raw;
  }
  return FormatKeyDescriptor(static_cast<uint8_t>(keyByte - 1), stateByte);
}

struct Mapped {
  HANDLE mapping = nullptr;
  void* view = nullptr;
  ~Mapped() {
    if (view) UnmapViewOfFile(view);
    if (mapping) CloseHandle(mapping);
  }
};

// Holds the store's mutex while the block is read; an abandoned mutex counts as taken.
class Lock {
 public:
  Lock() : mutex_(OpenMutexA(SYNCHRONIZE, FALSE, kMutexName)) {
    if (mutex_) {
      const DWORD wait = WaitForSingleObject(mutex_, kMutexWaitMs);
      held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
  }
  ~Lock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  bool Busy() const { return mutex_ && !held_; }

 private:
  HANDLE mutex_;
  bool held_ = false;
};

void PrintHeader(const StoreView& view, uint32_t mappedSize) {
  struct Field {
    const char* name;
    store::Field field;
  };
  static const Field kFields[] = {
      {"Front", kFront},           {"BlockSize", kBlockSize},
      {"NeededSize", kNeededSize}, {"DataEnd", kDataEnd},
      {"PathOffset", kPathOffset}, {"TextTableOffset", kTextTableOffset},
      {"NameTableOffset", kNameTableOffset}, {"LoadedCount", kLoadedCount},
      {"SelectedMap", kSelectedMap},
  };
  for (const Field& f : kFields) std::printf("%s=%d\n", f.name, static_cast<int>(view.Get(f.field)));
  std::printf("Playing=%u\n", static_cast<unsigned>(view.Playing()));
  std::printf("LoadGeneration=%u\n", static_cast<unsigned>(view.LoadGeneration()));
  std::printf("MessageTime=%d\n", static_cast<int>(view.Get(kMessageTime)));
  std::printf("HookHandle=%d\n", static_cast<int>(view.Get(kHookHandle)));
  std::printf("MappedSize=%u\n", static_cast<unsigned>(mappedSize));
  std::printf("SettingsPath=%s\n", Escaped(view.SettingsPath()).c_str());
}

void PrintMaps(const StoreView& view) {
  const int32_t n = view.LoadedCount();
  for (int32_t i = 0; i <= n; ++i) {
    std::printf("map %d %s\n", static_cast<int>(i), Escaped(view.MapName(i)).c_str());
    const Bytes text = view.MapText(i);
    MapEntry entry;
    for (const uint8_t* cursor = text.begin; NextEntry(text, cursor, entry);) {
      const std::string_view body(reinterpret_cast<const char*>(entry.text.begin), entry.text.size());
      std::printf("  %s %s\n", Descriptor(entry.keyByte, entry.stateByte).c_str(),
                  Escaped(body).c_str());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  bool headerOnly = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--header") == 0) {
      headerOnly = true;
    } else {
      std::fprintf(stderr, "usage: tesselstore [--header]\n");
      return 1;
    }
  }

  Mapped mapped;
  mapped.mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kMappingName);
  if (mapped.mapping) mapped.view = MapViewOfFile(mapped.mapping, FILE_MAP_READ, 0, 0, 0);
  if (!mapped.view) {
    std::fprintf(stderr, "no store: %s is not there (error %lu)\n", kMappingName,
                 static_cast<unsigned long>(GetLastError()));
    return 2;
  }
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(mapped.view, &info, sizeof info);
  const uint32_t size = info.RegionSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(info.RegionSize);
  // Read-only pages: nothing below writes through this view.
  const StoreView view(static_cast<uint8_t*>(mapped.view), size);
  if (!view.Present()) {
    std::fprintf(stderr, "no store: the mapping holds only %u bytes\n", static_cast<unsigned>(size));
    return 2;
  }

  std::vector<uint8_t> copy;
  bool busy = false;
  {
    const Lock lock;
    busy = lock.Busy();
    const auto* bytes = static_cast<const uint8_t*>(mapped.view);
    copy.assign(bytes, bytes + size);
  }
  if (busy) {
    std::fprintf(stderr, "the store's mutex stayed busy for %lu ms: printed without it\n",
                 static_cast<unsigned long>(kMutexWaitMs));
  }
  const StoreView snapshot(copy.data(), size);
  PrintHeader(snapshot, size);
  if (!headerOnly) PrintMaps(snapshot);
  const std::string path(snapshot.SettingsPath());
  const bool loaded = snapshot.Get(kPathOffset) != 0;
  std::fflush(stdout);

  if (!headerOnly) {
    // Recomputed from the settings file as it is now; the loader counted the same way.
    if (loaded && !path.empty()) {
      try {
        Win32SettingsFile profile(path);
        std::printf("SkippedEntries=%d\n", static_cast<int>(CompileMaps(profile).skippedEntries));
      } catch (const std::exception& error) {
        std::printf("SkippedEntries=?\n");
        std::fprintf(stderr, "%s\n", error.what());
      }
    } else {
      std::printf("SkippedEntries=?\n");
    }
  }
  return busy ? 3 : 0;
}
