#include "key_capture.h"

#include "frontend/key_capture_rules.h"

#include <commctrl.h>

namespace tessel {
namespace {

constexpr UINT_PTR kSubclassId = 0x4B45;  // "KE"

struct CaptureEvents {
  KeyEventHandler onKeyDown;
  KeyEventHandler onKeyUp;
};

bool AltInKeyData(LPARAM keyData) { return (static_cast<uint32_t>(keyData) & (1u << 29)) != 0; }

// The dialog manager asks before it handles a key itself: only Tab and Shift+Tab are left
// to it, everything else (Enter, Escape, arrows, Alt and F10 included) comes to the field.
LRESULT DialogCode(HWND edit, WPARAM wParam, LPARAM lParam) {
  const LRESULT own = DefSubclassProc(edit, WM_GETDLGCODE, wParam, lParam);
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (message && (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) &&
      KeyMovesFocus(static_cast<unsigned>(message->wParam), GetKeyState(VK_CONTROL) < 0,
                    AltInKeyData(message->lParam) || GetKeyState(VK_MENU) < 0))
    return own & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
  return own | DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB |
         DLGC_WANTMESSAGE;
}

LRESULT Report(const KeyEventHandler& handler, HWND edit, UINT message, WPARAM wParam,
               LPARAM lParam) {
  KeyMessage key{message, wParam, lParam, 0};
  // Nothing may unwind through the window procedure; handlers report their own failures.
  try {
    if (handler) handler(edit, key);
  } catch (...) {
  }
  return 0;  // the result is 0 whatever the handler did
}

LRESULT CALLBACK FieldProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
  CaptureEvents& events = *reinterpret_cast<CaptureEvents*>(data);
  switch (message) {
    case WM_GETDLGCODE:
      return DialogCode(edit, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return Report(events.onKeyDown, edit, message, wParam, lParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return Report(events.onKeyUp, edit, message, wParam, lParam);
    case WM_CHAR:
    case WM_SYSCHAR:
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
      RemoveWindowSubclass(edit, FieldProcedure, kSubclassId);
      delete &events;
      return result;
    }
    default:
      return DefSubclassProc(edit, message, wParam, lParam);
  }
}

}  // namespace

void MakeKeyCaptureField(HWND edit, KeyEventHandler onKeyDown, KeyEventHandler onKeyUp) {
  if (!edit) return;
  auto* events = new CaptureEvents{std::move(onKeyDown), std::move(onKeyUp)};
  if (!SetWindowSubclass(edit, FieldProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(events)))
    delete events;
}

}  // namespace tessel
