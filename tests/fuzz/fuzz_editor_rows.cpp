// The map editor's rows over arbitrary bytes: a settings-file section becomes rows without
// a crash, every row's visible text splits into drawing pieces that cover it, and the font
// switches of a text come out alternating around its brace groups with the text itself
// unchanged once they are taken out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/memory_profile.h"
#include "frontend/assignment_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::string switched = tessel::WithFontSwitches(text);
  std::string plain, expected;
  for (char c : switched)
    if (c != tessel::kFontSwitch) plain += c;
  for (char c : text)
    if (c != '\0' && c != tessel::kFontSwitch) expected += c;
  if (plain != expected) std::abort();
  if (switched.find(std::string(2, tessel::kFontSwitch)) != std::string::npos) std::abort();

  size_t covered = 0;
  for (const tessel::RowPiece& piece : tessel::SplitRow(switched)) covered += piece.text.size();
  size_t printable = 0;
  for (char c : switched) printable += static_cast<unsigned char>(c) >= 32;
  if (covered != printable) std::abort();

  if (size > 4096) return 0;
  tessel::MemoryProfile settings("F.INI", "[MAPS]\r\n+d=\r\n[M]\r\n" + std::string(text));
  for (const tessel::AssignmentRow& row : tessel::BuildAssignmentRows(
           settings.ReadSection("Selectors"), settings.ReadSection("M"), settings.ReadKeys("MAPS"),
           [](uint8_t code) { return std::to_string(code); })) {
    if (row.keyCode == 0 || !(row.stateByte & 0x80)) std::abort();
    if (tessel::RowListText(row).size() != row.visible.size() + 2) std::abort();
  }
  return 0;
}
