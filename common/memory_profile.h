// In-memory stand-in for a settings file with the behaviour of the private-profile
// functions: case-insensitive names, first of duplicate keys wins, values trimmed and
// unquoted, reads cut to 1023 characters, file order kept. A write that changes the file
// rewrites it the way the platform does: "name=value" lines ending in CR LF, blank lines
// dropped, comments kept, new keys at the end of their section, new sections at the end.
#pragma once
#include "common/profile.h"

#include <optional>
#include <string>
#include <vector>

namespace tessel {

class MemoryProfile : public Profile {
 public:
  explicit MemoryProfile(std::string fileName = "TESSEL32.INI", std::string text = "");

  const std::string& FileName() const override { return fileName_; }
  std::string RawGetString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
  std::vector<std::string> RawGetKeys(const std::string& section) override;
  bool RawWrite(const std::string& section, const char* key, const char* value) override;
  std::vector<ProfileEntry> RawGetSection(const std::string& section) override;
  bool RawWriteSection(const std::string& section, const std::vector<ProfileEntry>& entries) override;

  // The file's text as it would be on disk; empty for a missing file.
  std::string Text() const;
  void SetText(const std::string& text);
  // Makes every later write fail, as a write to an unwritable file does.
  void SetWritesFail(bool fail) { writesFail_ = fail; }
  // Number of writes that changed the file (and so rewrote it).
  int RewriteCount() const { return rewrites_; }

 private:
  struct Entry {
    std::string name;                  // trimmed; a comment line is an entry named ";..."
    std::optional<std::string> value;  // none for a line without "="
  };
  struct Section {
    std::string name;  // trimmed; the lines before the first header have ""
    std::vector<Entry> entries;
  };

  Section* FindSection(const std::string& name);
  void Rewrite();

  std::string fileName_;
  std::string text_;
  std::vector<Section> sections_;
  bool writesFail_ = false;
  int rewrites_ = 0;
};

}  // namespace tessel
