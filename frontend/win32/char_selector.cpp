#include "char_selector.h"

#include "form.h"
#include "frontend/char_grid.h"
#include "wide_text.h"

#include <string>
#include <vector>

namespace tessel {
namespace {

constexpr const char* kCaption = "Tessel+ : Character selector";
constexpr UINT kFirstPageCommand = 1000;  // Block menu entry of page i: 1000 + i
constexpr DWORD kCmapTable = 0x70616D63;  // "cmap", as GetFontData names tables

// The characters the font has glyphs for: its character map, or what the system reports
// for a font without one.
FontCoverage CoverageOf(HDC dc) {
  const DWORD size = GetFontData(dc, kCmapTable, 0, nullptr, 0);
  if (size != GDI_ERROR && size > 0) {
    std::string table(size, '\0');
    if (GetFontData(dc, kCmapTable, 0, table.data(), size) == size) {
      FontCoverage coverage = FontCoverage::FromCmapTable(table);
      if (!coverage.Ranges().empty()) return coverage;
    }
  }
  std::vector<FontCoverage::Range> ranges;
  const DWORD bytes = GetFontUnicodeRanges(dc, nullptr);
  if (bytes > 0) {
    std::vector<BYTE> buffer(bytes);
    auto* set = reinterpret_cast<GLYPHSET*>(buffer.data());
    if (GetFontUnicodeRanges(dc, set) != 0)
      for (DWORD i = 0; i < set->cRanges; ++i)
        ranges.push_back({set->ranges[i].wcLow, static_cast<char32_t>(set->ranges[i].wcLow + set->ranges[i].cGlyphs - 1)});
  }
  return FontCoverage(std::move(ranges));
}

class CharSelector : public ui::Window {
 public:
  explicit CharSelector(HFONT font) : font_(font) {}
  char32_t Run(HWND owner) {
    const INT_PTR result = RunModal(owner, "TGridform");
    return result > 0 && result <= 0x10FFFF ? static_cast<char32_t>(result) : 0;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      TESSEL_DIALOG_MESSAGE(WM_INITDIALOG, OnInitDialog);
      TESSEL_DIALOG_MESSAGE(WM_PAINT, OnPaint);
      TESSEL_DIALOG_MESSAGE(WM_LBUTTONDOWN, OnLeftButtonDown);
      TESSEL_DIALOG_MESSAGE(WM_KEYDOWN, OnKeyDown);
      TESSEL_DIALOG_MESSAGE(WM_COMMAND, OnCommand);
      default:
        return FALSE;
    }
  }

 private:
  BOOL OnInitDialog(HWND, LPARAM) {
    ui::SetText(Handle(), kCaption);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    HDC dc = GetDC(Handle());
    HGDIOBJ previous = SelectObject(dc, font_);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    coverage_ = CoverageOf(dc);
    SelectObject(dc, previous);
    ReleaseDC(Handle(), dc);
    cell_ = CellSizeFromFont(metrics.tmMaxCharWidth, metrics.tmHeight);
    pages_ = GridPages(coverage_);

    // The Block menu lies outside the client area, which stays the grid alone.
    HMENU blocks = CreatePopupMenu();
    for (size_t i = 0; i < pages_.size(); ++i)
      ui::AppendMenuItem(blocks, kFirstPageCommand + static_cast<UINT>(i), pages_[i].name);
    HMENU bar = CreateMenu();
    ui::AppendSubmenu(bar, blocks, "&Block");
    SetMenu(Handle(), bar);  // destroyed with the window
    ShowPage(0);

    RECT frame = {0, 0, GridClientWidth(cell_), GridClientHeight(cell_)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar narrower than its items wraps: the client area keeps the grid's height.
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.bottom != GridClientHeight(cell_))
      SetWindowPos(Handle(), nullptr, 0, 0, width, height + GridClientHeight(cell_) - client.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
  }

  void ShowPage(size_t page) {
    if (page >= pages_.size()) return;
    page_ = page;
    HMENU blocks = GetSubMenu(GetMenu(Handle()), 0);
    for (size_t i = 0; i < pages_.size(); ++i)
      CheckMenuItem(blocks, kFirstPageCommand + static_cast<UINT>(i), i == page ? MF_CHECKED : MF_UNCHECKED);
    InvalidateRect(Handle(), nullptr, TRUE);
  }

  // The character of a cell; 0 for an empty cell and for one whose glyph the font lacks.
  char32_t CharacterAt(int column, int row) const {
    const GridPage& page = pages_[page_];
    char32_t character = PageCellCharacter(page, column, row);
    if (character != 0 && page.codePage) {
      const char byte = static_cast<char>(character);
      const std::u16string unicode = ProcessAnsiCodePage().ToUtf16(std::string_view(&byte, 1));
      character = unicode.size() == 1 ? unicode[0] : 0;
    }
    return character != 0 && coverage_.Covers(character) ? character : 0;
  }

  // Grid lines in the face colour, each cell filled with the window colour and its
  // character at the cell's top-left corner; a character without a glyph stays empty.
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
        const char32_t character = CharacterAt(column, row);
        if (character == 0) continue;
        std::string utf8;
        AppendUtf8(utf8, character);
        const std::wstring text = Wide(utf8);
        ExtTextOutW(dc, cell.left, cell.top, ETO_CLIPPED, &rect, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
      }
    }
    SelectObject(dc, previous);
    EndPaint(Handle(), &paint);
  }

  void OnLeftButtonDown(BOOL, int x, int y, UINT) {
    int column = 0, row = 0;
    if (!GridCellAt(cell_, x, y, column, row)) return;
    if (const char32_t character = CharacterAt(column, row))
      EndDialog(Handle(), static_cast<INT_PTR>(character));
  }

  void OnKeyDown(UINT key, BOOL, int, UINT) {
    if (key == VK_NEXT && page_ + 1 < pages_.size()) ShowPage(page_ + 1);
    if (key == VK_PRIOR && page_ > 0) ShowPage(page_ - 1);
  }

  // A page chosen in the Block menu; Escape and the close box.
  void OnCommand(int id, HWND, UINT) {
    if (id == IDCANCEL) EndDialog(Handle(), 0);
    if (id >= static_cast<int>(kFirstPageCommand)) ShowPage(static_cast<size_t>(id) - kFirstPageCommand);
  }

  HFONT font_;
  GridCellSize cell_ = {1, 1};
  FontCoverage coverage_;
  std::vector<GridPage> pages_;
  size_t page_ = 0;
};

}  // namespace

char32_t ChooseCharacter(HWND owner, HFONT font) { return CharSelector(font).Run(owner); }

}  // namespace tessel
