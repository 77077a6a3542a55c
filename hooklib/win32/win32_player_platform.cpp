// The player's and the macro commands' operating-system calls.
#include "win32_player_platform.h"

#include "common/text_encoding.h"
#include "info_window.h"

#include <new>

namespace tessel {
namespace {

HWND AsWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle AsHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// Enumeration callbacks: nothing may unwind through the system's callback frames.
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  try {
    reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(AsHandle(window));
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

}  // namespace

// A thread whose window has just lost the foreground to another application keeps its old
// focus under Wine until it processes its messages; it has no keyboard focus any more, so
// report none, as Windows does, and let the player attach to the new foreground thread.
WindowHandle Win32PlayerPlatform::FocusWindow() {
  HWND focus = GetFocus();
  if (focus != nullptr && GetAncestor(focus, GA_ROOT) != GetForegroundWindow()) return 0;
  return AsHandle(focus);
}

WindowHandle Win32PlayerPlatform::ForegroundWindow() { return AsHandle(GetForegroundWindow()); }

uint32_t Win32PlayerPlatform::WindowThread(WindowHandle window) {
  return GetWindowThreadProcessId(AsWindow(window), nullptr);
}

uint32_t Win32PlayerPlatform::CurrentThread() { return GetCurrentThreadId(); }

bool Win32PlayerPlatform::AttachInput(uint32_t from, uint32_t to, bool attach) {
  const bool done = AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
  if (from == GetCurrentThreadId()) {
    if (attach && done) playerAttached_ = to;
    if (!attach && to == playerAttached_) playerAttached_ = 0;
  }
  return done;
}

void Win32PlayerPlatform::ReadKeyboardState(uint8_t state[256]) { GetKeyboardState(state); }

void Win32PlayerPlatform::WriteKeyboardState(const uint8_t state[256]) {
  SetKeyboardState(const_cast<BYTE*>(state));
}

uint32_t Win32PlayerPlatform::MapKey(uint32_t code, uint32_t mapType) {
  return MapVirtualKeyA(code, mapType);
}

// Characters are UTF-16 code units: a Unicode window receives them as they are, an ANSI
// window the system's conversion to its code page.
void Win32PlayerPlatform::Post(WindowHandle window, uint32_t message, uintptr_t wParam, uint32_t lParam) {
  PostMessageW(AsWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

uint32_t Win32PlayerPlatform::TickCount() { return GetTickCount(); }

// What WinExec does, for a command line in any script: CreateProcess searches as WinExec
// does, the program is shown, and the call waits (at most 30 s) until the program reads its
// input. The result follows WinExec's: above 31 when it started, an error code below.
uint32_t Win32PlayerPlatform::StartProgram(const std::string& commandLine) {
  const std::u16string text = Utf8ToUtf16(commandLine);
  std::wstring line(text.begin(), text.end());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    const DWORD error = GetLastError();
    return error > 0 && error < 32 ? error : ERROR_FILE_NOT_FOUND;
  }
  WaitForInputIdle(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 33;
}

void Win32PlayerPlatform::ShowInformation(const std::string& text, int32_t duration) {
  tessel::ShowInformation(module_, text.c_str(), duration);
}

std::vector<WindowHandle> Win32PlayerPlatform::TopLevelWindows() {
  std::vector<WindowHandle> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<WindowHandle> Win32PlayerPlatform::ChildWindows(WindowHandle parent) {
  std::vector<WindowHandle> windows;
  EnumChildWindows(AsWindow(parent), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool Win32PlayerPlatform::Visible(WindowHandle window) { return IsWindowVisible(AsWindow(window)) != FALSE; }

std::string Win32PlayerPlatform::WindowText(WindowHandle window) {
  wchar_t buffer[256] = {};
  const int length = GetWindowTextW(AsWindow(window), buffer, 254);
  if (length <= 0) return {};
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer),
                                         static_cast<size_t>(length < 253 ? length : 253)));
}

bool Win32PlayerPlatform::Minimised(WindowHandle window) { return IsIconic(AsWindow(window)) != FALSE; }

void Win32PlayerPlatform::Restore(WindowHandle window) { ShowWindow(AsWindow(window), SW_RESTORE); }

// SetForegroundWindow fails for a child window (Wine returns FALSE): the window that can
// come forward is the child's top-level ancestor.
bool Win32PlayerPlatform::BringToForeground(WindowHandle window) {
  HWND root = GetAncestor(AsWindow(window), GA_ROOT);
  if (root == nullptr) root = AsWindow(window);
  const bool done = SetForegroundWindow(root) != FALSE;
  // The new foreground thread activates its window when it next reads its messages, and
  // activation moves its focus. Let that happen now, so that a focus given right after this
  // is not taken away again; a hung window costs at most half a second.
  if (done && GetWindowThreadProcessId(root, nullptr) != GetCurrentThreadId()) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(root, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored);
  }
  return done;
}

// SetFocus works only on windows of a thread whose input this thread shares. For a window
// of another thread the input is attached just around the call, unless the player already
// holds an attachment to that thread (detaching here would end the player's as well).
void Win32PlayerPlatform::GiveFocus(WindowHandle window) {
  const DWORD self = GetCurrentThreadId();
  const DWORD owner = GetWindowThreadProcessId(AsWindow(window), nullptr);
  const bool attach = owner != 0 && owner != self && owner != playerAttached_ &&
                      AttachThreadInput(self, owner, TRUE) != FALSE;
  SetFocus(AsWindow(window));
  if (attach) AttachThreadInput(self, owner, FALSE);
}

}  // namespace tessel
