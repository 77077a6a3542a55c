// The map editor's commands that write key assignments and selectors (Store, Remove,
// Make Selector), their checks in order, the checks of Kill, and what the replacement
// field shows for the chosen key. Everything goes straight to the settings file.
#pragma once
#include "common/profile.h"

#include <cstdint>
#include <string>

namespace tessel {

namespace editor_message {
// A text whose stored form a reader would get back cut short.
constexpr const char* kTextTooLong =
    "Text too long: more than 1023 characters when stored. (Shorten the text)";
}  // namespace editor_message

constexpr const char* kOffMapName = "<off>";
constexpr const char* kSelectorsSection = "Selectors";
constexpr const char* kMapsSection = "MAPS";

// What the commands look at besides the file.
struct EditorSituation {
  int mapListEntries = 1;  // "<off>" included
  int selectedEntry = -1;  // -1 none, 0 "<off>"
  std::string editedMapName;
  uint8_t keyCode = 0;  // 0: no key chosen
  uint8_t stateByte = 0x80;
  std::string replacementText;

  std::string Descriptor() const;
};

// [Selectors] holds a non-empty value for the descriptor.
bool IsSelectorKey(Profile& settings, const std::string& descriptor);
// The map's value for the descriptor, decoded, names an existing "+" map.
bool IsDeadKeyOfMap(Profile& settings, const std::string& mapName, const std::string& descriptor);
// A map whose section may be written: a key of [MAPS] (so never "<off>").
bool IsEditableMap(Profile& settings, const std::string& mapName);

// Each returns the message of the first failed check, nullptr when all pass.
const char* CheckStore(Profile& settings, const EditorSituation& situation);
const char* CheckMakeSelector(Profile& settings, const EditorSituation& situation);
const char* CheckKill(Profile& settings, const EditorSituation& situation);
const char* CheckRemove(const EditorSituation& situation);

// The commands: the checks, then the writes. A refused command writes nothing and returns
// the message; a failed write throws ProfileWriteError (earlier writes stay).
const char* StoreAssignment(Profile& settings, const EditorSituation& situation);
const char* RemoveAssignment(Profile& settings, const EditorSituation& situation);
const char* MakeSelector(Profile& settings, const EditorSituation& situation);

// What the replacement field shows for the chosen key.
enum class FieldShows { Nothing, Selector, DeadKey, Text };
struct ReplacementField {
  FieldShows shows = FieldShows::Nothing;  // Nothing: no key chosen, leave the field alone
  std::string text;
};
constexpr const char* kSelectorFieldText = "<Selector !>";
constexpr const char* kDeadKeyFieldText = "<Dead Key!>";
ReplacementField ReplacementFieldFor(Profile& settings, const std::string& mapName, uint8_t keyCode,
                                     uint8_t stateByte);

}  // namespace tessel
