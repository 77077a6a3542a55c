// Which characters a font has glyphs for, read from its character map (the TrueType and
// OpenType "cmap" table, subtables of format 4 for the Basic Multilingual Plane and 12 for
// all planes). The character selector shows a character without a glyph as missing.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace tessel {

class FontCoverage {
 public:
  struct Range {
    char32_t first, last;  // both included
  };
  FontCoverage() = default;
  explicit FontCoverage(std::vector<Range> ranges);  // sorted and merged here

  // From the bytes of a "cmap" table; empty (nothing covered) when they hold no subtable of
  // format 4 or 12 that can be read.
  static FontCoverage FromCmapTable(std::string_view table);

  bool Covers(char32_t character) const;
  // True when one character of [first, last] is covered.
  bool CoversAny(char32_t first, char32_t last) const;
  const std::vector<Range>& Ranges() const { return ranges_; }

 private:
  std::vector<Range> ranges_;
};

}  // namespace tessel
