#include "map_editor.h"

namespace tessel {

void RunMapEditor(HWND owner, FrontEnd&, std::string&) {
  MessageBoxA(owner, "The map editor is not available yet.", "Tessel+ : Map editor", MB_OK);
}

}  // namespace tessel
