// In-memory stand-in for a settings file with the behaviour of the private-profile
// functions: case-insensitive names, first of duplicate keys wins, values trimmed and
// unquoted, reads cut to 1023 characters, file order kept.
#pragma once
#include "common/profile.h"

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

  // The file's text as it would be on disk.
  std::string Text() const;
  void SetText(const std::string& text);
  // Makes every later write fail, as a write to an unwritable file does.
  void SetWritesFail(bool fail) { writesFail_ = fail; }

 private:
  std::string fileName_;
  std::vector<std::string> lines_;
  bool writesFail_ = false;
};

}  // namespace tessel
