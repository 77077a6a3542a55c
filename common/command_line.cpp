#include "common/command_line.h"

#include "common/text_encoding.h"

namespace tessel {

namespace {

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The value of option (three characters) in line, or fallback when it is absent.
std::string OptionValue(const std::string& line, std::string_view option, const char* fallback,
                        bool& cut) {
  cut = false;
  const size_t at = line.find(option);
  if (at == std::string::npos) return fallback;
  const size_t start = at + option.size();
  const size_t slash = line.find('/', at + 1);
  const size_t end = slash == std::string::npos ? line.size() : slash;
  std::string_view value = TrimBlanks(std::string_view(line).substr(start, end - start));
  // The value is held in a buffer of fixed size; a longer one is cut there.
  if (Utf8Length(value) > kCommandValueLimit) {
    value = TrimBlanks(Utf8Prefix(value, kCommandValueLimit));
    cut = true;
  }
  return std::string(value);
}

}  // namespace

CommandLineOptions ParseCommandLine(std::string_view commandLine) {
  const std::string line = UpperCase(commandLine);
  CommandLineOptions options;
  options.settingsFile = OptionValue(line, "/I:", kDefaultSettingsFile, options.settingsFileCut);
  options.mapName = OptionValue(line, "/M:", "", options.mapNameCut);
  return options;
}

}  // namespace tessel
