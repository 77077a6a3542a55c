// The settings file through the private-profile functions of the system
// (GetPrivateProfileStringA, WritePrivateProfileStringA, ...): the reference that the
// settings-file layer of the program is compared with.
#pragma once
#include "common/profile.h"

#include <string>
#include <vector>

namespace tessel {

class Win32Profile : public Profile {
 public:
  explicit Win32Profile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const override { return fileName_; }
  std::string RawGetString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
  std::vector<std::string> RawGetKeys(const std::string& section) override;
  bool RawWrite(const std::string& section, const char* key, const char* value) override;
  std::vector<ProfileEntry> RawGetSection(const std::string& section) override;
  bool RawWriteSection(const std::string& section, const std::vector<ProfileEntry>& entries) override;
  bool RawWriteEntries(const std::string& section, const std::vector<ProfileEntry>& entries) override;

 private:
  std::string fileName_;
};

}  // namespace tessel
