// The exports of TESSHOOK32.DLL. Each one checks for this process's view of the store,
// holds the store's mutex for its work and lets no exception out: the callers are plain
// stdcall clients and, through the hook, foreign processes.
#include "tesshook32.h"

#include "common/keys.h"
#include "hooklib/loader.h"
#include "library_state.h"
#include "program_watch.h"
#include "store_mapping.h"
#include "common/text_encoding.h"
#include "win32_settings_file.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>
#include <string>

namespace tessel {
namespace {

constexpr const char* kSettingsSection = "TESSEL32";

template <typename Result, typename Body>
Result Guarded(Result fallback, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

template <typename Body>
void Guarded(Body body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

bool HaveStore() { return Library().view.Present(); }

// The boxes wait for the user: they are shown after the mutex is released, so that no
// other process's keystrokes or exports wait for them.
void ShowAllocationFailure() {
  MessageBoxA(nullptr, "Something is wrong, it may be necessary to\r\nrestart Tessel+ or Windows",
              "Tessel+ : Could not allocate memory", MB_OK);
}

void ShowMapsTooLarge() {
  MessageBoxA(nullptr,
              "The allocated memory is too small for the maps.\r\n"
              "Please restart Tessel that it can allocate more memory.",
              "Tessel+ : Cannot load the maps", MB_OK);
}

// Creates the store, or maps the one that another process created meanwhile (then its
// content and BlockSize stay as they are). False, with no view, when that fails.
bool CreateStore(Profile& profile) {
  LibraryState& lib = Library();
  int32_t blockSize = 0;
  if (!store::BlockSizeFor(profile.ReadInteger(kSettingsSection, "Allocate", 16), blockSize))
    return false;
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(blockSize), store::kMappingName);
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!mapping) return false;
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  const uint32_t mapped = view ? MappedViewSize(view) : 0;
  if (!view || mapped < store::kHeaderSize) {
    if (view) UnmapViewOfFile(view);
    CloseHandle(mapping);
    return false;
  }
  lib.mapping = mapping;
  lib.view = store::StoreView(static_cast<uint8_t*>(view), mapped);
  // The pages of a new paging-file mapping are zero already; only BlockSize is written.
  if (!existed) lib.view.Set(store::kBlockSize, blockSize);
  return true;
}

// HookHandle holds the handle as a 32-bit value: window-manager handles fit 32 bits on
// Win64 as well and are sign-extended back.
HHOOK StoredHook(int32_t value) {
  return reinterpret_cast<HHOOK>(static_cast<intptr_t>(value));
}

class Win32ClientPlatform : public ClientPlatform {
 public:
  uint32_t CurrentThread() override { return GetCurrentThreadId(); }
  OwnerProbe ProbeOwner() override {
    HANDLE mutex = Library().ownerMutex;
    if (!mutex) return OwnerProbe::Busy;
    switch (WaitForSingleObject(mutex, 0)) {
      case WAIT_OBJECT_0: return OwnerProbe::Taken;
      case WAIT_ABANDONED: return OwnerProbe::Abandoned;
      default: return OwnerProbe::Busy;
    }
  }
  void ReleaseOwner() override {
    if (HANDLE mutex = Library().ownerMutex) ReleaseMutex(mutex);
  }
  int32_t SetHook(uint32_t& systemError) override {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, KeyBoardHook, Library().module, 0);
    if (!hook) {
      systemError = GetLastError();
      return 0;
    }
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(hook));
  }
  void Unhook(int32_t hook) override { UnhookWindowsHookEx(StoredHook(hook)); }
  uint32_t CurrentProcess() override { return GetCurrentProcessId(); }
  Program ProgramInFront() override { return ProgramOfWindow(GetForegroundWindow()); }
  void WatchForeground(bool on) override { tessel::WatchForeground(on); }
  bool WriteSelected(const std::string& path, int32_t selected) override {
    try {
      Win32SettingsFile(path).WriteInteger(kSettingsSection, "Selected", selected);
      return true;
    } catch (const ProfileWriteError&) {
      return false;
    }
  }
};

