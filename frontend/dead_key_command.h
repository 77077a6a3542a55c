// The Kill command's decisions (its checks are CheckKill of editor_commands.h): what the
// dead-key dialog shows for the chosen key, which answers may be stored, and the writes
// that make the key a dead key.
#pragma once
#include "common/profile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Longest name typed into the dialog that is stored (15 with the "+").
constexpr size_t kDeadKeyNameMaxLength = 14;

struct DeadKeyDialogTexts {
  std::string mapName;  // without the "+"
  std::string defaultText;
};

// The dialog's texts for the key's decoded value: for a dead-key value the map name after
// the "+" (at most 15 characters) and everything after the first comma; otherwise an empty
// name and keyName, the key's own name.
DeadKeyDialogTexts DeadKeyDialogFill(std::string_view decodedValue,
                                     const std::vector<std::string>& mapNames,
                                     std::string_view keyName);

// The dead-key map ("+" and the typed name without blanks at its ends) when the name is 1 to
// 14 characters long and a map may have it; empty when nothing is to be written.
std::string AcceptedDeadKeyMap(std::string_view typedName);
// The refusal of a typed name of the right length that no map may have ("Not valid
// mapname"); nullptr for an accepted name, and for an empty or overlong one, which writes
// nothing without a word.
const char* DeadKeyNameProblem(std::string_view typedName);

// Makes the key of editedMap a dead key of deadKeyMap: lists the map in [MAPS] when it is
// missing there (listedMap is set at once, so that a caller whose second write failed
// still shows the new map) and writes "+name,default" encoded. A value that would be read
// back cut short is refused before anything is written: the message is returned then,
// nullptr otherwise. Throws ProfileWriteError when a write fails.
const char* StoreDeadKey(Profile& settings, const std::string& editedMap, uint8_t keyCode,
                         uint8_t stateByte, const std::string& deadKeyMap,
                         std::string_view defaultText, bool& listedMap);

}  // namespace tessel
