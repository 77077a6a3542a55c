// Turns the maps and selectors of the settings file into the compiled form of the store.
#pragma once
#include "common/profile.h"
#include "hooklib/program_rules.h"
#include "hooklib/store_layout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

// The maps of a settings file, compiled but not yet written to a store.
struct CompiledMaps {
  std::vector<std::string> names;  // "<off>" first, then [MAPS] in file order
  std::vector<std::string> texts;  // map texts: 01, then key byte, state byte, text, 01 per entry
  CompiledProgramRules programRules;  // [Programs]; its table follows the map texts
  int32_t neededSize = 0;          // bytes the store needs for them (header included)
  // Entries with a valid descriptor that cannot be stored: decoded text holding code 0 or 1,
  // or key code 255. They are left out so they cannot damage the map text.
  int32_t skippedEntries = 0;
};

CompiledMaps CompileMaps(Profile& profile);

struct LoadResult {
  bool fits = false;
  int32_t neededSize = 0;
  int32_t skippedEntries = 0;
};

// Loads the maps into the store (mutex held by the caller): writes NeededSize,
// MessageTime, Allocate and, when they fit, the loaded data. Throws ProfileWriteError
// when Allocate cannot be written; the store's loaded data is then unchanged.
LoadResult LoadMaps(Profile& profile, store::StoreView& store);

}  // namespace tessel
