#include "common/keys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace tessel {
namespace {

// Runs ReadKeyToken over the whole text, as a brace group's reader would at its start.
struct TokenResult {
  int code;
  size_t consumed;
};

TokenResult ReadToken(const std::string& text) {
  const char* cursor = text.data();
  const int code = ReadKeyToken(cursor, text.data() + text.size());
  return {code, static_cast<size_t>(cursor - text.data())};
}

TEST(KeyNameTable, RowsAndOrder) {
  struct Row {
    int row;
    const char* name;
    int code;
  };
  const Row rows[] = {
      {0, "CANCEL", 3},    {4, "ENTER", 13},     {5, "RETURN", 13},    {6, "~", 13},
      {13, "ESCAPE", 27},  {14, "ESC", 27},      {16, "_", 32},        {30, "DELETE", 46},
      {31, "DEL", 46},     {33, "LWIN", 91},     {51, "DIVIDE", 111},  {52, "F10", 121},
      {66, "F24", 135},    {67, "F1", 112},      {75, "F9", 120},      {76, "NUMLOCK", 144},
      {77, "SCROLLOCK", 145}, {84, "PROCESSKEY", 229}, {91, "PA1", 253}, {92, "OEMCLEAR", 254},
  };
  for (const Row& r : rows) {
    EXPECT_STREQ(kKeyNameTable[r.row].name, r.name) << "row " << r.row;
    EXPECT_EQ(kKeyNameTable[r.row].code, r.code) << "row " << r.row;
  }
}

TEST(KeyNameTable, EveryNameIsUpperCaseAndNoEarlierRowShadowsIt) {
  for (int row = 0; row < kKeyNameRowCount; ++row) {
    const std::string name = kKeyNameTable[row].name;
    ASSERT_FALSE(name.empty());
    for (char c : name) EXPECT_FALSE(c >= 'a' && c <= 'z') << name;
    // A row whose name starts with an earlier row's name could never be found.
    for (int earlier = 0; earlier < row; ++earlier) {
      EXPECT_NE(name.rfind(kKeyNameTable[earlier].name, 0), 0u)
          << name << " is shadowed by " << kKeyNameTable[earlier].name;
    }
  }
}

TEST(KeyNameTable, KeyNameByRow) {
  EXPECT_STREQ(KeyNameByRow(0), "CANCEL");
  EXPECT_STREQ(KeyNameByRow(92), "OEMCLEAR");
  EXPECT_EQ(KeyNameByRow(-1), nullptr);
  EXPECT_EQ(KeyNameByRow(93), nullptr);
}

TEST(KeyStates, CodesAndLabels) {
  const char* codes[] = {"N", "S", "C", "CS", "A", "AS", "CA", "CAS"};
  const char* labels[] = {"", "(S)", "(C)", "(SC)", "(A)", "(SA)", "(CA)", "(SCA)"};
  for (int s = 0; s < 8; ++s) {
    EXPECT_STREQ(kStateCodes[s], codes[s]);
    EXPECT_STREQ(kStateLabels[s], labels[s]);
    // The lookup string holds each code at position 3s + 1.
    EXPECT_EQ(kStateLookup.substr(3 * s, std::strlen(codes[s])), codes[s]);
  }
  EXPECT_EQ(kStateLookup.size(), 24u);
}

TEST(ParseKeyDescriptor, Accepts) {
  struct Case {
    const char* text;
    int keyCode;
    int state;
  };
  const Case cases[] = {
      {"30_N", 30, 0},     {"30_S", 30, 1},   {"30_C", 30, 2},    {"30_CS", 30, 3},
      {"30_A", 30, 4},     {"30_AS", 30, 5},  {"30_CA", 30, 6},   {"30_CAS", 30, 7},
      {"$1E_N", 30, 0},    {"$1e_N", 30, 0},  {"200_CAS", 200, 7}, {"0_N", 0, 0},
      {"286_N", 30, 0},    {"-1_N", 255, 0},  {"+30_S", 30, 1},   {" 30_C", 30, 2},
      {"  9_CA", 9, 6},    {"255_N", 255, 0}, {"$FF_A", 255, 4},  {"007_S", 7, 1},
  };
  for (const Case& c : cases) {
    KeyDescriptor d;
    ASSERT_TRUE(ParseKeyDescriptor(c.text, d)) << c.text;
    EXPECT_EQ(d.keyCode, c.keyCode) << c.text;
    EXPECT_EQ(d.state, c.state) << c.text;
  }
}

TEST(ParseKeyDescriptor, Rejects) {
  const char* cases[] = {
      "30_SC", "30_s", "30_", "_S", "30S", "x_S", "30 _S", "1234_CAS", "30_N ", "30_NN",
      "30_SA", "30_SCA", "30_AC", "", "_", "$_N", "$G_N", "+_N", "3 0_N", "30_n",
      // The padding of the lookup string is no state code.
      "30_.", "30_..", "30_S.", "30_N..S", "30_.A", "30_A.",
      "30__N", "0x1E_N", "30_CS_",
  };
  for (const char* text : cases) {
    KeyDescriptor d;
    EXPECT_FALSE(ParseKeyDescriptor(text, d)) << '"' << text << '"';
  }
}

TEST(ParseKeyDescriptor, SevenCharactersIsTheLimit) {
  KeyDescriptor d;
  EXPECT_TRUE(ParseKeyDescriptor("123_CAS", d));
  EXPECT_EQ(d.keyCode, 123);
  EXPECT_FALSE(ParseKeyDescriptor("1234_CAS", d));
  EXPECT_FALSE(ParseKeyDescriptor("  123_CA", d));
}

TEST(FormatKeyDescriptor, WritesCodeAndState) {
  struct Case {
    int keyCode;
    int stateByte;
    const char* expected;
  };
  const Case cases[] = {
      {200, 0x87, "200_CAS"}, {30, 0x80, "30_N"}, {30, 3, "30_CS"}, {0, 0x81, "0_S"},
      {255, 0x86, "255_CA"},  {9, 0x85, "9_AS"},  {59, 0x82, "59_C"}, {72, 0x84, "72_A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatKeyDescriptor(static_cast<uint8_t>(c.keyCode), static_cast<uint8_t>(c.stateByte)),
              c.expected);
  }
}

TEST(FormatKeyDescriptor, RoundTripsEveryKeyAndState) {
  for (int code = 0; code < 256; ++code) {
    for (int state = 0; state < 8; ++state) {
      const std::string text = FormatKeyDescriptor(static_cast<uint8_t>(code), static_cast<uint8_t>(state | 0x80));
      KeyDescriptor d;
      ASSERT_TRUE(ParseKeyDescriptor(text, d)) << text;
      EXPECT_EQ(d.keyCode, code);
      EXPECT_EQ(d.state, state);
    }
  }
}

TEST(FormatKeyDescriptor, StrayStateBitsStayInsideTheTable) {
  EXPECT_EQ(FormatKeyDescriptor(30, 0xFF), "30_CAS");
  EXPECT_EQ(FormatKeyDescriptor(30, 0x08), "30_N");
}

TEST(ReadKeyToken, ReadsGroupsAsTheCompilerSeesThem) {
  struct Case {
    const char* text;
    int code;
    size_t consumed;
  };
  const Case cases[] = {
      {"F1}", 112, 2},      {"F12}", 123, 3},     {"F10", 121, 3},     {"f9", 120, 2},
      {"esc}", 27, 3},      {"Escape}", 27, 6},   {"escx", 27, 3},     {"DEL}", 46, 3},
      {"DELETE}", 46, 6},   {"a}", 65, 1},        {"A", 65, 1},        {"7", 55, 1},
      {"~}", 13, 1},        {"_}", 32, 1},        {"#9}", 9, 2},       {"#65}", 65, 3},
      {"#255", 255, 4},     {"#0}", 0, 2},        {"#}", 0, 1},        {"#", 0, 1},
      {"#013", 13, 4},      {"Return", 13, 6},    {"ctrl", 17, 4},     {"control", 17, 7},
      {"enterx", 13, 5},    {"Numpad5", 101, 7},  {"numlock", 144, 7}, {"pa1", 253, 3},
      {"zoom", 251, 4},     {"z", 90, 1},         {"PA", 80, 1},       {"Lshift", 160, 6},
      {"}", 0, 0},          {"!", 0, 0},          {"\xE9", 0, 0},      {"", 0, 0},
      // 256 and above: the digits are read, then a name or character follows.
      {"#256}", 0, 4},      {"#300F1", 112, 6},   {"#99999a", 97 - 32, 7}, {"#256", 0, 4},
  };
  for (const Case& c : cases) {
    const TokenResult r = ReadToken(c.text);
    EXPECT_EQ(r.code, c.code) << '"' << c.text << '"';
    EXPECT_EQ(r.consumed, c.consumed) << '"' << c.text << '"';
  }
}

TEST(ReadKeyToken, StopsAtTheEndItIsGiven) {
  // The end may fall inside a longer text: nothing past it is read.
  const char text[] = "DELETE";
  struct Case {
    size_t length;
    int code;
    size_t consumed;
  };
  for (const Case& c : {Case{6, 46, 6}, Case{5, 46, 3}, Case{3, 46, 3}, Case{2, 68, 1}, Case{0, 0, 0}}) {
    const char* cursor = text;
    EXPECT_EQ(ReadKeyToken(cursor, text + c.length), c.code) << c.length;
    EXPECT_EQ(static_cast<size_t>(cursor - text), c.consumed) << c.length;
  }
  const char digits[] = "#12345";
  const char* cursor = digits;
  EXPECT_EQ(ReadKeyToken(cursor, digits + 3), 12);
  EXPECT_EQ(cursor, digits + 3);
}

TEST(VirtualKeyText, NamesCodes) {
  struct Case {
    int code;
    const char* expected;
  };
  const Case cases[] = {
      {186, "#186"}, {65, "A"},       {112, "F1"},      {13, "ENTER"}, {17, "CONTROL"},
      {27, "ESCAPE"}, {32, "SPACE"},  {46, "DELETE"},   {48, "0"},     {57, "9"},
      {90, "Z"},     {0, "#0"},       {97, "NUMPAD1"},  {135, "F24"},  {255, "#255"},
      {254, "OEMCLEAR"}, {1, "#1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VirtualKeyText(static_cast<uint8_t>(c.code)), c.expected) << c.code;
  }
}

TEST(VirtualKeyText, EveryCodeReadsBackAsItself) {
  std::set<std::string> texts;
  for (int code = 0; code < 256; ++code) {
    const std::string text = VirtualKeyText(static_cast<uint8_t>(code));
    const TokenResult r = ReadToken(text);
    EXPECT_EQ(r.code, code) << text;
    EXPECT_EQ(r.consumed, text.size()) << text;
    // Also inside a group, followed by its closing brace.
    EXPECT_EQ(ReadToken(text + "}").code, code) << text;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), 256u);
}

}  // namespace
}  // namespace tessel
