// The settings-file layer over an in-memory file system (its contract cases run with the
// others in profile_contract_test.cpp): the encodings a file may be saved in, and what happens when the file cannot be read or
// replaced.
#include "common/settings_file.h"
#include "unit/fake_file_system.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tessel {
namespace {

using namespace std::string_literals;
using testing::FakeFileSystem;

// --- Encodings ---------------------------------------------------------------------------------

// Each row: a file's bytes, what a read gives (UTF-8), and the file after WriteString of a
// second key, when the value is plain ASCII and when it is Greek.
TEST(SettingsFileEncodings, ReadAsUtf8AndWrittenBackInTheirOwnEncoding) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string read;       // value of [S] k
    std::string afterAscii;  // after WriteString("S", "n", "1")
    std::string afterGreek;  // after WriteString("S", "n", "α")
  };
  const std::string greek = "\xCE\xB1";
  const Case cases[] = {
      {"ANSI (Windows-1252 here): é is one byte", "[S]\r\nk=caf\xE9\r\n", "caf\xC3\xA9",
       "[S]\r\nk=caf\xE9\r\nn=1\r\n", "\xEF\xBB\xBF[S]\r\nk=caf\xC3\xA9\r\nn=" + greek + "\r\n"},
      {"pure ASCII counts as ANSI", "[S]\r\nk=cafe\r\n", "cafe", "[S]\r\nk=cafe\r\nn=1\r\n",
       "\xEF\xBB\xBF[S]\r\nk=cafe\r\nn=" + greek + "\r\n"},
      {"UTF-8 without a mark", "[S]\r\nk=caf\xC3\xA9\r\n", "caf\xC3\xA9",
       "[S]\r\nk=caf\xC3\xA9\r\nn=1\r\n", "[S]\r\nk=caf\xC3\xA9\r\nn=" + greek + "\r\n"},
      {"UTF-8 with a mark", "\xEF\xBB\xBF[S]\r\nk=caf\xC3\xA9\r\n", "caf\xC3\xA9",
       "\xEF\xBB\xBF[S]\r\nk=caf\xC3\xA9\r\nn=1\r\n", "\xEF\xBB\xBF[S]\r\nk=caf\xC3\xA9\r\nn=" + greek + "\r\n"},
      {"UTF-16LE", "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0"s, "\xC3\xA9",
       "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0n\0=\0" "1\0\r\0\n\0"s,
       "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0n\0=\0\xB1\x03\r\0\n\0"s},
      {"UTF-16LE with an odd last byte: it is left out", "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0x\0!"s, "x",
       "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0x\0\r\0\n\0n\0=\0" "1\0\r\0\n\0"s,
       "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0x\0\r\0\n\0n\0=\0\xB1\x03\r\0\n\0"s},
      {"invalid UTF-8 after a mark: stray bytes are ANSI", "\xEF\xBB\xBF[S]\r\nk=\xE9\xC3\xA9\r\n",
       "\xC3\xA9\xC3\xA9", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\xC3\xA9\r\nn=1\r\n",
       "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\xC3\xA9\r\nn=" + greek + "\r\n"},
      {"a NUL byte ends its line, as the platform reads it", "[S]\r\nk=a\0b\r\n"s, "a",
       "[S]\r\nk=a\r\nn=1\r\n", "\xEF\xBB\xBF[S]\r\nk=a\r\nn=" + greek + "\r\n"},
      // ANSI texts that the next read would take for another encoding once the rewrite has
      // dropped a blank line, or the rest of a line after a NUL, become UTF-8 with a mark.
      {"ANSI that would begin like a UTF-16 mark", "\n\xFF\xFE\r\n[S]\r\nk=x\r\n", "x",
       "\xEF\xBB\xBF\xC3\xBF\xC3\xBE\r\n[S]\r\nk=x\r\nn=1\r\n",
       "\xEF\xBB\xBF\xC3\xBF\xC3\xBE\r\n[S]\r\nk=x\r\nn=" + greek + "\r\n"},
      {"ANSI that would read as UTF-8", "[S]\r\nk=\xC3\xA9\r\nz=\0\xE9\r\n"s, "\xC3\x83\xC2\xA9",
       "\xEF\xBB\xBF[S]\r\nk=\xC3\x83\xC2\xA9\r\nz=\r\nn=1\r\n",
       "\xEF\xBB\xBF[S]\r\nk=\xC3\x83\xC2\xA9\r\nz=\r\nn=" + greek + "\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool greekValue : {false, true}) {
      FakeFileSystem files;
      files.files["X.INI"] = c.bytes;
      SettingsFile settings("X.INI", files);
      EXPECT_EQ(settings.ReadString("S", "k", "-"), c.read);
      settings.WriteString("S", "n", greekValue ? greek : "1");
      EXPECT_EQ(files.files["X.INI"], greekValue ? c.afterGreek : c.afterAscii);
      EXPECT_EQ(settings.ReadString("S", "k", "-"), c.read);
    }
  }
}

