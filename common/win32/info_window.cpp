#include "info_window.h"

#include "common/text_encoding.h"
#include "dpi.h"

#include <string>

namespace tessel {
namespace {

// Longest time between two looks at whether the window needs painting, should a paint
// request not wake the wait.
constexpr DWORD kPaintCheckMs = 50;

// What the dialog procedure paints; lives on the caller's stack for one call.
struct Information {
  const wchar_t* text;
  HFONT font;
  RECT drawing;
};

HFONT CreateInformationFont(UINT dpi) {
  LOGFONTW font = {};
  font.lfHeight = PixelsAtDpi(-11, dpi);
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

void OnPaint(HWND window, const Information& info) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc) return;
  HGDIOBJ previousFont = info.font ? SelectObject(dc, info.font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  RECT drawing = info.drawing;
  DrawTextW(dc, info.text, -1, &drawing, DT_CENTER | DT_VCENTER | DT_EXTERNALLEADING);
  if (previousFont) SelectObject(dc, previousFont);
  EndPaint(window, &paint);
}

INT_PTR CALLBACK InformationProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      return FALSE;  // the window has no control to give the focus to
    case WM_PAINT: {
      const auto* info = reinterpret_cast<const Information*>(GetWindowLongPtrW(window, DWLP_USER));
      if (!info) return FALSE;
      OnPaint(window, *info);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// Sizes the window to the text plus its margins, both for the DPI of the window's monitor,
// and centres it on the screen.
void Place(HWND window, Information& info, UINT dpi) {
  HDC dc = GetDC(window);
  if (!dc) return;
  HGDIOBJ previousFont = info.font ? SelectObject(dc, info.font) : nullptr;
  RECT measure = {0, 0, 0, 0};
  const int height = DrawTextW(dc, info.text, -1, &measure, DT_CALCRECT | DT_EXTERNALLEADING);
  if (previousFont) SelectObject(dc, previousFont);
  ReleaseDC(window, dc);

  const int width = measure.right;
  const int windowWidth = width + PixelsAtDpi(20, dpi);
  const int windowHeight = height + PixelsAtDpi(10, dpi);
  info.drawing = {0, PixelsAtDpi(3, dpi), windowWidth, height + PixelsAtDpi(7, dpi)};
  const int centreX = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int centreY = GetSystemMetrics(SM_CYSCREEN) / 2;
  MoveWindow(window, centreX - windowWidth / 2, centreY - windowHeight / 2, windowWidth,
             windowHeight, TRUE);
}

// Blocks for the duration while keeping the window painted. The caller may be another
// application's thread inside the keyboard hook: no message of its queue is taken or
// dispatched; only this window is painted, directly through its procedure.
void ShowFor(HWND window, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    UpdateWindow(window);
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    const DWORD remaining = milliseconds - elapsed;
    const DWORD wait = remaining < kPaintCheckMs ? remaining : kPaintCheckMs;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_PAINT);
    // Marks the paint requests seen so far as known, so that the next wait sleeps again.
    GetQueueStatus(QS_PAINT);
  }
}

}  // namespace

void ShowInformation(HINSTANCE module, const char* text, int32_t duration) {
  if (duration == 0) return;
  if (duration < 0) MessageBeep(0);
  // -2147483648 has no positive counterpart in 32 bits; its absolute value fits a DWORD.
  const DWORD milliseconds = duration < 0 ? static_cast<DWORD>(-(static_cast<int64_t>(duration)))
                                          : static_cast<DWORD>(duration);

  const std::u16string wide = Utf8ToUtf16(text ? text : "");
  const std::wstring shown(wide.begin(), wide.end());
  Information info = {shown.c_str(), nullptr, {0, 0, 0, 0}};
  // Sharp at any scaling, whether or not the program typed into declares itself DPI-aware.
  PerMonitorDpiScope perMonitor;
  HWND window = CreateDialogParamW(module, L"INFORMDLG", nullptr, InformationProc,
                                   reinterpret_cast<LPARAM>(&info));
  if (window) {
    const UINT dpi = WindowDpi(window);
    info.font = CreateInformationFont(dpi);
    Place(window, info, dpi);
    // Not activated: the application being typed into keeps its focus, and an activated
    // popup costs seconds in DestroyWindow under Wine (docs/platform-notes.md).
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ShowFor(window, milliseconds);
    DestroyWindow(window);
  } else {
    Sleep(milliseconds);
  }
  if (info.font) DeleteObject(info.font);
}

}  // namespace tessel
