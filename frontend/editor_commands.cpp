#include "frontend/editor_commands.h"

#include "common/keys.h"
#include "common/text_encoding.h"
#include "common/value_codec.h"
#include "frontend/assignment_rows.h"
#include "frontend/dead_key_value.h"
#include "frontend/editor_messages.h"
#include "frontend/map_names.h"

namespace tessel {
namespace {

bool IsOff(const std::string& name) { return NameInList(name, {kOffMapName}); }

bool NamesExistingDeadKeyMap(Profile& settings, const std::string& decoded) {
  DeadKeyValue value;
  return SplitDeadKeyValue(decoded, value) && MapExists(settings, value.mapName);
}

std::string MapValue(Profile& settings, const std::string& mapName, const std::string& descriptor) {
  return DecodeValue(settings.ReadString(mapName, descriptor, ""));
}

}  // namespace

std::string EditorSituation::Descriptor() const { return FormatKeyDescriptor(keyCode, stateByte); }

bool IsSelectorKey(Profile& settings, const std::string& descriptor) {
  return !settings.ReadString(kSelectorsSection, descriptor, "").empty();
}

bool IsDeadKeyOfMap(Profile& settings, const std::string& mapName, const std::string& descriptor) {
  return NamesExistingDeadKeyMap(settings, MapValue(settings, mapName, descriptor));
}

bool IsEditableMap(Profile& settings, const std::string& mapName) {
  return !mapName.empty() && !IsOff(mapName) && MapExists(settings, mapName);
}

const char* CheckStore(Profile& settings, const EditorSituation& s) {
  using namespace editor_message;
  if (s.mapListEntries <= 1) return kNoMaps;
  // Also the edited name itself: after a rebuild of the map list nothing is selected and
  // the name may be "<off>" or a map that is gone.
  if (s.selectedEntry == 0 || !IsEditableMap(settings, s.editedMapName)) return kMapNotEditable;
  if (s.keyCode == 0) return kNoKey;
  const std::string descriptor = s.Descriptor();
  if (IsSelectorKey(settings, descriptor)) return kKeyIsSelector;
  if (IsDeadKeyOfMap(settings, s.editedMapName, descriptor)) return kKeyIsDeadKey;
  if (s.replacementText.empty()) return kNoText;
  if (Utf8Length(EncodeValue(s.replacementText)) > kProfileStringLimit) return kTextTooLong;
  return nullptr;
}

const char* CheckMakeSelector(Profile& settings, const EditorSituation& s) {
  using namespace editor_message;
  if (s.mapListEntries <= 1) return kNoMaps;
  if (s.selectedEntry < 0) return kNoMapSelected;
  // "<off>" may have a selector; a map that is no longer in the file may not.
  if (!IsOff(s.editedMapName) && !IsEditableMap(settings, s.editedMapName)) return kMapNotEditable;
  if (s.keyCode == 0) return kNoKey;
  const std::string descriptor = s.Descriptor();
  if (IsSelectorKey(settings, descriptor)) return kKeyIsSelector;
  if (IsDeadKeyOfMap(settings, s.editedMapName, descriptor)) return kKeyIsDeadKey;
  return nullptr;
}

const char* CheckKill(Profile& settings, const EditorSituation& s) {
  using namespace editor_message;
  if (s.mapListEntries <= 1) return kNoMaps;
  if (s.selectedEntry < 0) return kNoMapSelected;
  // Kill writes into the edited map's section, as Store does.
  if (s.selectedEntry == 0 || !IsEditableMap(settings, s.editedMapName)) return kMapNotEditable;
  if (s.keyCode == 0) return kNoKey;
  if (IsSelectorKey(settings, s.Descriptor())) return kKeyIsSelector;
  return nullptr;
}

const char* CheckRemove(const EditorSituation& s) {
  return s.keyCode == 0 ? editor_message::kNoKey : nullptr;
}

const char* StoreAssignment(Profile& settings, const EditorSituation& s) {
  if (const char* refused = CheckStore(settings, s)) return refused;
  settings.WriteString(s.editedMapName, s.Descriptor(), EncodeValue(s.replacementText));
  return nullptr;
}

const char* RemoveAssignment(Profile& settings, const EditorSituation& s) {
  if (const char* refused = CheckRemove(s)) return refused;
  const std::string descriptor = s.Descriptor();
  if (IsSelectorKey(settings, descriptor)) {
    settings.DeleteKey(kSelectorsSection, descriptor);
  } else if (!s.editedMapName.empty()) {
    settings.DeleteKey(s.editedMapName, descriptor);
  }
  return nullptr;
}

const char* MakeSelector(Profile& settings, const EditorSituation& s) {
  if (const char* refused = CheckMakeSelector(settings, s)) return refused;
  const std::optional<std::string> old =
      MapSelectorKey(settings.ReadSection(kSelectorsSection), s.editedMapName);
  if (old) settings.DeleteKey(kSelectorsSection, *old);
  settings.WriteString(kSelectorsSection, s.Descriptor(), s.editedMapName);
  return nullptr;
}

ReplacementField ReplacementFieldFor(Profile& settings, const std::string& mapName, uint8_t keyCode,
                                     uint8_t stateByte) {
  if (keyCode == 0) return {};
  const std::string descriptor = FormatKeyDescriptor(keyCode, stateByte);
  if (IsSelectorKey(settings, descriptor)) return {FieldShows::Selector, kSelectorFieldText};
  std::string value = MapValue(settings, mapName, descriptor);
  if (NamesExistingDeadKeyMap(settings, value)) return {FieldShows::DeadKey, kDeadKeyFieldText};
  return {FieldShows::Text, std::move(value)};
}

}  // namespace tessel
