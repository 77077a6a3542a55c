#include "frontend/assignment_rows.h"

#include "common/keys.h"
#include "common/text_encoding.h"
#include "common/value_codec.h"
#include "frontend/dead_key_value.h"

#include <unordered_set>

namespace tessel {
namespace {

constexpr int kTabStops[] = {60, 100, 120, 140, 160};
constexpr int kTabStopCount = sizeof kTabStops / sizeof kTabStops[0];
constexpr int kTabStepAfterTable = 20;

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return folded;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string DecodedValue(const ProfileEntry& entry) {
  return DecodeValue(ValueAsRead(entry.value));
}

// The key of a row: a descriptor with a key code other than 0.
bool RowKeyOf(const std::string& name, KeyDescriptor& key) {
  return ParseKeyDescriptor(name, key) && key.keyCode != 0;
}

AssignmentRow MakeRow(const KeyDescriptor& key, const KeyNamer& keyName,
                      const std::string& result) {
  AssignmentRow row;
  row.keyCode = key.keyCode;
  row.stateByte = static_cast<uint8_t>(kStateByteMark | key.state);
  row.visible = keyName(key.keyCode) + '\t' + kStateLabels[key.state & 7] + '\t' + result;
  return row;
}

}  // namespace


std::vector<ProfileEntry> VisibleEntries(const std::vector<ProfileEntry>& section) {
  std::vector<ProfileEntry> visible;
  std::unordered_set<std::string> seen;
  size_t used = 1;  // the zero that ends the key list
  for (const ProfileEntry& entry : section) {
    if (entry.key.empty() || used + entry.key.size() + 1 > kProfileKeyListBytes) break;
    used += entry.key.size() + 1;
    if (seen.insert(Folded(entry.key)).second) visible.push_back(entry);
  }
  return visible;
}

std::vector<AssignmentRow> BuildAssignmentRows(const std::vector<ProfileEntry>& selectors,
                                               const std::vector<ProfileEntry>& mapSection,
                                               const std::vector<std::string>& mapNames,
                                               const KeyNamer& keyName) {
  std::vector<AssignmentRow> rows;
  KeyDescriptor key;
  for (const ProfileEntry& entry : VisibleEntries(selectors))
    if (RowKeyOf(entry.key, key))
      rows.push_back(MakeRow(key, keyName, "--> [" + DecodedValue(entry) + "]"));
  for (const ProfileEntry& entry : VisibleEntries(mapSection)) {
    if (!RowKeyOf(entry.key, key)) continue;
    const std::string text = DecodedValue(entry);
    DeadKeyValue deadKey;
    rows.push_back(MakeRow(key, keyName,
                           IsDeadKeyValue(text, mapNames, &deadKey)
                               ? "<-> [" + deadKey.mapName + "]"
                               : WithFontSwitches(text)));
  }
  return rows;
}

std::string RowListText(const AssignmentRow& row) {
  std::string text = row.visible;
  text += static_cast<char>(row.keyCode);
  text += static_cast<char>(row.stateByte);
  return text;
}

uint32_t RowKey(uint8_t keyCode, uint8_t stateByte) {
  return static_cast<uint32_t>(keyCode) | static_cast<uint32_t>(stateByte) << 8;
}
uint8_t KeyCodeOfRowKey(uint32_t rowKey) { return static_cast<uint8_t>(rowKey & 0xFF); }
uint8_t StateByteOfRowKey(uint32_t rowKey) { return static_cast<uint8_t>(rowKey >> 8 & 0xFF); }

std::string WithFontSwitches(std::string_view decoded) {
  std::string text(1, kFontSwitch);
  text.reserve(decoded.size() + 8);
  bool inGroup = false;
  for (size_t i = 0; i < decoded.size(); ++i) {
    const char c = decoded[i];
    if (c == '\0' || c == kFontSwitch) continue;  // never stored; would upset the switches
    if (!inGroup && c == '{' && i + 1 < decoded.size() && decoded[i + 1] == '{') {
      text += "{{";
      ++i;
    } else if (!inGroup && c == '{') {
      // A switch right before the group (the leading one, or one after a group that ends
      // here) is taken back instead of adding a second one.
      if (text.back() == kFontSwitch) {
        text.pop_back();
      } else {
        text += kFontSwitch;
      }
      text += c;
      inGroup = true;
    } else if (inGroup && c == '}') {
      text += c;
      inGroup = false;
      if (i + 1 < decoded.size()) text += kFontSwitch;
    } else {
      text += c;
    }
  }
  return text;
}

int RowTabStop(int tabIndex, int zoom) {
  const int design =
      tabIndex < kTabStopCount
          ? kTabStops[tabIndex < 0 ? 0 : tabIndex]
          : kTabStops[kTabStopCount - 1] + (tabIndex - kTabStopCount + 1) * kTabStepAfterTable;
  return static_cast<int>(static_cast<int64_t>(design) * zoom / 100);
}

std::vector<RowPiece> SplitRow(std::string_view visible) {
  std::vector<RowPiece> pieces;
  size_t runStart = 0;
  for (size_t i = 0; i <= visible.size(); ++i) {
    const bool end = i == visible.size();
    const unsigned char c = end ? 0 : static_cast<unsigned char>(visible[i]);
    if (!end && c >= 32) continue;
    if (i > runStart) pieces.push_back({RowPiece::Run, visible.substr(runStart, i - runStart)});
    runStart = i + 1;
    if (c == '\t') pieces.push_back({RowPiece::Tab, {}});
    if (c == static_cast<unsigned char>(kFontSwitch)) pieces.push_back({RowPiece::FontSwitch, {}});
  }
  return pieces;
}

// A selector names the map when its value, decoded as the loader reads it, or as it was
// written (names from before backslashes and quotes were refused), is the map's name.
bool SelectorNames(const ProfileEntry& entry, std::string_view mapName) {
  return SameName(DecodedValue(entry), mapName) || SameName(ValueAsRead(entry.value), mapName) ||
         SameName(entry.value, mapName);
}

std::optional<std::string> MapSelectorKey(const std::vector<ProfileEntry>& selectors,
                                          std::string_view mapName) {
  std::optional<std::string> found;
  KeyDescriptor key;
  for (const ProfileEntry& entry : VisibleEntries(selectors))
    if (ParseKeyDescriptor(entry.key, key) && SelectorNames(entry, mapName)) found = entry.key;
  return found;
}

std::string SelectorViewText(const std::vector<ProfileEntry>& selectors, std::string_view mapName,
                             const KeyNamer& keyName) {
  const std::optional<std::string> selector = MapSelectorKey(selectors, mapName);
  KeyDescriptor key;
  if (!selector || !ParseKeyDescriptor(*selector, key)) return "<not assigned>";
  return std::string(kStateLabels[key.state & 7]) + ' ' + keyName(key.keyCode);
}

}  // namespace tessel
