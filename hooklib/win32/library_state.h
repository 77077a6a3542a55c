// Per-process state of the hook library (each process that loads it has its own copy)
// and the scoped holds of the store's named mutex.
#pragma once
#include "hooklib/client.h"
#include "hooklib/hook.h"
#include "hooklib/player.h"
#include "hooklib/store_layout.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tessel {

class Win32PlayerPlatform;

struct LibraryState {
  HINSTANCE module = nullptr;
  HANDLE mapping = nullptr;
  HANDLE mutex = nullptr;        // "TESSEL32MUTEX"; without it the process has no store
  DWORD mutexError = 0;          // why it could not be created or opened
  HANDLE playMutex = nullptr;    // owned by the playing thread while a text plays
  HANDLE ownerMutex = nullptr;   // owned by the thread of the client that holds the hook
  store::StoreView view;         // this process's view of the store, or none
  UINT_PTR playTimer = 0;        // the player's thread timer, 0 when none
  DWORD playThread = 0;          // the thread of that timer, which also owns playMutex
  bool playMutexHeld = false;    // playThread owns playMutex
  std::unique_ptr<Win32PlayerPlatform> playerPlatform;
  std::unique_ptr<ReplacementPlayer> player;
  DeadKeyState deadKey;
  ClientState client;            // what this process's client holds
  bool tooSmallShown = false;    // the "maps do not fit" box was shown in this process
  // Results of MapByIndex (ANSI: 15 characters take up to 30 bytes in a double-byte code
  // page) and MapByIndexW (15 characters, a surrogate pair each at most).
  char nameBuffer[32] = {};
  wchar_t wideNameBuffer[32] = {};
  std::string lastError;         // why the last Install or Uninstall failed (UTF-8), empty when not
  std::string lastErrorAnsi;     // the results of GetLastErrorText and GetLastErrorTextW
  std::wstring lastErrorWide;
  HWINEVENTHOOK frontHooks[2] = {};  // foreground and focus changes, on the thread holding the hook
  std::string image;             // this process's program file (UTF-8), for per-program maps
};

LibraryState& Library();

// Holds "TESSEL32MUTEX" for an export's work. The wait has no bound, but the thread keeps
// serving messages sent to it meanwhile: the system calls the hook of a process of the
// other word size through such messages on the thread that set it, and a player holding
// the mutex may be giving the focus to a window of this thread. The outcome of the wait is
// not examined: an abandoned mutex (its owner died) counts as acquired.
class StoreLock {
 public:
  StoreLock();
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  bool held_ = false;
};

// Holds the mutex for the hook and the player's ticks, which run inside foreign
// applications: waits at most `milliseconds`, and Held() tells whether it got it.
class BoundedStoreLock {
 public:
  explicit BoundedStoreLock(DWORD milliseconds);
  ~BoundedStoreLock();
  BoundedStoreLock(const BoundedStoreLock&) = delete;
  BoundedStoreLock& operator=(const BoundedStoreLock&) = delete;
  bool Held() const { return held_; }

 private:
  bool held_ = false;
};

}  // namespace tessel
