#include "common/memory_profile.h"

namespace tessel {

MemoryProfile::MemoryProfile(std::string fileName, std::string text)
    : fileName_(std::move(fileName)), document_(text) {}

std::string MemoryProfile::RawGetString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
  return document_.GetString(section, key, defaultValue);
}

std::vector<std::string> MemoryProfile::RawGetKeys(const std::string& section) {
  return document_.Keys(section);
}

bool MemoryProfile::RawWrite(const std::string& section, const char* key, const char* value) {
  if (writesFail_) return false;
  if (document_.Write(section, key, value)) ++rewrites_;
  return true;
}

std::vector<ProfileEntry> MemoryProfile::RawGetSection(const std::string& section) {
  return document_.Entries(section);
}

bool MemoryProfile::RawWriteSection(const std::string& section,
                                    const std::vector<ProfileEntry>& entries) {
  if (writesFail_) return false;
  if (document_.WriteSection(section, entries)) ++rewrites_;
  return true;
}

bool MemoryProfile::RawWriteEntries(const std::string& section,
                                    const std::vector<ProfileEntry>& entries) {
  if (writesFail_) return false;
  if (document_.WriteEntries(section, entries)) ++rewrites_;
  return true;
}

}  // namespace tessel
