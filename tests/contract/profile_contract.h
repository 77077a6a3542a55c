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
  void SetUp() override {
    world_ = GetParam()();
    profile_ = world_->NewProfile();
  }
  void TearDown() override {
    profile_.reset();
    world_.reset();
  }
  // The profile over a file holding text.
  Profile& WithText(const std::string& text) {
    world_->SetFileText(*profile_, text);
    return *profile_;
  }
  std::string FileText() { return world_->FileText(*profile_).value_or("<missing>"); }

  std::unique_ptr<ProfileWorld> world_;
  std::unique_ptr<Profile> profile_;
};

inline std::string NumberedName(const char* prefix, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%06d", prefix, n);
  return name;
}

TEST_P(ProfileContract, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
  Profile& p = *profile_;
  EXPECT_FALSE(world_->FileText(p).has_value());
  EXPECT_EQ(p.ReadString("TESSEL32", "TitleWhenOff", "Tessel+"), "Tessel+");
  EXPECT_EQ(p.ReadInteger("TESSEL32", "Allocate", 16), 16);
  EXPECT_TRUE(p.ReadBool("TESSEL32", "DoBeep", true));
  EXPECT_FALSE(p.ReadBool("TESSEL32", "EditorBig", false));
  EXPECT_TRUE(p.ReadKeys("MAPS").empty());
  // Deleting from a missing file changes nothing and creates nothing.
  p.DeleteKey("TESSEL32", "EditorTop");
  p.EraseSection("Greek");
  EXPECT_FALSE(world_->FileText(p).has_value());

  p.WriteInteger("TESSEL32", "Selected", 2);
  EXPECT_EQ(FileText(), "[TESSEL32]\r\nSelected=2\r\n");
  EXPECT_EQ(p.ReadInteger("TESSEL32", "Selected", 0), 2);
}

TEST_P(ProfileContract, StringReadIsCutTo1023Characters) {
  std::string value;
  for (int i = 0; i < 1500; ++i) value += static_cast<char>('a' + i % 26);
  Profile& p = WithText("[Greek]\r\n30_N=" + value + "\r\n");
  EXPECT_EQ(p.ReadString("Greek", "30_N", ""), value.substr(0, 1023));
  // A default longer than the buffer comes back cut as well.
  EXPECT_EQ(p.ReadString("Greek", "31_N", value), value.substr(0, 1023));
}

TEST_P(ProfileContract, SectionAndKeyNamesIgnoreCase) {
  Profile& p = WithText("[Order]\r\nalpha=1\r\n");
  EXPECT_EQ(p.ReadString("ORDER", "ALPHA", "none"), "1");
  EXPECT_EQ(p.ReadString("order", "Alpha", "none"), "1");
  p.WriteString("ORDER", "ALPHA", "2");
  // The file keeps the names as they were written first.
  EXPECT_EQ(FileText(), "[Order]\r\nalpha=2\r\n");
  EXPECT_EQ(p.ReadKeys("oRdEr"), std::vector<std::string>{"alpha"});
}

TEST_P(ProfileContract, KeyListKeepsFileOrderAndSkipsCommentsAndBareLines) {
  Profile& p = WithText(
      "[MAPS]\r\nzeta=\r\n; a comment=1\r\nalpha=\r\njust words\r\n  Mid  =  \r\n[Other]\r\nx=1\r\n");
  EXPECT_EQ(p.ReadKeys("MAPS"), (std::vector<std::string>{"zeta", "alpha", "Mid"}));
  EXPECT_TRUE(p.ReadKeys("Missing").empty());
}

TEST_P(ProfileContract, KeyListEndsAtAnEmptyName) {
  Profile& p = WithText("[S]\r\na=1\r\n=nameless\r\nb=2\r\n");
  EXPECT_EQ(p.ReadKeys("S"), std::vector<std::string>{"a"});
  EXPECT_EQ(p.ReadString("S", "b", ""), "2");
}

