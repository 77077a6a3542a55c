// The rows of the map editor's assignment list and how a row is drawn: every selector of
// every map, then the edited map's dead keys and assignments. A row is its visible text
// (key name, tab, state label, tab, result) followed by two bytes that name its key: the
// key code and the state byte.
#pragma once
#include "common/profile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The profile functions' name for a key code (the front end asks the system).
using KeyNamer = std::function<std::string(uint8_t keyCode)>;

// The entries a key list and string reads would see: names that fit the 8192-byte key
// list, each name once (the first entry wins, names compare without regard to case).
std::vector<ProfileEntry> VisibleEntries(const std::vector<ProfileEntry>& section);

struct AssignmentRow {
  uint8_t keyCode = 0;
  uint8_t stateByte = 0x80;
  std::string visible;  // name TAB label TAB result
};

// Selector rows ("--> [map]") from [Selectors], then the edited map's rows: dead keys
// ("<-> [+map]") and assignments (decoded text with font switches). Keys that are not
// descriptors, and key code 0, which cannot stand in a row's text, are left out.
std::vector<AssignmentRow> BuildAssignmentRows(const std::vector<ProfileEntry>& selectors,
                                               const std::vector<ProfileEntry>& mapSection,
                                               const std::vector<std::string>& mapNames,
                                               const KeyNamer& keyName);

// The text the list holds: the visible text and the two key bytes.
std::string RowListText(const AssignmentRow& row);
// The same key as a number (item data), which survives any code page.
uint32_t RowKey(uint8_t keyCode, uint8_t stateByte);
uint8_t KeyCodeOfRowKey(uint32_t rowKey);
uint8_t StateByteOfRowKey(uint32_t rowKey);

// Character 1 switches between the display font (plain text) and the editor's own font
// (brace groups, braces included); the text starts in the display font.
constexpr char kFontSwitch = '\x01';
std::string WithFontSwitches(std::string_view decoded);

// Pen position of tab number tabIndex (0 = the first tab of the row) at a zoom.
int RowTabStop(int tabIndex, int zoom);
constexpr int kRowPenStart = 5;  // pixels, not scaled

// A row's visible text cut into what drawing does: runs of printable characters, tabs
// and font switches. Other control characters end a run and are not drawn.
struct RowPiece {
  enum Kind { Run, Tab, FontSwitch } kind;
  std::string_view text;  // the run; empty for the others
  bool operator==(const RowPiece& other) const { return kind == other.kind && text == other.text; }
};
std::vector<RowPiece> SplitRow(std::string_view visible);

// The selector of a map: the last [Selectors] entry whose key is a descriptor and whose
// value is the map's name (ignoring case). Its key, or nothing.
std::optional<std::string> MapSelectorKey(const std::vector<ProfileEntry>& selectors,
                                          std::string_view mapName);
// What the selector view shows: state label, blank, key name; "<not assigned>" for none.
std::string SelectorViewText(const std::vector<ProfileEntry>& selectors, std::string_view mapName,
                             const KeyNamer& keyName);

}  // namespace tessel
