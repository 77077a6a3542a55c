// In-memory stand-in for a settings file with the behaviour of the private-profile
// functions (IniDocument holds the rules).
#pragma once
#include "common/ini_document.h"
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
  std::vector<ProfileEntry> RawGetSection(const std::string& section) override;
  bool RawWriteSection(const std::string& section, const std::vector<ProfileEntry>& entries) override;
  bool RawWriteEntries(const std::string& section, const std::vector<ProfileEntry>& entries) override;

  // The file's text as it would be on disk; empty for a missing file.
  const std::string& Text() const { return document_.Text(); }
  void SetText(const std::string& text) { document_ = IniDocument(text); }
  // Makes every later write fail, as a write to an unwritable file does.
  void SetWritesFail(bool fail) { writesFail_ = fail; }
  // Number of writes that changed the file (and so rewrote it).
  int RewriteCount() const { return rewrites_; }

 private:
  std::string fileName_;
  IniDocument document_;
  bool writesFail_ = false;
  int rewrites_ = 0;
};

}  // namespace tessel