TEST_P(ProfileContract, KeyListSeesOnlyNamesThatFit8192Bytes) {
  // 1200 names of 7 characters take 9600 bytes; 1023 of them (8184 + final zero) fit.
  std::string text = "[Big]\r\n";
  for (int i = 1; i <= 1200; ++i) text += NumberedName("K", i) + "=v\r\n";
  Profile& p = WithText(text);
  const std::vector<std::string> keys = p.ReadKeys("Big");
  ASSERT_EQ(keys.size(), 1023u);
  EXPECT_EQ(keys.front(), "K000001");
  EXPECT_EQ(keys.back(), "K001023");
  // Names beyond the list can still be read one by one.
  EXPECT_EQ(p.ReadString("Big", "K001200", ""), "v");
}

TEST_P(ProfileContract, KeyListBoundaryIsExact) {
  struct Case {
    size_t firstLength;
    size_t expectedCount;
  };
  // first + zero + "b" + zero + final zero: 8192 bytes fit, 8193 do not.
  for (const Case& c : {Case{8188, 2}, Case{8189, 1}, Case{8190, 1}, Case{8191, 0}}) {
    auto p = world_->NewProfile();
    world_->SetFileText(*p, "[S]\r\n" + std::string(c.firstLength, 'a') + "=1\r\nb=2\r\n");
    EXPECT_EQ(p->ReadKeys("S").size(), c.expectedCount) << "first name of " << c.firstLength;
  }
}

TEST_P(ProfileContract, FirstOfDuplicateKeysWinsForReadsAndWrites) {
  Profile& p = WithText("[S]\r\nk=first\r\nk=second\r\n");
  EXPECT_EQ(p.ReadString("S", "k", ""), "first");
  EXPECT_EQ(p.ReadKeys("S"), (std::vector<std::string>{"k", "k"}));
  p.WriteString("S", "K", "new");
  EXPECT_EQ(FileText(), "[S]\r\nk=new\r\nk=second\r\n");
  p.DeleteKey("S", "k");
  EXPECT_EQ(p.ReadString("S", "k", ""), "second");
}

TEST_P(ProfileContract, LaterHeaderOfTheSameSectionIsIgnored) {
  Profile& p = WithText("[S]\r\na=1\r\n[T]\r\nt=1\r\n[s]\r\nb=2\r\n");
  EXPECT_EQ(p.ReadString("S", "a", "none"), "1");
  EXPECT_EQ(p.ReadString("S", "b", "none"), "none");
  EXPECT_EQ(p.ReadKeys("S"), std::vector<std::string>{"a"});
}

TEST_P(ProfileContract, ValuesAreTrimmedAndUnquoted) {
  struct Case {
    const char* line;
    const char* expected;
  };
  const Case cases[] = {
      {"  k  =  v 1  ", "v 1"},   {"k=\"double\"", "double"}, {"k='single'", "single"},
      {"k=\"open", "\"open"},     {"k='", "'"},               {"k=\"mixed'", "\"mixed'"},
      {"k=", ""},                 {"k=\" padded \"", " padded "}, {"k=a=b", "a=b"},
      {"\tk\t=\tv\t", "v"},
  };
  for (const Case& c : cases) {
    auto p = world_->NewProfile();
    world_->SetFileText(*p, std::string("[S]\r\n") + c.line + "\r\n");
    EXPECT_EQ(p->ReadString("S", "k", "default"), c.expected) << "line " << c.line;
  }
}

TEST_P(ProfileContract, DefaultLosesTrailingBlanksAndQuotes) {
  auto missingFile = world_->NewProfile();
  Profile& existingFile = WithText("[S]\r\nk=v\r\n");
  for (Profile* p : {missingFile.get(), &existingFile}) {
    EXPECT_EQ(p->ReadString("S", "missing", "Tessel+  "), "Tessel+");
    EXPECT_EQ(p->ReadString("S", "missing", "\"quoted\""), "quoted");
    EXPECT_EQ(p->ReadString("S", "missing", "  "), " ");
    EXPECT_EQ(p->ReadString("S", "missing", ""), "");
  }
}

