// The player's and the macro commands' operating-system calls, done for real.
#pragma once
#include "hooklib/player_platform.h"

#include <windows.h>

namespace tessel {

class Win32PlayerPlatform : public PlayerPlatform {
 public:
  // module holds the "INFORMDLG" resource used by ShowInformation.
  explicit Win32PlayerPlatform(HINSTANCE module) : module_(module) {}

  WindowHandle FocusWindow() override;
  WindowHandle ForegroundWindow() override;
  uint32_t WindowThread(WindowHandle window) override;
  uint32_t CurrentThread() override;
  bool AttachInput(uint32_t from, uint32_t to, bool attach) override;
  void ReadKeyboardState(uint8_t state[256]) override;
  void WriteKeyboardState(const uint8_t state[256]) override;
  uint32_t MapKey(uint32_t code, uint32_t mapType) override;
  void Post(WindowHandle window, uint32_t message, uintptr_t wParam, uint32_t lParam) override;
  uint32_t TickCount() override;
  uint32_t StartProgram(const std::string& commandLine) override;
  void ShowInformation(const std::string& text, int32_t duration) override;
  std::vector<WindowHandle> TopLevelWindows() override;
  std::vector<WindowHandle> ChildWindows(WindowHandle parent) override;
  bool Visible(WindowHandle window) override;
  std::string WindowText(WindowHandle window) override;
  bool Minimised(WindowHandle window) override;
  void Restore(WindowHandle window) override;
  bool BringToForeground(WindowHandle window) override;
  void GiveFocus(WindowHandle window) override;

 private:
  HINSTANCE module_;
  uint32_t playerAttached_ = 0;  // thread whose input AttachInput attached this thread to
};

}  // namespace tessel
