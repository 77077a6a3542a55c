#include "frontend/hook_handover.h"

#include "frontend/startup.h"

namespace tessel {
namespace {

constexpr const char* kSection = "TESSEL32";

}  // namespace

std::string TakeHook(const HookHolder& holder, int32_t window) {
  holder.hook.Install(window, holder.settingsFile);
  return holder.hook.LastErrorText();
}

std::string EditMaps(const HookHolder& holder, int32_t window) {
  std::string edited = holder.hook.MapByIndex(holder.hook.GetSelected());
  holder.hook.Uninstall();
  if (!holder.steps.RunMapEditor(edited)) return {};
  // Whatever happened in the editor, the hook comes back.
  std::string error = TakeHook(holder, window);
  holder.hook.SelectMap(holder.hook.IndexByMap(edited));
  return error;
}

std::string OnEditorActivation(const HookHolder& holder, bool frontEndActive, int32_t editor,
                               const std::string& editedMap, bool& editorHolds) {
  if (frontEndActive) {
    holder.hook.Uninstall();
    editorHolds = false;
    return {};
  }
  std::string error = TakeHook(holder, editor);
  editorHolds = true;
  holder.hook.SelectMap(holder.hook.IndexByMap(editedMap));
  return error;
}

void OnEditorClose(const HookHolder& holder, bool& editorHolds) {
  // The caller takes the hook for its own window and loads the maps afresh.
  if (editorHolds) holder.hook.Uninstall();
  editorHolds = false;
}

std::string RunOptions(const HookHolder& holder, int32_t window) {
  holder.hook.Uninstall();
  if (!holder.steps.RunOptionsDialog()) return {};
  return TakeHook(holder, window);
}

std::string CloseFrontEnd(const HookHolder& holder, Profile& settings, const WindowBounds& bounds) {
  std::string error;
  try {
    settings.WriteInteger(kSection, "Width", bounds.width);
    settings.WriteInteger(kSection, "Height", bounds.height);
    settings.WriteInteger(kSection, "Top", bounds.top);
    settings.WriteInteger(kSection, "Left", bounds.left);
  } catch (const ProfileWriteError& failure) {
    error = failure.what();
  }
  // Uninstall leaves the front value 0. No second write follows: a host that installs
  // right after it keeps its claim.
  holder.hook.Uninstall();
  const std::string uninstallError = holder.hook.LastErrorText();  // Selected not saved
  return error.empty() ? uninstallError : error;
}

bool HideFrontEnd(const HookHolder& holder, Profile& settings, const WindowBounds& bounds,
                  std::string& closingError) {
  try {
    settings.WriteInteger(kSection, "ShowWindow", 0);
  } catch (const ProfileWriteError& failure) {
    holder.steps.ShowError(failure.what());  // only the next start differs
  }
  if (!holder.steps.StartHiddenHost()) return false;
  closingError = CloseFrontEnd(holder, settings, bounds);
  return true;
}

void Unhide(const HookHolder& holder, Profile& settings) {
  holder.hook.SetFront(1);
  try {
    settings.WriteInteger(kSection, "ShowWindow", 1);
  } catch (const ProfileWriteError& failure) {
    holder.steps.ShowError(failure.what());
  }
  holder.steps.Inform("Unhiding...", 1000);
  HookLibrary& hook = holder.hook;
  if (!holder.steps.WaitFor([&hook] { return HostHasLetGo(hook.GetFront()); }, kHostLeaveMs))
    hook.Uninstall();
}

}  // namespace tessel
