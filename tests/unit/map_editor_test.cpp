// The map editor's portable core: assignment rows and their drawing pieces, the selector
// view, the checks and commands over an in-memory settings file, the capture rules and
// where the window opens.
#include "common/keys.h"
#include "common/memory_profile.h"
#include "common/value_codec.h"
#include "frontend/assignment_rows.h"
#include "frontend/editor_commands.h"
#include "frontend/editor_layout.h"
#include "frontend/editor_messages.h"
#include "frontend/key_capture_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace tessel {
namespace {

using namespace std::string_literals;

// Key names as "K<code>", so that rows read without a keyboard.
std::string FakeName(uint8_t keyCode) { return "K" + std::to_string(keyCode); }

// Rows as "visible|code|state", the font switches written as "^".
std::vector<std::string> RowsOf(MemoryProfile& settings, const std::string& map) {
  std::vector<std::string> out;
  for (const AssignmentRow& row :
       BuildAssignmentRows(settings.ReadSection("Selectors"), settings.ReadSection(map),
                           settings.ReadKeys("MAPS"), FakeName)) {
    std::string visible = row.visible;
    for (char& c : visible)
      if (c == kFontSwitch) c = '^';
    out.push_back(visible + "|" + std::to_string(row.keyCode) + "|" +
                  std::to_string(row.stateByte));
    EXPECT_EQ(RowListText(row), row.visible + char(row.keyCode) + char(row.stateByte));
  }
  return out;
}

TEST(AssignmentRows, SelectorsThenTheEditedMap) {
  MemoryProfile settings("T.INI",
                         "[MAPS]\r\nGreek=\r\n+acute=\r\nOther=\r\n"
                         "[Selectors]\r\n59_C=Greek\r\n60_C=<off>\r\nbad=Greek\r\n61_CAS=Other\r\n"
                         "[Greek]\r\n30_N=a\\sb\\\\c\r\n30_S={ENTER}x\r\n200_CA=+acute,'\r\n"
                         "31_N=+grave,x\r\nComment=x\r\n0_N=zero\r\n32_N=\"quoted\"\r\n"
                         "30_n=lower\r\n30_N=second\r\n33_N=a\\013\\010b\\001c\r\n"
                         "34_N=\"Hello\r\n35_N='mixed\"\r\n"
                         "[Other]\r\n30_N=other\r\n");
  const std::vector<std::string> expected = {
      "K59\t(C)\t--> [Greek]|59|130",
      "K60\t(C)\t--> [<off>]|60|130",
      "K61\t(SCA)\t--> [Other]|61|135",
      "K30\t\t^a b\\c|30|128",
      "K30\t(S)\t{ENTER}^x|30|129",
      "K200\t(CA)\t<-> [+acute]|200|134",  // names an existing "+" map
      "K31\t\t^+grave,x|31|128",           // "+grave" is no map: plain text
      "K32\t\t^quoted|32|128",             // a quoted value reads without its quotes
      "K33\t\t^a\r\nbc|33|128",            // character 1 never shows
      "K34\t\t^\"Hello|34|128",              // quotes go only in matching pairs
      "K35\t\t^'mixed\"|35|128",
  };
  EXPECT_EQ(RowsOf(settings, "Greek"), expected);
  // "<off>" has no section: only the selectors.
  EXPECT_EQ(RowsOf(settings, "<off>").size(), 3u);
}

TEST(AssignmentRows, KeyListOf8192Bytes) {
  // As the key list the profile functions give: names beyond 8192 bytes are not seen.
  std::string text = "[M]\r\n";
  for (int i = 0; i < 1500; ++i)
    text += std::to_string(i % 250 + 1) + "_" + kStateCodes[i / 250] + "=x\r\n";
  MemoryProfile settings("T.INI", text);
  const size_t seen = settings.ReadKeys("M").size();
  EXPECT_LT(seen, 1500u);
  EXPECT_EQ(VisibleEntries(settings.ReadSection("M")).size(), seen);
  // A list that fits exactly: 818 names of 9 bytes and one of 10, with their zeros and the
  // final one, make 8192 bytes, and the last name is seen.
  std::string exact = "[M]\r\n";
  for (int i = 0; i < 818; ++i) exact += "k" + std::to_string(10000000 + i) + "=x\r\n";
  exact += "last567890=x\r\n";
  MemoryProfile fits("T.INI", exact);
  ASSERT_EQ(fits.ReadKeys("M").size(), 819u);
  EXPECT_EQ(VisibleEntries(fits.ReadSection("M")).back().key, "last567890");
  const std::vector<ProfileEntry> longValue = {{"k", "\"" + std::string(2000, 'x') + "\""}};
  EXPECT_EQ(ValueAsRead(longValue[0].value), std::string(1023, 'x'));
}

TEST(AssignmentRows, FontSwitches) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc", "^abc"},
      {"abc{ENTER}def", "^abc^{ENTER}^def"},
      {"{ENTER}abc", "{ENTER}^abc"},
      {"{a}{b}", "{a}{b}"},  // no switch between groups that touch
      {"x{a}{b}y", "^x^{a}{b}^y"},
      {"{{x}", "^{{x}"},  // doubled brace and a plain "}"
      {"a}b", "^a}b"},
      {"{!Run notepad}", "{!Run notepad}"},
      {"a{b", "^a^{b"},       // a group left open
      {"{a{b}c", "{a{b}^c"},  // no group inside a group
      {"", "^"},
  };
  for (const auto& [decoded, expected] : cases) {
    std::string text = WithFontSwitches(decoded);
    for (char& c : text)
      if (c == kFontSwitch) c = '^';
    EXPECT_EQ(text, expected) << decoded;
  }
}

