#include "common/memory_profile.h"
#include "frontend/char_grid.h"
#include "frontend/dead_key_command.h"
#include "frontend/editor_commands.h"
#include "frontend/editor_messages.h"
#include "frontend/text_insert.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(BraceInsertion, GroupDecidedFromTextBeforeCaret) {
  struct Case {
    const char* before;
    const char* reference;
    const char* inserted;
  };
  const Case cases[] = {
      {"", "TAB", "{TAB}"},
      {"abc", "TAB", "{TAB}"},
      {"{", "TAB", " TAB"},
      {"x{^", "TAB", " TAB"},
      {"{ENTER}", "TAB", "{TAB}"},
      {"{{", "TAB", "{TAB}"},          // a literal brace opens nothing
      {"a{{b", "TAB", "{TAB}"},
      {"{{}{", "TAB", " TAB"},
      {"{a{{", "TAB", "{TAB}"},        // the doubled brace leaves no group open
      {"}", "TAB", "{TAB}"},           // a lone closing brace is plain text
      {"{a}b{", "#186", " #186"},
      {"{!Run x", "!Wait millisecs", " !Wait millisecs"},
      {"{\r\n", "&30", " &30"},
      {"", "", ""},                    // nothing to insert
      {"{", "", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BraceInsertion(c.before, c.reference), c.inserted) << c.before;
}

TEST(CharacterGrid, CodesCellsAndClientSize) {
  struct CodeCase {
    int column, row, code;
  };
  const CodeCase codes[] = {{0, 0, 32}, {15, 0, 47}, {0, 1, 48}, {1, 2, 65}, {15, 13, 255}};
  for (const CodeCase& c : codes) EXPECT_EQ(GridCellCode(c.column, c.row), c.code);

  struct SizeCase {
    int maxCharWidth, charHeight;
    int columnWidth, rowHeight, clientWidth, clientHeight;
  };
  const SizeCase sizes[] = {
      {12, 21, 13, 22, 227, 325},  // (13 + 1) * 16 + 3, (22 + 1) * 14 + 3
      {0, 0, 1, 1, 35, 31},
      {30, 40, 31, 41, 515, 591},
  };
  for (const SizeCase& c : sizes) {
    const GridCellSize size = CellSizeFromFont(c.maxCharWidth, c.charHeight);
    EXPECT_EQ(size.columnWidth, c.columnWidth);
    EXPECT_EQ(size.rowHeight, c.rowHeight);
    EXPECT_EQ(GridClientWidth(size), c.clientWidth);
    EXPECT_EQ(GridClientHeight(size), c.clientHeight);
    // Every cell lies inside the client area and is found again under its own pixels.
    const GridRect last = GridCellRect(size, kGridColumns - 1, kGridRows - 1);
    EXPECT_LE(last.right, c.clientWidth);
    EXPECT_LE(last.bottom, c.clientHeight);
  }

  const GridCellSize size = CellSizeFromFont(12, 21);  // cells 13 x 22, pitch 14 x 23
  struct HitCase {
    int x, y, code;
  };
  const HitCase hits[] = {
      {1, 1, 32},      {13, 22, 32},    {14, 1, 32},   // the line right of a cell is its own
      {15, 1, 33},     {1, 24, 48},     {7 + 14 * 15, 11 + 23 * 13, 255},
      {0, 5, 0},       {5, 0, 0},       {1 + 14 * 16, 5, 0},  // border and right of the grid
      {5, 1 + 23 * 14, 0},              {-3, 5, 0},
  };
  for (const HitCase& c : hits) EXPECT_EQ(GridCodeAt(size, c.x, c.y), c.code) << c.x << "," << c.y;
  for (int code = 32; code <= 255; ++code) {
    const int column = (code - 32) % 16, row = (code - 32) / 16;
    const GridRect r = GridCellRect(size, column, row);
    EXPECT_EQ(GridCodeAt(size, r.left, r.top), code);
    EXPECT_EQ(GridCodeAt(size, r.right - 1, r.bottom - 1), code);
  }
}

TEST(DeadKeyDialog, FillFromTheKeysValue) {
  const std::vector<std::string> maps = {"Greek", "+acute", "+sixteen-chars-xx"};
  struct Case {
    const char* decoded;
    const char* mapName;
    const char* defaultText;
  };
  const Case cases[] = {
      {"+acute,'", "acute", "'"},
      {"+ACUTE,a, b,,c", "ACUTE", "a, b,,c"},  // commas kept whole
      {"+acute", "acute", ""},
      {"+sixteen-chars-xx,x", "sixteen-chars-x", "x"},  // at most 15 characters
      {"+grave,`", "", "Key A"},                        // no such map: not a dead key
      {"plain text", "", "Key A"},
      {"", "", "Key A"},
  };
  for (const Case& c : cases) {
    const DeadKeyDialogTexts texts = DeadKeyDialogFill(c.decoded, maps, "Key A");
    EXPECT_EQ(texts.mapName, c.mapName) << c.decoded;
    EXPECT_EQ(texts.defaultText, c.defaultText) << c.decoded;
  }
}

TEST(DeadKeyDialog, AcceptedNames) {
  struct Case {
    const char* typed;
    const char* map;
  };
  const Case cases[] = {
      {"acute", "+acute"},
      {"  acute \t", "+acute"},
      {"fourteen-chars", "+fourteen-chars"},
      {"fifteen-chars-x", ""},
      {"", ""},
      {"   ", ""},
      {"a,b", ""},
      {"a=b", ""},
      {"[x]", ""},
      {"two words", "+two words"},
      {"+", "++"},
  };
  for (const Case& c : cases) EXPECT_EQ(AcceptedDeadKeyMap(c.typed), c.map) << c.typed;
}

TEST(KillCommand, StoresTheDeadKeyEncoded) {
  MemoryProfile settings("T.INI", "[MAPS]\r\nGreek=\r\n+Acute=\r\n[Greek]\r\n30_N=a\r\n");
  bool listed = false;
  EXPECT_EQ(StoreDeadKey(settings, "Greek", 30, 0x80, "+grave", "Key A", listed), nullptr);
  EXPECT_TRUE(listed);
  EXPECT_EQ(StoreDeadKey(settings, "Greek", 200, 0x87, "+acute", "a,\\ b\r\n", listed), nullptr);
  EXPECT_FALSE(listed);  // "+Acute" is listed already
  EXPECT_EQ(settings.Text(),
            "[MAPS]\r\nGreek=\r\n+Acute=\r\n+grave=\r\n"
            "[Greek]\r\n30_N=+grave,Key\\sA\r\n200_CAS=+acute,a,\\\\\\sb\\013\\010\r\n");

  // A default text too long to be read back whole is refused before anything is written.
  const std::string text = settings.Text();
  EXPECT_STREQ(StoreDeadKey(settings, "Greek", 31, 0x80, "+long", std::string(1010, ' '), listed),
               editor_message::kTextTooLong);
  EXPECT_FALSE(listed);
  EXPECT_EQ(settings.Text(), text);

  settings.SetWritesFail(true);
  EXPECT_THROW(StoreDeadKey(settings, "Greek", 31, 0x80, "+new", "", listed), ProfileWriteError);
  EXPECT_FALSE(listed);
}

}  // namespace
}  // namespace tessel
