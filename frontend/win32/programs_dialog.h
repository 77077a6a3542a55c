// The dialog of the map menu's "Programs...": the programs that switch to a map when they
// come to the front, one file name a line, and the rules of [Programs] that are ignored.
#pragma once
#include "form.h"

#include <functional>
#include <string>

namespace tessel {

// Runs the dialog (class "TPrograms") over owner. programs holds the map's programs, one a
// line; on "Accept" the typed list is given to accept, which returns nullptr to close the
// dialog or a refusal to show in editorForm's Info panel (the dialog then stays). True when
// the dialog was accepted.
bool RunProgramsDialog(HWND owner, int zoom, ui::Form& editorForm, const std::string& mapName,
                       const std::string& programs, const std::string& ignoredRules,
                       const std::function<std::string(const std::string&)>& accept);

}  // namespace tessel
