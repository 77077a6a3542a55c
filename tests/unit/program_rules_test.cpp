// Per-program maps: the compiled table, its lookup, the switching as programs come to the
// front, and damaged tables.
#include "hooklib/program_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tessel {
namespace {

using store::StoreView;

constexpr uint32_t kClient = 100;
const std::vector<std::string> kMaps = {"<off>", "LATIN", "GREEK", "RUSSIAN"};

// The compiled rules behind a header that claims the three maps of kMaps (their tables
// overlap; nothing here reads them), in a block that ends where the table ends, so that
// AddressSanitizer reports any read past it. SelectedMap starts at LATIN.
struct Block {
  explicit Block(const std::vector<ProfileEntry>& rules)
      : bytes(320 + CompileProgramRules(rules, kMaps).table.size()) {
    StoreView view = View();
    for (auto [field, value] : {std::pair{store::kBlockSize, static_cast<int32_t>(bytes.size())},
                                {store::kLoadedCount, 3}, {store::kNameTableOffset, 304},
                                {store::kTextTableOffset, 304}, {store::kDataEnd, 317},
                                {store::kSelectedMap, 1}})
      view.Set(field, value);
    view.SetFlags(store::kFlagProgramRules);
    view.PutBytes(320, CompileProgramRules(rules, kMaps).table.data(), bytes.size() - 320);
  }
  StoreView View() { return StoreView(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  std::vector<uint8_t> bytes;
};

std::string FromHex(const char* hex) {
  std::string out;
  for (const char* p = hex; *p; ++p)
    if (*p != ' ') out += static_cast<char>(std::stoi(std::string(p++, 2), nullptr, 16));
  return out;
}

// A map name names the last map of that name, as IndexByName does.
TEST(CompileProgramRules, WritesRulesSortedByHashWithFoldedNames) {
  const CompiledProgramRules rules =
      CompileProgramRules({{"B.exe", "GREEK"}, {"a.EXE", "<off>"}}, {"<off>", "greek", "Greek"});
  EXPECT_EQ(rules.ruleCount, 2u);
  EXPECT_EQ(rules.table, FromHex("54505231 44000000 02000000 00000000 00000000 00000000 00000000 "
                                 "00000000 2b27e146 38000000 02000000 42c13781 3e000000 00000000") +
                             std::string("b.exe\0a.exe\0", 12));
}

TEST(CompileProgramRules, FindsValidRulesWithoutCaseAndTellsWhyOthersAreIgnored) {
  struct Case {
    const char* key;
    const char* value;
    const char* problem;  // "" for a rule
    const char* lookup;
    int32_t map;  // found for lookup, or -1
  };
  const char* const kNotAName = "not a program's file name";
  const char* const kNoMap = "names no map";
  const char* const kEarlier = "an earlier rule names this program";
  const Case cases[] = {
      {"WINWORD.EXE", "GREEK", "", "WinWord.exe", 2},
      {" notepad.exe\t", "\"greek\"", "", "NOTEPAD.EXE", 2},
      {"calc.exe", "'<OFF>'", "", "calc.exe", 0},       {" \t", "GREEK", kNotAName, "", -1},
      {"C:\\x\\a.exe", "GREEK", kNotAName, "a.exe", -1},
      {"dir/b.exe", "GREEK", kNotAName, "b.exe", -1},     {"c:", "GREEK", kNotAName, "c:", -1},
      {"x.exe", "NOMAP", kNoMap, "x.exe", -1},
      {"y.exe", "\"GREEK", kNoMap, "y.exe", -1},
      {"z.exe", "\"GREEK \"", kNoMap, "z.exe", -1},  // quotes removed, the blank kept
      {"Winword.exe", "RUSSIAN", kEarlier, "winword.exe", 2},
      {"v.exe", "NOMAP", kNoMap, "v.exe", -1},            {"V.EXE", "GREEK", kEarlier, "V.exe", -1},
      {"\xCE\x91.exe", "RUSSIAN", "", "\xCE\x91.EXE", 3},
      {"q.exe", "LATIN", "", "\xCE\xB1.exe", -1},  // only ASCII letters are folded
      {"yiijsv.exe", "GREEK", "", "YIIJSV.EXE", 2},  {"ktodoe.exe", "RUSSIAN", "", "ktodoe.exe", 3},
  };
  ASSERT_EQ(ProgramNameHash("yiijsv.exe"), ProgramNameHash("ktodoe.exe"));
  std::vector<ProfileEntry> entries;
  std::string expected, ignored;
  for (const Case& c : cases) {
    entries.push_back({c.key, c.value});
    if (*c.problem) expected += std::string(c.key) + ": " + c.problem + "\n";
  }
  const CompiledProgramRules rules = CompileProgramRules(entries, kMaps);
  for (const IgnoredRule& rule : rules.ignored)
    ignored += rule.key + ": " + RuleProblemText(rule.problem) + "\n";
  EXPECT_EQ(ignored, expected);
  EXPECT_EQ(rules.ignored.at(6).value, "GREEK ");
  Block block(entries);
  for (const Case& c : cases) {
    const ProgramRule rule = FindProgramRule(block.View(), c.lookup);
    EXPECT_EQ(rule.found ? rule.map : -1, c.map) << c.key;
  }
}

TEST(FindProgramRule, TenThousandRulesAreAllFound) {
  std::vector<ProfileEntry> entries;
  for (int i = 0; i < 10000; ++i)
    entries.push_back({"Prog" + std::to_string(i) + ".exe", i % 2 ? "GREEK" : "<off>"});
  Block block(entries);
  for (int i = 0; i < 10000; ++i) {
    const ProgramRule rule = FindProgramRule(block.View(), "prog" + std::to_string(i) + ".EXE");
    ASSERT_EQ(rule.found ? rule.map : -1, i % 2 ? 2 : 0) << i;
  }
}

TEST(OnProgramInFront, SwitchesAndRestoresAsProgramsComeToTheFront) {
  Block block({{"a.exe", "GREEK"}, {"c.exe", "<off>"}});
  StoreView view = block.View();
  EXPECT_FALSE(StartProgramRules(view, kClient, kClient, "C:\\Tessel\\TESSEL32.EXE").changed);
  struct Step {
    const char* what;
    uint32_t pid;
    const char* image;  // null: a selector or menu choice of `selected` instead
    bool changed;
    int32_t selected, saved;
  };
  const Step steps[] = {
      {"A switches", 1, "C:\\Office\\A.EXE", true, 2, 1},
      {"B restores", 2, "b.exe", true, 1, 1},
      {"C switches off", 3, "D:c.exe", true, 0, 1},
      {"A again", 1, "a.exe", true, 2, 1},
      {"manual choice in A", 0, nullptr, false, 3, 1},
      {"the client's window", kClient, "tessel32.exe", false, 3, 1},
      {"A is still the program seen", 1, "a.exe", false, 3, 1},
      {"B restores the map before A", 2, "b.exe", true, 1, 1},
      {"B twice", 2, "b.exe", false, 1, 1},
      {"manual choice in B", 0, nullptr, false, 3, 3},
      {"pid 0", 0, "a.exe", false, 3, 3},
      {"another process of A", 4, "a.exe", true, 2, 3},
      {"C", 3, "c.exe", true, 0, 3},
      {"a program without a name", 5, "", true, 3, 3},
  };
  for (const Step& step : steps) {
    if (step.image) {
      const ProgramSwitch result = OnProgramInFront(view, step.pid, step.image);
      EXPECT_EQ(result.changed, step.changed) << step.what;
      EXPECT_EQ(result.map, step.selected) << step.what;
      EXPECT_FALSE(ProgramCheckDue(view, step.pid)) << step.what;
    } else {
      view.Set(store::kSelectedMap, step.selected);
    }
    EXPECT_EQ(view.Get(store::kSelectedMap), step.selected) << step.what;
    EXPECT_EQ(SelectionToSave(view), step.saved) << step.what;
    EXPECT_TRUE(ProgramCheckDue(view, 99)) << step.what;
  }
  // A front end showing while the host holds the hook is not seen at all.
  OnProgramInFront(view, 6, "C:\\Tessel\\Tessel32.exe");
  OnProgramInFront(view, 6, "TESSHIDE32.EXE");
  EXPECT_TRUE(ProgramCheckDue(view, 6));
  OnProgramInFront(view, 6, "TESSEL32.EXE.EXE");
  EXPECT_FALSE(ProgramCheckDue(view, 6));
}

TEST(StartProgramRules, ForgetsTheLastSessionAndEvaluatesTheProgramInFront) {
  for (auto [pid, image, selected] :
       {std::tuple{kClient, "a.exe", 3}, {7u, "a.exe", 2}, {0u, "", 3}}) {
    Block block({ProfileEntry{"a.exe", "GREEK"}});
    StoreView view = block.View();
    OnProgramInFront(view, 7, "a.exe");  // a switch of an earlier session
    view.Set(store::kSelectedMap, 3);    // Selected of the settings file
    StartProgramRules(view, kClient, pid, image);
    EXPECT_EQ(view.Get(store::kSelectedMap), selected) << pid;
    EXPECT_EQ(SelectionToSave(view), 3) << pid;
    EXPECT_FALSE(ProgramCheckDue(view, kClient)) << pid;
  }
}

TEST(ProgramRuleTable, DamagedTableMeansNoRule) {
  struct Case {
    const char* what;
    uint32_t at, value;  // at: an offset in the block; the table starts at 320
    bool tableSeen;      // the header is sound; only the rule is damaged
  };
  const Case cases[] = {
      {"flag cleared", 36, 0, false},           {"magic", 320, 0x31525055, false},
      {"size past the block", 324, 51, false},  {"size below the header", 324, 31, false},
      {"count too large", 328, 2, false},       {"DataEnd past the block", 12, 0xFFFFFFFD, false},
      {"DataEnd in the header", 12, 8, false},  {"name offset past the table", 356, 1 << 24, true},
      {"name offset in the rules", 356, 40, true},
      {"name without its zero", 366, 0x78657865, true},  // "a.exe\0" -> "a.exex"
      {"map above LoadedCount", 360, 4, true},  {"map negative", 360, 0xFFFFFFFF, true},
  };
  for (const Case& c : cases) {
    Block block({ProfileEntry{"A.exe", "GREEK"}});  // table of 50 bytes: header, one rule, "a.exe"
    ASSERT_EQ(block.bytes.size(), 370u);
    StoreView view = block.View();
    view.PutU32(c.at, c.value);
    EXPECT_FALSE(FindProgramRule(view, "a.exe").found) << c.what;
    EXPECT_EQ(ProgramCheckDue(view, 7), c.tableSeen) << c.what;
    EXPECT_FALSE(OnProgramInFront(view, 7, "a.exe").changed) << c.what;
    EXPECT_EQ(view.Get(store::kSelectedMap), 1) << c.what;
  }
}

}  // namespace
}  // namespace tessel
