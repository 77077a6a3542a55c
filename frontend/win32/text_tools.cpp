#include "text_tools.h"

namespace tessel {

void OnReplacementTextChanged(MapEditor&) {}
void OnMacroBoxChanged(MapEditor&) {}
void FillCommandList(MapEditor&) {}
void OnCommandListChanged(MapEditor&) {}
void InsertVirtualKey(MapEditor&) {}
void InsertScanCode(MapEditor&) {}
void RunCharacterSelector(MapEditor&) {}
void RunFontCommand(MapEditor&) {}
void RunKillCommand(MapEditor&) {}

}  // namespace tessel
