#include "char_selector.h"

#include "form.h"
#include "frontend/char_grid.h"

namespace tessel {
namespace {

constexpr const char* kCaption = "Tessel+ : Character selector";

class CharSelector : public ui::Window {
 public:
  explicit CharSelector(HFONT font) : font_(font) {}
  // The clicked character's code; 0 when the window was closed without a choice.
  uint8_t Run(HWND owner) {
    const INT_PTR result = RunModal(owner, "TGridform");
    return result > 0 && result <= 255 ? static_cast<uint8_t>(result) : 0;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      TESSEL_DIALOG_MESSAGE(WM_INITDIALOG, OnInitDialog);
      TESSEL_DIALOG_MESSAGE(WM_PAINT, OnPaint);
      TESSEL_DIALOG_MESSAGE(WM_LBUTTONDOWN, OnLeftButtonDown);
      TESSEL_DIALOG_MESSAGE(WM_COMMAND, OnCommand);
      default:
        return FALSE;
    }
  }

 private:
  BOOL OnInitDialog(HWND, LPARAM) {
    ui::SetText(Handle(), kCaption);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    HDC dc = GetDC(Handle());
    HGDIOBJ previous = SelectObject(dc, font_);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(Handle(), dc);
    cell_ = CellSizeFromFont(metrics.tmMaxCharWidth, metrics.tmHeight);

    RECT frame = {0, 0, GridClientWidth(cell_), GridClientHeight(cell_)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
  }

  // Grid lines in the face colour, each cell filled with the window colour and its
  // character at the cell's top-left corner.
  void OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ previous = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (int row = 0; row < kGridRows; ++row) {
      for (int column = 0; column < kGridColumns; ++column) {
        const GridRect cell = GridCellRect(cell_, column, row);
        const RECT rect = {cell.left, cell.top, cell.right, cell.bottom};
        FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
        const char character = static_cast<char>(GridCellCode(column, row));
        ExtTextOutA(dc, cell.left, cell.top, ETO_CLIPPED, &rect, &character, 1, nullptr);
      }
    }
    SelectObject(dc, previous);
    EndPaint(Handle(), &paint);
  }

  void OnLeftButtonDown(BOOL, int x, int y, UINT) {
    if (const uint8_t code = GridCodeAt(cell_, x, y)) EndDialog(Handle(), code);
  }

  // Escape and the close box.
  void OnCommand(int id, HWND, UINT) {
    if (id == IDCANCEL) EndDialog(Handle(), 0);
  }

  HFONT font_;
  GridCellSize cell_ = {1, 1};
};

}  // namespace

uint8_t ChooseCharacter(HWND owner, HFONT font) { return CharSelector(font).Run(owner); }

}  // namespace tessel
