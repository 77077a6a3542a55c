// Skeleton; filled in by the player work.
#include "win32_player_platform.h"

#include "info_window.h"

namespace tessel {
WindowHandle Win32PlayerPlatform::FocusWindow() { return 0; }
WindowHandle Win32PlayerPlatform::ForegroundWindow() { return 0; }
uint32_t Win32PlayerPlatform::WindowThread(WindowHandle) { return 0; }
uint32_t Win32PlayerPlatform::CurrentThread() { return GetCurrentThreadId(); }
bool Win32PlayerPlatform::AttachInput(uint32_t, uint32_t, bool) { return false; }
void Win32PlayerPlatform::ReadKeyboardState(uint8_t[256]) {}
void Win32PlayerPlatform::WriteKeyboardState(const uint8_t[256]) {}
uint32_t Win32PlayerPlatform::MapKey(uint32_t, uint32_t) { return 0; }
void Win32PlayerPlatform::Post(WindowHandle, uint32_t, uintptr_t, uint32_t) {}
uint32_t Win32PlayerPlatform::TickCount() { return GetTickCount(); }
uint32_t Win32PlayerPlatform::StartProgram(const std::string&) { return 0; }
void Win32PlayerPlatform::ShowInformation(const std::string& text, int32_t duration) {
  tessel::ShowInformation(module_, text.c_str(), duration);
}
std::vector<WindowHandle> Win32PlayerPlatform::TopLevelWindows() { return {}; }
std::vector<WindowHandle> Win32PlayerPlatform::ChildWindows(WindowHandle) { return {}; }
bool Win32PlayerPlatform::Visible(WindowHandle) { return false; }
std::string Win32PlayerPlatform::WindowText(WindowHandle) { return {}; }
bool Win32PlayerPlatform::Minimised(WindowHandle) { return false; }
void Win32PlayerPlatform::Restore(WindowHandle) {}
bool Win32PlayerPlatform::BringToForeground(WindowHandle) { return false; }
void Win32PlayerPlatform::GiveFocus(WindowHandle) {}
}  // namespace tessel
