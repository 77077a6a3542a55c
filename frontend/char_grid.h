// The character selector's grid: 16 columns and 14 rows, cells sized from the metrics of
// the font they are drawn in. Its first page holds the character codes 32 to 255 of the
// ANSI code page; further pages hold the Unicode blocks the font has glyphs for, 224
// characters a page.
#pragma once
#include "frontend/font_coverage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

constexpr int kGridColumns = 16;
constexpr int kGridRows = 14;
constexpr int kGridFirstCode = 32;

struct GridCellSize {
  int columnWidth;  // widest character + 1
  int rowHeight;    // character height + 1
};

struct GridRect {
  int left, top, right, bottom;
};

GridCellSize CellSizeFromFont(int maxCharWidth, int charHeight);
// Client area that holds the grid: cells, one-pixel lines between them and the border.
int GridClientWidth(const GridCellSize& size);
int GridClientHeight(const GridCellSize& size);

// Character code of the cell in column c and row r (both from 0): 32 + 16 r + c.
uint8_t GridCellCode(int column, int row);
// Rectangle of that cell in client coordinates (right and bottom exclusive).
GridRect GridCellRect(const GridCellSize& size, int column, int row);
// Code of the cell under a client point; 0 outside the cells.
uint8_t GridCodeAt(const GridCellSize& size, int x, int y);
// The cell under a client point; false outside the cells.
bool GridCellAt(const GridCellSize& size, int x, int y, int& column, int& row);

struct UnicodeBlock {
  const char* name;
  char32_t first, last;
};
// The blocks the selector offers, in code order.
extern const std::vector<UnicodeBlock> kUnicodeBlocks;

constexpr int kGridCells = kGridColumns * kGridRows;  // 224

struct GridPage {
  std::string name;        // as the selector's Block menu shows it
  char32_t first = 32;     // the first cell's character; for the code page its byte code
  char32_t last = 255;     // the last character of the page (cells after it are empty)
  bool codePage = false;   // cells are bytes of the ANSI code page
};

// The code page first, then a page of every 224 characters of the blocks of which the font
// has at least one glyph there ("Cyrillic (1 of 2)").
std::vector<GridPage> GridPages(const FontCoverage& font);
// The character (or, on the code page, the byte code) of the cell; 0 for an empty cell.
char32_t PageCellCharacter(const GridPage& page, int column, int row);

}  // namespace tessel