TEST(SettingsFileEncodings, DetectedFromTheBytes) {
  const std::pair<std::string, FileEncoding> cases[] = {
      {"", FileEncoding::Ansi},
      {"ascii only", FileEncoding::Ansi},
      {"caf\xC3\xA9", FileEncoding::Utf8},
      {"caf\xC3\xA9 and \xE9", FileEncoding::Ansi},          // not valid UTF-8
      {"\xC0\xAF", FileEncoding::Ansi},                       // an overlong sequence
      {"\xED\xA0\x80", FileEncoding::Ansi},                   // a surrogate
      {"\xEF\xBB\xBF", FileEncoding::Utf8Bom},
      {"\xEF\xBB\xBF\xE9", FileEncoding::Utf8Bom},
      {"\xFF\xFE", FileEncoding::Utf16Le},
      {"\xFE\xFF\0a"s, FileEncoding::Ansi},                   // big-endian is not read as such
  };
  for (const auto& [bytes, encoding] : cases) EXPECT_EQ(DetectEncoding(bytes), encoding) << bytes;
}

// --- Files that cannot be read or written ----------------------------------------------------------

TEST(SettingsFileFailures, NothingChangesAndEveryWriteIsRefused) {
  FakeFileSystem files;
  files.files["X.INI"] = "[S]\r\nk=v\r\n";
  SettingsFile settings("X.INI", files);

  files.unreadable = "X.INI";  // a folder, or held open without sharing: defaults
  EXPECT_EQ(settings.ReadString("S", "k", "-"), "-");
  EXPECT_THROW(settings.WriteString("S", "k", "w"), ProfileWriteError);
  files.unreadable.clear();

  files.replaceFails = true;  // read-only, full disk: also a write that changes nothing
  EXPECT_THROW(settings.WriteString("S", "k", "v"), ProfileWriteError);
  EXPECT_THROW(settings.DeleteKey("S", "k"), ProfileWriteError);
  EXPECT_EQ(files.files["X.INI"], "[S]\r\nk=v\r\n");
  files.replaceFails = false;

  // Deleting from a missing file creates nothing; a change behind the program's back is
  // seen at once; too large a file is neither read nor written.
  SettingsFile missing("NEW.INI", files);
  missing.DeleteKey("S", "k");
  EXPECT_EQ(files.files.count("NEW.INI"), 0u);
  files.files["X.INI"] = "[S]\r\nk=changed\r\n";
  EXPECT_EQ(settings.ReadString("S", "k", "-"), "changed");
  files.files["X.INI"] = "[S]\r\nk=v\r\n" + std::string(kSettingsFileLimit, ';');
  EXPECT_EQ(settings.ReadString("S", "k", "-"), "-");
  EXPECT_THROW(settings.WriteString("S", "k", "w"), ProfileWriteError);
}

TEST(SettingsFileSnapshot, OneReadForManyAndOwnWritesSeen) {
  FakeFileSystem files;
  files.files["X.INI"] = "[S]\r\nk=v\r\n";
  SettingsFile settings("X.INI", files);
  {
    const Profile::Snapshot snapshot(settings);
    EXPECT_EQ(files.reads, 0);  // nothing read until a read needs it
    EXPECT_EQ(settings.ReadString("S", "k", "-"), "v");
    files.files["X.INI"] = "[S]\r\nk=behind its back\r\n";
    EXPECT_EQ(settings.ReadString("S", "k", "-"), "v");  // the snapshot's read
    settings.WriteString("S", "n", "1");                   // writes read the file anew
    EXPECT_EQ(settings.ReadString("S", "n", "-"), "1");
    EXPECT_EQ(settings.ReadString("S", "k", "-"), "behind its back");
    EXPECT_EQ(files.reads, 2);
  }
  {
    // A command that writes first reads the file once, for its write.
    const Profile::Snapshot snapshot(settings);
    settings.WriteString("S", "n", "2");
    EXPECT_EQ(settings.ReadSection("S").size(), 2u);
    EXPECT_EQ(files.reads, 3);
  }
  files.files["X.INI"] = "[S]\r\nk=later\r\n";
  EXPECT_EQ(settings.ReadString("S", "k", "-"), "later");
}

}  // namespace
}  // namespace tessel
