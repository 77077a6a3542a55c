// What the front end does when it starts, decided from the instance guard and the front
// value before any window exists, and the command line it gives the hidden-mode host.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

enum class StartDecision {
  Refuse,       // another front end runs: "Tessel+ is running"
  Unhide,       // the host holds the hook (or a take-over was left half done): take it back
  ClearStale,   // a dead front end's window is the front value: Uninstall, then Continue
  Continue,     // nobody holds the hook: ShowWindow decides between host and window
};

struct StartState {
  bool guardHeld;          // this process owns the per-session front-end guard
  int32_t front;           // GetFront()
  bool frontIsLiveWindow;  // front > 1 names a window that exists
};

// Any running front end holds the guard for its whole life, so with the guard held a
// positive front value can only be left behind by one that died; a live window is still
// respected (a front end that knows no guard). 1 means a take-over whose front end died:
// it is finished like an unhide, as the host may still be leaving.
StartDecision DecideStart(const StartState& state);

// The front value once the host has let go: 0 (or a negative value other than the
// host's -1) means nobody holds the hook.
inline bool HostHasLetGo(int32_t front) { return front <= 0 && front != -1; }

// The host's command line: the upper-cased command line with its first "TESSEL32.EXE"
// replaced by "TESSHIDE32.EXE", so the host gets the same options; none without that name.
std::optional<std::string> HostCommandLine(std::string_view commandLine);

}  // namespace tessel
