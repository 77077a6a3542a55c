#include "common/memory_profile.h"
#include "frontend/program_rules_edit.h"
#include "hooklib/program_rules.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

std::vector<ProfileEntry> Rules(std::initializer_list<std::pair<const char*, const char*>> rules) {
  std::vector<ProfileEntry> entries;
  for (const auto& [key, value] : rules) entries.push_back({key, value});
  return entries;
}

std::string Joined(const std::vector<ProfileEntry>& rules) {
  std::string text;
  for (const ProfileEntry& rule : rules) text += rule.key + "=" + rule.value + ";";
  return text;
}

TEST(ProgramRulesEdit, ProgramsOfAMapCountOnlyEachProgramsFirstRule) {
  const auto rules = Rules({{"Notepad.exe", "greek"}, {" word.exe ", "Greek"}, {"notepad.exe", "Cyrillic"},
                            {"calc.exe", "Cyrillic"}, {"CALC.EXE", "Greek"}, {"q.exe", "\"Greek\""},
                            {"x:y.exe", "Greek"}});
  EXPECT_EQ(ProgramsOfMap(rules, "GREEK"), (std::vector<std::string>{"Notepad.exe", "word.exe", "q.exe"}));
  EXPECT_EQ(ProgramsOfMap(rules, "Cyrillic"), (std::vector<std::string>{"calc.exe"}));
}

TEST(ProgramRulesEdit, EditingAMapsProgramsRewritesOnlyItsRules) {
  struct Row {
    const char* name;
    const char* wanted;
    const char* after;
  } rows[] = {
      {"nothing wanted: the map's rules go, the others and those the hook ignores stay", "",
       "calc.exe=Cyrillic;NOTEPAD.EXE=Cyrillic;d/e.exe=Greek;"},
      {"a program of another map moves in place; new ones go at the end, each once",
       " calc.exe \r\n\r\nnew.exe\r\nNEW.EXE\r\nword.exe",
       "calc.exe=Greek;NOTEPAD.EXE=Cyrillic;d/e.exe=Greek;new.exe=Greek;word.exe=Greek;"},
      {"a later duplicate rule of a wanted program is dropped", "notepad.exe",
       "notepad.exe=Greek;calc.exe=Cyrillic;d/e.exe=Greek;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto rules = Rules({{"notepad.exe", "greek"}, {"calc.exe", "Cyrillic"}, {"NOTEPAD.EXE", "Cyrillic"},
                        {"d/e.exe", "Greek"}});
    std::string problem;
    ASSERT_TRUE(EditedPrograms(rules, "Greek", row.wanted, problem));
    EXPECT_EQ(Joined(rules), row.after);
  }
  for (const char* refused : {"C:\\x.exe", "bin/x.exe", "c:x.exe"}) {
    auto rules = Rules({{"notepad.exe", "Greek"}});
    std::string problem;
    EXPECT_FALSE(EditedPrograms(rules, "Greek", std::string("ok.exe\r\n ") + refused + " \r\n", problem));
    EXPECT_EQ(problem, refused);
    EXPECT_EQ(Joined(rules), "notepad.exe=Greek;");
  }
}

TEST(ProgramRulesEdit, RenameDeleteAndCopyCarryTheRules) {
  auto rules = Rules({{"a.exe", "greek"}, {"b.exe", "Cyrillic"}, {"c.exe", "GREEK"}});
  RenameProgramRules(rules, "Greek", "Ελληνικά");
  EXPECT_EQ(Joined(rules), "a.exe=Ελληνικά;b.exe=Cyrillic;c.exe=Ελληνικά;");
  RemoveProgramRules(rules, "ελληνικά");  // only ASCII letters fold; other cases stay apart
  EXPECT_EQ(Joined(rules), "a.exe=Ελληνικά;b.exe=Cyrillic;c.exe=Ελληνικά;");
  RemoveProgramRules(rules, "Ελληνικά");
  EXPECT_EQ(Joined(rules), "b.exe=Cyrillic;");

  MemoryProfile from("FROM.INI", "[Programs]\r\na.exe=Greek\r\nb.exe=Cyrillic\r\nA.EXE=Cyrillic\r\n");
  MemoryProfile to("TO.INI", "[MAPS]\r\nX=\r\n");
  CopyProgramRules(from, "Cyrillic", to, "X");
  EXPECT_EQ(to.Text(), "[MAPS]\r\nX=\r\n[Programs]\r\nb.exe=X\r\n");
  CopyProgramRules(from, "None", to, "Y");
  EXPECT_EQ(to.Text(), "[MAPS]\r\nX=\r\n[Programs]\r\nb.exe=X\r\n");
}

TEST(ProgramRulesEdit, IgnoredRulesAreListedWithTheirReason) {
  const auto rules = Rules({{"a.exe", "Greek"}, {"b.exe", "Gone"}, {"c.exe", "<OFF>"}, {"d\\e.exe", "Greek"}});
  const std::string text = IgnoredRulesText(rules, {"Greek"});
  EXPECT_NE(text.find("b.exe=Gone: "), std::string::npos) << text;
  EXPECT_NE(text.find("d\\e.exe=Greek: "), std::string::npos) << text;
  EXPECT_EQ(text.find("a.exe"), std::string::npos) << text;
  EXPECT_EQ(text.find("c.exe"), std::string::npos) << text;
  EXPECT_EQ(IgnoredRulesText(Rules({{"a.exe", "greek"}}), {"Greek"}), "");
}

}  // namespace
}  // namespace tessel
