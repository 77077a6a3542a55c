// The map editor's file dialogs for map import and export.
#pragma once
#include <windows.h>

#include <string>

namespace tessel {

// The open dialog of Import; a name that does not exist may be typed. False when cancelled.
bool ChooseFileToImport(HWND owner, std::string& path);
// The save dialog of Export; an existing file is chosen without a question (the map is
// merged into it). False when cancelled.
bool ChooseFileToExport(HWND owner, std::string& path);

}  // namespace tessel
