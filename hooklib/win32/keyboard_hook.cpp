// The hook procedure and the player's timer. Both run inside whatever application
// receives the keystroke, so nothing here may throw out, block without bound or read
// outside the store.
#include "info_window.h"
#include "library_state.h"
#include "tesshook32.h"

namespace tessel {
namespace {

void CALLBACK PlayerTick(HWND, UINT, UINT_PTR, DWORD) noexcept;

class Win32HookPlatform : public HookPlatform {
 public:
  bool ShiftDown() override { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }
  bool ControlDown() override { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }
  bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
  void ShowInformation(const char* text, int32_t duration) override {
    tessel::ShowInformation(Library().module, text, duration);
  }
  bool StartPlayTimer() override {
    LibraryState& lib = Library();
    const UINT_PTR id = SetTimer(nullptr, 0, 1, PlayerTick);
    if (id == 0) return false;
    lib.playTimer = id;
    // Owning the play mutex while the text plays lets other processes tell a live player
    // from one whose process died with Playing still set.
    if (!lib.playMutexHeld && lib.playMutex) {
      const DWORD wait = WaitForSingleObject(lib.playMutex, 50);
      lib.playMutexHeld = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    return true;
  }
};

void StopPlaying(LibraryState& lib) {
  if (lib.playTimer) KillTimer(nullptr, lib.playTimer);
  lib.playTimer = 0;
  lib.view.SetPlaying(0);
  if (lib.playMutexHeld) {
    ReleaseMutex(lib.playMutex);
    lib.playMutexHeld = false;
  }
}

void CALLBACK PlayerTick(HWND, UINT, UINT_PTR, DWORD) noexcept {
  LibraryState& lib = Library();
  try {
    if (!lib.view.Present() || !lib.player) {
      if (lib.playTimer) KillTimer(nullptr, lib.playTimer);
      lib.playTimer = 0;
      return;
    }
    StoreLock lock;
    lib.player->Play(lib.view);
    if (lib.player->Idle()) StopPlaying(lib);
  } catch (...) {
    // Out of memory while playing: give the keyboard back rather than leave it swallowed.
    if (lib.player) lib.player->Reset();
    StopPlaying(lib);
  }
}

// Playing is set. True when its player is gone (its process died): Playing is then cleared.
bool PlayerIsGone(LibraryState& lib) {
  if (lib.playTimer != 0 || !lib.playMutex) return false;  // this process plays
  const DWORD wait = WaitForSingleObject(lib.playMutex, 0);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;  // a live player owns it
  lib.view.SetPlaying(0);
  ReleaseMutex(lib.playMutex);
  return true;
}

LRESULT Decide(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0 || code == HC_NOREMOVE) return kPass;
  LibraryState& lib = Library();
  if (!lib.view.Present() || !lib.player) return kPass;
  if (lib.view.Playing() && !PlayerIsGone(lib)) return kSwallow;
  StoreLock lock;
  static Win32HookPlatform platform;
  return DecideKeystroke(lib.view, lib.deadKey, *lib.player, platform,
                         static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
}

}  // namespace
}  // namespace tessel

TESSHOOK_API LRESULT WINAPI KeyBoardHook(int code, WPARAM wParam, LPARAM lParam) {
  try {
    return tessel::Decide(code, wParam, lParam);
  } catch (...) {
    return tessel::kPass;
  }
}