// A process whose mutex could not be had at load time tries once more; without it the
// process stays one without a store.
bool HaveMutex() {
  LibraryState& lib = Library();
  if (!lib.mutex) {
    lib.mutex = CreateMutexA(nullptr, FALSE, store::kMutexName);
    if (!lib.mutex) lib.mutexError = GetLastError();
  }
  return lib.mutex != nullptr;
}

enum class Box { None, NoMemory, MapsTooLarge };

// iniFile: the settings file's path in UTF-8.
Box InstallWithLock(int front, const std::string& iniFile) {
  LibraryState& lib = Library();
  if (!HaveMutex()) {
    lib.lastError = NoMutexError(lib.mutexError);
    return Box::None;
  }
  StoreLock lock;
  Win32SettingsFile profile(iniFile);
  if (!HaveStore() && !CreateStore(profile)) {
    lib.lastError = kErrorNoMemory;
    return Box::NoMemory;
  }
  Win32ClientPlatform platform;
  const InstallResult result = InstallLocked(lib.view, lib.client, platform, profile, front);
  if (result.loaded) lib.deadKey = DeadKeyState{};
  lib.lastError = result.error;
  if (!result.mapsTooLarge || lib.tooSmallShown) return Box::None;
  lib.tooSmallShown = true;
  return Box::MapsTooLarge;
}

}  // namespace
}  // namespace tessel

using namespace tessel;

TESSHOOK_API int WINAPI TesselGetVersion() { return kTesselVersion; }

namespace tessel {
namespace {

void InstallUtf8(int front, const std::string& iniFile) {
  LibraryState& lib = Library();
  Guarded([&] { lib.lastError.clear(); });
  Box box = Box::None;
  try {
    box = InstallWithLock(front, iniFile);
  } catch (const std::exception& error) {
    Guarded([&] { lib.lastError = error.what(); });
  } catch (...) {
    Guarded([&] { lib.lastError = "Install failed"; });
  }
  if (box == Box::NoMemory) ShowAllocationFailure();
  if (box == Box::MapsTooLarge) ShowMapsTooLarge();
}

std::string Utf8Of(const wchar_t* text) {
  if (!text) return {};
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
}

// The name of map index as the exports give it: at most 15 characters.
std::string MapNameUtf8(int index) {
  StoreLock lock;
  const std::string_view name = HaveStore() ? Library().view.MapName(index) : store::kOffName;
  return std::string(Utf8Prefix(name, store::kMapNameLimit));
}

int IndexByMapUtf8(const std::string& name) {
  if (!HaveStore()) return 0;
  StoreLock lock;
  return Library().view.IndexByName(name);
}

}  // namespace
}  // namespace tessel

// The path is ANSI for callers of this export; the store keeps it in UTF-8.
TESSHOOK_API void WINAPI Install(int front, const char* iniFile) {
  Guarded([&] { InstallUtf8(front, AnsiToUtf8(iniFile ? iniFile : "")); });
}

TESSHOOK_API void WINAPI InstallW(int front, const wchar_t* iniFile) {
  Guarded([&] { InstallUtf8(front, Utf8Of(iniFile)); });
}

TESSHOOK_API void WINAPI Uninstall() {
  LibraryState& lib = Library();
  Guarded([&] {
    lib.lastError.clear();
    if (!HaveStore()) return;
    StoreLock lock;
    Win32ClientPlatform platform;
    lib.lastError = UninstallLocked(lib.view, lib.client, platform);
  });
}

TESSHOOK_API int WINAPI GetFront() {
  return Guarded(0, [] {
    if (!HaveStore()) return 0;
    LibraryState& lib = Library();
    StoreLock lock;
    Win32ClientPlatform platform;
    return FrontLocked(lib.view, lib.client, platform);
  });
}

