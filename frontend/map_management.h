// Map management over the settings-file layer: the copy procedure shared by Copy, Rename,
// Import and Export, deleting and renaming a map, a map's selector, and the checks of
// typed names. Everything here works on whole sections, so values of any length and any
// number of keys travel unchanged, and a 2 000-key map is copied with one section write.
#pragma once
#include "common/profile.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The target did not hold every value of the source whole after a copy. Nothing of the
// source has been removed when this is raised.
class MapCopyError : public std::runtime_error {
 public:
  MapCopyError(const std::string& source, const std::string& fileName);
};

// Copies map `source` of `from` into map `target` of `to`, merging: `target` is entered in
// the [MAPS] of `to`, and every key of the source section is written with its value as it
// stands in the file (still encoded). Selectors and dead-key maps are not copied.
// Throws ProfileWriteError on a failed write and MapCopyError when the target section,
// read back, does not hold every value of the source.
void CopyMap(Profile& from, const std::string& source, Profile& to, const std::string& target);

// Key of the map's selector (MapSelectorKey of the [Selectors] section); empty when there
// is none.
std::string SelectorKeyOf(Profile& settings, const std::string& mapName);

// Erases the map's section, its [MAPS] key, its selector and its [Programs] rules, in that
// order. A failed write stops there (ProfileWriteError).
void DeleteMap(Profile& settings, const std::string& name);

// Copies oldName into newName, moves the selector and the [Programs] rules to newName and
// deletes oldName. Nothing
// of the old map is erased unless the copy and the selector move were written whole.
// newName must not be oldName in another case (the name-taken check refuses it).
void RenameMap(Profile& settings, const std::string& oldName, const std::string& newName);

// The checks of a typed map name, in order: bad name, then (for a new map or a new name)
// name taken. nullptr when the trimmed name may be used, else the check's message.
enum class NameUse { Target, NewMap };
const char* NameProblem(Profile& settings, std::string_view typed, NameUse use);

// The map names of a map file's [MAPS], joined by "," in the file's order (empty when the
// file has none): the choices offered by Import.
std::string MapChoices(Profile& mapFile);

// Prompt descriptions and messages of the map commands.
constexpr const char* kNewMapPrompt = "Tessel+,Specify a name for the new map,<-Back,Ok";
constexpr const char* kCopyMapPrompt =
    "Tessel+,Specify a name for the target map\r\n(if it exists the maps will be merged),<-Back,Ok";
constexpr const char* kImportChoicePrompt = "Tessel+,Select a map to import,<-Back,Ok";
constexpr const char* kImportNamePrompt =
    "Tessel+,Specify a name for the imported map\r\n(if it exists the maps will be merged),<-Back,Ok";
constexpr const char* kNoMapListMessage =
    "No map list is given in this file.\r\nYou will need to type in a map name.";
constexpr int kNoMapListDuration = -3000;  // negative: a beep first
constexpr const char* kNoSuchMapMessage = "Map does not exist";
constexpr int kNoSuchMapDuration = -2000;
// Names in prompt texts have every "&" doubled; in the Export caption a name stays as it is.
std::string DeletePrompt(const std::string& name);
std::string RenamePrompt(const std::string& name);
std::string ExportPrompt(const std::string& name);

}  // namespace tessel
