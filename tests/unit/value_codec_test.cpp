#include "common/value_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tessel {
namespace {

using namespace std::string_literals;

TEST(DecodeValue, Cases) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\\sb\\\\c", "a b\\c"},
      {"\\\\s", "\\s"},  // the second backslash is not looked at again
      {"\\065BC", "ABC"},  {"\\65", "A"},
      {"\\6", "\x06"},     // fewer than three characters left: all of them digits
      {"x\\6x1", "x\\6x1"},  // not all three digits: unchanged
      {"\\S", "\\S"},      // upper-case S is no blank
      {"\\", "\\"},        {"a\\", "a\\"},  // a backslash at the end stays
      {"\\\\", "\\"},      {"\\\\\\\\", "\\\\"}, {"\\\\\\s", "\\ "}, {"\\n", "\\n"},
      {"\\256", "\x00"s},  {"\\321", "A"},  {"\\999", "\xC3\xA7"},  // modulo 256
      // Codes above 127 are characters of the ANSI code page (here Windows-1252), in UTF-8.
      {"\\233t\\233", "\xC3\xA9t\xC3\xA9"}, {"\\128", "\xE2\x82\xAC"}, {"\\127", "\x7F"},
      {"\\0651", "A1"},    // three digits at most
      {"\\12a", "\\12a"},  {"\\1\\s", "\\1 "}, {"\\s\\s", "  "}, {"", ""},
      {"plain text", "plain text"}, {"\\\\065", "\\065"},
  };
  for (const auto& [stored, expected] : cases) EXPECT_EQ(DecodeValue(stored), expected) << '"' << stored << '"';
}

TEST(EncodeValue, EscapesAndDecodesBack) {
  const std::pair<std::string, std::string> cases[] = {
      {"a b\\c", "a\\sb\\\\c"}, {"  ", "\\s\\s"}, {"\\065", "\\\\065"}, {"", ""},
      {"{!Run notepad}\t\r\n", "{!Run\\snotepad}\\009\\013\\010"}, {"\\6", "\\\\6"},
      {"x\\", "x\\\\"}, {"\\\\\\s 1\\12", "\\\\\\\\\\\\s\\s1\\\\12"},
      {"\x02\xFF\x7F", "\\002\xFF\\127"},
      // Line breaks stay on the file's line; digits after an escape stay digits.
      {"a\r\nb", "a\\013\\010b"}, {"\n1", "\\0101"}, {"\x1A\v\f", "\\026\\011\\012"},
      // A leading quote is escaped so that the profile functions do not strip a pair.
      {"\"quoted\"", "\\034quoted\""}, {"'x'", "\\039x'"}, {"a\"b\"", "a\"b\""}, {"\"", "\\034"},
      {"\x80\xFF\xF4", "\x80\xFF\xF4"},
  };
  for (const auto& [text, stored] : cases) {
    EXPECT_EQ(EncodeValue(text), stored) << '"' << text << '"';
    EXPECT_EQ(DecodeValue(stored), text) << '"' << text << '"';
  }
}

// Characters 0 and 1 end a text in the store: they never reach the file.
TEST(EncodeValue, LeavesOutCharactersZeroAndOne) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\x01" "b", "ab"}, {"\x01\x01", ""}, {"x\0y"s, "xy"}, {"\x01\"q\"", "\\034q\""},
  };
  for (const auto& [text, stored] : cases) EXPECT_EQ(EncodeValue(text), stored) << '"' << text << '"';
}

// ParseSignedNumber; ParseSettingsInteger agrees on every text not starting with 0x.
TEST(ParseSignedNumber, Cases) {
  struct Case {
    const char* text;
    bool valid;
    int32_t value;
  };
  const Case cases[] = {
      {"0", true, 0},          {"42", true, 42},     {"-42", true, -42},          {"+42", true, 42},
      {"  7", true, 7},        {"  -7", true, -7},   {"$1E", true, 30},           {"$1e", true, 30},
      {"-$10", true, -16},     {"$FFFFFFFF", true, -1}, {"$7FFFFFFF", true, INT32_MAX},
      {"$000000001", true, 1}, {"2147483647", true, INT32_MAX}, {"-2147483648", true, INT32_MIN},
      {"00000000000012", true, 12},
      {"", false, 0},   {" ", false, 0},   {"-", false, 0},   {"+", false, 0},   {"$", false, 0},
      {"-$", false, 0}, {"7 ", false, 0},  {"1x", false, 0},  {"- 1", false, 0}, {"+-1", false, 0},
      {"$G", false, 0}, {"$100000000", false, 0}, {"2147483648", false, 0}, {"-2147483649", false, 0},
      {"99999999999999999999", false, 0}, {"\t1", false, 0}, {"1.5", false, 0}, {"abc", false, 0},
      {"0y1", false, 0}, {"00x1", false, 0}, {"x1", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    int32_t value = 12345, settings = 54321;
    EXPECT_EQ(ParseSignedNumber(c.text, value), c.valid);
    EXPECT_EQ(ParseSettingsInteger(c.text, settings), c.valid);
    if (c.valid) {
      EXPECT_EQ(value, c.value);
      EXPECT_EQ(settings, c.value);
    }
  }
}

TEST(ParseSettingsInteger, HexWithZeroX) {
  struct Case {
    const char* text;
    bool valid;
    int32_t value;
  };
  const Case cases[] = {
      {"0x20", true, 32},  {"0X1f", true, 31},   {"0xFFFFFFFF", true, -1}, {"0x80000000", true, INT32_MIN},
      {"0x", false, 0},    {"0X", false, 0},     {"0x100000000", false, 0}, {"0x-1", false, 0},
      {"0x 1", false, 0},  {"0x1 ", false, 0},
  };
  for (const Case& c : cases) {
    int32_t value = 12345;
    int32_t ignored = 0;
    EXPECT_FALSE(ParseSignedNumber(c.text, ignored)) << c.text;
    EXPECT_EQ(ParseSettingsInteger(c.text, value), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

}  // namespace
}  // namespace tessel
