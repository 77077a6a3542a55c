// Process attach and detach of TESSHOOK32.DLL: the per-process handles of the shared map
// store and its mutex, and this process's replacement player.
#include "common/win32/wide_text.h"
#include "library_state.h"
#include "store_mapping.h"
#include "win32_player_platform.h"

#include <windows.h>

namespace tessel {
namespace {

void AttachProcess(HINSTANCE module) {
  LibraryState& lib = Library();
  lib.module = module;

  // Initial ownership is granted only to the creator, which must give it back.
  lib.mutex = CreateMutexA(nullptr, TRUE, store::kMutexName);
  const DWORD created = GetLastError();
  if (!lib.mutex) lib.mutexError = created;
  const bool owned = lib.mutex != nullptr && created != ERROR_ALREADY_EXISTS;
  lib.playMutex = CreateMutexA(nullptr, FALSE, "TESSEL32PLAYMUTEX");
  // Every process that maps the store keeps the owner mutex open, so that it outlives a
  // holder that dies and is handed on as abandoned.
  lib.ownerMutex = CreateMutexA(nullptr, FALSE, kHookOwnerMutexName);

  // Without the mutex nothing of the store may be touched: the process has no store.
  if (lib.mutex) lib.mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, store::kMappingName);
  if (lib.mapping) {
    if (void* view = MapViewOfFile(lib.mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
      lib.view = store::StoreView(static_cast<uint8_t*>(view), MappedViewSize(view));
    } else {
      CloseHandle(lib.mapping);
      lib.mapping = nullptr;
    }
  }
  if (owned) ReleaseMutex(lib.mutex);

  // The program this process runs, for the keyboard hook's per-program check.
  wchar_t image[MAX_PATH * 4] = L"";
  const DWORD length = GetModuleFileNameW(nullptr, image, MAX_PATH * 4);
  lib.image = Utf8(std::wstring_view(image, length));

  lib.playerPlatform = std::make_unique<Win32PlayerPlatform>(module);
  lib.player = std::make_unique<ReplacementPlayer>(*lib.playerPlatform);
}

void DetachProcess(bool processEnds) {
  LibraryState& lib = Library();
  // A thread timer whose procedure is unloaded would crash this process at its next tick;
  // and the text it plays can no longer end, so give the keyboard back now.
  if (!processEnds && lib.playTimer != 0) {
    KillTimer(nullptr, lib.playTimer);
    lib.playThread = 0;
    lib.playTimer = 0;
    lib.view.SetPlaying(0);
    if (lib.playMutexHeld) ReleaseMutex(lib.playMutex);
    lib.playMutexHeld = false;
  }
  if (lib.view.Base()) UnmapViewOfFile(lib.view.Base());
  lib.view = store::StoreView();
  if (lib.mapping) CloseHandle(lib.mapping);
  if (lib.mutex) CloseHandle(lib.mutex);
  if (lib.playMutex) CloseHandle(lib.playMutex);
  if (lib.ownerMutex) CloseHandle(lib.ownerMutex);
  lib.mapping = lib.mutex = lib.playMutex = lib.ownerMutex = nullptr;
}

}  // namespace
}  // namespace tessel

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  try {
    if (reason == DLL_PROCESS_ATTACH) tessel::AttachProcess(module);
    if (reason == DLL_PROCESS_DETACH) tessel::DetachProcess(reserved != nullptr);
  } catch (...) {
    // Loading must not fail inside a foreign process; the library then runs without a
    // player or store.
  }
  return TRUE;
}
