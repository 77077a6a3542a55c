// Key names from the system for the editor's lists. Wine names keys after the X keysyms
// when a display is up and after its own table without one; the cases use names that are
// the same either way.
#include <gtest/gtest.h>

#include <string>

#include "common/win32/key_display.h"

namespace tessel {
namespace {

struct NameCase {
  int keyCode;
  const char* expected;
};

TEST(KeyCodeName, NamesEveryCodeWithinItsBuffer) {
  const NameCase cases[] = {
      {30, "A"}, {2, "1"}, {15, "Tab"}, {59, "F1"}, {42, "Shift"}, {56, "Alt"},
      // Extended keys: scan code + 128, shown with an apostrophe; unnamed keys show their code.
      {200, "Up'"}, {203, "Left'"}, {205, "Right'"}, {199, "Home'"},
      {0, "?0"}, {85, "?85"}, {204, "?204'"}, {240, "?240'"}, {255, "?255'"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(KeyCodeName(static_cast<uint8_t>(c.keyCode)), c.expected) << "key code " << c.keyCode;
  }
  for (int code = 0; code < 256; ++code) {
    const std::string name = KeyCodeName(static_cast<uint8_t>(code));
    EXPECT_FALSE(name.empty()) << code;
    EXPECT_LE(name.size(), 20u) << code;
    if (code >= 128) {
      EXPECT_EQ(name.back(), '\'') << code;
    }
  }
}

TEST(KeyDescriptorText, BothStyles) {
  struct Case {
    const char* descriptor;
    DescriptorStyle style;
    const char* expected;
  };
  const Case cases[] = {
      {"30_CS", DescriptorStyle::List, "A\t(SC)"},          {"30_CS", DescriptorStyle::LabelFirst, "(SC) A"},
      {"30_N", DescriptorStyle::List, "A\t"},               {"30_N", DescriptorStyle::LabelFirst, " A"},
      {"200_CAS", DescriptorStyle::LabelFirst, "(SCA) Up'"}, {"203_AS", DescriptorStyle::List, "Left'\t(SA)"},
      {"59_CA", DescriptorStyle::LabelFirst, "(CA) F1"},     {"$1E_A", DescriptorStyle::List, "A\t(A)"},
      {"85_C", DescriptorStyle::List, "?85\t(C)"},          {"x", DescriptorStyle::List, "?"},
      {"x", DescriptorStyle::LabelFirst, "?"},             {"30_SC", DescriptorStyle::List, "?"},
      {"", DescriptorStyle::LabelFirst, "?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyDescriptorText(c.descriptor, c.style), c.expected) << "descriptor " << c.descriptor;
  }
}

}  // namespace
}  // namespace tessel
