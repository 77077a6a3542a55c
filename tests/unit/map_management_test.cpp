#include "common/memory_profile.h"
#include "frontend/editor_messages.h"
#include "frontend/map_management.h"
#include "unit/writes_run_out_profile.h"

#include <gtest/gtest.h>

#include <functional>

namespace tessel {
namespace {

constexpr const char* kSettings =
    "[TESSEL32]\r\nZoom=100\r\n[MAPS]\r\nGreek=\r\nCyrillic=\r\n+acute=\r\n"
    "[Selectors]\r\n59_C=<off>\r\n60_N=greek\r\nComment=Greek\r\n61_S=Cyrillic\r\n"
    "[Greek]\r\n30_N=alpha\r\n31_N=\\sbeta\\\\\r\n32_N=+acute,'\r\n"
    "[Cyrillic]\r\n30_N=a-cyr\r\n40_N=own\r\n[+acute]\r\n30_N=a-acute\r\n";

// One row: the settings file before, what is done, the file after (nullptr: unchanged).
struct Row {
  const char* name;
  const char* before;
  std::function<void(Profile&)> act;
  const char* after;
};

void RunRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MemoryProfile settings("T.INI", row.before);
    row.act(settings);
    EXPECT_EQ(settings.Text(), row.after ? row.after : row.before);
  }
}

TEST(MapManagement, CopyMergesWithinOneFile) {
  RunRows({
      {"into a new map: [MAPS] entry, then the section; selectors and + maps stay",
       "[MAPS]\r\nGreek=\r\n[Selectors]\r\n60_N=Greek\r\n[Greek]\r\n30_N=alpha\r\n32_N=+acute,'\r\n",
       [](Profile& p) { CopyMap(p, "Greek", p, "Copy"); },
       "[MAPS]\r\nGreek=\r\nCopy=\r\n[Selectors]\r\n60_N=Greek\r\n[Greek]\r\n30_N=alpha\r\n32_N=+acute,'\r\n"
       "[Copy]\r\n30_N=alpha\r\n32_N=+acute,'\r\n"},
      {"into an existing map: its own keys stay, common keys take the source's values", kSettings,
       [](Profile& p) { CopyMap(p, "greek", p, "CYRILLIC"); },
       "[TESSEL32]\r\nZoom=100\r\n[MAPS]\r\nGreek=\r\nCyrillic=\r\n+acute=\r\n"
       "[Selectors]\r\n59_C=<off>\r\n60_N=greek\r\nComment=Greek\r\n61_S=Cyrillic\r\n"
       "[Greek]\r\n30_N=alpha\r\n31_N=\\sbeta\\\\\r\n32_N=+acute,'\r\n"
       "[Cyrillic]\r\n30_N=alpha\r\n40_N=own\r\n31_N=\\sbeta\\\\\r\n32_N=+acute,'\r\n[+acute]\r\n30_N=a-acute\r\n"},
      {"onto itself: nothing changes", kSettings, [](Profile& p) { CopyMap(p, "Greek", p, "greek"); },
       nullptr},
      {"into a map with comments and bare lines: every line not replaced stays in place",
       "[MAPS]\r\nA=\r\nB=\r\n[A]\r\n30_N=new\r\n31_N=add\r\n[B]\r\n; keep\r\n30_N=old\r\nbare\r\n",
       [](Profile& p) { CopyMap(p, "A", p, "B"); },
       "[MAPS]\r\nA=\r\nB=\r\n[A]\r\n30_N=new\r\n31_N=add\r\n[B]\r\n; keep\r\n30_N=new\r\nbare\r\n"
       "31_N=add\r\n"},
      {"an empty source still enters the target", "[MAPS]\r\nEmpty=\r\n",
       [](Profile& p) { CopyMap(p, "Empty", p, "Other"); }, "[MAPS]\r\nEmpty=\r\nOther=\r\n"},
      {"values exactly as in the file, quotes kept; the first of repeated keys counts",
       "[MAPS]\r\nQ=\r\n[Q]\r\n30_N=\"quoted\"\r\n30_N=second\r\n; note=1\r\nplain line\r\n",
       [](Profile& p) { CopyMap(p, "Q", p, "R"); },
       "[MAPS]\r\nQ=\r\nR=\r\n[Q]\r\n30_N=\"quoted\"\r\n30_N=second\r\n; note=1\r\nplain line\r\n"
       "[R]\r\n30_N=\"quoted\"\r\n"},
  });
}

