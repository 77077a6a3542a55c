#include "common/keys.h"

#include <gtest/gtest.h>

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

TEST(KeyNameTable, RowsOrderAndShadowing) {
  // Spot checks of the order the editor's list and the first-match rule depend on.
  const std::pair<int, const char*> rows[] = {
      {0, "CANCEL"}, {4, "ENTER"}, {5, "RETURN"}, {13, "ESCAPE"}, {14, "ESC"}, {52, "F10"},
      {66, "F24"},   {67, "F1"},   {75, "F9"},    {92, "OEMCLEAR"}, {-1, nullptr}, {93, nullptr}};
  for (const auto& [row, name] : rows) {
    if (name) {
      EXPECT_STREQ(KeyNameByRow(row), name) << row;
    } else {
      EXPECT_EQ(KeyNameByRow(row), nullptr) << row;
    }
  }
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

TEST(KeyStates, CodesLabelsAndLookup) {
  const char* labels[] = {"", "(S)", "(C)", "(SC)", "(A)", "(SA)", "(CA)", "(SCA)"};
  for (int s = 0; s < 8; ++s) {
    EXPECT_STREQ(kStateLabels[s], labels[s]);
    // The lookup string holds each code at position 3s.
    EXPECT_EQ(kStateLookup.substr(3 * s, std::string_view(kStateCodes[s]).size()), kStateCodes[s]);
  }
  EXPECT_STREQ(kStateCodes[7], "CAS");
}

TEST(ParseKeyDescriptor, Accepts) {
  struct Case {
    const char* text;
    int keyCode;
    int state;
  };
  const Case cases[] = {
      {"30_N", 30, 0},   {"30_S", 30, 1},   {"30_C", 30, 2},     {"30_CS", 30, 3},  {"30_A", 30, 4},
      {"30_AS", 30, 5},  {"30_CA", 30, 6},  {"30_CAS", 30, 7},   {"$1E_N", 30, 0},  {"$1e_N", 30, 0},
      {"200_CAS", 200, 7}, {"0_N", 0, 0},   {"286_N", 30, 0},    {"-1_N", 255, 0},  {"+30_S", 30, 1},
      {" 30_C", 30, 2},  {"  9_CA", 9, 6},  {"255_N", 255, 0},   {"$FF_A", 255, 4}, {"007_S", 7, 1},
      {"123_CAS", 123, 7},  // seven characters at most
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
      "30_SC", "30_s", "30_", "_S", "30S", "x_S", "30 _S", "1234_CAS", "  123_CA", "30_N ", "30_NN",
      "30_SA", "30_SCA", "30_AC", "", "_", "$_N", "$G_N", "+_N", "3 0_N", "30_n", "30__N", "0x1E_N",
      "30_CS_",
      // The padding of the lookup string is no state code.
      "30_.", "30_..", "30_S.", "30_N..S", "30_.A", "30_A.",
  };
  for (const char* text : cases) {
    KeyDescriptor d;
    EXPECT_FALSE(ParseKeyDescriptor(text, d)) << '"' << text << '"';
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
  EXPECT_EQ(FormatKeyDescriptor(200, 0x87), "200_CAS");
  EXPECT_EQ(FormatKeyDescriptor(30, 3), "30_CS");  // the 0x80 bit is not needed
  // Stray state bits stay inside the table.
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
      {"F1}", 112, 2},    {"F12}", 123, 3},   {"F10", 121, 3},     {"f9", 120, 2},      {"esc}", 27, 3},
      {"Escape}", 27, 6}, {"escx", 27, 3},    {"DEL}", 46, 3},     {"DELETE}", 46, 6},  {"a}", 65, 1},
      {"A", 65, 1},       {"7", 55, 1},       {"~}", 13, 1},       {"_}", 32, 1},       {"#9}", 9, 2},
      {"#65}", 65, 3},    {"#255", 255, 4},   {"#0}", 0, 2},       {"#}", 0, 1},        {"#", 0, 1},
      {"#013", 13, 4},    {"Return", 13, 6},  {"ctrl", 17, 4},     {"control", 17, 7},  {"enterx", 13, 5},
      {"Numpad5", 101, 7}, {"numlock", 144, 7}, {"pa1", 253, 3},   {"zoom", 251, 4},    {"z", 90, 1},
      {"PA", 80, 1},      {"Lshift", 160, 6}, {"}", 0, 0},         {"!", 0, 0},         {"\xE9", 0, 0},
      {"", 0, 0},
      // 256 and above: the digits are read, then a name or character follows.
      {"#256}", 0, 4},    {"#300F1", 112, 6}, {"#99999a", 97 - 32, 7}, {"#256", 0, 4},
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

TEST(VirtualKeyText, EveryCodeReadsBackAsItself) {
  // The first name of a code wins; codes without a name or letter are numbers.
  const std::pair<int, const char*> names[] = {
      {13, "ENTER"}, {17, "CONTROL"}, {27, "ESCAPE"}, {46, "DELETE"}, {32, "SPACE"}, {65, "A"},
      {48, "0"},     {112, "F1"},     {97, "NUMPAD1"}, {0, "#0"},     {186, "#186"},  {255, "#255"}};
  for (const auto& [code, name] : names) EXPECT_EQ(VirtualKeyText(static_cast<uint8_t>(code)), name);
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
