#include "frontend/char_grid.h"

#include <algorithm>

namespace tessel {
namespace {

constexpr int kGridLine = 1;  // between cells and around them
constexpr int kBorder = 1;    // left and top edge before the first cell

// Index of the cell a coordinate falls in along one axis, -1 outside.
int CellIndex(int position, int cellExtent, int count) {
  const int offset = position - kBorder;
  if (offset < 0 || cellExtent <= 0) return -1;
  const int pitch = cellExtent + kGridLine;
  const int index = offset / pitch;
  return index < count ? index : -1;
}

}  // namespace

GridCellSize CellSizeFromFont(int maxCharWidth, int charHeight) {
  return {maxCharWidth + 1, charHeight + 1};
}

int GridClientWidth(const GridCellSize& size) {
  return (size.columnWidth + 1) * kGridColumns + 3;
}

int GridClientHeight(const GridCellSize& size) { return (size.rowHeight + 1) * kGridRows + 3; }

uint8_t GridCellCode(int column, int row) {
  return static_cast<uint8_t>(kGridFirstCode + kGridColumns * row + column);
}

GridRect GridCellRect(const GridCellSize& size, int column, int row) {
  const int left = kBorder + column * (size.columnWidth + kGridLine);
  const int top = kBorder + row * (size.rowHeight + kGridLine);
  return {left, top, left + size.columnWidth, top + size.rowHeight};
}

const std::vector<UnicodeBlock> kUnicodeBlocks = {
    {"Latin-1 Supplement", 0x00A0, 0x00FF},
    {"Latin Extended-A", 0x0100, 0x017F},
    {"Latin Extended-B", 0x0180, 0x024F},
    {"IPA Extensions", 0x0250, 0x02AF},
    {"Spacing Modifier Letters", 0x02B0, 0x02FF},
    {"Combining Diacritical Marks", 0x0300, 0x036F},
    {"Greek and Coptic", 0x0370, 0x03FF},
    {"Cyrillic", 0x0400, 0x04FF},
    {"Cyrillic Supplement", 0x0500, 0x052F},
    {"Armenian", 0x0530, 0x058F},
    {"Hebrew", 0x0590, 0x05FF},
    {"Arabic", 0x0600, 0x06FF},
    {"Devanagari", 0x0900, 0x097F},
    {"Thai", 0x0E00, 0x0E7F},
    {"Georgian", 0x10A0, 0x10FF},
    {"Phonetic Extensions", 0x1D00, 0x1D7F},
    {"Latin Extended Additional", 0x1E00, 0x1EFF},
    {"Greek Extended", 0x1F00, 0x1FFF},
    {"General Punctuation", 0x2000, 0x206F},
    {"Superscripts and Subscripts", 0x2070, 0x209F},
    {"Currency Symbols", 0x20A0, 0x20CF},
    {"Letterlike Symbols", 0x2100, 0x214F},
    {"Number Forms", 0x2150, 0x218F},
    {"Arrows", 0x2190, 0x21FF},
    {"Mathematical Operators", 0x2200, 0x22FF},
    {"Miscellaneous Technical", 0x2300, 0x23FF},
    {"Enclosed Alphanumerics", 0x2460, 0x24FF},
    {"Box Drawing", 0x2500, 0x257F},
    {"Block Elements", 0x2580, 0x259F},
    {"Geometric Shapes", 0x25A0, 0x25FF},
    {"Miscellaneous Symbols", 0x2600, 0x26FF},
    {"Dingbats", 0x2700, 0x27BF},
    {"Supplemental Arrows-A", 0x27F0, 0x27FF},
    {"Braille Patterns", 0x2800, 0x28FF},
    {"Supplemental Mathematical Operators", 0x2A00, 0x2AFF},
    {"Latin Extended-C", 0x2C60, 0x2C7F},
    {"CJK Symbols and Punctuation", 0x3000, 0x303F},
    {"Hiragana", 0x3040, 0x309F},
    {"Katakana", 0x30A0, 0x30FF},
    {"Alphabetic Presentation Forms", 0xFB00, 0xFB4F},
    {"Halfwidth and Fullwidth Forms", 0xFF00, 0xFFEF},
    {"Miscellaneous Symbols and Pictographs", 0x1F300, 0x1F5FF},
    {"Emoticons (Emoji)", 0x1F600, 0x1F64F},
    {"Transport and Map Symbols", 0x1F680, 0x1F6FF},
    {"Supplemental Symbols and Pictographs", 0x1F900, 0x1F9FF},
};

std::vector<GridPage> GridPages(const FontCoverage& font) {
  std::vector<GridPage> pages = {{"Code page", 32, 255, true}};
  for (const UnicodeBlock& block : kUnicodeBlocks) {
    const int count = static_cast<int>((block.last - block.first) / kGridCells) + 1;
    for (int p = 0; p < count; ++p) {
      const char32_t first = block.first + static_cast<char32_t>(p * kGridCells);
      const char32_t last = std::min<char32_t>(block.last, first + kGridCells - 1);
      if (!font.CoversAny(first, last)) continue;
      std::string name = block.name;
      if (count > 1) name += " (" + std::to_string(p + 1) + " of " + std::to_string(count) + ")";
      pages.push_back({name, first, last, false});
    }
  }
  return pages;
}

char32_t PageCellCharacter(const GridPage& page, int column, int row) {
  if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows) return 0;
  const char32_t character = page.first + static_cast<char32_t>(kGridColumns * row + column);
  return character <= page.last ? character : 0;
}

uint8_t GridCodeAt(const GridCellSize& size, int x, int y) {
  int column = 0, row = 0;
  return GridCellAt(size, x, y, column, row) ? GridCellCode(column, row) : 0;
}

bool GridCellAt(const GridCellSize& size, int x, int y, int& column, int& row) {
  column = CellIndex(x, size.columnWidth, kGridColumns);
  row = CellIndex(y, size.rowHeight, kGridRows);
  return column >= 0 && row >= 0;
}

}  // namespace tessel
