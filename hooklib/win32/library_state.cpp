#include "library_state.h"

#include "win32_player_platform.h"

namespace tessel {

LibraryState& Library() {
  static LibraryState state;
  return state;
}

StoreLock::StoreLock() {
  if (Library().mutex) WaitForSingleObject(Library().mutex, INFINITE);
}

StoreLock::~StoreLock() {
  if (Library().mutex) ReleaseMutex(Library().mutex);
}

}  // namespace tessel
