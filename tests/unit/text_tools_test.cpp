#include "common/memory_profile.h"
#include "frontend/char_grid.h"
#include "frontend/dead_key_command.h"
#include "frontend/editor_commands.h"
#include "frontend/text_insert.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(BraceInsertion, GroupDecidedFromTextBeforeCaret) {
  struct Case {
    const char *before, *reference, *inserted;
  };
  const Case cases[] = {
      {"", "TAB", "{TAB}"},       {"abc", "TAB", "{TAB}"},    {"{", "TAB", " TAB"},
      {"x{^", "TAB", " TAB"},     {"{ENTER}", "TAB", "{TAB}"},
      {"{{", "TAB", "{TAB}"},     {"a{{b", "TAB", "{TAB}"},   // a literal brace opens nothing
      {"{{}{", "TAB", " TAB"},    {"{a{{", "TAB", "{TAB}"},   // nor leaves a group open
      {"}", "TAB", "{TAB}"},      {"{!Run x", "!Wait millisecs", " !Wait millisecs"},
      {"{\r\n", "&30", " &30"},   {"", "", ""},               {"{", "", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BraceInsertion(c.before, c.reference), c.inserted) << c.before;
}

TEST(CharacterGrid, CodesCellsAndClientSize) {
  EXPECT_EQ(GridCellCode(0, 0), 32);
  EXPECT_EQ(GridCellCode(1, 2), 65);
  EXPECT_EQ(GridCellCode(15, 13), 255);
  struct SizeCase {
    int maxCharWidth, charHeight, clientWidth, clientHeight;
  };
  const SizeCase sizes[] = {{12, 21, 227, 325}, {0, 0, 35, 31}, {30, 40, 515, 591}};
  for (const SizeCase& c : sizes) {
    const GridCellSize size = CellSizeFromFont(c.maxCharWidth, c.charHeight);
    EXPECT_EQ(size.columnWidth, c.maxCharWidth + 1);
    EXPECT_EQ(size.rowHeight, c.charHeight + 1);
    EXPECT_EQ(GridClientWidth(size), c.clientWidth);  // (column width + 1) * 16 + 3
    EXPECT_EQ(GridClientHeight(size), c.clientHeight);
    // Every cell lies inside the client area and is found again under its corners.
    for (int code = 32; code <= 255; ++code) {
      const GridRect r = GridCellRect(size, (code - 32) % 16, (code - 32) / 16);
      EXPECT_LE(r.right, c.clientWidth);
      EXPECT_LE(r.bottom, c.clientHeight);
      EXPECT_EQ(GridCodeAt(size, r.left, r.top), code);
      EXPECT_EQ(GridCodeAt(size, r.right - 1, r.bottom - 1), code);
    }
  }
  const GridCellSize size = CellSizeFromFont(12, 21);  // pitch 14 x 23
  struct HitCase {
    int x, y, code;
  };
  const HitCase hits[] = {{14, 1, 32},  {15, 1, 33},           {0, 5, 0},
                          {5, 0, 0},    {1 + 14 * 16, 5, 0},   {5, 1 + 23 * 14, 0}};
  for (const HitCase& c : hits) EXPECT_EQ(GridCodeAt(size, c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST(DeadKeyDialog, FillAndAcceptedNames) {
  const std::vector<std::string> maps = {"Greek", "+acute", "+sixteen-chars-xx"};
  struct FillCase {
    const char *decoded, *mapName, *defaultText;
  };
  const FillCase fills[] = {
      {"+acute,'", "acute", "'"},
      {"+ACUTE,a, b,,c", "ACUTE", "a, b,,c"},             // commas kept whole
      {"+acute", "acute", ""},
      {"+sixteen-chars-xx,x", "sixteen-chars-x", "x"},  // at most 15 characters
      {"+grave,`", "", "Key A"},                        // no such map: not a dead key
      {"plain text", "", "Key A"},
  };
  for (const FillCase& c : fills) {
    const DeadKeyDialogTexts texts = DeadKeyDialogFill(c.decoded, maps, "Key A");
    EXPECT_EQ(texts.mapName, c.mapName) << c.decoded;
    EXPECT_EQ(texts.defaultText, c.defaultText) << c.decoded;
  }
  const std::pair<const char*, const char*> names[] = {
      {"acute", "+acute"},    {"  acute \t", "+acute"}, {"fourteen-chars", "+fourteen-chars"},
      {"fifteen-chars-x", ""}, {"", ""},                {"   ", ""},
      {"a,b", ""},            {"a=b", ""},              {"[x]", ""},
      {"two words", "+two words"},
  };
  for (const auto& [typed, map] : names) EXPECT_EQ(AcceptedDeadKeyMap(typed), map) << typed;
  // Names of the right length that no map may have are told; empty and long ones are not.
  for (const char* refused : {"a,b", " a=b ", "x\\y"})
    EXPECT_STREQ(DeadKeyNameProblem(refused), "Not valid mapname") << refused;
  for (const char* silent : {"", "   ", "fifteen-chars-x", "acute"})
    EXPECT_EQ(DeadKeyNameProblem(silent), nullptr) << silent;
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
