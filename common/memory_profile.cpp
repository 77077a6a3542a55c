#include "common/memory_profile.h"
namespace tessel {
MemoryProfile::MemoryProfile(std::string fileName, std::string text) : fileName_(std::move(fileName)) { SetText(text); }
std::string MemoryProfile::RawGetString(const std::string&, const std::string&, const std::string& d) { return d; }
std::vector<std::string> MemoryProfile::RawGetKeys(const std::string&) { return {}; }
bool MemoryProfile::RawWrite(const std::string&, const char*, const char*) { return !writesFail_; }
std::string MemoryProfile::Text() const { return {}; }
void MemoryProfile::SetText(const std::string&) {}
}  // namespace tessel
