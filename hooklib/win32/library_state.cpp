#include "library_state.h"

#include "win32_player_platform.h"

namespace tessel {
namespace {

bool Acquired(DWORD wait) { return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED; }

}  // namespace

LibraryState& Library() {
  static LibraryState state;
  return state;
}

StoreLock::StoreLock() {
  HANDLE mutex = Library().mutex;
  if (!mutex) return;
  for (;;) {
    const DWORD wait = MsgWaitForMultipleObjectsEx(1, &mutex, INFINITE, QS_SENDMESSAGE, 0);
    if (wait == WAIT_OBJECT_0 + 1) {
      // Delivers the sent messages; posted ones stay queued for the caller's own loop.
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      continue;
    }
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED_0 ||
            Acquired(WaitForSingleObject(mutex, INFINITE));
    return;
  }
}

StoreLock::~StoreLock() {
  if (held_) ReleaseMutex(Library().mutex);
}

BoundedStoreLock::BoundedStoreLock(DWORD milliseconds) {
  if (HANDLE mutex = Library().mutex) held_ = Acquired(WaitForSingleObject(mutex, milliseconds));
}

BoundedStoreLock::~BoundedStoreLock() {
  if (held_) ReleaseMutex(Library().mutex);
}

}  // namespace tessel
