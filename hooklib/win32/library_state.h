// Per-process state of the hook library (each process that loads it has its own copy)
// and the scoped hold of the store's named mutex.
#pragma once
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
  HANDLE mutex = nullptr;      // "TESSEL32MUTEX"
  HANDLE playMutex = nullptr;  // owned by the playing thread while a text plays
  store::StoreView view;       // this process's view of the store, or none
  UINT_PTR playTimer = 0;      // the player's thread timer, 0 when none
  bool playMutexHeld = false;  // this process's playing thread owns playMutex
  std::unique_ptr<Win32PlayerPlatform> playerPlatform;
  std::unique_ptr<ReplacementPlayer> player;
  DeadKeyState deadKey;
  bool tooSmallShown = false;  // the "maps do not fit" box was shown in this process
  char nameBuffer[16] = {};    // result of MapByIndex
  std::string lastError;       // why the last Install failed, empty when it did not
};

LibraryState& Library();

// Holds "TESSEL32MUTEX" for a scope. The outcome of the wait is not examined: an
// abandoned mutex (its owner died) counts as acquired.
class StoreLock {
 public:
  StoreLock();
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
};

}  // namespace tessel
