#include "frontend/font_coverage.h"

#include <algorithm>

namespace tessel {
namespace {

// Big-endian reads that give 0 outside the table.
struct Table {
  std::string_view bytes;
  bool Has(size_t offset, size_t size) const {
    return offset <= bytes.size() && size <= bytes.size() - offset;
  }
  uint32_t U16(size_t offset) const {
    if (!Has(offset, 2)) return 0;
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset])) << 8 |
           static_cast<uint8_t>(bytes[offset + 1]);
  }
  uint32_t U32(size_t offset) const { return U16(offset) << 16 | U16(offset + 2); }
};

constexpr char32_t kLastCharacter = 0x10FFFF;
constexpr uint32_t kMaxGroups = 1u << 20;

void AddRange(std::vector<FontCoverage::Range>& ranges, char32_t first, char32_t last) {
  if (first > last || first > kLastCharacter) return;
  ranges.push_back({first, std::min(last, kLastCharacter)});
}

bool ReadFormat12(const Table& t, size_t at, std::vector<FontCoverage::Range>& ranges) {
  if (!t.Has(at, 16) || t.U16(at) != 12) return false;
  const uint32_t groups = t.U32(at + 12);
  if (groups > kMaxGroups || !t.Has(at + 16, static_cast<size_t>(groups) * 12)) return false;
  for (uint32_t g = 0; g < groups; ++g) {
    const size_t group = at + 16 + static_cast<size_t>(g) * 12;
    char32_t first = t.U32(group);
    const char32_t last = t.U32(group + 4);
    if (t.U32(group + 8) == 0) ++first;  // glyph 0 is the missing glyph
    AddRange(ranges, first, last);
  }
  return true;
}

bool ReadFormat4(const Table& t, size_t at, std::vector<FontCoverage::Range>& ranges) {
  if (!t.Has(at, 14) || t.U16(at) != 4) return false;
  const size_t segments = t.U16(at + 6) / 2;
  const size_t ends = at + 14, starts = ends + 2 * segments + 2;
  const size_t deltas = starts + 2 * segments, rangeOffsets = deltas + 2 * segments;
  if (!t.Has(ends, 8 * segments + 2)) return false;
  for (size_t i = 0; i < segments; ++i) {
    const uint32_t end = t.U16(ends + 2 * i), start = t.U16(starts + 2 * i);
    const uint32_t delta = t.U16(deltas + 2 * i), rangeOffset = t.U16(rangeOffsets + 2 * i);
    if (start > end) continue;
    const uint32_t last = end == 0xFFFF ? 0xFFFE : end;  // 0xFFFF only ends the table
    if (rangeOffset == 0) {
      // Glyph (c + delta) mod 65536; only the character that lands on glyph 0 is missing.
      const uint32_t missing = (0x10000 - delta) & 0xFFFF;
      if (missing >= start && missing <= last) {
        AddRange(ranges, start, missing - 1);
        AddRange(ranges, missing + 1, last);
      } else {
        AddRange(ranges, start, last);
      }
      continue;
    }
    for (uint32_t c = start; c <= last; ++c) {
      const size_t glyphAt = rangeOffsets + 2 * i + rangeOffset + 2 * (c - start);
      if (!t.Has(glyphAt, 2)) break;
      const uint32_t glyph = t.U16(glyphAt);
      if (glyph != 0 && ((glyph + delta) & 0xFFFF) != 0) AddRange(ranges, c, c);
    }
  }
  return true;
}

}  // namespace

FontCoverage::FontCoverage(std::vector<Range> ranges) {
  std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
  for (const Range& range : ranges) {
    if (!ranges_.empty() && range.first <= ranges_.back().last + 1) {
      ranges_.back().last = std::max(ranges_.back().last, range.last);
    } else {
      ranges_.push_back(range);
    }
  }
}

FontCoverage FontCoverage::FromCmapTable(std::string_view bytes) {
  const Table t{bytes};
  const uint32_t subtables = t.U16(2);
  if (!t.Has(4, 8 * static_cast<size_t>(subtables))) return {};
  // The subtable that covers most: a format 12 one, else a Unicode format 4 one.
  for (const uint32_t wanted : {12u, 4u}) {
    for (uint32_t i = 0; i < subtables; ++i) {
      const size_t record = 4 + 8 * static_cast<size_t>(i);
      const uint32_t platform = t.U16(record), encoding = t.U16(record + 2);
      const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
      const size_t at = t.U32(record + 4);
      if (!unicode || t.U16(at) != wanted) continue;
      std::vector<Range> ranges;
      if (wanted == 12 ? ReadFormat12(t, at, ranges) : ReadFormat4(t, at, ranges))
        return FontCoverage(std::move(ranges));
    }
  }
  return {};
}

bool FontCoverage::Covers(char32_t character) const { return CoversAny(character, character); }

bool FontCoverage::CoversAny(char32_t first, char32_t last) const {
  // The first range that ends at or after first.
  const auto it = std::lower_bound(ranges_.begin(), ranges_.end(), first,
                                   [](const Range& range, char32_t c) { return range.last < c; });
  return it != ranges_.end() && it->first <= last;
}

}  // namespace tessel
