#include "common/profile.h"

#include "common/text_encoding.h"
#include "common/value_codec.h"

namespace tessel {

ProfileWriteError::ProfileWriteError(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}

namespace {

bool TrimmedOrStripped(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a' || c == '"' || c == '\'';
}

}  // namespace

std::string ValueAsRead(std::string_view raw) {
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
    raw = raw.substr(1, raw.size() - 2);
  return std::string(Utf8Prefix(raw, kProfileStringLimit));
}

std::string ProfileValueFor(const std::string& text) {
  if (text.empty() || (!TrimmedOrStripped(text.front()) && !TrimmedOrStripped(text.back())))
    return text;
  return '"' + text + '"';
}

std::string Profile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) {
  std::string value = RawGetString(section, key, defaultValue);
  if (value.size() > kProfileStringLimit) value = Utf8Prefix(value, kProfileStringLimit);
  return value;
}

int32_t Profile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t defaultValue) {
  int32_t value = 0;
  return ParseSettingsInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool Profile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> Profile::ReadKeys(const std::string& section) {
  std::vector<std::string> keys = RawGetKeys(section);
  // The list is read into one buffer of fixed size: every name with its terminating zero,
  // plus the zero that ends the list. Names that do not fit whole are not seen.
  size_t used = 1;
  size_t fitting = 0;
  for (const std::string& key : keys) {
    // An empty name would read as the end of the list.
    if (key.empty() || used + key.size() + 1 > kProfileKeyListBytes) break;
    used += key.size() + 1;
    ++fitting;
  }
  keys.resize(fitting);
  return keys;
}

std::vector<ProfileEntry> Profile::ReadSection(const std::string& section) {
  std::vector<ProfileEntry> entries = RawGetSection(section);
  std::vector<ProfileEntry> kept;
  kept.reserve(entries.size());
  for (ProfileEntry& entry : entries)
    if (!entry.key.empty()) kept.push_back(std::move(entry));
  return kept;
}

void Profile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (!RawWrite(section, key.c_str(), value.c_str())) throw ProfileWriteError(FileName());
}

void Profile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void Profile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void Profile::EraseSection(const std::string& section) {
  if (!RawWrite(section, nullptr, nullptr)) throw ProfileWriteError(FileName());
}

void Profile::DeleteKey(const std::string& section, const std::string& key) {
  if (!RawWrite(section, key.c_str(), nullptr)) throw ProfileWriteError(FileName());
}

void Profile::WriteSection(const std::string& section, const std::vector<ProfileEntry>& entries) {
  if (!RawWriteSection(section, entries)) throw ProfileWriteError(FileName());
}

void Profile::WriteEntries(const std::string& section, const std::vector<ProfileEntry>& entries) {
  if (!RawWriteEntries(section, entries)) throw ProfileWriteError(FileName());
}

}  // namespace tessel
