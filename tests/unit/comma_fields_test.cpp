#include "common/comma_fields.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(CommaFields, CountAndFields) {
  struct Case {
    const char* text;
    int count;
    int k;
    const char* field;
  };
  const Case cases[] = {
      {"Notepad,Edit", 2, 1, "Notepad"}, {"Notepad,Edit", 2, 2, "Edit"},
      {"a, b ,c", 3, 2, " b "},  // blanks belong to the field
      {"a,,c", 3, 2, ""},       {"a,b,", 3, 3, ""},   {",b", 2, 1, ""},    {"single", 1, 1, "single"},
      {",", 2, 2, ""},          {",,", 3, 1, ""},     {" ", 1, 1, " "},    {"a,b,c,", 4, 4, ""},
      // Outside 1..FieldCount: the whole text.
      {"Notepad,Edit", 2, 3, "Notepad,Edit"}, {"Notepad,Edit", 2, 0, "Notepad,Edit"},
      {"Notepad,Edit", 2, -1, "Notepad,Edit"}, {"single", 1, 2, "single"},
      {"", 0, 1, ""},           {"", 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\" field " + std::to_string(c.k));
    EXPECT_EQ(FieldCount(c.text), c.count);
    EXPECT_EQ(FieldAt(c.text, c.k), c.field);
  }
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
