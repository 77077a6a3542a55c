#include "frontend/map_names.h"

#include "common/text_encoding.h"

namespace tessel {
namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string TrimName(std::string_view name) {
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  return std::string(name);
}

bool IsValidMapName(std::string_view trimmed) {
  if (trimmed.empty() || Utf8Length(trimmed) > kMapNameMaxLength) return false;
  for (std::string_view reserved : {"TESSEL32", "MAPS", "Selectors", "<off>"})
    if (SameLetters(trimmed, reserved)) return false;
  // A backslash would be decoded in a selector's value, and a pair of surrounding quotes
  // stripped from it: the selector would name another map.
  if (trimmed.find_first_of(",=[]\\") != std::string_view::npos) return false;
  const bool quoted = trimmed.size() >= 2 && (trimmed.front() == '"' || trimmed.front() == '\'') &&
                      trimmed.back() == trimmed.front();
  return !quoted && trimmed.front() != ';';
}

bool MapExists(Profile& settings, const std::string& name) {
  return settings.ReadString("MAPS", name, "x") != "x";
}

bool NameInList(std::string_view name, const std::vector<std::string>& names) {
  for (const std::string& candidate : names)
    if (SameLetters(candidate, name)) return true;
  return false;
}

}  // namespace tessel
