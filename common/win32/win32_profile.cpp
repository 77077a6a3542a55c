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

}  // namespace tessel