TEST_P(ProfileContract, QuotedValueFillingTheBufferLosesItsLastCharacter) {
  // 1023 characters between quotes: the cut drops the closing quote, and the character
  // before it is dropped in its place.
  const std::string inner(1022, 'q');
  Profile& p = WithText("[S]\r\nfull=\"" + inner + "x\"\r\nfits=\"" + inner + "\"\r\n");
  EXPECT_EQ(p.ReadString("S", "full", ""), inner);
  EXPECT_EQ(p.ReadString("S", "fits", ""), inner);
}

// Only ASCII letters are folded (measured under Wine); accented letters match exactly.
TEST_P(ProfileContract, OnlyAsciiLettersMatchWithoutCase) {
  Profile& p = WithText("[Gr\xE8" "ce]\r\n\xC9t\xE9=summer\r\n");
  EXPECT_EQ(p.ReadString("Gr\xE8" "ce", "\xC9t\xE9", ""), "summer");
  EXPECT_EQ(p.ReadString("GR\xE8" "CE", "\xC9T\xE9", ""), "summer");
  EXPECT_EQ(p.ReadString("GR\xC8" "CE", "\xC9T\xC9", ""), "");
}

TEST_P(ProfileContract, WriteDropsLeadingBlanksOfTheValue) {
  Profile& p = *profile_;
  p.WriteString("S", "k", "  x");
  EXPECT_EQ(FileText(), "[S]\r\nk=x\r\n");
  EXPECT_EQ(p.ReadString("S", "k", ""), "x");
}

TEST_P(ProfileContract, LinesBeforeTheFirstHeaderBelongToTheNamelessSection) {
  Profile& p = WithText("top=1\r\n[S]\r\nk=v\r\n");
  EXPECT_EQ(p.ReadString("", "top", ""), "1");
  EXPECT_EQ(p.ReadString("S", "top", "none"), "none");
  p.WriteString("S", "k2", "v2");
  EXPECT_EQ(FileText(), "top=1\r\n[S]\r\nk=v\r\nk2=v2\r\n");
}

TEST_P(ProfileContract, ReadsAnyLineEnding) {
  Profile& p = WithText("[A]\nx=1\n[B]\ry=2\r\n\n\nz=3");
  EXPECT_EQ(p.ReadString("A", "x", ""), "1");
  EXPECT_EQ(p.ReadString("B", "y", ""), "2");
  EXPECT_EQ(p.ReadString("B", "z", ""), "3");
}

TEST_P(ProfileContract, LineWithoutEqualsSignHoldsNoValue) {
  Profile& p = WithText("[S]\r\nk\r\nk=later\r\n");
  EXPECT_EQ(p.ReadString("S", "k", "default"), "default");
}

TEST_P(ProfileContract, IntegersFollowTheSettingsRule) {
  struct Case {
    const char* stored;
    int32_t expected;
  };
  const Case cases[] = {
      {"abc", 16},         {"0x20", 32},   {"0x", 16},        {"0X1f", 31},     {"-5", -5},
      {"+7", 7},           {"$1F", 31},    {"-$10", -16},     {"12x", 16},      {"", 16},
      {"0xFFFFFFFF", -1},  {"0x1g", 16},   {"2147483647", 2147483647},
      {"2147483648", 16},  {"-2147483648", INT32_MIN},        {"0", 0},         {"1 2", 16},
  };
  for (const Case& c : cases) {
    auto p = world_->NewProfile();
    world_->SetFileText(*p, std::string("[TESSEL32]\r\nAllocate=") + c.stored + "\r\n");
    EXPECT_EQ(p->ReadInteger("TESSEL32", "Allocate", 16), c.expected) << "value " << c.stored;
  }
}

TEST_P(ProfileContract, BooleansAreIntegers) {
  struct Case {
    const char* stored;
    bool defaultValue;
    bool expected;
  };
  const Case cases[] = {
      {"0", true, false},    {"1", false, true},   {"2", false, true},  {"-1", false, true},
      {"abc", true, true},   {"abc", false, false}, {"0x0", true, false}, {"yes", false, false},
  };
  for (const Case& c : cases) {
    auto p = world_->NewProfile();
    world_->SetFileText(*p, std::string("[TESSEL32]\r\nDoBeep=") + c.stored + "\r\n");
    EXPECT_EQ(p->ReadBool("TESSEL32", "DoBeep", c.defaultValue), c.expected)
        << "value " << c.stored << " default " << c.defaultValue;
  }
}

