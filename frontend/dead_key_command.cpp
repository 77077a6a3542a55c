#include "frontend/dead_key_command.h"

#include "common/keys.h"
#include "common/text_encoding.h"
#include "common/value_codec.h"
#include "frontend/dead_key_value.h"
#include "frontend/editor_commands.h"
#include "frontend/editor_messages.h"
#include "frontend/map_names.h"

namespace tessel {

DeadKeyDialogTexts DeadKeyDialogFill(std::string_view decodedValue,
                                     const std::vector<std::string>& mapNames,
                                     std::string_view keyName) {
  DeadKeyValue value;
  if (IsDeadKeyValue(decodedValue, mapNames, &value))
    return {std::string(Utf8Prefix(std::string_view(value.mapName).substr(1), kMapNameMaxLength)),
            value.defaultText};
  return {"", std::string(keyName)};
}

std::string AcceptedDeadKeyMap(std::string_view typedName) {
  const std::string name = TrimName(typedName);
  if (name.empty() || Utf8Length(name) > kDeadKeyNameMaxLength) return {};
  std::string map = "+" + name;
  return IsValidMapName(map) ? map : std::string();
}

const char* DeadKeyNameProblem(std::string_view typedName) {
  const std::string name = TrimName(typedName);
  if (name.empty() || Utf8Length(name) > kDeadKeyNameMaxLength) return nullptr;
  return AcceptedDeadKeyMap(name).empty() ? editor_message::kBadName : nullptr;
}

const char* StoreDeadKey(Profile& settings, const std::string& editedMap, uint8_t keyCode,
                         uint8_t stateByte, const std::string& deadKeyMap,
                         std::string_view defaultText, bool& listedMap) {
  listedMap = false;
  const std::string stored = EncodeValue(DeadKeyValueText(deadKeyMap, defaultText));
  if (Utf8Length(stored) > kProfileStringLimit) return editor_message::kTextTooLong;
  if (!MapExists(settings, deadKeyMap)) {
    settings.WriteString(kMapsSection, deadKeyMap, "");
    listedMap = true;
  }
  settings.WriteString(editedMap, FormatKeyDescriptor(keyCode, stateByte), stored);
  return nullptr;
}

}  // namespace tessel
