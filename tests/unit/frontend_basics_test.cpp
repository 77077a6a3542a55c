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
  };
  const Case cases[] = {
      {{10, 20, 125, 28}, {10, 20, 125, 28}},
      {{266, 201, 0, 28}, {266, 201, 125, 28}},         // no width
      {{266, 201, 125, -5}, {266, 201, 125, 28}},       // negative height
      {{-32000, -32000, 160, 24}, {266, 201, 160, 24}},  // closed while minimised
      {{2000, 100, 125, 28}, {449, 370, 125, 28}},       // right of the screen: centred
      {{100, -40, 125, 28}, {449, 370, 125, 28}},        // above the screen
      {{INT32_MAX, INT32_MAX, 125, 28}, {449, 370, 125, 28}},  // sums overflow 32 bits
      {{-100, 700, 125, 28}, {-100, 700, 125, 28}},      // partly visible stays
  };
  for (const Case& c : cases) {
    const StoredBounds b = RestoreButtonBounds(c.stored, 1024, 768);
    EXPECT_EQ(b.left, c.expected.left);
    EXPECT_EQ(b.top, c.expected.top);
    EXPECT_EQ(b.width, c.expected.width);
    EXPECT_EQ(b.height, c.expected.height);
  }
}

}  // namespace
}  // namespace tessel
