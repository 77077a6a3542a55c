// A settings file's text with the rules of the private-profile functions: section and key
// names compared without regard to ASCII case, the first of duplicate keys wins, blanks
// around names and values trimmed, one pair of surrounding quotes stripped from a value
// read, reads cut to 1023 characters, file order kept; comment lines and lines without
// "=" stay in the file but are no entries; a NUL byte ends the text of its line. A change rewrites the text the way the
// platform does: "name=value" lines ending in CR LF, blank lines dropped, comments kept,
// new keys at the end of their section, new sections at the end.
#pragma once
#include "common/profile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string_view text);

  // The text as it was given until a change, then as the platform rewrites it.
  const std::string& Text() const { return text_; }

  // Reads: the platform's raw reads (Profile applies its reading rules on top).
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const;
  std::vector<std::string> Keys(std::string_view section) const;
  std::vector<ProfileEntry> Entries(std::string_view section) const;

  // Changes, each true when the document changed. key == nullptr erases the section,
  // value == nullptr deletes the key.
  bool Write(std::string_view section, const char* key, const char* value);
  // Replaces the entries of section (of every header with its name).
  bool WriteSection(std::string_view section, const std::vector<ProfileEntry>& entries);
  // Sets each key (its first line, or a new line at the end of the section) and keeps every
  // other line of the section where it stands, comments included.
  bool WriteEntries(std::string_view section, const std::vector<ProfileEntry>& entries);

 private:
  struct Entry {
    std::string name;                  // trimmed; a comment line is an entry named ";..."
    std::optional<std::string> value;  // none for a line without "="
  };
  struct Section {
    std::string name;  // trimmed; the lines before the first header have ""
    std::vector<Entry> entries;
  };

  void Parse(std::string_view text);
  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  void Rewrite();

  std::string text_;
  std::vector<Section> sections_;
};

}  // namespace tessel
