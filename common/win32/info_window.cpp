#include "info_window.h"

#include <cstdlib>

namespace tessel {
namespace {

HFONT CreateInformationFont() {
  LOGFONTA font = {};
  font.lfHeight = -11;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

}  // namespace

void ShowInformation(HINSTANCE module, const char* text, int32_t duration) {
  if (duration == 0) return;
  if (duration < 0) MessageBeep(0);
  // -2147483648 has no positive counterpart; it is shown as long as the largest value.
  const DWORD milliseconds = duration < 0 ? static_cast<DWORD>(-(static_cast<int64_t>(duration)))
                                          : static_cast<DWORD>(duration);
  if (!text) text = "";

  const int centreX = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int centreY = GetSystemMetrics(SM_CYSCREEN) / 2;
  HWND window = CreateDialogParamA(module, "INFORMDLG", nullptr, nullptr, 0);
  if (!window) {
    Sleep(milliseconds);
    return;
  }
  HDC dc = GetDC(window);
  HFONT font = CreateInformationFont();
  HGDIOBJ previousFont = SelectObject(dc, font);

  RECT measure = {0, 0, 0, 0};
  const int height = DrawTextA(dc, text, -1, &measure, DT_CALCRECT | DT_EXTERNALLEADING);
  const int width = measure.right;
  const int windowWidth = width + 20;
  const int windowHeight = height + 10;
  RECT drawing = {0, 3, width + 20, height + 7};
  MoveWindow(window, centreX - windowWidth / 2, centreY - windowHeight / 2, windowWidth,
             windowHeight, TRUE);
  ShowWindow(window, SW_SHOW);
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text, -1, &drawing, DT_CENTER | DT_VCENTER | DT_EXTERNALLEADING);

  // The caller is blocked on purpose: no messages are processed while the text shows.
  Sleep(milliseconds);

  SelectObject(dc, previousFont);
  DeleteObject(font);
  ReleaseDC(window, dc);
  DestroyWindow(window);
}

}  // namespace tessel
