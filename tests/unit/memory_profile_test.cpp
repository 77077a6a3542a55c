// The in-memory settings file beyond the shared contract, and the reading and writing
// rules of Profile over a scripted platform.
#include "common/memory_profile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tessel {
namespace {

TEST(MemoryProfile, KeepsTheTextUntilAWriteChangesIt) {
  const std::string text = "[S]\r\n\r\n  a = 1\r\nb=2\n";
  MemoryProfile p("x.ini", text);
  EXPECT_EQ(p.FileName(), "x.ini");
  p.WriteString("S", "a", "1");  // same value: the file is not rewritten
  p.DeleteKey("S", "missing");
  p.EraseSection("Missing");
  EXPECT_EQ(p.Text(), text);
  EXPECT_EQ(p.RewriteCount(), 0);

  p.WriteString("S", "b", "3");
  EXPECT_EQ(p.Text(), "[S]\r\na=1\r\nb=3\r\n");
  EXPECT_EQ(p.RewriteCount(), 1);
}

TEST(MemoryProfile, FailingWritesLeaveTheFileAlone) {
  MemoryProfile p("C:\\locked.ini", "[S]\r\na=1\r\n");
  p.SetWritesFail(true);
  EXPECT_FALSE(p.RawWrite("S", "a", "2"));
  EXPECT_THROW(p.WriteString("S", "a", "2"), ProfileWriteError);
  EXPECT_THROW(p.EraseSection("S"), ProfileWriteError);
  EXPECT_EQ(p.Text(), "[S]\r\na=1\r\n");
  EXPECT_EQ(p.ReadString("S", "a", ""), "1");

  p.SetWritesFail(false);
  p.WriteString("S", "a", "2");
  EXPECT_EQ(p.ReadString("S", "a", ""), "2");
}

TEST(MemoryProfile, ManyKeysStayFast) {
  // The loader reads every key of a section one by one.
  std::string text = "[Big]\r\n";
  for (int i = 0; i < 3000; ++i) text += "K" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
  MemoryProfile p("x.ini", text);
  for (const std::string& key : p.ReadKeys("Big")) {
    ASSERT_EQ(p.ReadString("Big", key, "").substr(1), key.substr(1));
  }
}

// A platform that answers from tables, to test Profile's own rules.
class ScriptedProfile : public Profile {
 public:
  const std::string& FileName() const override { return name_; }
  std::string RawGetString(const std::string&, const std::string& key,
                           const std::string& defaultValue) override {
    defaults.push_back(defaultValue);
    auto it = values.find(key);
    return it == values.end() ? defaultValue : it->second;
  }
  std::vector<std::string> RawGetKeys(const std::string&) override { return keys; }
  bool RawWrite(const std::string& section, const char* key, const char* value) override {
    writes.push_back(section + "|" + (key ? key : "<null>") + "|" + (value ? value : "<null>"));
    return writable;
  }

  std::map<std::string, std::string> values;
  std::vector<std::string> keys;
  std::vector<std::string> defaults;
  std::vector<std::string> writes;
  bool writable = true;

 private:
  std::string name_ = "C:\\MAPS\\MY.INI";
};

TEST(ProfileRules, StringsAreCutTo1023Characters) {
  ScriptedProfile p;
  p.values["long"] = std::string(5000, 'x');
  EXPECT_EQ(p.ReadString("S", "long", "").size(), 1023u);
  EXPECT_EQ(p.ReadString("S", "none", std::string(2000, 'd')).size(), 1023u);
}

TEST(ProfileRules, IntegersAreReadWithAnEmptyDefault) {
  ScriptedProfile p;
  p.values["Zoom"] = "0x20";
  EXPECT_EQ(p.ReadInteger("TESSEL32", "Zoom", 100), 32);
  EXPECT_EQ(p.ReadInteger("TESSEL32", "Missing", 100), 100);
  EXPECT_TRUE(p.ReadBool("TESSEL32", "Missing", true));
  EXPECT_EQ(p.defaults, (std::vector<std::string>{"", "", ""}));
}

TEST(ProfileRules, KeyListFollowsThe8192ByteRule) {
  struct Case {
    std::vector<size_t> lengths;
    size_t expectedCount;
  };
  const Case cases[] = {
      {{8190}, 1},           {{8191}, 0},          {{4095, 4094}, 2},   {{4095, 4095}, 1},
      {{10, 9000, 10}, 1},   {{}, 0},              {{1, 1, 1}, 3},
  };
  for (const Case& c : cases) {
    ScriptedProfile p;
    for (size_t i = 0; i < c.lengths.size(); ++i) p.keys.push_back(std::string(c.lengths[i], 'a' + i % 26));
    EXPECT_EQ(p.ReadKeys("S").size(), c.expectedCount) << "first length "
                                                        << (c.lengths.empty() ? 0 : c.lengths[0]);
  }
}

TEST(ProfileRules, AnEmptyNameEndsTheKeyList) {
  ScriptedProfile p;
  p.keys = {"a", "", "b"};
  EXPECT_EQ(p.ReadKeys("S"), std::vector<std::string>{"a"});
}

TEST(ProfileRules, WritesGoStraightThrough) {
  ScriptedProfile p;
  p.WriteString("TESSEL32", "TitleWhenOff", "Off");
  p.WriteInteger("TESSEL32", "Top", -201);
  p.WriteInteger("TESSEL32", "Big", INT32_MIN);
  p.WriteBool("TESSEL32", "OnTop", true);
  p.WriteBool("TESSEL32", "DoBeep", false);
  p.EraseSection("Greek");
  p.DeleteKey("TESSEL32", "EditorTop");
  EXPECT_EQ(p.writes, (std::vector<std::string>{
                          "TESSEL32|TitleWhenOff|Off", "TESSEL32|Top|-201", "TESSEL32|Big|-2147483648",
                          "TESSEL32|OnTop|1", "TESSEL32|DoBeep|0", "Greek|<null>|<null>",
                          "TESSEL32|EditorTop|<null>"}));
}

TEST(ProfileRules, FailedWritesNameTheFile) {
  ScriptedProfile p;
  p.writable = false;
  try {
    p.WriteBool("TESSEL32", "OnTop", true);
    FAIL() << "no error";
  } catch (const ProfileWriteError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\MAPS\\MY.INI");
  }
  // The error is a runtime_error, so a caller catching std::exception sees it too.
  EXPECT_THROW(p.DeleteKey("S", "k"), std::runtime_error);
}

}  // namespace
}  // namespace tessel
