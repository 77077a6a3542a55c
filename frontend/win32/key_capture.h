// The keystroke capture field (TKeyEdit): a one-line edit that takes no keystrokes as
// text. Every key-down and key-up is reported to a handler and swallowed, characters are
// swallowed, so Alt combinations, F10, Alt+F4, Enter, Escape and the arrows never reach
// the edit, the menu or the dialog. Tab and Shift+Tab (without Control or Alt) still move
// the focus. Mouse, context menu and clipboard keep the edit's own behaviour; the text
// changes only when the program sets it.
#pragma once
#include <windows.h>

#include <functional>

namespace tessel {

// One keyboard message as the field received it; the handler may read and change it.
struct KeyMessage {
  UINT message;  // WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP or WM_SYSKEYUP
  WPARAM virtualKey;
  LPARAM keyData;      // repeat count, scan code (bits 16-23), extended (24), Alt (29), ...
  LRESULT result = 0;  // the field answers 0 whatever the handler sets
};
using KeyEventHandler = std::function<void(HWND sender, KeyMessage& message)>;

// Turns edit into a capture field. Either handler may be empty (the messages are then
// only swallowed). The handlers live as long as the field.
void MakeKeyCaptureField(HWND edit, KeyEventHandler onKeyDown, KeyEventHandler onKeyUp = nullptr);

}  // namespace tessel
