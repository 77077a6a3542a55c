#include "frontend/dead_key_command.h"

#include "common/keys.h"
#include "common/value_codec.h"
#include "frontend/dead_key_value.h"
#include "frontend/editor_messages.h"
#include "frontend/map_names.h"

namespace tessel {

const char* KillRefusal(Profile& settings, const KillContext& context) {
  namespace message = editor_message;
  if (context.mapListCount <= 1) return message::kNoMaps;
  if (context.selectedEntry < 0) return message::kNoMapSelected;
  if (context.selectedEntry == 0 || NameInList(context.editedMapName, {"<off>"}) ||
      !MapExists(settings, context.editedMapName))
    return message::kMapNotEditable;
  if (context.keyCode == 0) return message::kNoKey;
  const std::string descriptor = FormatKeyDescriptor(context.keyCode, context.stateByte);
  if (!settings.ReadString("Selectors", descriptor, "").empty()) return message::kKeyIsSelector;
  return nullptr;
}

DeadKeyDialogTexts DeadKeyDialogFill(std::string_view decodedValue,
                                     const std::vector<std::string>& mapNames,
                                     std::string_view keyName) {
  DeadKeyValue value;
  if (IsDeadKeyValue(decodedValue, mapNames, &value))
    return {value.mapName.substr(1, kMapNameMaxLength), value.defaultText};
  return {"", std::string(keyName)};
}

std::string AcceptedDeadKeyMap(std::string_view typedName) {
  const std::string name = TrimName(typedName);
  if (name.empty() || name.size() > kDeadKeyNameMaxLength) return {};
  std::string map = "+" + name;
  return IsValidMapName(map) ? map : std::string();
}

void StoreDeadKey(Profile& settings, const std::string& editedMap, uint8_t keyCode,
                  uint8_t stateByte, const std::string& deadKeyMap, std::string_view defaultText,
                  bool& listedMap) {
  listedMap = false;
  if (!MapExists(settings, deadKeyMap)) {
    settings.WriteString("MAPS", deadKeyMap, "");
    listedMap = true;
  }
  settings.WriteString(editedMap, FormatKeyDescriptor(keyCode, stateByte),
                       EncodeValue(DeadKeyValueText(deadKeyMap, defaultText)));
}

}  // namespace tessel
