// The hook procedure and the player's timer. Both run inside whatever application
// receives the keystroke, so nothing here may throw out, block without bound or read
// outside the store.
#include "info_window.h"
#include "hooklib/program_rules.h"
#include "library_state.h"
#include "tesshook32.h"

namespace tessel {
namespace {

// A prober of a dead player holds the play mutex for microseconds; a live player holds it
// only while Playing is set, and then no text can start.
constexpr DWORD kPlayMutexWaitMs = 50;
// A tick that cannot get the mutex now is tried again at the next one.
constexpr DWORD kTickLockWaitMs = 100;

void CALLBACK PlayerTick(HWND, UINT, UINT_PTR, DWORD) noexcept;

class Win32HookPlatform : public HookPlatform {
 public:
  bool ShiftDown() override { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }
  bool ControlDown() override { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }
  bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
  void ShowInformation(const char* text, int32_t duration) override {
    tessel::ShowInformation(Library().module, text, duration);
  }
  // Playing is set only by a thread that owns the play mutex: other processes tell a live
  // player from a dead one by it, and clear Playing only for a dead one.
  bool StartPlayTimer() override {
    LibraryState& lib = Library();
    const DWORD self = GetCurrentThreadId();
    if (lib.playTimer != 0) {
      // A timer of another thread of this process cannot be stopped from here.
      if (lib.playThread != self) return false;
      KillTimer(nullptr, lib.playTimer);
      lib.playTimer = 0;
    }
    if (!lib.playMutexHeld) {
      if (!lib.playMutex) return false;
      const DWORD wait = WaitForSingleObject(lib.playMutex, kPlayMutexWaitMs);
      if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
      lib.playMutexHeld = true;
    }
    const UINT_PTR id = SetTimer(nullptr, 0, 1, PlayerTick);
    if (id == 0) {
      ReleaseMutex(lib.playMutex);
      lib.playMutexHeld = false;
      return false;
    }
    lib.playTimer = id;
    lib.playThread = self;
    return true;
  }
};

void StopPlaying(LibraryState& lib) {
  if (lib.playTimer) KillTimer(nullptr, lib.playTimer);
  lib.playTimer = 0;
  lib.playThread = 0;
  lib.view.SetPlaying(0);
  if (lib.playMutexHeld) {
    ReleaseMutex(lib.playMutex);
    lib.playMutexHeld = false;
  }
}

void CALLBACK PlayerTick(HWND, UINT, UINT_PTR id, DWORD) noexcept {
  LibraryState& lib = Library();
  try {
    if (id != lib.playTimer) {
      KillTimer(nullptr, id);  // a timer that was replaced: it must not play or stop anything
      return;
    }
    if (!lib.view.Present() || !lib.player) {
      StopPlaying(lib);
      return;
    }
    BoundedStoreLock lock(kTickLockWaitMs);
    if (!lock.Held()) return;
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
  static Win32HookPlatform platform;
  const auto keyData = static_cast<uint32_t>(lParam);
  // A key typed into a program before its coming to the front was seen gets its map too.
  const uint32_t self = GetCurrentProcessId();
  const bool programDue = ProgramCheckDue(lib.view, self);
  // Keys that no map has pass without waiting for anybody.
  uint8_t stateByte = 0;
  if (!programDue && !KeystrokeMayConcernMaps(lib.view, lib.deadKey, platform, keyData, stateByte))
    return kPass;
  char switchedTo[4 * store::kMapNameLimit + 1] = {};
  int32_t messageTime = 0;
  LRESULT verdict = kPass;
  {
    BoundedStoreLock lock(HookLockWaitMs(lib.view));
    if (!lock.Held()) return kPass;
    if (programDue) {
      const ProgramSwitch result = OnProgramInFront(lib.view, self, lib.image);
      if (result.changed) {
        lib.deadKey = DeadKeyState{};
        const std::string_view name = lib.view.MapName(result.map);
        name.copy(switchedTo, store::CharacterPrefixLength(name, store::kMapNameLimit));
        messageTime = lib.view.Get(store::kMessageTime);
      }
    }
    verdict = DecideKeystroke(lib.view, lib.deadKey, *lib.player, platform,
                              static_cast<uint32_t>(wParam), keyData, stateByte);
  }
  // As a selector does, but without holding the store meanwhile.
  if (switchedTo[0] != '\0') platform.ShowInformation(switchedTo, messageTime);
  return verdict;
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
