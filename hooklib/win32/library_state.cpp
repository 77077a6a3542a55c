#include "library_state.h"

#include "win32_player_platform.h"

namespace tessel {

LibraryState& Library() {
  static LibraryState state;
  return state;
}

StoreLock::StoreLock() {
  if (HANDLE mutex = Library().mutex) WaitForSingleObject(mutex, INFINITE);
}

StoreLock::~StoreLock() {
  if (HANDLE mutex = Library().mutex) ReleaseMutex(mutex);
}

}  // namespace tessel
