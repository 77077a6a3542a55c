// When the front end takes the keyboard hook and when it hands it on: each sequence of
// hook-library calls as one function, with the window system's part of it (running a
// dialog, starting the host, waiting) behind FrontEndSteps. Each returns the error text
// the library reports for its Install or Uninstall (empty when none), for the caller to
// show in its error box.
#pragma once
#include "common/profile.h"
#include "frontend/hook_library.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tessel {

class FrontEndSteps {
 public:
  virtual ~FrontEndSteps() = default;
  // Runs the map editor modally over the button window; edited is the map shown first and,
  // afterwards, the map worked on last. False when the button window was closed meanwhile
  // (its closing sequence has given the hook back).
  virtual bool RunMapEditor(std::string& edited) = 0;
  // Runs the options dialog and stores what it changed; false as above.
  virtual bool RunOptionsDialog() = 0;
  virtual bool StartHiddenHost() = 0;
  // The standard error box, at once: the sequence goes on when the user has read it.
  virtual void ShowError(const std::string& text) = 0;
  virtual void Inform(const std::string& text, int32_t duration) = 0;
  // Waits, reading messages, until done() holds; false after milliseconds.
  virtual bool WaitFor(const std::function<bool()>& done, uint32_t milliseconds) = 0;
};

// The front end's side of the hook: the library, the settings file every Install names,
// and the steps.
struct HookHolder {
  HookLibrary& hook;
  FrontEndSteps& steps;
  std::string settingsFile;
};

// Install with window as the front value.
std::string TakeHook(const HookHolder& holder, int32_t window);

// Edit Maps: the hook is off while the editor runs, then the window takes it again with the
// map last edited selected (a name that matches no map leaves mapping off).
std::string EditMaps(const HookHolder& holder, int32_t window);

// The editor's hand-over: the hook runs with the edited map while another application is
// active (the editor window holds it) and is off while the front end is active.
// editorHolds says whether the editor installed it; Close gives it back.
std::string OnEditorActivation(const HookHolder& holder, bool frontEndActive, int32_t editor,
                               const std::string& editedMap, bool& editorHolds);
void OnEditorClose(const HookHolder& holder, bool& editorHolds);

// Options: the hook is off while the dialog runs; the library reads the options anew when
// the window takes it again.
std::string RunOptions(const HookHolder& holder, int32_t window);

struct WindowBounds {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

// Close: the window's bounds saved, then the hook given back (the front value is 0
// afterwards). The first failure's text.
std::string CloseFrontEnd(const HookHolder& holder, Profile& settings, const WindowBounds& bounds);

// Hide: ShowWindow 0 (a failed write is shown, and hidden mode goes on), the host started,
// and then Close. False when the host did not start: the window stays.
bool HideFrontEnd(const HookHolder& holder, Profile& settings, const WindowBounds& bounds,
                  std::string& closingError);

// Unhide, before the window exists: the host is asked to let go (front value 1),
// ShowWindow 1 (a failed write is shown), "Unhiding..." for a second, then up to 5 s for the
// host to leave; a host that never answers died with its hook, and Uninstall clears what it
// left in the store.
void Unhide(const HookHolder& holder, Profile& settings);

constexpr uint32_t kHostLeaveMs = 5000;

}  // namespace tessel
