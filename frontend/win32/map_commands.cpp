#include "map_commands.h"

#include "frontend/editor_messages.h"
#include "frontend/map_management.h"
#include "frontend/map_names.h"
#include "frontend/prompt_layout.h"
#include "info_window.h"
#include "map_file_dialogs.h"
#include "prompt_dialog.h"
#include "win32_profile.h"

namespace tessel {
namespace {

constexpr const char* kOff = "<off>";

// The prompt's second button ("Ok", "Yes") lets a command go on.
bool Confirmed(MapEditor& editor, const std::string& description, std::string& answer) {
  return RunPrompt(editor.Window(), editor.app.zoom, description, answer) == 2;
}

// Asks until the typed name passes the checks; the prompt comes back with the typed text
// after a failed one. The trimmed name is left in name. False on "<-Back".
bool AskName(MapEditor& editor, const std::string& description, std::string& name, NameUse use) {
  for (;;) {
    if (!Confirmed(editor, description, name)) return false;
    if (const char* problem = NameProblem(editor.Settings(), name, use)) {
      editor.Reject(problem);
      continue;
    }
    name = TrimName(name);
    return true;
  }
}

// "<off>" selected, or an edited map that is "<off>" or not in [MAPS] (after a rebuild the
// list has no selection while the edited name may still be "<off>").
bool Editable(MapEditor& editor, int selected, const std::string& name) {
  if (selected == 0 || NameInList(name, {kOff}) || !MapExists(editor.Settings(), name)) {
    editor.Reject(editor_message::kMapNotEditable);
    return false;
  }
  return true;
}

bool EditedMapEditable(MapEditor& editor) {
  return Editable(editor, editor.SelectedMapEntry(), editor.editedMapName);
}

// Writes through Writing() (a failed write shows "Unable to write to <file>"); a copy that
// did not arrive whole is shown the same way. False when the command must stop.
template <typename Command>
bool Write(MapEditor& editor, Command command) {
  try {
    return editor.Writing(command);
  } catch (const MapCopyError& error) {
    ui::ShowError(editor.Window(), error.what());
    return false;
  }
}

void NewMap(MapEditor& editor) {
  std::string name;
  if (!AskName(editor, kNewMapPrompt, name, NameUse::NewMap)) return;
  if (!Write(editor, [&] { editor.Settings().WriteString("MAPS", name, ""); })) return;
  editor.RebuildMapList();
}

void CopyEditedMap(MapEditor& editor) {
  if (!EditedMapEditable(editor)) return;
  std::string target = editor.editedMapName;
  if (!AskName(editor, kCopyMapPrompt, target, NameUse::Target)) return;
  Profile& settings = editor.Settings();
  if (!Write(editor, [&] { CopyMap(settings, editor.editedMapName, settings, target); })) return;
  editor.RebuildMapList();
  editor.RefreshViews();  // the edited map may have been the target
}

void DeleteSelectedMap(MapEditor& editor) {
  std::string name;
  const int selected = editor.SelectedMapEntry(&name);
  // After a rebuild nothing is selected: never act on an entry that was selected before.
  if (selected < 0) {
    editor.Reject(editor_message::kNoMapSelected);
    return;
  }
  if (!Editable(editor, selected, name)) return;
  std::string answer(kNoAnswerField);
  if (!Confirmed(editor, DeletePrompt(name), answer)) return;
  if (!Write(editor, [&] { DeleteMap(editor.Settings(), name); })) return;
  editor.RebuildMapList();
  editor.ClickMapEntry(0);
}

void RenameEditedMap(MapEditor& editor) {
  if (!EditedMapEditable(editor)) return;
  const std::string oldName = editor.editedMapName;
  std::string newName = oldName;
  if (!AskName(editor, RenamePrompt(oldName), newName, NameUse::NewMap)) return;
  if (!Write(editor, [&] { RenameMap(editor.Settings(), oldName, newName); })) return;
  // The old section is gone: from now on the editor works on the new name.
  editor.editedMapName = newName;
  editor.RebuildMapList();
  editor.RefreshViews();
}

void Inform(const char* text, int duration) {
  ShowInformation(GetModuleHandleA(nullptr), text, duration);
}

void ImportMap(MapEditor& editor) {
  std::string path;
  if (!ChooseFileToImport(editor.Window(), path)) return;
  Win32Profile mapFile(path);
  std::string source = MapChoices(mapFile);
  if (source.empty()) Inform(kNoMapListMessage, kNoMapListDuration);
  if (!Confirmed(editor, kImportChoicePrompt, source)) return;
  if (mapFile.ReadSection(source).empty()) {
    Inform(kNoSuchMapMessage, kNoSuchMapDuration);
    return;
  }
  std::string target = source;
  if (!AskName(editor, kImportNamePrompt, target, NameUse::Target)) return;
  if (!Write(editor, [&] { CopyMap(mapFile, source, editor.Settings(), target); })) return;
  editor.RebuildMapList();
  editor.RefreshViews();  // the edited map may have been the target
}

void ExportEditedMap(MapEditor& editor) {
  if (!EditedMapEditable(editor)) return;
  std::string path;
  if (!ChooseFileToExport(editor.Window(), path)) return;
  std::string target = editor.editedMapName;
  if (!AskName(editor, ExportPrompt(editor.editedMapName), target, NameUse::Target)) return;
  Win32Profile mapFile(path);
  Write(editor, [&] {
    CopyMap(editor.Settings(), editor.editedMapName, mapFile, target);
    mapFile.WriteString("MAPS", target, "");
  });
}

}  // namespace

void RunMapCommand(MapEditor& editor, MapCommand command) {
  switch (command) {
    case MapCommand::New:
      return NewMap(editor);
    case MapCommand::Copy:
      return CopyEditedMap(editor);
    case MapCommand::Delete:
      return DeleteSelectedMap(editor);
    case MapCommand::Rename:
      return RenameEditedMap(editor);
    case MapCommand::Import:
      return ImportMap(editor);
    case MapCommand::Export:
      return ExportEditedMap(editor);
  }
}

}  // namespace tessel
