// What the replacement-text player and the macro commands ask of the operating system.
// The Win32 build implements it with the real calls; tests use a recording double.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

using WindowHandle = uintptr_t;

// Window message numbers the player posts.
constexpr uint32_t kMsgKeyDown = 0x0100;
constexpr uint32_t kMsgKeyUp = 0x0101;
constexpr uint32_t kMsgChar = 0x0102;
constexpr uint32_t kMsgSysKeyDown = 0x0104;
constexpr uint32_t kMsgSysKeyUp = 0x0105;

class PlayerPlatform {
 public:
  virtual ~PlayerPlatform() = default;

  // Focus and input.
  virtual WindowHandle FocusWindow() = 0;                     // GetFocus
  virtual WindowHandle ForegroundWindow() = 0;                // GetForegroundWindow
  virtual uint32_t WindowThread(WindowHandle window) = 0;     // GetWindowThreadProcessId
  virtual uint32_t CurrentThread() = 0;                       // GetCurrentThreadId
  virtual bool AttachInput(uint32_t from, uint32_t to, bool attach) = 0;  // AttachThreadInput
  virtual void ReadKeyboardState(uint8_t state[256]) = 0;    // GetKeyboardState
  virtual void WriteKeyboardState(const uint8_t state[256]) = 0;  // SetKeyboardState
  virtual uint32_t MapKey(uint32_t code, uint32_t mapType) = 0;    // MapVirtualKeyA
  virtual void Post(WindowHandle window, uint32_t message, uintptr_t wParam, uint32_t lParam) = 0;

  // Time, programs, messages.
  virtual uint32_t TickCount() = 0;                                    // GetTickCount
  virtual uint32_t StartProgram(const std::string& commandLine) = 0;  // WinExec(.., SW_SHOW)
  virtual void ShowInformation(const std::string& text, int32_t duration) = 0;

  // Windows, for Focus.
  virtual std::vector<WindowHandle> TopLevelWindows() = 0;           // EnumWindows order
  virtual std::vector<WindowHandle> ChildWindows(WindowHandle parent) = 0;  // EnumChildWindows
  virtual bool Visible(WindowHandle window) = 0;
  virtual std::string WindowText(WindowHandle window) = 0;  // at most 253 characters
  virtual bool Minimised(WindowHandle window) = 0;           // IsIconic
  virtual void Restore(WindowHandle window) = 0;             // ShowWindow(SW_RESTORE)
  virtual bool BringToForeground(WindowHandle window) = 0;   // SetForegroundWindow
  virtual void GiveFocus(WindowHandle window) = 0;           // SetFocus
};

}  // namespace tessel
