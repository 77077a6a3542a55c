#include "frontend/char_grid.h"

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

uint8_t GridCodeAt(const GridCellSize& size, int x, int y) {
  const int column = CellIndex(x, size.columnWidth, kGridColumns);
  const int row = CellIndex(y, size.rowHeight, kGridRows);
  if (column < 0 || row < 0) return 0;
  return GridCellCode(column, row);
}

}  // namespace tessel