TEST(AssignmentRows, DrawingPiecesAndTabStops) {
  using P = RowPiece;
  const std::string row = "A\t(S)\t\x01x\r\ny\x01{TAB}\t\tz";
  const std::vector<RowPiece> expected = {
      {P::Run, "A"},       {P::Tab, ""},  {P::Run, "(S)"}, {P::Tab, ""},
      {P::FontSwitch, ""}, {P::Run, "x"}, {P::Run, "y"},   {P::FontSwitch, ""},
      {P::Run, "{TAB}"},   {P::Tab, ""},  {P::Tab, ""},    {P::Run, "z"},
  };
  EXPECT_EQ(SplitRow(row), expected);
  EXPECT_TRUE(SplitRow("").empty());
  const int stops100[] = {60, 100, 120, 140, 160, 180, 200, 220};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(RowTabStop(i, 100), stops100[i]) << i;
  EXPECT_EQ(RowTabStop(0, 150), 90);
  EXPECT_EQ(RowTabStop(1, 125), 125);
  EXPECT_EQ(RowTabStop(1000, 100), 160 + 996 * 20);
  EXPECT_EQ(KeyCodeOfRowKey(RowKey(157, 0x86)), 157);
  EXPECT_EQ(StateByteOfRowKey(RowKey(157, 0x86)), 0x86);
}

TEST(SelectorView, LastQualifyingEntryCounts) {
  MemoryProfile settings(
      "T.INI",
      "[Selectors]\r\n59_C=Greek\r\nlongname=Greek\r\n60_N=GREEK\r\n61_N=Other\r\n"
      "62_S=<off>\r\n");
  const std::vector<ProfileEntry> selectors = settings.ReadSection("Selectors");
  EXPECT_EQ(MapSelectorKey(selectors, "greek").value_or("none"), "60_N");
  EXPECT_EQ(SelectorViewText(selectors, "Greek", FakeName), " K60");
  EXPECT_EQ(SelectorViewText(selectors, "<off>", FakeName), "(S) K62");
  EXPECT_EQ(SelectorViewText(selectors, "Missing", FakeName), "<not assigned>");
}

const char* const kEditorFile =
    "[MAPS]\r\nGreek=\r\n+acute=\r\n"
    "[Selectors]\r\n59_C=Greek\r\n60_C=Other\r\n"
    "[Greek]\r\n30_N=alpha\r\n31_N=+acute,x\r\n";

