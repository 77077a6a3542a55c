// One set of settings-file cases, run against every Profile implementation: natively
// against MemoryProfile, under Wine against Win32Profile. The in-memory double is only
// trustworthy while both pass the same cases.
//
// A test program includes this header once, derives a ProfileWorld and instantiates:
//   INSTANTIATE_TEST_SUITE_P(Memory, ProfileContract, ::testing::Values(&MakeMemoryWorld));
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/profile.h"

namespace tessel::contract {

// Makes profiles over fresh files and reaches the files behind the profile's back.
class ProfileWorld {
 public:
  virtual ~ProfileWorld() = default;
  // A profile over a file that does not exist yet; each call names a new file.
  virtual std::unique_ptr<Profile> NewProfile() = 0;
  // Replaces the file's text, as an editor would.
  virtual void SetFileText(Profile& profile, const std::string& text) = 0;
  // The file's text; nullopt while the file does not exist.
  virtual std::optional<std::string> FileText(Profile& profile) = 0;
  // Profiles whose every write fails, one for each way the platform refuses a write.
  virtual std::vector<std::unique_ptr<Profile>> UnwritableProfiles() = 0;
};

using WorldMaker = std::unique_ptr<ProfileWorld> (*)();

class ProfileContract : public ::testing::TestWithParam<WorldMaker> {
 protected:
  void SetUp() override { world_ = GetParam()(); }
  void TearDown() override { world_.reset(); }
  // A profile over a new file holding text, or over a missing file for nullptr.
  std::unique_ptr<Profile> With(const char* text) {
    auto p = world_->NewProfile();
    if (text) world_->SetFileText(*p, text);
    return p;
  }
  std::unique_ptr<Profile> With(const std::string& text) { return With(text.c_str()); }
  std::string FileText(Profile& p) { return world_->FileText(p).value_or("<missing>"); }

