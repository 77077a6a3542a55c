// The exports of TESSHOOK32.DLL. Each one checks for this process's view of the store,
// holds the store's mutex for its work and lets no exception out: the callers are plain
// stdcall clients and, through the hook, foreign processes.
#include "tesshook32.h"

#include "common/keys.h"
#include "hooklib/loader.h"
#include "library_state.h"
#include "store_mapping.h"
#include "win32_profile.h"

#include <cstring>
#include <exception>
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

void ShowAllocationFailure() {
  MessageBoxA(nullptr, "Something is wrong, it may be necessary to\r\nrestart Tessel+ or Windows",
              "Tessel+ : Could not allocate memory", MB_OK);
}

void ShowMapsTooLarge() {
  LibraryState& lib = Library();
  if (lib.tooSmallShown) return;
  lib.tooSmallShown = true;
  MessageBoxA(nullptr,
              "The allocated memory is too small for the maps.\r\n"
              "Please restart Tessel that it can allocate more memory.",
              "Tessel+ : Cannot load the maps", MB_OK);
}

// Creates the store, or maps the one that another process created meanwhile (then its
// content and BlockSize stay as they are). Leaves no view when that fails.
void CreateStore(Profile& profile) {
  LibraryState& lib = Library();
  int32_t blockSize = 0;
  if (!store::BlockSizeFor(profile.ReadInteger(kSettingsSection, "Allocate", 16), blockSize)) {
    ShowAllocationFailure();
    return;
  }
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(blockSize), store::kMappingName);
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!mapping) {
    ShowAllocationFailure();
    return;
  }
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  const uint32_t mapped = view ? MappedViewSize(view) : 0;
  if (!view || mapped < store::kHeaderSize) {
    if (view) UnmapViewOfFile(view);
    CloseHandle(mapping);
    ShowAllocationFailure();
    return;
  }
  lib.mapping = mapping;
  lib.view = store::StoreView(static_cast<uint8_t*>(view), mapped);
  // The pages of a new paging-file mapping are zero already; only BlockSize is written.
  if (!existed) lib.view.Set(store::kBlockSize, blockSize);
}

void SelectMapLocked(int32_t index) {
  LibraryState& lib = Library();
  lib.view.Set(store::kSelectedMap, index > lib.view.LoadedCount() ? 0 : index);
  lib.deadKey = DeadKeyState{};
}

// HookHandle holds the handle as a 32-bit value: window-manager handles fit 32 bits on
// Win64 as well and are sign-extended back.
HHOOK StoredHook(int32_t value) {
  return reinterpret_cast<HHOOK>(static_cast<intptr_t>(value));
}

void InstallLocked(int front, const char* iniFile) {
  LibraryState& lib = Library();
  Win32Profile profile(iniFile ? iniFile : "");
  if (!HaveStore()) CreateStore(profile);
  if (!HaveStore()) return;

  lib.view.Set(store::kFront, front);
  if (lib.view.Get(store::kHookHandle) != 0) return;

  const LoadResult loaded = LoadMaps(profile, lib.view);
  if (!loaded.fits) {
    ShowMapsTooLarge();
    return;
  }
  SelectMapLocked(profile.ReadInteger(kSettingsSection, "Selected", 0));
  HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, KeyBoardHook, lib.module, 0);
  lib.view.Set(store::kHookHandle, static_cast<int32_t>(reinterpret_cast<intptr_t>(hook)));
}

}  // namespace
}  // namespace tessel

using namespace tessel;

TESSHOOK_API int WINAPI TesselGetVersion() { return kTesselVersion; }

TESSHOOK_API void WINAPI Install(int front, const char* iniFile) {
  LibraryState& lib = Library();
  Guarded([&] { lib.lastError.clear(); });
  try {
    StoreLock lock;
    InstallLocked(front, iniFile);
  } catch (const std::exception& error) {
    Guarded([&] { lib.lastError = error.what(); });
  } catch (...) {
    Guarded([&] { lib.lastError = "Install failed"; });
  }
}

TESSHOOK_API void WINAPI Uninstall() {
  Guarded([] {
    if (!HaveStore()) return;
    store::StoreView& view = Library().view;
    StoreLock lock;
    view.Set(store::kFront, 0);
    const int32_t hook = view.Get(store::kHookHandle);
    if (hook != 0) UnhookWindowsHookEx(StoredHook(hook));
    view.Set(store::kHookHandle, 0);
    if (view.Get(store::kPathOffset) != 0) {
      const std::string path(view.SettingsPath());
      const std::string selected = std::to_string(view.Get(store::kSelectedMap));
      if (!path.empty())
        WritePrivateProfileStringA(kSettingsSection, "Selected", selected.c_str(), path.c_str());
    }
    view.Set(store::kSelectedMap, 0);
  });
}

TESSHOOK_API int WINAPI GetFront() {
  return Guarded(0, [] {
    if (!HaveStore()) return 0;
    StoreLock lock;
    return Library().view.Get(store::kFront);
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
    StoreLock lock;
    SelectMapLocked(index);
  });
}

TESSHOOK_API int WINAPI GetSelected() {
  return Guarded(0, [] {
    if (!HaveStore()) return 0;
    StoreLock lock;
    return Library().view.Get(store::kSelectedMap);
  });
}

TESSHOOK_API int WINAPI GetLoaded() {
  return Guarded(0, [] {
    if (!HaveStore()) return 0;
    StoreLock lock;
    return Library().view.LoadedCount();
  });
}

TESSHOOK_API const char* WINAPI MapByIndex(int index) {
  LibraryState& lib = Library();
  char* buffer = lib.nameBuffer;
  std::memset(buffer, 0, sizeof lib.nameBuffer);
  return Guarded<const char*>(buffer, [&] {
    StoreLock lock;
    const std::string_view name = HaveStore() ? lib.view.MapName(index) : store::kOffName;
    const size_t length = name.size() < store::kMapNameLimit ? name.size() : store::kMapNameLimit;
    std::memcpy(buffer, name.data(), length);
    return static_cast<const char*>(buffer);
  });
}

TESSHOOK_API int WINAPI IndexByMap(const char* name) {
  return Guarded(0, [name] {
    if (!HaveStore() || !name) return 0;
    StoreLock lock;
    return Library().view.IndexByName(name);
  });
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

TESSHOOK_API const char* WINAPI GetLastErrorText() { return Library().lastError.c_str(); }