EditorSituation Situation(int selected, const char* map, uint8_t keyCode, const char* text,
                          uint8_t stateByte = 0x80) {
  EditorSituation s;
  s.mapListEntries = 3;
  s.selectedEntry = selected;
  s.editedMapName = map;
  s.keyCode = keyCode;
  s.stateByte = stateByte;
  s.replacementText = text;
  return s;
}

TEST(EditorChecks, InTheirOrder) {
  using namespace editor_message;
  MemoryProfile settings("T.INI", kEditorFile);
  EditorSituation noMaps = Situation(-1, "Greek", 0, "");
  noMaps.mapListEntries = 1;
  struct Case {
    EditorSituation situation;
    const char *store, *makeSelector, *kill, *remove;
  };
  const std::string tooLong(1024, 'x'), longest(1023, 'x'), blanks(512, ' ');
  const Case cases[] = {
      {noMaps, kNoMaps, kNoMaps, kNoMaps, kNoKey},
      {Situation(0, "<off>", 0, ""), kMapNotEditable, kNoKey, kMapNotEditable, kNoKey},
      {Situation(-1, "Greek", 0, ""), kNoKey, kNoMapSelected, kNoMapSelected, kNoKey},
      // After a rebuild of the list the edited name may be "<off>" or a map that is gone.
      {Situation(-1, "<off>", 30, "x"), kMapNotEditable, kNoMapSelected, kNoMapSelected, nullptr},
      {Situation(-1, "Gone", 30, "x"), kMapNotEditable, kNoMapSelected, kNoMapSelected, nullptr},
      {Situation(1, "Gone", 30, "x"), kMapNotEditable, kMapNotEditable, kMapNotEditable, nullptr},
      {Situation(1, "greek", 0, "x"), kNoKey, kNoKey, kNoKey, kNoKey},
      {Situation(1, "Greek", 59, "x", 0x82), kKeyIsSelector, kKeyIsSelector, kKeyIsSelector,
       nullptr},
      {Situation(1, "Greek", 60, "x", 0x82), kKeyIsSelector, kKeyIsSelector, kKeyIsSelector,
       nullptr},
      {Situation(1, "Greek", 31, "x"), kKeyIsDeadKey, kKeyIsDeadKey, nullptr, nullptr},
      {Situation(1, "Greek", 30, ""), kNoText, nullptr, nullptr, nullptr},
      {Situation(1, "Greek", 30, tooLong.c_str()), kTextTooLong, nullptr, nullptr, nullptr},
      {Situation(1, "Greek", 30, blanks.c_str()), kTextTooLong, nullptr, nullptr, nullptr},
      {Situation(1, "Greek", 30, longest.c_str()), nullptr, nullptr, nullptr, nullptr},
      {Situation(0, "<off>", 30, "x"), kMapNotEditable, nullptr, kMapNotEditable, nullptr},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(i);
    EXPECT_STREQ(CheckStore(settings, c.situation), c.store);
    EXPECT_STREQ(CheckMakeSelector(settings, c.situation), c.makeSelector);
    EXPECT_STREQ(CheckKill(settings, c.situation), c.kill);
    EXPECT_STREQ(CheckRemove(c.situation), c.remove);
  }
}

TEST(EditorCommands, StoreEncodesAndRoundTrips) {
  const std::pair<std::string, std::string> cases[] = {
      {"a b\\c", "a\\sb\\\\c"},        {"line one\r\nline two", "line\\sone\\013\\010line\\stwo"},
      {"\"quoted\"", "\\034quoted\""}, {"'single'", "\\039single'"},
      {"\ttab ", "\\009tab\\s"},       {"x\x01y", "xy"},
  };
  for (const auto& [text, stored] : cases) {
    MemoryProfile settings("T.INI", kEditorFile);
    ASSERT_EQ(StoreAssignment(settings, Situation(-1, "Greek", 32, text.c_str())), nullptr);
    EXPECT_EQ(settings.ReadString("Greek", "32_N", "?"), stored);
    std::string expected = text;
    expected.erase(std::remove(expected.begin(), expected.end(), '\x01'), expected.end());
    EXPECT_EQ(DecodeValue(settings.ReadString("Greek", "32_N", "?")), expected);
    EXPECT_EQ(ReplacementFieldFor(settings, "Greek", 32, 0x80).text, expected);
    // The line stays one line of the file: the other entries are untouched.
    EXPECT_EQ(settings.ReadKeys("Greek"), (std::vector<std::string>{"30_N", "31_N", "32_N"}));
  }
}