  std::unique_ptr<ProfileWorld> world_;
};

TEST_P(ProfileContract, Reads) {
  struct Case {
    const char* text;  // nullptr: no file
    const char* section;
    const char* key;
    const char* defaultValue;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, "TESSEL32", "TitleWhenOff", "Tessel+", "Tessel+"},
      // Names ignore case, but only of ASCII letters (names in UTF-8, which the private-profile
      // functions compare byte by byte).
      {"[Order]\r\nalpha=1\r\n", "order", "ALPHA", "-", "1"},
      {"[Gr\xC3\xA8" "ce]\r\n\xC3\x89t\xC3\xA9=summer\r\n", "GR\xC3\xA8" "CE", "\xC3\x89T\xC3\xA9", "-", "summer"},
      {"[Gr\xC3\xA8" "ce]\r\n\xC3\x89t\xC3\xA9=summer\r\n", "GR\xC3\x88" "CE", "\xC3\x89T\xC3\x89", "-", "-"},
      // Values are trimmed and lose one pair of matching quotes.
      {"[S]\r\n  k  =  v 1  \r\n", "S", "k", "-", "v 1"},
      {"[S]\r\n\tk\t=\tv\t\r\n", "S", "k", "-", "v"},
      {"[S]\r\nk=\"double\"\r\n", "S", "k", "-", "double"},
      {"[S]\r\nk='single'\r\n", "S", "k", "-", "single"},
      {"[S]\r\nk=\" padded \"\r\n", "S", "k", "-", " padded "},
      {"[S]\r\nk=\"open\r\n", "S", "k", "-", "\"open"},
      {"[S]\r\nk='\r\n", "S", "k", "-", "'"},
      {"[S]\r\nk=\"mixed'\r\n", "S", "k", "-", "\"mixed'"},
      {"[S]\r\nk=\r\n", "S", "k", "-", ""},
      {"[S]\r\nk=a=b\r\n", "S", "k", "-", "a=b"},
      {"[S]\r\nk==v\r\n", "S", "k", "-", "=v"},
      {"[S]\r\n\x1a k=v\x1a\r\n", "S", "k", "-", "v"},  // Ctrl-Z counts as white space
      // The default loses trailing blanks (all but one) and its quotes.
      {nullptr, "S", "missing", "Tessel+  ", "Tessel+"},
      {"[S]\r\nk=v\r\n", "S", "missing", "Tessel+  ", "Tessel+"},
      {nullptr, "S", "missing", "\"quoted\"", "quoted"},
      {"[S]\r\nk=v\r\n", "S", "missing", "\"quoted\"", "quoted"},
      {nullptr, "S", "missing", "  ", " "},
      {"[S]\r\nk=v\r\n", "S", "missing", "  ", " "},
      {"[S]\r\nk=v\r\n", "S", "missing", "", ""},
      // The first of duplicate keys wins; a later header of the same section is ignored.
      {"[S]\r\nk=first\r\nk=second\r\n", "S", "k", "-", "first"},
      {"[S]\r\na=1\r\n[T]\r\nt=1\r\n[s]\r\nb=2\r\n", "S", "a", "-", "1"},
      {"[S]\r\na=1\r\n[T]\r\nt=1\r\n[s]\r\nb=2\r\n", "S", "b", "-", "-"},
      // A line without "=" holds no value, and hides later lines of the same key.
      {"[S]\r\nk\r\nk=later\r\n", "S", "k", "-", "-"},
      // An empty name ends only the key list.
      {"[S]\r\na=1\r\n=nameless\r\nb=2\r\n", "S", "b", "-", "2"},
      // Lines before the first header belong to the nameless section.
      {"top=1\r\n[S]\r\nk=v\r\n", "", "top", "-", "1"},
      {"top=1\r\n[S]\r\nk=v\r\n", "S", "top", "-", "-"},
      {"[A]\nx=1\n[B]\ry=2\r\n\n\nz=3", "A", "x", "-", "1"},
      {"[A]\nx=1\n[B]\ry=2\r\n\n\nz=3", "B", "y", "-", "2"},
      {"[A]\nx=1\n[B]\ry=2\r\n\n\nz=3", "B", "z", "-", "3"},
      {"[S\r\nk=v\r\n", "", "k", "-", "v"},  // no closing bracket: not a header
      {"[S\r\nk=v\r\n", "S", "k", "-", "-"},
      {"[S] trailing\r\nk=v\r\n", "S", "k", "-", "v"},
      {"[ S ]\r\nk=v\r\n", "S", "k", "-", "v"},
      {"[a]b]\r\nk=v\r\n", "a]b", "k", "-", "v"},  // the last bracket closes
      {"[S]\r\n;k=v\r\n", "S", ";k", "-", "v"},    // comments are entries, just not listed
      {"[S]\r\nk=v", "S", " k ", "-", "v"},        // asked names are trimmed
      {"[S]\r\nk=v", " S ", "k", "-", "v"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text ? c.text : "<missing>") + " [" + c.section + "] " + c.key);
    auto p = With(c.text);
    EXPECT_EQ(p->ReadString(c.section, c.key, c.defaultValue), c.expected);
  }
}

TEST_P(ProfileContract, StringReadIsCutTo1023Characters) {
  std::string value;
  for (int i = 0; i < 1500; ++i) value += static_cast<char>('a' + i % 26);
  auto p = With("[Greek]\r\n30_N=" + value + "\r\n");
  EXPECT_EQ(p->ReadString("Greek", "30_N", ""), value.substr(0, 1023));
  EXPECT_EQ(p->ReadString("Greek", "31_N", value), value.substr(0, 1023));
  // 1023 characters between quotes: the cut drops the closing quote, and the character
  // before it is dropped in its place.
  const std::string inner(1022, 'q');
  p = With("[S]\r\nfull=\"" + inner + "x\"\r\nfits=\"" + inner + "\"\r\n");
  EXPECT_EQ(p->ReadString("S", "full", ""), inner);
  EXPECT_EQ(p->ReadString("S", "fits", ""), inner);
}

