// Names of maps: what a typed name may be, and whether a map of that name exists.
#pragma once
#include "common/profile.h"

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

constexpr size_t kMapNameMaxLength = 15;

// The name without blanks (and other control characters) at either end.
std::string TrimName(std::string_view name);

// A name a map may have (already trimmed): 1 to 15 characters (code points of UTF-8); not the name of a section
// the system uses itself (TESSEL32, MAPS, Selectors, in any case) nor "<off>"; no ",",
// "=", "[" or "]", which would break the settings file or the prompts; no leading ";"; no
// backslash and no pair of surrounding quotes, which a selector's value would lose.
// A dead-key map's name is checked with its "+".
bool IsValidMapName(std::string_view trimmed);

// [MAPS] has the name as a key (names compare without regard to case).
bool MapExists(Profile& settings, const std::string& name);
// The same against a key list read once.
bool NameInList(std::string_view name, const std::vector<std::string>& names);

}  // namespace tessel