TEST(EditorCommands, RefusalsWriteNothingAndFailuresThrow) {
  MemoryProfile settings("T.INI", kEditorFile);
  const std::string before = settings.Text();
  EXPECT_STREQ(StoreAssignment(settings, Situation(-1, "<off>", 30, "x")),
               editor_message::kMapNotEditable);
  EXPECT_STREQ(MakeSelector(settings, Situation(-1, "Greek", 30, "")),
               editor_message::kNoMapSelected);
  EXPECT_STREQ(RemoveAssignment(settings, Situation(1, "Greek", 0, "")), editor_message::kNoKey);
  EXPECT_EQ(settings.Text(), before);
  EXPECT_EQ(settings.RewriteCount(), 0);
  settings.SetWritesFail(true);
  try {
    StoreAssignment(settings, Situation(1, "Greek", 30, "beta"));
    ADD_FAILURE() << "no error";
  } catch (const ProfileWriteError& error) {
    EXPECT_STREQ(error.what(), "Unable to write to T.INI");
  }
  EXPECT_THROW(MakeSelector(settings, Situation(1, "Greek", 40, "")), ProfileWriteError);
  EXPECT_EQ(settings.Text(), before);
}

TEST(EditorCommands, RemoveAndMakeSelector) {
  MemoryProfile settings("T.INI", kEditorFile);
  // Remove on a selector deletes it whichever map it selects (and not the edited map's own
  // entry for that key); otherwise the map's entry.
  settings.WriteString("Greek", "60_C", "hidden by the selector");
  EXPECT_EQ(RemoveAssignment(settings, Situation(1, "Greek", 60, "", 0x82)), nullptr);
  EXPECT_EQ(settings.ReadString("Selectors", "60_C", "none"), "none");
  EXPECT_EQ(RemoveAssignment(settings, Situation(1, "Greek", 31, "")), nullptr);
  EXPECT_EQ(settings.ReadKeys("Greek"), (std::vector<std::string>{"30_N", "60_C"}));
  EXPECT_EQ(RemoveAssignment(settings, Situation(1, "Greek", 99, "")), nullptr);  // none there
  // Make Selector replaces the map's old selector.
  EXPECT_EQ(MakeSelector(settings, Situation(1, "Greek", 61, "", 0x81)), nullptr);
  EXPECT_EQ(settings.ReadKeys("Selectors"), std::vector<std::string>{"61_S"});
  EXPECT_EQ(settings.ReadString("Selectors", "61_S", ""), "Greek");
  // "<off>" may have a selector; its value is "<off>".
  EXPECT_EQ(MakeSelector(settings, Situation(0, "<off>", 62, "")), nullptr);
  EXPECT_EQ(settings.ReadString("Selectors", "62_N", ""), "<off>");
  EXPECT_STREQ(MakeSelector(settings, Situation(1, "Greek", 62, "")),
               editor_message::kKeyIsSelector);
}

TEST(EditorCommands, ReplacementField) {
  MemoryProfile settings("T.INI", kEditorFile);
  struct Case {
    uint8_t keyCode, stateByte;
    FieldShows shows;
    const char* text;
  };
  const Case cases[] = {
      {0, 0x80, FieldShows::Nothing, ""},
      {59, 0x82, FieldShows::Selector, "<Selector !>"},
      {31, 0x80, FieldShows::DeadKey, "<Dead Key!>"},
      {30, 0x80, FieldShows::Text, "alpha"},
      {30, 0x81, FieldShows::Text, ""},
  };
  for (const Case& c : cases) {
    const ReplacementField field = ReplacementFieldFor(settings, "Greek", c.keyCode, c.stateByte);
    EXPECT_EQ(field.shows, c.shows) << int(c.keyCode);
    EXPECT_EQ(field.text, c.text) << int(c.keyCode);
  }
}

