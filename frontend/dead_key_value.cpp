#include "frontend/dead_key_value.h"

#include "frontend/map_names.h"

namespace tessel {

bool SplitDeadKeyValue(std::string_view decoded, DeadKeyValue& out) {
  if (decoded.size() < 2 || decoded.front() != '+') return false;
  const size_t comma = decoded.find(',');
  out.mapName = std::string(decoded.substr(0, comma));
  out.defaultText = comma == std::string_view::npos ? "" : std::string(decoded.substr(comma + 1));
  return true;
}

bool IsDeadKeyValue(std::string_view decoded, const std::vector<std::string>& mapNames,
                    DeadKeyValue* out) {
  DeadKeyValue value;
  if (!SplitDeadKeyValue(decoded, value) || !NameInList(value.mapName, mapNames)) return false;
  if (out) *out = std::move(value);
  return true;
}

std::string DeadKeyValueText(std::string_view mapName, std::string_view defaultText) {
  std::string text(mapName);
  text += ',';
  text += defaultText;
  return text;
}

}  // namespace tessel
