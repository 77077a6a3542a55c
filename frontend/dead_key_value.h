// Dead-key values: "+" and the dead-key map's name, ",", and the default text played when
// the next key has no entry in that map.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

struct DeadKeyValue {
  std::string mapName;      // "+" included
  std::string defaultText;  // everything after the first comma
};

// Splits a decoded value that begins with "+" and has at least two characters; false for
// any other value. Whether the map exists is the caller's question (IsDeadKeyValue).
bool SplitDeadKeyValue(std::string_view decoded, DeadKeyValue& out);
// A dead-key value: split as above and its map name is one of mapNames ([MAPS] keys).
bool IsDeadKeyValue(std::string_view decoded, const std::vector<std::string>& mapNames,
                    DeadKeyValue* out = nullptr);
// "+name,default" (the decoded form; callers encode it to store it).
std::string DeadKeyValueText(std::string_view mapName, std::string_view defaultText);

}  // namespace tessel
