// The owner-drawn assignment list of the map editor: rows sorted by the list itself, each
// holding its visible text and the two key bytes, with the key also as item data.
#pragma once
#include "frontend/assignment_rows.h"

#include <windows.h>

#include <vector>

namespace tessel {

void FillAssignmentList(HWND list, const std::vector<AssignmentRow>& rows);
// Selects the first row of that key; none when there is no such row.
void SelectRowOfKey(HWND list, uint8_t keyCode, uint8_t stateByte);
// The key of row index (false when there is none).
bool RowKeyAt(HWND list, int index, uint8_t& keyCode, uint8_t& stateByte);

// Draws one row: plain text in the display font, brace groups, selector and dead-key rows
// in the editor's own font, tabs at the row's tab stops.
void DrawAssignmentRow(const DRAWITEMSTRUCT& item, HFONT ownFont, HFONT displayFont, int zoom);

}  // namespace tessel