TEST_P(ProfileContract, WritesIntegersAndBooleansAsPlainText) {
  Profile& p = *profile_;
  p.WriteInteger("TESSEL32", "EditorTop", -20);
  p.WriteBool("TESSEL32", "OnTop", true);
  p.WriteBool("TESSEL32", "EditorBig", false);
  p.WriteString("Greek", "30_N", "a\\sb\\\\c");
  EXPECT_EQ(FileText(),
            "[TESSEL32]\r\nEditorTop=-20\r\nOnTop=1\r\nEditorBig=0\r\n"
            "[Greek]\r\n30_N=a\\sb\\\\c\r\n");
  EXPECT_EQ(p.ReadInteger("TESSEL32", "EditorTop", 0), -20);
  EXPECT_TRUE(p.ReadBool("TESSEL32", "OnTop", false));
  EXPECT_FALSE(p.ReadBool("TESSEL32", "EditorBig", true));
  EXPECT_EQ(p.ReadString("Greek", "30_N", ""), "a\\sb\\\\c");
}

TEST_P(ProfileContract, WriteAddsKeysAtTheEndOfTheirSection) {
  Profile& p = WithText("[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=alpha\r\n");
  p.WriteString("MAPS", "Cyrillic", "");
  EXPECT_EQ(FileText(), "[MAPS]\r\nGreek=\r\nCyrillic=\r\n[Greek]\r\n30_N=alpha\r\n");
  EXPECT_EQ(p.ReadKeys("MAPS"), (std::vector<std::string>{"Greek", "Cyrillic"}));
}

TEST_P(ProfileContract, RewriteDropsBlankLinesAndKeepsComments) {
  Profile& p = WithText("; settings\r\n[S]\r\n  a = 1 \r\n\r\nplain\r\n\r\n[T]\r\nb=2\r\n");
  p.WriteString("S", "c", "3");
  EXPECT_EQ(FileText(), "; settings\r\n[S]\r\na=1\r\nplain\r\nc=3\r\n[T]\r\nb=2\r\n");
}

TEST_P(ProfileContract, EraseSectionRemovesItsKeysOnly) {
  Profile& p = WithText("[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=alpha\r\n31_N=beta\r\n[Other]\r\nx=1\r\n");
  p.EraseSection("GREEK");
  EXPECT_TRUE(p.ReadKeys("Greek").empty());
  EXPECT_EQ(p.ReadString("Greek", "30_N", "gone"), "gone");
  EXPECT_EQ(p.ReadString("Other", "x", ""), "1");
  EXPECT_EQ(FileText(), "[MAPS]\r\nGreek=\r\n[Other]\r\nx=1\r\n");
}

TEST_P(ProfileContract, DeleteKeyRemovesOneKey) {
  Profile& p = WithText("[TESSEL32]\r\nEditorTop=5\r\nEditorLeft=6\r\n");
  p.DeleteKey("TESSEL32", "editortop");
  EXPECT_EQ(p.ReadInteger("TESSEL32", "EditorTop", -20), -20);
  EXPECT_EQ(p.ReadInteger("TESSEL32", "EditorLeft", 130), 6);
  p.DeleteKey("TESSEL32", "NoSuchKey");
  EXPECT_EQ(FileText(), "[TESSEL32]\r\nEditorLeft=6\r\n");
}

TEST_P(ProfileContract, EmptyValueIsNotTheDefault) {
  Profile& p = *profile_;
  p.WriteString("MAPS", "Greek", "");
  EXPECT_EQ(p.ReadString("MAPS", "Greek", "default"), "");
  EXPECT_EQ(FileText(), "[MAPS]\r\nGreek=\r\n");
}

