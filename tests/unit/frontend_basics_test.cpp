#include "frontend/button_geometry.h"
#include "frontend/captions.h"
#include "frontend/version.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(FrontEndVersion, TextAndCompatibility) {
  EXPECT_EQ(VersionText(40109), "4.1.9");
  EXPECT_EQ(VersionText(123456), "12.34.56");
  EXPECT_EQ(VersionText(0), "0.0.0");
  for (int distance : {0, 1, 99, -1, -99}) EXPECT_TRUE(LibraryCompatible(40109 + distance));
  for (int distance : {100, -100, 5000}) EXPECT_FALSE(LibraryCompatible(40109 + distance));
  EXPECT_FALSE(LibraryCompatible(INT32_MIN));
}

TEST(Captions, AmpersandsDoubled) {
  EXPECT_EQ(DoubleAmpersands("Tom & Jerry"), "Tom && Jerry");
  EXPECT_EQ(DoubleAmpersands("&&"), "&&&&");
  EXPECT_EQ(DoubleAmpersands(""), "");
}

TEST(ButtonGeometry, FallBacksAndCentring) {
  struct Case {
    StoredBounds stored, expected;
    uint32_t dpi = kDesignDpi;
  };
  const Case cases[] = {
      {{10, 20, 125, 28}, {10, 20, 125, 28}},
      // Sizes are design pixels: at 200 % and 150 % the window keeps its visual size.
      {{10, 20, 125, 28}, {10, 20, 250, 56}, 192},
      {{10, 20, 125, 29}, {10, 20, 188, 44}, 144},
      {{266, 201, 0, 28}, {266, 201, 250, 56}, 192},
      {{2100, 100, 125, 28}, {899, 740, 250, 56}, 192},   // centred at its scaled size
      {{266, 201, 0, 28}, {266, 201, 125, 28}},         // no width
      {{266, 201, 125, -5}, {266, 201, 125, 28}},       // negative height
      {{-32000, -32000, 160, 24}, {266, 201, 160, 24}},  // closed while minimised
      {{2000, 100, 125, 28}, {449, 370, 125, 28}},       // right of the screen: centred
      {{100, -40, 125, 28}, {449, 370, 125, 28}},        // above the screen
      {{INT32_MAX, INT32_MAX, 125, 28}, {449, 370, 125, 28}},  // sums overflow 32 bits
      {{-100, 700, 125, 28}, {-100, 700, 125, 28}},      // partly visible stays
  };
  for (const Case& c : cases) {
    const StoredBounds b = RestoreButtonBounds(c.stored, c.dpi == kDesignDpi ? 1024 : 2048,
                                               c.dpi == kDesignDpi ? 768 : 1536, c.dpi);
    EXPECT_EQ(b.left, c.expected.left);
    EXPECT_EQ(b.top, c.expected.top);
    EXPECT_EQ(b.width, c.expected.width);
    EXPECT_EQ(b.height, c.expected.height);
  }
  // Stored again, the shown size gives what was stored, at any scaling from 100 %.
  for (const uint32_t dpi : {96u, 120u, 144u, 168u, 192u, 288u})
    for (int32_t size = 1; size < 400; ++size)
      ASSERT_EQ(BoundsToStore({0, 0, PixelsAtDpi(size, dpi), 1}, dpi).width, size) << dpi;
  EXPECT_EQ(PixelsAtDpi(-11, 144), -17);  // font heights round as MulDiv does
}

}  // namespace
}  // namespace tessel
