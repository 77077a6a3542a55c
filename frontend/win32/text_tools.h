// The editor's tools for replacement text: the two text fields kept in step, the command
// list, the virtual-key and scan-code inserts, the character selector, the display font
// and the Kill command that makes dead keys.
#pragma once
#include "map_editor_state.h"

namespace tessel {

// Called once when the editor is created: MacroBox then reports text that the program
// sets as a change too (a multi-line edit control does not), so the fields stay in step.
void ConnectTextFields(MapEditor& editor);
// Change notifications of the one-line field and of MacroBox.
void OnReplacementTextChanged(MapEditor& editor);
void OnMacroBoxChanged(MapEditor& editor);
// The command list: filled once when the editor is created; a change of its selected
// entry inserts that entry's text.
void FillCommandList(MapEditor& editor);
void OnCommandListChanged(MapEditor& editor);
// The "<" buttons beside the virtual-key and scan-code fields.
void InsertVirtualKey(MapEditor& editor);
void InsertScanCode(MapEditor& editor);
// "Character", "Font" and "Kill"/"Edit".
void RunCharacterSelector(MapEditor& editor);
void RunFontCommand(MapEditor& editor);
void RunKillCommand(MapEditor& editor);

}  // namespace tessel
