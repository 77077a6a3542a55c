#include "common/value_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tessel {
namespace {

using namespace std::string_literals;

TEST(DecodeValue, Cases) {
  struct Case {
    std::string stored;
    std::string expected;
  };
  const Case cases[] = {
      {"a\\sb\\\\c", "a b\\c"},
      {"\\\\s", "\\s"},           // the second backslash is not looked at again
      {"\\065BC", "ABC"},
      {"\\6", "\x06"},            // fewer than three characters left: all of them digits
      {"\\65", "A"},
      {"x\\6x1", "x\\6x1"},       // not all three digits: unchanged
      {"\\S", "\\S"},             // upper-case S is no blank
      {"\\", "\\"},               // a backslash at the end stays
      {"a\\", "a\\"},
      {"\\\\", "\\"},
      {"\\\\\\\\", "\\\\"},
      {"\\\\\\s", "\\ "},
      {"\\n", "\\n"},
      {"\\256", "\x00"s},         // modulo 256
      {"\\321", "A"},             // 321 mod 256 = 65
      {"\\999", "\xE7"},
      {"\\0651", "A1"},           // three digits at most
      {"\\12a", "\\12a"},
      {"\\1\\s", "\\1 "},          // "1\s" is not three digits; the blank still decodes
      {"\\s\\s", "  "},
      {"", ""},
      {"plain text", "plain text"},
      {"\\\\065", "\\065"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeValue(c.stored), c.expected) << '"' << c.stored << '"';
  }
}

TEST(EncodeValue, EscapesBlanksAndBackslashesOnly) {
  EXPECT_EQ(EncodeValue("a b\\c"), "a\\sb\\\\c");
  EXPECT_EQ(EncodeValue("  "), "\\s\\s");
  EXPECT_EQ(EncodeValue("\\065"), "\\\\065");
  EXPECT_EQ(EncodeValue("{!Run notepad}\t\r\n"), "{!Run\\snotepad}\t\r\n");
  EXPECT_EQ(EncodeValue(""), "");
}

TEST(EncodeValue, DecodeUndoesEncode) {
  const std::string texts[] = {
      "", " ", "\\", "\\\\", "\\s", "\\6", "\\065", "a b c", " lead", "trail ", "\\ \\",
      "x\\", "{+a b}", "\x01\x02\xFF", "\\\\\\s 1\\12",
  };
  for (const std::string& text : texts) {
    const std::string stored = EncodeValue(text);
    EXPECT_EQ(DecodeValue(stored), text) << '"' << text << '"';
    // Stored texts hold no blanks: the settings file would trim them away.
    EXPECT_EQ(stored.find(' '), std::string::npos);
  }
}

TEST(ParseSignedNumber, Cases) {
  struct Case {
    const char* text;
    bool valid;
    int32_t value;
  };
  const Case cases[] = {
      {"0", true, 0},                {"42", true, 42},            {"-42", true, -42},
      {"+42", true, 42},             {"  7", true, 7},            {"  -7", true, -7},
      {"$1E", true, 30},             {"$1e", true, 30},           {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},       {"$7FFFFFFF", true, INT32_MAX},
      {"$000000001", true, 1},       {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN}, {"00000000000012", true, 12},
      {"", false, 0},                {" ", false, 0},             {"-", false, 0},
      {"+", false, 0},               {"$", false, 0},             {"-$", false, 0},
      {"7 ", false, 0},              {"1x", false, 0},            {"- 1", false, 0},
      {"+-1", false, 0},             {"$G", false, 0},            {"$100000000", false, 0},
      {"2147483648", false, 0},      {"-2147483649", false, 0},   {"99999999999999999999", false, 0},
      {"0x10", false, 0},            {"\t1", false, 0},           {"1.5", false, 0},
  };
  for (const Case& c : cases) {
    int32_t value = 12345;
    EXPECT_EQ(ParseSignedNumber(c.text, value), c.valid) << '"' << c.text << '"';
    if (c.valid) {
      EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(ParseSettingsInteger, Cases) {
  struct Case {
    const char* text;
    bool valid;
    int32_t value;
  };
  const Case cases[] = {
      {"abc", false, 0},     {"0x20", true, 32},          {"0x", false, 0},
      {"0X", false, 0},      {"0X1f", true, 31},          {"0xFFFFFFFF", true, -1},
      {"0x80000000", true, INT32_MIN},                    {"0x100000000", false, 0},
      {"0x-1", false, 0},    {"0x 1", false, 0},          {"0x1 ", false, 0},
      {"0", true, 0},        {"16", true, 16},            {"-20", true, -20},
      {"$10", true, 16},     {"", false, 0},              {"0y1", false, 0},
      {"00x1", false, 0},    {"x1", false, 0},
  };
  for (const Case& c : cases) {
    int32_t value = 12345;
    EXPECT_EQ(ParseSettingsInteger(c.text, value), c.valid) << '"' << c.text << '"';
    if (c.valid) {
      EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
  }
}

}  // namespace
}  // namespace tessel
