// The character selector's grid: 16 columns and 14 rows of the character codes 32 to 255,
// cells sized from the metrics of the font they are drawn in.
#pragma once
#include <cstdint>

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

}  // namespace tessel