TESSHOOK_API void WINAPI SetFront(int value) {
  Guarded([value] {
    if (!HaveStore()) return;
    StoreLock lock;
    Library().view.Set(store::kFront, value);
  });
}

TESSHOOK_API void WINAPI SelectMap(int index) {
  Guarded([index] {
    if (!HaveStore()) return;
    LibraryState& lib = Library();
    StoreLock lock;
    lib.view.Set(store::kSelectedMap, index > lib.view.LoadedCount() ? 0 : index);
    lib.deadKey = DeadKeyState{};
  });
}

TESSHOOK_API int WINAPI GetSelected() {
  return Guarded(0, [] {
    if (!HaveStore()) return 0;
    LibraryState& lib = Library();
    StoreLock lock;
    // The front end polls this: a good moment to catch up with who holds the hook.
    Win32ClientPlatform platform;
    SyncOwnership(lib.view, lib.client, platform);
    return lib.view.Get(store::kSelectedMap);
  });
}

TESSHOOK_API int WINAPI GetLoaded() {
  return Guarded(0, [] {
    if (!HaveStore()) return 0;
    StoreLock lock;
    return Library().view.LoadedCount();
  });
}

// Names are UTF-8 in the store: MapByIndex gives them in the ANSI code page ("?" for what
// it cannot spell), MapByIndexW as they are.
TESSHOOK_API const char* WINAPI MapByIndex(int index) {
  LibraryState& lib = Library();
  char* buffer = lib.nameBuffer;
  std::memset(buffer, 0, sizeof lib.nameBuffer);
  return Guarded<const char*>(buffer, [&] {
    std::string ansi;
    Utf8ToAnsi(MapNameUtf8(index), ansi);
    std::memcpy(buffer, ansi.data(), std::min(ansi.size(), sizeof lib.nameBuffer - 1));
    return static_cast<const char*>(buffer);
  });
}

TESSHOOK_API const wchar_t* WINAPI MapByIndexW(int index) {
  LibraryState& lib = Library();
  wchar_t* buffer = lib.wideNameBuffer;
  std::fill(std::begin(lib.wideNameBuffer), std::end(lib.wideNameBuffer), L'\0');
  return Guarded<const wchar_t*>(buffer, [&] {
    const std::u16string name = Utf8ToUtf16(MapNameUtf8(index));
    std::copy_n(name.begin(), std::min<size_t>(name.size(), std::size(lib.wideNameBuffer) - 1), buffer);
    return static_cast<const wchar_t*>(buffer);
  });
}

TESSHOOK_API int WINAPI IndexByMap(const char* name) {
  return Guarded(0, [name] { return name ? IndexByMapUtf8(AnsiToUtf8(name)) : 0; });
}

TESSHOOK_API int WINAPI IndexByMapW(const wchar_t* name) {
  return Guarded(0, [name] { return name ? IndexByMapUtf8(Utf8Of(name)) : 0; });
}

TESSHOOK_API const char* WINAPI TesselInfo(int kind, int index) {
  static const char* const kCommandNames[2][3] = {
      {"Run", "Wait", "Focus"},
      {"!Run cmdline", "!Wait millisecs", "!Focus title[,text...]"},
  };
  if (kind != 0 && kind != 1) return nullptr;
  if (index >= 0 && index < 3) return kCommandNames[kind][index];
  if (index >= 3 && index < 3 + kKeyNameRowCount) return KeyNameByRow(index - 3);
  return nullptr;
}

TESSHOOK_API const char* WINAPI GetLastErrorText() {
  LibraryState& lib = Library();
  Guarded([&] { Utf8ToAnsi(lib.lastError, lib.lastErrorAnsi); });
  return lib.lastErrorAnsi.c_str();
}

TESSHOOK_API const wchar_t* WINAPI GetLastErrorTextW() {
  LibraryState& lib = Library();
  Guarded([&] {
    const std::u16string text = Utf8ToUtf16(lib.lastError);
    lib.lastErrorWide.assign(text.begin(), text.end());
  });
  return lib.lastErrorWide.c_str();
}