TEST_P(ProfileContract, SeesChangesMadeBehindItsBack) {
  Profile& p = WithText("[TESSEL32]\r\nZoom=100\r\n");
  EXPECT_EQ(p.ReadInteger("TESSEL32", "Zoom", 0), 100);
  world_->SetFileText(p, "[TESSEL32]\r\nZoom=150\r\n");
  EXPECT_EQ(p.ReadInteger("TESSEL32", "Zoom", 0), 150);
}

TEST_P(ProfileContract, ParsingCornerCases) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"[S\r\nk=v\r\n", "", "k", "v"},              // no closing bracket: not a header
      {"[S\r\nk=v\r\n", "S", "k", "-"},
      {"[S] trailing\r\nk=v\r\n", "S", "k", "v"},   // text after the bracket is ignored
      {"[ S ]\r\nk=v\r\n", "S", "k", "v"},          // header names are trimmed
      {"[a]b]\r\nk=v\r\n", "a]b", "k", "v"},        // the last bracket closes
      {"[S]\r\n;k=v\r\n", "S", ";k", "v"},          // comments are entries, just not listed
      {"[S]\r\nk==v\r\n", "S", "k", "=v"},
      {"[S]\r\n\x1a k=v\x1a\r\n", "S", "k", "v"},  // Ctrl-Z counts as white space
      {"[S]\r\nk=v", "S", " k ", "v"},              // asked names are trimmed
      {"[S]\r\nk=v", " S ", "k", "v"},
  };
  for (const Case& c : cases) {
    auto p = world_->NewProfile();
    world_->SetFileText(*p, c.text);
    EXPECT_EQ(p->ReadString(c.section, c.key, "-"), c.expected)
        << '"' << c.text << "\" [" << c.section << "] " << c.key;
  }
}

TEST_P(ProfileContract, CommentsAreNotListedButSurviveRewrites) {
  Profile& p = WithText("[S]\r\n;note=1\r\nk=v\r\n");
  EXPECT_EQ(p.ReadKeys("S"), std::vector<std::string>{"k"});
  p.WriteString("S", "n", "2");
  EXPECT_EQ(FileText(), "[S]\r\n;note=1\r\nk=v\r\nn=2\r\n");
}

TEST_P(ProfileContract, NewNamesLoseLeadingBlanks) {
  profile_->WriteString(" S", " k", "v");
  EXPECT_EQ(FileText(), "[S]\r\nk=v\r\n");
}

TEST_P(ProfileContract, EraseSectionTakesTheFirstOfTwoHeaders) {
  Profile& p = WithText("[S]\r\na=1\r\n[S]\r\nb=2\r\n");
  p.EraseSection("s");
  EXPECT_EQ(FileText(), "[S]\r\nb=2\r\n");
  EXPECT_EQ(p.ReadString("S", "b", ""), "2");
}

TEST_P(ProfileContract, DeleteKeyLooksIntoLaterHeadersOfTheSection) {
  Profile& p = WithText("[S]\r\na=1\r\n[S]\r\nb=2\r\n");
  p.DeleteKey("S", "b");
  EXPECT_EQ(FileText(), "[S]\r\na=1\r\n[S]\r\n");
}

TEST_P(ProfileContract, FailedWriteRaisesUnableToWrite) {
  std::vector<std::unique_ptr<Profile>> profiles = world_->UnwritableProfiles();
  ASSERT_FALSE(profiles.empty());
  for (auto& p : profiles) {
    const std::string expected = "Unable to write to " + p->FileName();
    SCOPED_TRACE(p->FileName());
    try {
      p->WriteString("TESSEL32", "TitleWhenOff", "x");
      ADD_FAILURE() << "WriteString did not throw";
    } catch (const ProfileWriteError& e) {
      EXPECT_EQ(std::string(e.what()), expected);
    }
    EXPECT_THROW(p->WriteInteger("TESSEL32", "Zoom", 120), ProfileWriteError);
    EXPECT_THROW(p->WriteBool("TESSEL32", "OnTop", false), ProfileWriteError);
    EXPECT_THROW(p->EraseSection("Greek"), ProfileWriteError);
    EXPECT_THROW(p->DeleteKey("TESSEL32", "EditorTop"), ProfileWriteError);
  }
}

}  // namespace tessel::contract
