// The clients' side of the store, with the mutex held by the caller: the steps of Install,
// Uninstall and GetFront, and who holds the hook. The thread of the client that holds the
// hook owns a named "hook owner" mutex from its Install to its Uninstall; the system hands
// that mutex on as abandoned when the thread ends without Uninstall, which is how a dead
// holder (killed host or front end) is told from a live one.
#pragma once
#include "common/profile.h"
#include "hooklib/store_layout.h"

#include <cstdint>
#include <string>

namespace tessel {

constexpr const char* kHookOwnerMutexName = "TESSEL32HOOKMUTEX";

// Error texts that GetLastErrorText reports.
constexpr const char* kErrorNoMemory = "Could not allocate memory";
constexpr const char* kErrorMapsTooLarge = "The allocated memory is too small for the maps.";
std::string HookFailedError(uint32_t systemError);   // "Could not set the keyboard hook (error N)"
std::string NoMutexError(uint32_t systemError);      // "Could not open the mutex TESSEL32MUTEX (error N)"

enum class OwnerProbe {
  Taken,      // the owner mutex was free: this thread owns it now
  Abandoned,  // its owner ended without giving it back: this thread owns it now
  Busy,       // another live thread owns it (or it cannot be told)
};

class ClientPlatform {
 public:
  virtual ~ClientPlatform() = default;
  virtual uint32_t CurrentThread() = 0;
  virtual OwnerProbe ProbeOwner() = 0;  // takes the owner mutex without waiting
  virtual void ReleaseOwner() = 0;      // gives back one hold of this thread
  // Sets the system-wide keyboard hook: its handle as a 32-bit value, or 0 with the
  // system's error code in systemError.
  virtual int32_t SetHook(uint32_t& systemError) = 0;
  virtual void Unhook(int32_t hook) = 0;
  // Writes Selected to [TESSEL32] of the file; false when the write failed.
  virtual bool WriteSelected(const std::string& path, int32_t selected) = 0;

  // For per-program maps: this process, the program whose window is in front now (its
  // process id and file name; 0 and "" when none), and watching the front from the thread
  // that holds the hook.
  struct Program {
    uint32_t pid = 0;
    std::string image;
  };
  virtual uint32_t CurrentProcess() = 0;
  virtual Program ProgramInFront() = 0;
  virtual void WatchForeground(bool on) = 0;
};

// Per process: what this process's client holds.
struct ClientState {
  bool owner = false;      // thread owns the hook owner mutex
  uint32_t thread = 0;     // the thread that owns it or set the hook
  int32_t hook = 0;        // HookHandle of the hook this process set, 0 when none
};

struct InstallResult {
  std::string error;        // empty when the maps are loaded and the hook set (or one was set)
  bool mapsTooLarge = false;
  bool loaded = false;      // maps loaded and Selected selected (the dead key is to be cleared)
};

// Install after the store exists: takes over from a dead holder, writes Front, and unless
// a hook is set loads the maps, selects Selected and sets the hook. Throws
// ProfileWriteError when the loader cannot write Allocate.
InstallResult InstallLocked(store::StoreView& view, ClientState& client, ClientPlatform& platform,
                            Profile& profile, int32_t front);

// Uninstall; the error text of a failed write of Selected, else empty.
std::string UninstallLocked(store::StoreView& view, ClientState& client, ClientPlatform& platform);

// The front value, after taking over from a dead holder (its front value and hook are gone
// then, so the answer is 0).
int32_t FrontLocked(store::StoreView& view, ClientState& client, ClientPlatform& platform);

// Brings this process's ownership in line with the store: a thread whose hook was removed
// by another client gives the owner mutex back; one that set the hook without getting it
// (another thread still held it) takes it once it is free.
void SyncOwnership(store::StoreView& view, ClientState& client, ClientPlatform& platform);

}  // namespace tessel
