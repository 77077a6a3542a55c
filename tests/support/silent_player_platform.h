// A player platform that does nothing: for tests and benchmarks that look at what the
// player is given, not at what it sends.
#pragma once
#include "hooklib/player_platform.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tessel {

class SilentPlayerPlatform : public PlayerPlatform {
 public:
  WindowHandle FocusWindow() override { return 0; }
  WindowHandle ForegroundWindow() override { return 0; }
  uint32_t WindowThread(WindowHandle) override { return 0; }
  uint32_t CurrentThread() override { return 1; }
  bool AttachInput(uint32_t, uint32_t, bool) override { return false; }
  void ReadKeyboardState(uint8_t state[256]) override { std::fill(state, state + 256, 0); }
  void WriteKeyboardState(const uint8_t[256]) override {}
  uint32_t MapKey(uint32_t, uint32_t) override { return 0; }
  void Post(WindowHandle, uint32_t, uintptr_t, uint32_t) override {}
  uint32_t TickCount() override { return 0; }
  uint32_t StartProgram(const std::string&) override { return 33; }
  void ShowInformation(const std::string&, int32_t) override {}
  std::vector<WindowHandle> TopLevelWindows() override { return {}; }
  std::vector<WindowHandle> ChildWindows(WindowHandle) override { return {}; }
  bool Visible(WindowHandle) override { return false; }
  std::string WindowText(WindowHandle) override { return {}; }
  bool Minimised(WindowHandle) override { return false; }
  void Restore(WindowHandle) override {}
  bool BringToForeground(WindowHandle) override { return false; }
  void GiveFocus(WindowHandle) override {}
};

}  // namespace tessel
