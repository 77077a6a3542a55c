#include "common/memory_profile.h"
#include "frontend/dead_key_value.h"
#include "frontend/map_names.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(MapNames, TrimAndValidity) {
  EXPECT_EQ(TrimName("  Greek \t"), "Greek");
  EXPECT_EQ(TrimName("   "), "");
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
  const std::vector<std::string> maps = {"Greek", "+acute"};
  struct Case {
    const char* decoded;
    bool deadKey;
    const char* mapName;
    const char* defaultText;
  };
  const Case cases[] = {
      {"+acute,'", true, "+acute", "'"},   {"+ACUTE,a,b", true, "+ACUTE", "a,b"},
      {"+acute", true, "+acute", ""},      {"+acute,", true, "+acute", ""},
      {"+grave,`", false, "", ""},         {"+", false, "", ""},
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
