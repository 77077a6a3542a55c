#include "common/comma_fields.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(FieldCount, CountsCommasPlusOne) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"", 0}, {"a", 1}, {",", 2}, {"a,b", 2}, {"Notepad,Edit", 2}, {",,", 3}, {" ", 1}, {"a,b,c,", 4},
  };
  for (const Case& c : cases) EXPECT_EQ(FieldCount(c.text), c.expected) << '"' << c.text << '"';
}

TEST(FieldAt, Fields) {
  struct Case {
    const char* text;
    int k;
    const char* expected;
  };
  const Case cases[] = {
      {"Notepad,Edit", 1, "Notepad"},
      {"Notepad,Edit", 2, "Edit"},
      {"a, b ,c", 2, " b "},          // blanks belong to the field
      {"a,,c", 2, ""},
      {"a,b,", 3, ""},
      {",b", 1, ""},
      {"single", 1, "single"},
      // Outside 1..FieldCount: the whole text.
      {"Notepad,Edit", 3, "Notepad,Edit"},
      {"Notepad,Edit", 0, "Notepad,Edit"},
      {"Notepad,Edit", -1, "Notepad,Edit"},
      {"single", 2, "single"},
      {"", 1, ""},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FieldAt(c.text, c.k), c.expected) << '"' << c.text << "\" field " << c.k;
  }
}

TEST(FieldAt, FieldsJoinBackToTheText) {
  const std::string text = "Word,,Doc 1, body ,";
  std::string joined;
  for (int k = 1; k <= FieldCount(text); ++k) joined += (k > 1 ? "," : "") + FieldAt(text, k);
  EXPECT_EQ(joined, text);
}

TEST(IntOrZero, Cases) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"500", 500}, {"  500", 500}, {"500 ", 0}, {"-5", -5}, {"+5", 5}, {"$1F4", 500}, {"", 0},
      {"abc", 0},   {"5s", 0},      {"0x10", 0}, {"2147483648", 0},   {"-2147483648", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(IntOrZero(c.text), c.expected) << '"' << c.text << '"';
}

}  // namespace
}  // namespace tessel