TEST(KeyCapture, Rules) {
  struct Case {
    unsigned vk;
    uint32_t keyData;
    ModifierKeys modifiers;
    int keyCode;  // -1: not captured
    int stateByte;
  };
  const Case cases[] = {
      {0x41, 0x001E0001, {}, 30, 0x80},                     // A
      {0x41, 0x001E0001, {true, false, false}, 30, 0x81},   // Shift+A
      {0x41, 0x001E0001, {false, true, false}, 30, 0x81},   // Caps Lock counts as Shift
      {0x41, 0x201E0001, {}, 30, 0x84},                     // Alt+A: context flag
      {0x11, 0x011D0001, {false, false, true}, 157, 0x82},  // right Control, extended
      {0x73, 0x203E0001, {}, 62, 0x84},                     // Alt+F4
      {0x10, 0x002A0001, {true, false, false}, 42, 0x81},   // Shift alone
      {0x09, 0x000F0001, {false, false, true}, 15, 0x82},   // Control+Tab
      {0, 0x001E0001, {}, -1, 0},
      {1, 0x001E0001, {}, -1, 0},
  };
  for (const Case& c : cases) {
    const std::optional<ChosenKey> key = CaptureKey(c.vk, c.keyData, c.modifiers);
    ASSERT_EQ(key.has_value(), c.keyCode >= 0) << c.vk;
    if (!key) continue;
    EXPECT_EQ(key->keyCode, c.keyCode) << c.vk;
    EXPECT_EQ(key->stateByte, c.stateByte) << c.vk;
  }
  EXPECT_EQ(VirtualKeyFieldText(65).value_or("-"), "A");
  EXPECT_EQ(VirtualKeyFieldText(13).value_or("-"), "ENTER");
  EXPECT_EQ(VirtualKeyFieldText(186).value_or("-"), "#186");
  EXPECT_EQ(VirtualKeyFieldText(255).value_or("-"), "#255");
  EXPECT_FALSE(VirtualKeyFieldText(3).has_value());
  EXPECT_FALSE(VirtualKeyFieldText(256).has_value());
  EXPECT_EQ(ScanCodeFieldText(0x011D0001), "&157");
  EXPECT_EQ(ScanCodeFieldText(0x001E0001), "&30");
  EXPECT_TRUE(KeyMovesFocus(9, false, false));
  EXPECT_FALSE(KeyMovesFocus(9, true, false));
  EXPECT_FALSE(KeyMovesFocus(9, false, true));
  EXPECT_FALSE(KeyMovesFocus(13, false, false));
  // Check boxes: Tag 1 Shift, 2 Control, 4 Alt; bit 7 always set.
  EXPECT_EQ(StateByteAfterBox(0x80, 1, true), 0x81);
  EXPECT_EQ(StateByteAfterBox(0x87, 2, false), 0x85);
  EXPECT_EQ(StateByteAfterBox(0x03, 4, true), 0x87);
}

TEST(EditorLayout, WhereTheWindowOpens) {
  struct Case {
    int top, left;
    bool centred;
  };
  const Case cases[] = {
      {-20, 130, true},
      {-10, 130, false},
      {-11, 130, true},
      {100, 200, false},
      {758, 0, false},
      {759, 0, true},
      {0, -437, false},
      {0, -438, true},
      {0, 1014, false},
      {0, 1015, true},
      {INT32_MAX, INT32_MAX, true},
      {INT32_MIN, INT32_MIN, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EditorOpensCentred(c.top, c.left, 447, 1024, 768), c.centred)
        << c.top << "," << c.left;
}

}  // namespace
}  // namespace tessel
