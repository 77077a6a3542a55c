#include "common/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace tessel {
namespace {

TEST(ParseCommandLine, Options) {
  struct Case {
    std::string line;
    std::string settingsFile;
    std::string mapName;
  };
  const Case cases[] = {
      {"TESSEL32.EXE /i:c:\\maps\\my.ini /m:greek", "C:\\MAPS\\MY.INI", "GREEK"},
      {"TESSEL32.EXE /I:C:\\A B\\X.INI /M:Y", "C:\\A B\\X.INI", "Y"},
      {"TESSEL32.EXE /I:/M:Y", "", "Y"},
      {"C:\\TESSEL\\TESSEL32.EXE", "TESSEL32.INI", ""},
      {"", "TESSEL32.INI", ""},
      {"tesshide32.exe /m:  Greek  ", "TESSEL32.INI", "GREEK"},
      {"x.exe /M:Greek /I:other.ini", "OTHER.INI", "GREEK"},
      {"x.exe /M:", "TESSEL32.INI", ""},
      {"x.exe /I:", "", ""},
      {"x.exe /I:\"C:\\my file.ini\"", "\"C:\\MY FILE.INI\"", ""},   // quotes stay
      {"x.exe /i:a.ini/m:b", "A.INI", "B"},
      {"x.exe /I:a.ini /X:ignored", "A.INI", ""},
      {"x.exe /M:first /M:second", "TESSEL32.INI", "FIRST"},
      {"\"C:\\Program Files\\TESSEL32.EXE\" /m:cyr", "TESSEL32.INI", "CYR"},
      {"x.exe /I: \t a.ini\t ", "\t A.INI\t", ""},             // only blanks are trimmed
      {"x.exe /m:\xE8t\xE9", "TESSEL32.INI", "\xE8T\xE9"},   // ASCII letters only
  };
  for (const Case& c : cases) {
    const CommandLineOptions options = ParseCommandLine(c.line);
    EXPECT_EQ(options.settingsFile, c.settingsFile) << c.line;
    EXPECT_EQ(options.mapName, c.mapName) << c.line;
  }
}

TEST(ParseCommandLine, LongValuesAreCutTo260Characters) {
  const std::string longName(300, 'n');
  const CommandLineOptions options = ParseCommandLine("x.exe /I:" + longName + " /M:" + longName);
  EXPECT_EQ(options.settingsFile, std::string(kCommandValueLimit, 'N'));
  EXPECT_EQ(options.mapName, std::string(kCommandValueLimit, 'N'));
  EXPECT_TRUE(options.settingsFileCut);
  EXPECT_TRUE(options.mapNameCut);
  // Exactly 260 characters (blanks around them do not count) is not a cut.
  const CommandLineOptions fitting =
      ParseCommandLine("x.exe /I:  " + std::string(kCommandValueLimit, 'f') + "  /M:g");
  EXPECT_EQ(fitting.settingsFile.size(), kCommandValueLimit);
  EXPECT_FALSE(fitting.settingsFileCut);
  EXPECT_FALSE(fitting.mapNameCut);
  // A cut that ends in blanks loses them as well.
  const std::string spaced = std::string(259, 'a') + "   b";
  EXPECT_EQ(ParseCommandLine("/I:" + spaced).settingsFile, std::string(259, 'A'));
}

}  // namespace
}  // namespace tessel