TEST_P(ProfileContract, KeyLists) {
  struct Case {
    const char* text;
    const char* section;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {nullptr, "MAPS", {}},
      {"[MAPS]\r\nzeta=\r\n; a comment=1\r\nalpha=\r\njust words\r\n  Mid  =  \r\n[Other]\r\nx=1\r\n",
       "MAPS", {"zeta", "alpha", "Mid"}},
      {"[MAPS]\r\nzeta=\r\n", "Missing", {}},
      {"[Order]\r\nalpha=1\r\n", "oRdEr", {"alpha"}},
      {"[S]\r\na=1\r\n=nameless\r\nb=2\r\n", "S", {"a"}},
      {"[S]\r\nk=first\r\nk=second\r\n", "S", {"k", "k"}},
      {"[S]\r\na=1\r\n[T]\r\nt=1\r\n[s]\r\nb=2\r\n", "S", {"a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "<missing>");
    EXPECT_EQ(With(c.text)->ReadKeys(c.section), c.expected);
  }
  // first + zero + "b" + zero + final zero: 8192 bytes fit, 8193 do not.
  const std::pair<size_t, size_t> boundary[] = {{8188, 2}, {8189, 1}, {8190, 1}, {8191, 0}};
  for (const auto& [firstLength, count] : boundary) {
    auto p = With("[S]\r\n" + std::string(firstLength, 'a') + "=1\r\nb=2\r\n");
    EXPECT_EQ(p->ReadKeys("S").size(), count) << "first name of " << firstLength;
  }
  // 1200 names of 7 characters take 9600 bytes; 1023 of them (8184 + final zero) fit.
  std::string text = "[Big]\r\n";
  char name[16];
  for (int i = 1; i <= 1200; ++i) {
    std::snprintf(name, sizeof name, "K%06d", i);
    text += std::string(name) + "=v\r\n";
  }
  auto p = With(text);
  const std::vector<std::string> keys = p->ReadKeys("Big");
  ASSERT_EQ(keys.size(), 1023u);
  EXPECT_EQ(keys.front(), "K000001");
  EXPECT_EQ(keys.back(), "K001023");
  EXPECT_EQ(p->ReadString("Big", "K001200", ""), "v");  // still readable one by one
}

TEST_P(ProfileContract, IntegersAndBooleans) {
  struct Case {
    const char* stored;
    int32_t expected;  // with default 16
  };
  const Case cases[] = {
      {"abc", 16},        {"0x20", 32}, {"0x", 16},    {"0X1f", 31}, {"-5", -5},  {"+7", 7},
      {"$1F", 31},        {"-$10", -16}, {"12x", 16},  {"", 16},     {"0x1g", 16}, {"1 2", 16},
      {"0xFFFFFFFF", -1}, {"2147483647", 2147483647},  {"2147483648", 16},
      {"-2147483648", INT32_MIN},       {"0", 0},
  };
  for (const Case& c : cases) {
    auto p = With(std::string("[TESSEL32]\r\nAllocate=") + c.stored + "\r\n");
    EXPECT_EQ(p->ReadInteger("TESSEL32", "Allocate", 16), c.expected) << "value " << c.stored;
  }
  struct BoolCase {
    const char* stored;
    bool defaultValue, expected;
  };
  const BoolCase bools[] = {{"0", true, false},   {"2", false, true},    {"-1", false, true},
                            {"abc", true, true},  {"abc", false, false}, {"0x0", true, false}};
  for (const BoolCase& c : bools) {
    auto p = With(std::string("[TESSEL32]\r\nDoBeep=") + c.stored + "\r\n");
    EXPECT_EQ(p->ReadBool("TESSEL32", "DoBeep", c.defaultValue), c.expected) << "value " << c.stored;
  }
  auto missing = With(nullptr);
  EXPECT_EQ(missing->ReadInteger("TESSEL32", "Allocate", 16), 16);
  EXPECT_TRUE(missing->ReadBool("TESSEL32", "DoBeep", true));
}

// Each row: the file before (nullptr: missing), the writes, the file after.
TEST_P(ProfileContract, Writes) {
  struct Case {
    const char* before;
    void (*write)(Profile&);
    const char* after;
  };
  const Case cases[] = {
      // Deleting from a missing file creates nothing; the first write creates it.
      {nullptr, [](Profile& p) { p.DeleteKey("TESSEL32", "EditorTop"); p.EraseSection("Greek"); },
       "<missing>"},
      {nullptr, [](Profile& p) { p.WriteInteger("TESSEL32", "Selected", 2); },
       "[TESSEL32]\r\nSelected=2\r\n"},
      {nullptr,
       [](Profile& p) {
         p.WriteInteger("TESSEL32", "EditorTop", -20);
         p.WriteBool("TESSEL32", "OnTop", true);
         p.WriteBool("TESSEL32", "EditorBig", false);
         p.WriteString("Greek", "30_N", "a\\sb\\\\c");
         p.WriteString("MAPS", "Greek", "");
       },
       "[TESSEL32]\r\nEditorTop=-20\r\nOnTop=1\r\nEditorBig=0\r\n[Greek]\r\n30_N=a\\sb\\\\c\r\n"
       "[MAPS]\r\nGreek=\r\n"},
      // New names and values lose leading blanks.
      {nullptr, [](Profile& p) { p.WriteString(" S", " k", "  x"); }, "[S]\r\nk=x\r\n"},
      // The file keeps the names as they were written first.
      {"[Order]\r\nalpha=1\r\n", [](Profile& p) { p.WriteString("ORDER", "ALPHA", "2"); },
       "[Order]\r\nalpha=2\r\n"},
      {"[S]\r\nk=first\r\nk=second\r\n", [](Profile& p) { p.WriteString("S", "K", "new"); },
       "[S]\r\nk=new\r\nk=second\r\n"},
      {"[S]\r\nk=first\r\nk=second\r\n", [](Profile& p) { p.DeleteKey("S", "k"); }, "[S]\r\nk=second\r\n"},
      {"top=1\r\n[S]\r\nk=v\r\n", [](Profile& p) { p.WriteString("S", "k2", "v2"); },
       "top=1\r\n[S]\r\nk=v\r\nk2=v2\r\n"},
      {"[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=alpha\r\n", [](Profile& p) { p.WriteString("MAPS", "Cyrillic", ""); },
       "[MAPS]\r\nGreek=\r\nCyrillic=\r\n[Greek]\r\n30_N=alpha\r\n"},
      // A rewrite drops blank lines and keeps comments and bare lines.
      {"; settings\r\n[S]\r\n  a = 1 \r\n\r\nplain\r\n;note=1\r\n\r\n[T]\r\nb=2\r\n",
       [](Profile& p) { p.WriteString("S", "c", "3"); },
       "; settings\r\n[S]\r\na=1\r\nplain\r\n;note=1\r\nc=3\r\n[T]\r\nb=2\r\n"},
      {"[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=alpha\r\n31_N=beta\r\n[Other]\r\nx=1\r\n",
       [](Profile& p) { p.EraseSection("GREEK"); }, "[MAPS]\r\nGreek=\r\n[Other]\r\nx=1\r\n"},
      {"[TESSEL32]\r\nEditorTop=5\r\nEditorLeft=6\r\n",
       [](Profile& p) { p.DeleteKey("TESSEL32", "editortop"); p.DeleteKey("TESSEL32", "NoSuchKey"); },
       "[TESSEL32]\r\nEditorLeft=6\r\n"},
      // Erasing takes the first of two headers; deleting a key looks into later ones.
      {"[S]\r\na=1\r\n[S]\r\nb=2\r\n", [](Profile& p) { p.EraseSection("s"); }, "[S]\r\nb=2\r\n"},
      {"[S]\r\na=1\r\n[S]\r\nb=2\r\n", [](Profile& p) { p.DeleteKey("S", "b"); }, "[S]\r\na=1\r\n[S]\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before ? c.before : "<missing>");
    auto p = With(c.before);
    c.write(*p);
    EXPECT_EQ(FileText(*p), c.after);
  }
}

TEST_P(ProfileContract, ReadsWhatWasWrittenAndWhatChangedBehindItsBack) {
  auto p = With(nullptr);
  p->WriteInteger("TESSEL32", "EditorTop", -20);
  p->WriteBool("TESSEL32", "OnTop", true);
  p->WriteString("MAPS", "Greek", "");
  EXPECT_EQ(p->ReadInteger("TESSEL32", "EditorTop", 0), -20);
  EXPECT_TRUE(p->ReadBool("TESSEL32", "OnTop", false));
  EXPECT_EQ(p->ReadString("MAPS", "Greek", "default"), "");  // empty is not the default
  p->EraseSection("TESSEL32");
  EXPECT_EQ(p->ReadInteger("TESSEL32", "EditorTop", 7), 7);
  world_->SetFileText(*p, "[TESSEL32]\r\nZoom=150\r\n");
  EXPECT_EQ(p->ReadInteger("TESSEL32", "Zoom", 0), 150);
}

// Whole sections: read with values uncut and as written, replaced in one write.
TEST_P(ProfileContract, Sections) {
  const std::string longValue(1500, 'v');
  auto p = With("; head\r\n[S]\r\n;comment=1\r\nk=v\r\nq=\"quoted\"\r\nnoeq\r\n  sp  =  v v  \r\n"
                "k=dup\r\n=nameless\r\nlong=" + longValue + "\r\n[T]\r\nt=1\r\n[s]\r\nlater=2\r\n");
  const std::vector<ProfileEntry> expected = {
      {"k", "v"}, {"q", "\"quoted\""}, {"sp", "v v"}, {"k", "dup"}, {"long", longValue}};
  EXPECT_EQ(p->ReadSection("s"), expected);
  EXPECT_TRUE(p->ReadSection("Missing").empty());

  p->WriteSection("s", {{"a", "1"}, {"b", "x=y"}, {"q", "\"kept\""}});
  EXPECT_EQ(FileText(*p), "; head\r\n[S]\r\na=1\r\nb=x=y\r\nq=\"kept\"\r\n[T]\r\nt=1\r\n[s]\r\n");
  EXPECT_EQ(p->ReadString("S", "q", "-"), "kept");
  p->WriteSection("T", {});
  p->WriteSection("New", {{"n", "1"}});
  EXPECT_EQ(FileText(*p), "; head\r\n[S]\r\na=1\r\nb=x=y\r\nq=\"kept\"\r\n[T]\r\n[s]\r\n[New]\r\nn=1\r\n");

  std::vector<ProfileEntry> many;
  for (int i = 0; i < 3000; ++i) many.push_back({std::to_string(i) + "_N", "value\\s" + std::to_string(i)});
  p->WriteSection("Big", many);
  EXPECT_EQ(p->ReadSection("BIG"), many);
  EXPECT_EQ(p->ReadKeys("Big").size(), 1328u);  // the key list alone stops at 8192 bytes

  for (auto& unwritable : world_->UnwritableProfiles())
    EXPECT_THROW(unwritable->WriteSection("S", {{"a", "1"}}), ProfileWriteError);
}

TEST_P(ProfileContract, FailedWriteRaisesUnableToWrite) {
  std::vector<std::unique_ptr<Profile>> profiles = world_->UnwritableProfiles();
  ASSERT_FALSE(profiles.empty());
  for (auto& p : profiles) {
    SCOPED_TRACE(p->FileName());
    try {
      p->WriteString("TESSEL32", "TitleWhenOff", "x");
      ADD_FAILURE() << "WriteString did not throw";
    } catch (const ProfileWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + p->FileName());
    }
    EXPECT_THROW(p->WriteInteger("TESSEL32", "Zoom", 120), ProfileWriteError);
    EXPECT_THROW(p->WriteBool("TESSEL32", "OnTop", false), ProfileWriteError);
    EXPECT_THROW(p->EraseSection("Greek"), ProfileWriteError);
    EXPECT_THROW(p->DeleteKey("TESSEL32", "EditorTop"), ProfileWriteError);
  }
}

}  // namespace tessel::contract
