#include "char_selector.h"

#include "form.h"
#include "frontend/char_grid.h"

namespace tessel {
namespace {

constexpr const char* kCaption = "Tessel+ : Character selector";

struct CharSelector {
  HFONT font;
  GridCellSize cell = {1, 1};
};

CharSelector* StateOf(HWND window) {
  return reinterpret_cast<CharSelector*>(GetWindowLongPtrA(window, DWLP_USER));
}

GridCellSize MeasureCells(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return CellSizeFromFont(metrics.tmMaxCharWidth, metrics.tmHeight);
}

void SetClientSize(HWND window, int width, int height) {
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  const int outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2, outerWidth, outerHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnInitDialog(HWND window, CharSelector& s) {
  SetWindowTextA(window, kCaption);
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), FALSE);
  s.cell = MeasureCells(window, s.font);
  SetClientSize(window, GridClientWidth(s.cell), GridClientHeight(s.cell));
}

// Grid lines in the face colour, each cell filled with the window colour and its character
// at the cell's top-left corner.
void OnPaint(HWND window, const CharSelector& s) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ previous = SelectObject(dc, s.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  for (int row = 0; row < kGridRows; ++row) {
    for (int column = 0; column < kGridColumns; ++column) {
      const GridRect cell = GridCellRect(s.cell, column, row);
      const RECT rect = {cell.left, cell.top, cell.right, cell.bottom};
      FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
      const char character = static_cast<char>(GridCellCode(column, row));
      ExtTextOutA(dc, cell.left, cell.top, ETO_CLIPPED, &rect, &character, 1, nullptr);
    }
  }
  SelectObject(dc, previous);
  EndPaint(window, &paint);
}

void OnLeftButtonDown(HWND window, const CharSelector& s, LPARAM position) {
  const uint8_t code = GridCodeAt(s.cell, static_cast<short>(LOWORD(position)),
                                  static_cast<short>(HIWORD(position)));
  if (code) EndDialog(window, code);
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    OnInitDialog(window, *StateOf(window));
    return TRUE;
  }
  CharSelector* s = StateOf(window);
  if (!s) return FALSE;
  switch (message) {
    case WM_PAINT:
      OnPaint(window, *s);
      return TRUE;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown(window, *s, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) EndDialog(window, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

uint8_t ChooseCharacter(HWND owner, HFONT font) {
  CharSelector selector{font};
  const INT_PTR result = ui::RunModalDialog(owner, "TGridform", DialogProcedure,
                                            reinterpret_cast<LPARAM>(&selector));
  return result > 0 && result <= 255 ? static_cast<uint8_t>(result) : 0;
}

}  // namespace tessel
