#include "hooklib/client.h"

#include "hooklib/loader.h"
#include "hooklib/program_rules.h"

namespace tessel {
namespace {

constexpr const char* kSettingsSection = "TESSEL32";

bool OwnedHere(const ClientState& client, ClientPlatform& platform) {
  return client.owner && client.thread == platform.CurrentThread();
}

// The holder's thread ended without Uninstall, and the system removed its hook with it.
// Its Uninstall is done on its behalf, except for unhooking a handle that is gone: the
// selection is saved and Front and HookHandle are cleared.
void TakeOverFromDeadHolder(store::StoreView& view, ClientPlatform& platform) {
  if (view.Get(store::kHookHandle) != 0 && view.Get(store::kPathOffset) != 0) {
    const std::string path(view.SettingsPath());
    if (!path.empty()) platform.WriteSelected(path, SelectionToSave(view));
    view.Set(store::kSelectedMap, 0);
  }
  view.Set(store::kFront, 0);
  view.Set(store::kHookHandle, 0);
}

// Takes the owner mutex unless another live thread holds it; true when this thread holds
// it afterwards.
bool Claim(store::StoreView& view, ClientState& client, ClientPlatform& platform) {
  if (OwnedHere(client, platform)) return true;
  switch (platform.ProbeOwner()) {
    case OwnerProbe::Abandoned:
      TakeOverFromDeadHolder(view, platform);
      return true;
    case OwnerProbe::Taken:
      return true;
    case OwnerProbe::Busy:
      break;
  }
  return false;
}

}  // namespace

std::string HookFailedError(uint32_t systemError) {
  return "Could not set the keyboard hook (error " + std::to_string(systemError) + ")";
}

std::string NoMutexError(uint32_t systemError) {
  return std::string("Could not open the mutex ") + store::kMutexName + " (error " +
         std::to_string(systemError) + ")";
}

void SyncOwnership(store::StoreView& view, ClientState& client, ClientPlatform& platform) {
  const uint32_t self = platform.CurrentThread();
  const int32_t hook = view.Get(store::kHookHandle);
  if (client.owner) {
    if (client.thread == self && hook != client.hook) {
      platform.ReleaseOwner();
      client.owner = false;
      client.hook = 0;
    }
  } else if (client.hook != 0 && client.thread == self) {
    if (hook != client.hook) {
      client.hook = 0;
    } else if (platform.ProbeOwner() != OwnerProbe::Busy) {
      // Abandoned here means the thread that kept it past its Uninstall died; this
      // thread's hook is alive, so nothing is taken over.
      client.owner = true;
    }
  }
}

InstallResult InstallLocked(store::StoreView& view, ClientState& client, ClientPlatform& platform,
                            Profile& profile, int32_t front) {
  SyncOwnership(view, client, platform);
  const bool wasOwner = OwnedHere(client, platform);
  const bool held = Claim(view, client, platform);
  view.Set(store::kFront, front);

  if (view.Get(store::kHookHandle) != 0) {
    // The hook of another live client stays; only Front changes.
    if (held && !wasOwner) platform.ReleaseOwner();
    return {};
  }
  if (held) {
    client.owner = true;
    client.thread = platform.CurrentThread();
  }

  if (!LoadMaps(profile, view).fits) return {kErrorMapsTooLarge, true, false};
  const int32_t selected = profile.ReadInteger(kSettingsSection, "Selected", 0);
  view.Set(store::kSelectedMap, selected > view.LoadedCount() ? 0 : selected);
  // The rule of the program in front applies at once, quietly: nothing has come to the front.
  const ClientPlatform::Program inFront = platform.ProgramInFront();
  StartProgramRules(view, platform.CurrentProcess(), inFront.pid, inFront.image);

  InstallResult result;
  result.loaded = true;
  uint32_t systemError = 0;
  const int32_t hook = platform.SetHook(systemError);
  if (hook == 0) {
    result.error = HookFailedError(systemError);
    return result;
  }
  view.Set(store::kHookHandle, hook);
  client.hook = hook;
  client.thread = platform.CurrentThread();
  platform.WatchForeground(true);
  return result;
}

std::string UninstallLocked(store::StoreView& view, ClientState& client, ClientPlatform& platform) {
  SyncOwnership(view, client, platform);
  view.Set(store::kFront, 0);
  const int32_t hook = view.Get(store::kHookHandle);
  if (hook != 0) platform.Unhook(hook);
  view.Set(store::kHookHandle, 0);
  if (client.hook != 0 && client.thread == platform.CurrentThread()) platform.WatchForeground(false);

  // The map the user chose, not one a program in front switched to.
  std::string error;
  if (view.Get(store::kPathOffset) != 0) {
    const std::string path(view.SettingsPath());
    if (!path.empty() && !platform.WriteSelected(path, SelectionToSave(view)))
      error = ProfileWriteError(path).what();
  }
  view.Set(store::kSelectedMap, 0);

  if (OwnedHere(client, platform)) {
    platform.ReleaseOwner();
    client.owner = false;
  }
  client.hook = 0;
  return error;
}

int32_t FrontLocked(store::StoreView& view, ClientState& client, ClientPlatform& platform) {
  SyncOwnership(view, client, platform);
  if (!OwnedHere(client, platform) && Claim(view, client, platform)) platform.ReleaseOwner();
  return view.Get(store::kFront);
}

}  // namespace tessel