TEST(MapManagement, CopyIntoAnotherFile) {
  MemoryProfile settings("T.INI", kSettings);
  MemoryProfile mapFile("C:\\maps\\out.key");
  CopyMap(settings, "Greek", mapFile, "Greek");
  const std::string greekOnly =
      "[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=alpha\r\n31_N=\\sbeta\\\\\r\n32_N=+acute,'\r\n";
  EXPECT_EQ(mapFile.Text(), greekOnly);
  CopyMap(settings, "Cyrillic", mapFile, "Second");
  EXPECT_EQ(mapFile.Text(), "[MAPS]\r\nGreek=\r\nSecond=\r\n[Greek]\r\n30_N=alpha\r\n31_N=\\sbeta\\\\\r\n"
                            "32_N=+acute,'\r\n[Second]\r\n30_N=a-cyr\r\n40_N=own\r\n");
  EXPECT_EQ(settings.Text(), kSettings);  // the source is only read

  MemoryProfile imported("T.INI", "[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=mine\r\n99_N=kept\r\n");
  CopyMap(mapFile, "GREEK", imported, "Greek");
  EXPECT_EQ(imported.Text(), "[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=alpha\r\n99_N=kept\r\n"
                             "31_N=\\sbeta\\\\\r\n32_N=+acute,'\r\n");
}

// 1 500-character values and 2 000 keys (beyond the 1023-character read and the 8192-byte
// key list) travel whole, with one write of the [MAPS] entry and one of the section.
TEST(MapManagement, LongValuesAndManyKeysTravelWhole) {
  std::string longValue;
  for (int i = 0; i < 1500; ++i) longValue += static_cast<char>('a' + i % 26);
  std::string section = "[Big]\r\n30_N=" + longValue + "\r\n";
  for (int i = 0; i < 2000; ++i) section += std::to_string(i) + "_CAS=v\\s" + std::to_string(i) + "\r\n";
  MemoryProfile settings("T.INI", "[MAPS]\r\nBig=\r\n" + section);
  MemoryProfile mapFile("out.key");

  CopyMap(settings, "Big", mapFile, "Big");
  EXPECT_EQ(mapFile.Text(), "[MAPS]\r\nBig=\r\n" + section);
  EXPECT_EQ(mapFile.RewriteCount(), 2);

  const int before = settings.RewriteCount();
  RenameMap(settings, "Big", "Large");
  std::string renamed = section;
  renamed.replace(0, 5, "[Large]");
  EXPECT_EQ(settings.Text(), "[MAPS]\r\nLarge=\r\n" + renamed);
  EXPECT_LE(settings.RewriteCount() - before, 4);
}

// A platform that cuts long values in the writes of a copy.
class CuttingProfile : public MemoryProfile {
 public:
  using MemoryProfile::MemoryProfile;
  bool RawWriteEntries(const std::string& section, const std::vector<ProfileEntry>& entries) override {
    std::vector<ProfileEntry> cut = entries;
    for (ProfileEntry& entry : cut) entry.value.resize(std::min<size_t>(entry.value.size(), 1023));
    return MemoryProfile::RawWriteEntries(section, cut);
  }
};

TEST(MapManagement, NothingIsErasedWhenAValueCannotBeCopiedWhole) {
  const std::string text = "[MAPS]\r\nLong=\r\n[Selectors]\r\n60_N=Long\r\n[Long]\r\n30_N=" +
                           std::string(1500, 'x') + "\r\n";
  CuttingProfile settings("T.INI", text);
  try {
    RenameMap(settings, "Long", "Short");
    ADD_FAILURE() << "the cut copy was not noticed";
  } catch (const MapCopyError& error) {
    EXPECT_STREQ(error.what(), "Map Long could not be copied whole into T.INI; nothing was removed");
  }
  EXPECT_EQ(settings.ReadSection("Long"), std::vector<ProfileEntry>({{"30_N", std::string(1500, 'x')}}));
  EXPECT_EQ(SelectorKeyOf(settings, "Long"), "60_N");
  EXPECT_EQ(settings.ReadString("MAPS", "Long", "x"), "");
}

TEST(MapManagement, FailedWritesEraseNothing) {
  const std::vector<std::function<void(Profile&)>> commands = {
      [](Profile& p) { RenameMap(p, "Greek", "New"); },
      [](Profile& p) { DeleteMap(p, "Greek"); },
      [](Profile& p) { CopyMap(p, "Greek", p, "Cyrillic"); },
  };
  for (const auto& command : commands) {
    MemoryProfile settings("C:\\locked\\T.INI", kSettings);
    settings.SetWritesFail(true);
    try {
      command(settings);
      ADD_FAILURE() << "no error";
    } catch (const ProfileWriteError& error) {
      EXPECT_STREQ(error.what(), "Unable to write to C:\\locked\\T.INI");
    }
    EXPECT_EQ(settings.Text(), kSettings);
  }
}

TEST(MapManagement, DeleteLeavesTheMapListedUntilItsAssignmentsAreGone) {
  WritesRunOutProfile settings(1, kSettings);
  EXPECT_THROW(DeleteMap(settings, "Greek"), ProfileWriteError);
  EXPECT_TRUE(settings.ReadSection("Greek").empty());
  EXPECT_EQ(settings.ReadString("MAPS", "Greek", "gone"), "");
}

