// The dead-key dialog of the Kill command: the name of the dead-key map (without its "+")
// and the default text played when the next key has no entry there.
#pragma once
#include "form.h"
#include "frontend/dead_key_command.h"

namespace tessel {

// Runs the dialog (class "TKillDialog") over owner, scaled by zoom and filled with texts;
// its hints and its refusal of a name no map may have go to the Info panel of editorForm.
// True on "Accept", with the typed texts in texts; false on "<- Back", Escape or the close
// box, texts unchanged.
bool RunDeadKeyDialog(HWND owner, int zoom, ui::Form& editorForm, DeadKeyDialogTexts& texts);

}  // namespace tessel
