// The "/I:" (settings file) and "/M:" (start map) options of both programs.
#pragma once
#include <string>
#include <string_view>

namespace tessel {

constexpr const char* kDefaultSettingsFile = "TESSEL32.INI";
constexpr size_t kCommandValueLimit = 260;

struct CommandLineOptions {
  std::string settingsFile = kDefaultSettingsFile;  // upper case, as the whole line is
  std::string mapName;                              // empty: no start map
  // The value was longer than 260 characters and has been cut: a cut file name names
  // another file, which the front end must not write.
  bool settingsFileCut = false;
  bool mapNameCut = false;
};

// Upper-cases the ASCII letters of the whole command line (UTF-8), then reads the options.
// A value starts after its three-character option, ends before the next "/" or at the end,
// and is trimmed of blanks; values longer than 260 characters are cut there (and flagged).
CommandLineOptions ParseCommandLine(std::string_view commandLine);

}  // namespace tessel
