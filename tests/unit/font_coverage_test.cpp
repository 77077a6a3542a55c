#include "frontend/char_grid.h"
#include "frontend/font_coverage.h"

#include <gtest/gtest.h>

#include <string>

namespace tessel {
namespace {

// A "cmap" table built big-endian, a subtable at a time.
struct CmapBuilder {
  std::string bytes;
  void U16(uint32_t v) {
    bytes += static_cast<char>(v >> 8 & 0xFF);
    bytes += static_cast<char>(v & 0xFF);
  }
  void U32(uint32_t v) {
    U16(v >> 16);
    U16(v & 0xFFFF);
  }
};

struct Segment {
  uint16_t start, end, delta;
  std::vector<uint16_t> glyphs;  // empty: glyphs by delta
};

// A table with one subtable (platform 3, encoding 1) of format 4.
std::string Format4(const std::vector<Segment>& segments) {
  CmapBuilder t;
  t.U16(0), t.U16(1), t.U16(3), t.U16(1), t.U32(12);  // header and one record
  const size_t n = segments.size();
  t.U16(4), t.U16(0), t.U16(0), t.U16(static_cast<uint32_t>(2 * n)), t.U16(0), t.U16(0), t.U16(0);
  for (const Segment& s : segments) t.U16(s.end);
  t.U16(0);
  for (const Segment& s : segments) t.U16(s.start);
  for (const Segment& s : segments) t.U16(s.delta);
  // Glyph arrays follow the offsets, in segment order.
  size_t glyphsBefore = 0;
  for (size_t i = 0; i < n; ++i) {
    if (segments[i].glyphs.empty()) {
      t.U16(0);
    } else {
      t.U16(static_cast<uint32_t>(2 * (n - i) + 2 * glyphsBefore));
      glyphsBefore += segments[i].glyphs.size();
    }
  }
  for (const Segment& s : segments)
    for (uint16_t glyph : s.glyphs) t.U16(glyph);
  return t.bytes;
}

std::string RangesText(const FontCoverage& coverage) {
  std::string text;
  for (const FontCoverage::Range& r : coverage.Ranges())
    text += std::to_string(r.first) + "-" + std::to_string(r.last) + " ";
  return text;
}

TEST(FontCoverage, CharacterMapsOfFormat4And12) {
  // Greek by delta, three Cyrillic letters by glyph array (the middle one without a glyph),
  // a segment whose delta sends one character to glyph 0, and the closing 0xFFFF segment.
  const std::string format4 = Format4({{0x391, 0x3A9, 10, {}},
                                       {0x410, 0x412, 3, {5, 0, 7}},
                                       {0x500, 0x502, static_cast<uint16_t>(0x10000 - 0x501), {}},
                                       {0xFFFF, 0xFFFF, 1, {}}});
  EXPECT_EQ(RangesText(FontCoverage::FromCmapTable(format4)), "913-937 1040-1040 1042-1042 1280-1280 1282-1282 ");

  CmapBuilder t;
  t.U16(0), t.U16(1), t.U16(3), t.U16(10), t.U32(12);
  t.U16(12), t.U16(0), t.U32(16 + 2 * 12), t.U32(0), t.U32(2);
  t.U32(0x1F600), t.U32(0x1F64F), t.U32(3);  // emoji
  t.U32(0x41), t.U32(0x5A), t.U32(0);        // glyph 0 for A: A missing
  const FontCoverage emoji = FontCoverage::FromCmapTable(t.bytes);
  EXPECT_EQ(RangesText(emoji), "66-90 128512-128591 ");
  EXPECT_TRUE(emoji.CoversAny(0x20, 0x42));
  EXPECT_FALSE(emoji.CoversAny(0x20, 0x41));

  // Damaged: nothing covered, no read outside the bytes.
  for (size_t cut : {0u, 3u, 11u, 20u, 30u})
    EXPECT_EQ(RangesText(FontCoverage::FromCmapTable(format4.substr(0, cut))), "") << cut;
}

TEST(FontCoverage, SelectorPagesOfTheBlocksTheFontHas) {
  const FontCoverage font({{0x3B1, 0x3B1}, {0x4FF, 0x4FF}});
  std::string names;
  for (const GridPage& page : GridPages(font)) names += page.name + "|";
  EXPECT_EQ(names, "Code page|Greek and Coptic|Cyrillic (2 of 2)|");
  const GridPage cyrillic = GridPages(font)[2];
  EXPECT_EQ(PageCellCharacter(cyrillic, 0, 0), U'\x4E0');
  EXPECT_EQ(PageCellCharacter(cyrillic, 15, 1), U'\x4FF');  // the block's last character
  EXPECT_EQ(PageCellCharacter(cyrillic, 0, 2), U'\0');      // after it, empty cells
  EXPECT_EQ(PageCellCharacter(cyrillic, 16, 0), U'\0');
}

}  // namespace
}  // namespace tessel
