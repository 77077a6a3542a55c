// The map editor's side of per-program maps: the programs of a map as the [Programs]
// section of the settings file names them, what an edit of that list writes, and how
// Rename, Delete, Import and Export carry a map's rules.
#pragma once
#include "common/profile.h"

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The programs whose rule names the map (ignoring case): the rules that count, in file order,
// leaving out the keys that are no file name (the hook ignores those).
std::vector<std::string> ProgramsOfMap(const std::vector<ProfileEntry>& programs, std::string_view mapName);

// The [Programs] section after the user gave the map the programs `wanted` (one file name a
// line, blank lines left out): the map's other rules go (but those the hook ignores, which the
// user did not see in the list), every wanted program's rule names
// the map, in place when it had one, else at the end. False, with the first refused line in
// problem, when a line is not a file name (it holds \ / or :).
bool EditedPrograms(std::vector<ProfileEntry>& programs, std::string_view mapName,
                    std::string_view wanted, std::string& problem);

// Rename carries the map's rules to the new name (true when there were any); Delete removes them.
bool RenameProgramRules(std::vector<ProfileEntry>& programs, std::string_view oldName,
                        const std::string& newName);
void RemoveProgramRules(std::vector<ProfileEntry>& programs, std::string_view mapName);

// Import and Export: the rules of map `source` of `from` become rules of map `target` of
// `to`, merged into its [Programs] (a section only when there is a rule to carry).
void CopyProgramRules(Profile& from, const std::string& source, Profile& to, const std::string& target);

// The rules the hook ignores, one line each ("NAME=VALUE: names no map"), empty when none.
std::string IgnoredRulesText(const std::vector<ProfileEntry>& programs,
                             const std::vector<std::string>& mapNames);

}  // namespace tessel
