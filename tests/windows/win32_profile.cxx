#include "win32_profile.h"

#include <windows.h>

#include <algorithm>

namespace tessel {

namespace {

constexpr DWORD kStringBufferSize = kProfileStringLimit + 1;
// Large enough to see past the 8192-byte rule, which ReadKeys applies.
constexpr DWORD kKeyBufferSize = 64 * 1024;

}  // namespace

std::string Win32Profile::RawGetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) {
  char buffer[kStringBufferSize] = {};
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                buffer, kStringBufferSize, fileName_.c_str());
  return std::string(buffer, length < kStringBufferSize ? length : kStringBufferSize - 1);
}

std::vector<std::string> Win32Profile::RawGetKeys(const std::string& section) {
  // Zeroed first: on truncation the platform writes only one terminating zero.
  std::vector<char> buffer(kKeyBufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                kKeyBufferSize, fileName_.c_str());
  std::vector<std::string> keys;
  const DWORD used = length < kKeyBufferSize ? length : kKeyBufferSize - 1;
  const char* p = buffer.data();
  const char* const end = buffer.data() + used;
  while (p < end && *p != '\0') {
    const char* const zero = std::find(p, end, '\0');
    keys.emplace_back(p, zero);
    p = zero + 1;
  }
  // A list that did not fit ends in a cut name.
  if (length == kKeyBufferSize - 2 && !keys.empty()) keys.pop_back();
  return keys;
}

bool Win32Profile::RawWrite(const std::string& section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section.c_str(), key, value, fileName_.c_str()) != FALSE;
}

std::vector<ProfileEntry> Win32Profile::RawGetSection(const std::string& section) {
  // A section that does not fit comes back cut at size - 2: read again into a larger buffer.
  std::vector<char> buffer(kKeyBufferSize);
  DWORD length = 0;
  for (;;) {
    length = GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()), fileName_.c_str());
    if (length + 2 < buffer.size() || buffer.size() >= (1u << 30)) break;
    buffer.assign(buffer.size() * 2, '\0');
  }
  std::vector<ProfileEntry> entries;
  const char* p = buffer.data();
  const char* const end = buffer.data() + std::min<size_t>(length, buffer.size());
  while (p < end && *p != '\0') {
    const char* const zero = std::find(p, end, '\0');
    const char* const equals = std::find(p, zero, '=');
    if (equals != zero) entries.push_back({std::string(p, equals), std::string(equals + 1, zero)});
    p = zero + 1;
  }
  return entries;
}

// Key by key: the section calls would drop the section's comments.
bool Win32Profile::RawWriteEntries(const std::string& section,
                                   const std::vector<ProfileEntry>& entries) {
  for (const ProfileEntry& entry : entries)
    if (!RawWrite(section, entry.key.c_str(), entry.value.c_str())) return false;
  return true;
}

bool Win32Profile::RawWriteSection(const std::string& section,
                                   const std::vector<ProfileEntry>& entries) {
  std::string block;
  for (const ProfileEntry& entry : entries) {
    block += entry.key;
    block += '=';
    block += entry.value;
    block += '\0';
  }
  block += '\0';
  block += '\0';
  return WritePrivateProfileSectionA(section.c_str(), block.c_str(), fileName_.c_str()) != FALSE;
}

}  // namespace tessel
