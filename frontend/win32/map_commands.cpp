#include "map_commands.h"

namespace tessel {

void RunMapCommand(MapEditor& editor, MapCommand) {
  MessageBoxA(editor.Window(), "Not available yet.", "Tessel+", MB_OK);
}

}  // namespace tessel
