// The map menu of the editor's map list: New, Copy, Delete, Rename, Import, Export.
#pragma once
#include "map_editor_state.h"

namespace tessel {

enum class MapCommand { New, Copy, Delete, Rename, Import, Export };

void RunMapCommand(MapEditor& editor, MapCommand command);

}  // namespace tessel
