#include "common/memory_profile.h"
#include "frontend/dead_key_value.h"
#include "frontend/map_names.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(MapNames, TrimAndValidity) {
  EXPECT_EQ(TrimName("  Greek \t"), "Greek");
  EXPECT_EQ(TrimName("   "), "");
  // Bytes above 127 (every byte of a non-ASCII character in UTF-8) are no blanks.
  EXPECT_EQ(TrimName(" Caf\xC3\xA9 "), "Caf\xC3\xA9");
  EXPECT_EQ(TrimName("\xCE\xB1"), "\xCE\xB1");
  struct Case {
    const char* name;
    bool valid;
  };
  const Case cases[] = {
      {"Greek", true},          {"A", true},           {"fifteen-chars-x", true},
      {"sixteen-chars-xx", false}, {"", false},         {"+acute", true},
      {"tessel32", false},      {"Maps", false},       {"SELECTORS", false},
      {"<off>", false},         {"<OFF>", false},      {"a,b", false},
      {"a=b", false},           {"[x", false},         {"x]", false},
      {";x", false},            {"x;", true},          {"Tom & Jerry", true},
      {"+a,b", false},          {"x\\sy", false},      {"\"q\"", false},
      {"'q'", false},           {"\"q'", true},        {"a\"b", true},
      // Characters, not bytes: 15 Greek letters (30 bytes) fit, 16 do not.
      {"\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5\xCE\xB6\xCE\xB7\xCE\xB8\xCE\xB9\xCE\xBA\xCE\xBB"
       "\xCE\xBC\xCE\xBD\xCE\xBE\xCE\xBF", true},
      {"\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5\xCE\xB6\xCE\xB7\xCE\xB8\xCE\xB9\xCE\xBA\xCE\xBB"
       "\xCE\xBC\xCE\xBD\xCE\xBE\xCE\xBF\xCF\x80", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidMapName(c.name), c.valid) << c.name;
}

TEST(MapNames, ExistenceIgnoresCase) {
  MemoryProfile settings("T.INI", "[MAPS]\r\nGreek=\r\n+acute=\r\n[Greek]\r\n30_N=a\r\n");
  EXPECT_TRUE(MapExists(settings, "GREEK"));
  EXPECT_TRUE(MapExists(settings, "+Acute"));
  EXPECT_FALSE(MapExists(settings, "Cyrillic"));
  EXPECT_TRUE(NameInList("greek", {"Other", "Greek"}));
  EXPECT_FALSE(NameInList("Gree", {"Greek"}));
}

TEST(DeadKeyValues, SplitAndRecognise) {
  const std::vector<std::string> maps = {"Greek", "+acute", "+"};
  struct Case {
    const char* decoded;
    bool deadKey;
    const char* mapName;
    const char* defaultText;
  };
  const Case cases[] = {
      {"+acute,'", true, "+acute", "'"},   {"+ACUTE,a,b", true, "+ACUTE", "a,b"},
      {"+acute", true, "+acute", ""},      {"+acute,", true, "+acute", ""},
      {"+grave,`", false, "", ""},
      {"+", false, "", ""},  // a lone "+" is typed, even with a map named "+"
      {"+,x", true, "+", "x"},
      {"acute,x", false, "", ""},          {"", false, "", ""},
  };
  for (const Case& c : cases) {
    DeadKeyValue value;
    EXPECT_EQ(IsDeadKeyValue(c.decoded, maps, &value), c.deadKey) << c.decoded;
    if (c.deadKey) {
      EXPECT_EQ(value.mapName, c.mapName);
      EXPECT_EQ(value.defaultText, c.defaultText);
    }
  }
  EXPECT_EQ(DeadKeyValueText("+acute", "a, b"), "+acute,a, b");
}

}  // namespace
}  // namespace tessel