TEST(MapManagement, SelectorOfAMap) {
  struct Case {
    const char* selectors;
    const char* map;
    const char* key;
  };
  const Case cases[] = {
      {"60_N=Greek\r\n", "GREEK", "60_N"},
      {"60_N=Greek\r\n61_S=greek\r\n", "Greek", "61_S"},        // the last one counts
      {"60_N=Greek\r\nComment=Greek\r\n", "Greek", "60_N"},     // only key descriptors
      {"60_N=Greek\r\n128_N=Greek\r\n", "Greek", "128_N"},
      {"60_N=Greek\r\n1234_CAS=Greek\r\n", "Greek", "60_N"},    // at most 7 characters
      {"60_N=Greeks\r\n", "Greek", ""},
      {"59_C=<off>\r\n", "<off>", "59_C"},
      {"", "Greek", ""},
      // Names written before backslashes and quotes were refused: as written, or as read.
      {"60_N=x\\sy\r\n", "x\\sy", "60_N"},
      {"60_N=\"q\"\r\n", "\"q\"", "60_N"},
  };
  for (const Case& c : cases) {
    MemoryProfile settings("T.INI", std::string("[Selectors]\r\n") + c.selectors);
    EXPECT_EQ(SelectorKeyOf(settings, c.map), c.key) << c.selectors;
  }
}

TEST(MapManagement, DeleteAndRename) {
  RunRows({
      {"delete: section, [MAPS] key and the last selector", kSettings,
       [](Profile& p) { DeleteMap(p, "GREEK"); },
       "[TESSEL32]\r\nZoom=100\r\n[MAPS]\r\nCyrillic=\r\n+acute=\r\n"
       "[Selectors]\r\n59_C=<off>\r\nComment=Greek\r\n61_S=Cyrillic\r\n"
       "[Cyrillic]\r\n30_N=a-cyr\r\n40_N=own\r\n[+acute]\r\n30_N=a-acute\r\n"},
      {"delete a map without selector or section", "[MAPS]\r\nA=\r\nB=\r\n[Selectors]\r\n60_N=B\r\n",
       [](Profile& p) { DeleteMap(p, "A"); }, "[MAPS]\r\nB=\r\n[Selectors]\r\n60_N=B\r\n"},
      {"rename: the copy comes last in [MAPS], the selector moves, dead keys elsewhere stay", kSettings,
       [](Profile& p) { RenameMap(p, "Greek", "Hellenic"); },
       "[TESSEL32]\r\nZoom=100\r\n[MAPS]\r\nCyrillic=\r\n+acute=\r\nHellenic=\r\n"
       "[Selectors]\r\n59_C=<off>\r\n60_N=Hellenic\r\nComment=Greek\r\n61_S=Cyrillic\r\n"
       "[Cyrillic]\r\n30_N=a-cyr\r\n40_N=own\r\n[+acute]\r\n30_N=a-acute\r\n"
       "[Hellenic]\r\n30_N=alpha\r\n31_N=\\sbeta\\\\\r\n32_N=+acute,'\r\n"},
      {"rename to the same name in another case does nothing", kSettings,
       [](Profile& p) { RenameMap(p, "Greek", "GREEK"); }, nullptr},
  });
}

TEST(MapManagement, NameChecks) {
  MemoryProfile settings("T.INI", kSettings);
  struct Case {
    const char* typed;
    NameUse use;
    const char* problem;
  };
  const char* bad = editor_message::kBadName;
  const char* taken = editor_message::kNameTaken;
  // The rules of a valid name are map_names_test's; here: trimming, then the order.
  const Case cases[] = {
      {"  Latin  ", NameUse::NewMap, nullptr},
      {"fifteen-chars-x", NameUse::NewMap, nullptr},
      {"sixteen-chars-xx", NameUse::NewMap, bad},
      {"   ", NameUse::NewMap, bad},
      {" greek ", NameUse::NewMap, taken},
      {" GREEK ", NameUse::Target, nullptr},  // a copy target may exist: it is merged
      {"+ACUTE", NameUse::NewMap, taken},
      {"maps", NameUse::NewMap, bad},  // reserved, and not "taken" although [MAPS] exists
      {"a,<-Back", NameUse::Target, bad},
  };
  for (const Case& c : cases) {
    const char* problem = NameProblem(settings, c.typed, c.use);
    EXPECT_STREQ(problem ? problem : "", c.problem ? c.problem : "") << "[" << c.typed << "]";
  }
}

TEST(MapManagement, ImportChoicesAndPrompts) {
  MemoryProfile threeMaps("a.key", "[MAPS]\r\nOne=\r\nTwo=\r\nThree=\r\n[One]\r\n30_N=1\r\n");
  EXPECT_EQ(MapChoices(threeMaps), "One,Two,Three");
  MemoryProfile noList("b.key", "[Greek]\r\n30_N=alpha\r\n");
  EXPECT_EQ(MapChoices(noList), "");
  EXPECT_EQ(DeletePrompt("Tom & Jerry"),
            "Tessel+ : Question,do you really want to\r\npermanently remove map\r\nTom && Jerry ?,<-Back,Yes");
  EXPECT_EQ(RenamePrompt("A&B"), "Tessel+,Specify a new name for A&&B,<-Back,Ok");
  EXPECT_EQ(ExportPrompt("A&B"),
            "Tessel+ : Exporting A&B,Specify a name for the exported map\r\n"
            "(if it exists the maps will be merged),<-Back,Ok");
}

}  // namespace
}  // namespace tessel
