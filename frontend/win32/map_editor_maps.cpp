// The map editor's map menu (MapPop): New, Copy, Delete, Rename, Import and Export.
#include "map_editor.h"

#include "frontend/editor_messages.h"
#include "frontend/map_names.h"
#include "frontend/program_rules_edit.h"
#include "frontend/prompt_layout.h"
#include "info_window.h"
#include "map_file_dialogs.h"
#include "prompt_dialog.h"
#include "programs_dialog.h"
#include "hooklib/program_rules.h"
#include "win32_settings_file.h"

namespace tessel {

struct MapEditor::MapMenuEntry {
  UINT id;
  const char* caption;
  const char* hint;
  void (MapEditor::*run)();
};

const MapEditor::MapMenuEntry MapEditor::kMapMenu[] = {
    {300, "New", "Create an empty map", &MapEditor::NewMap},
    {301, "Copy", "Create a copy of the selected map", &MapEditor::CopyMap},
    {302, "Delete", "Erase the selected map", &MapEditor::DeleteMap},
    {303, "Rename", "Change the name of the selected map", &MapEditor::RenameMap},
    {304, "Import", "Load a map from a file", &MapEditor::ImportMap},
    {305, "Export", "Save the selected map into a file", &MapEditor::ExportMap},
    {306, "Programs...", "Programs that switch to the selected map when they come to the front",
     &MapEditor::EditPrograms},
};

void MapEditor::OpenMapMenu(POINT screen) {
  if (!mapMenu_.Get()) {
    mapMenu_.Reset(CreatePopupMenu());
    for (const MapMenuEntry& entry : kMapMenu) ui::AppendMenuItem(mapMenu_.Get(), entry.id, entry.caption);
  }
  TrackPopupMenu(mapMenu_.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                 Handle(), nullptr);
}

// A right-click on the map list, or the context-menu key there (at the list's corner).
void MapEditor::OnContextMenu(HWND window, UINT x, UINT y) {
  if (window != Item(kMapList)) return;
  POINT point = {static_cast<short>(x), static_cast<short>(y)};
  if (point.x == -1 && point.y == -1) {
    point = {0, 0};
    ClientToScreen(window, &point);
  }
  OpenMapMenu(point);
}

void MapEditor::OnMenuSelect(HMENU menu, int item, HMENU, UINT flags) {
  if (flags == 0xFFFFFFFF && !menu) return;  // the menu closed
  for (const MapMenuEntry& entry : kMapMenu)
    if (static_cast<int>(entry.id) == item) form_.ShowHint(entry.hint);
}

void MapEditor::RunMapMenuEntry(UINT id) {
  for (const MapMenuEntry& entry : kMapMenu)
    if (entry.id == id) return (this->*entry.run)();
}

// The prompt's second button ("Ok", "Yes") lets a command go on.
bool MapEditor::Confirmed(const std::string& description, std::string& answer) {
  return RunPrompt(Handle(), app_.zoom, description, answer) == 2;
}

// Asks until the typed name passes the checks; the prompt comes back with the typed text
// after a failed one. The trimmed name is left in name. False on "<-Back".
bool MapEditor::AskName(const std::string& description, std::string& name, NameUse use) {
  for (;;) {
    if (!Confirmed(description, name)) return false;
    if (const char* problem = NameProblem(Settings(), name, use)) {
      Reject(problem);
      continue;
    }
    name = TrimName(name);
    return true;
  }
}

// "<off>" selected, or an edited map that is "<off>" or not in [MAPS] (after a rebuild the
// list has no selection while the edited name may still be "<off>").
bool MapEditor::EditedMapEditable() {
  if (SelectedMapEntry() == 0 || !IsEditableMap(Settings(), editedMapName_)) {
    Reject(editor_message::kMapNotEditable);
    return false;
  }
  return true;
}

void MapEditor::NewMap() {
  std::string name;
  if (!AskName(kNewMapPrompt, name, NameUse::NewMap)) return;
  if (!Writing([&] { Settings().WriteString(kMapsSection, name, ""); })) return;
  Refresh(MapListRefresh::Rebuild);
}

void MapEditor::CopyMap() {
  if (!EditedMapEditable()) return;
  std::string target = editedMapName_;
  if (!AskName(kCopyMapPrompt, target, NameUse::Target)) return;
  if (!Writing([&] { tessel::CopyMap(Settings(), editedMapName_, Settings(), target); })) return;
  Refresh(MapListRefresh::Rebuild);  // the edited map may have been the target
}

void MapEditor::DeleteMap() {
  std::string name;
  const int selected = SelectedMapEntry(&name);
  // After a rebuild nothing is selected: never act on an entry that was selected before.
  if (selected < 0) return Reject(editor_message::kNoMapSelected);
  if (selected == 0 || !IsEditableMap(Settings(), name)) return Reject(editor_message::kMapNotEditable);
  std::string answer(kNoAnswerField);
  if (!Confirmed(DeletePrompt(name), answer)) return;
  if (!Writing([&] { tessel::DeleteMap(Settings(), name); })) return;
  editedMapName_ = kOffMapName;
  Refresh(MapListRefresh::RebuildSelectingEdited);
}

void MapEditor::RenameMap() {
  if (!EditedMapEditable()) return;
  const std::string oldName = editedMapName_;
  std::string newName = oldName;
  if (!AskName(RenamePrompt(oldName), newName, NameUse::NewMap)) return;
  if (!Writing([&] { tessel::RenameMap(Settings(), oldName, newName); })) return;
  // The old section is gone: from now on the editor works on the new name.
  editedMapName_ = newName;
  Refresh(MapListRefresh::Rebuild);
}

void MapEditor::ImportMap() {
  std::string path;
  if (!ChooseFileToImport(Handle(), path)) return;
  Win32SettingsFile mapFile(path);
  std::string source = MapChoices(mapFile);
  if (source.empty()) ShowInformation(GetModuleHandleA(nullptr), kNoMapListMessage, kNoMapListDuration);
  if (!Confirmed(kImportChoicePrompt, source)) return;
  if (mapFile.ReadSection(source).empty()) {
    ShowInformation(GetModuleHandleA(nullptr), kNoSuchMapMessage, kNoSuchMapDuration);
    return;
  }
  std::string target = source;
  if (!AskName(kImportNamePrompt, target, NameUse::Target)) return;
  if (!Writing([&] {
        tessel::CopyMap(mapFile, source, Settings(), target);
        CopyProgramRules(mapFile, source, Settings(), target);
      }))
    return;
  Refresh(MapListRefresh::Rebuild);  // the edited map may have been the target
}

void MapEditor::ExportMap() {
  if (!EditedMapEditable()) return;
  std::string path;
  if (!ChooseFileToExport(Handle(), path)) return;
  std::string target = editedMapName_;
  if (!AskName(ExportPrompt(editedMapName_), target, NameUse::Target)) return;
  Win32SettingsFile mapFile(path);
  Writing([&] {
    tessel::CopyMap(Settings(), editedMapName_, mapFile, target);
    mapFile.WriteString(kMapsSection, target, "");
    CopyProgramRules(Settings(), editedMapName_, mapFile, target);
  });
}

// The programs of the selected map ("<off>" included: programs with no mapping).
void MapEditor::EditPrograms() {
  std::string map;
  const int selected = SelectedMapEntry(&map);
  if (selected < 0) return Reject(editor_message::kNoMapSelected);
  if (selected > 0 && !IsEditableMap(Settings(), map)) return Reject(editor_message::kMapNotEditable);
  std::vector<ProfileEntry> programs = Settings().ReadSection(kProgramsSection);
  std::string list;
  for (const std::string& program : ProgramsOfMap(programs, map)) list += program + "\r\n";
  const std::string ignored = IgnoredRulesText(programs, Settings().ReadKeys(kMapsSection));
  const std::function<std::string(const std::string&)> accept = [&](const std::string& typed) {
    std::string refused;
    if (!EditedPrograms(programs, map, typed, refused))
      return "Not a program's file name: " + refused + " (no \\ / or :)";
    if (!Writing([&] { Settings().WriteSection(kProgramsSection, programs); }))
      programs = Settings().ReadSection(kProgramsSection);
    return std::string();
  };
  RunProgramsDialog(Handle(), app_.zoom, form_, map, list, ignored, accept);
}

}  // namespace tessel
