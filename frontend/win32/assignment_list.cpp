#include "assignment_list.h"

#include "wide_text.h"

#include <string>

namespace tessel {

// The list holds each row's visible text in UTF-16 and, as two more characters, the key
// code and the state byte.
void FillAssignmentList(HWND list, const std::vector<AssignmentRow>& rows) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (const AssignmentRow& row : rows) bytes += 2 * (row.visible.size() + 3);
  SendMessageW(list, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(bytes));
  for (const AssignmentRow& row : rows) {
    std::wstring text = Wide(row.visible);
    text += static_cast<wchar_t>(row.keyCode);
    text += static_cast<wchar_t>(row.stateByte);
    const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) SendMessageW(list, LB_SETITEMDATA, index, RowKey(row.keyCode, row.stateByte));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

bool RowKeyAt(HWND list, int index, uint8_t& keyCode, uint8_t& stateByte) {
  const LRESULT data = SendMessageW(list, LB_GETITEMDATA, index, 0);
  if (index < 0 || data == LB_ERR) return false;
  keyCode = KeyCodeOfRowKey(static_cast<uint32_t>(data));
  stateByte = StateByteOfRowKey(static_cast<uint32_t>(data));
  return keyCode != 0;
}

void SelectRowOfKey(HWND list, uint8_t keyCode, uint8_t stateByte) {
  const uint32_t wanted = RowKey(keyCode, stateByte);
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (static_cast<uint32_t>(SendMessageW(list, LB_GETITEMDATA, i, 0)) == wanted) {
      SendMessageW(list, LB_SETCURSEL, i, 0);
      return;
    }
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void DrawAssignmentRow(const DRAWITEMSTRUCT& item, HFONT ownFont, HFONT displayFont, int zoom) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  if (item.itemID == static_cast<UINT>(-1) || item.itemAction == ODA_FOCUS) {
    DrawFocusRect(dc, &rect);
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const COLORREF textColour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);

  const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  std::wstring wide(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
  const LRESULT copied = length > 0 ? SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID,
                                                   reinterpret_cast<LPARAM>(wide.data()))
                                    : 0;
  wide.resize(copied > 2 ? static_cast<size_t>(copied) - 2 : 0);  // the key characters are not drawn
  const std::string text = Utf8(wide);

  HGDIOBJ previous = SelectObject(dc, ownFont);
  SetTextColor(dc, textColour);
  SetBkMode(dc, TRANSPARENT);
  int pen = rect.left + kRowPenStart;
  int tabs = 0;
  bool display = false;
  for (const RowPiece& piece : SplitRow(text)) {
    if (pen > rect.right) break;  // the rest lies outside the row
    switch (piece.kind) {
      case RowPiece::Run: {
        const std::wstring run = Wide(piece.text);
        const int size = static_cast<int>(run.size());
        TextOutW(dc, pen, rect.top, run.c_str(), size);
        SIZE extent = {0, 0};
        GetTextExtentPoint32W(dc, run.c_str(), size, &extent);
        pen += extent.cx;
        break;
      }
      case RowPiece::Tab:
        pen = rect.left + RowTabStop(tabs++, zoom);
        break;
      case RowPiece::FontSwitch:
        display = !display;
        SelectObject(dc, display && displayFont ? displayFont : ownFont);
        SetTextColor(dc, textColour);
        break;
    }
  }
  SelectObject(dc, previous);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
}

}  // namespace tessel
