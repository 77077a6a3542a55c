// The map editor: maps, key assignments, selectors and dead keys, written to the settings
// file at once.
#pragma once
#include "front_end.h"

#include <string>

namespace tessel {

// Runs the editor modally over owner. editedMapName is the map shown first and, when the
// editor closes, the map the user worked on last ("<off>" when none).
void RunMapEditor(HWND owner, FrontEnd& app, std::string& editedMapName);

}  // namespace tessel
