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
  EXPECT_THROW(p.EraseSection("S"), std::runtime_error);  // callers may catch std::exception
  EXPECT_EQ(p.Text(), "[S]\r\na=1\r\n");
  EXPECT_EQ(p.ReadString("S", "a", ""), "1");

  p.SetWritesFail(false);
  p.WriteString("S", "a", "2");
  EXPECT_EQ(p.ReadString("S", "a", ""), "2");
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
  bool RawWrite(const std::string&, const char*, const char*) override { return true; }
  std::vector<ProfileEntry> RawGetSection(const std::string&) override { return {}; }
  bool RawWriteSection(const std::string&, const std::vector<ProfileEntry>&) override { return true; }
  bool RawWriteEntries(const std::string&, const std::vector<ProfileEntry>&) override { return true; }

  std::map<std::string, std::string> values;
  std::vector<std::string> keys;
  std::vector<std::string> defaults;

 private:
  std::string name_ = "C:\\MAPS\\MY.INI";
};

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
  // Names that do not fit whole end the list, even when later ones would fit.
  const Case cases[] = {{{8190}, 1}, {{8191}, 0}, {{4095, 4094}, 2}, {{4095, 4095}, 1},
                        {{10, 9000, 10}, 1}, {{}, 0}, {{1, 1, 1}, 3}};
  for (const Case& c : cases) {
    ScriptedProfile p;
    for (size_t i = 0; i < c.lengths.size(); ++i) p.keys.push_back(std::string(c.lengths[i], 'a' + i % 26));
    EXPECT_EQ(p.ReadKeys("S").size(), c.expectedCount) << "first length "
                                                        << (c.lengths.empty() ? 0 : c.lengths[0]);
  }
}

}  // namespace
}  // namespace tessel
