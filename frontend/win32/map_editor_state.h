// The map editor's state, shared by the editor window and the commands that act on it
// (map management, dead keys, the replacement-text tools). The editor keeps no model of
// the maps: every view is read from the settings file when it is shown.
#pragma once
#include "form.h"
#include "front_end.h"
#include "frontend/editor_commands.h"

#include <cstdint>
#include <string>

namespace tessel {

enum EditorControl : int {
  kMapList = 200,
  kSelectorView,
  kAssignmentList,
  kFontButton,
  kHelpButton,
  kShiftBox,
  kControlBox,
  kAltBox,
  kSelChar,
  kKeyBox,
  kReplacementTextBox,
  kMakeSelectorButton,
  kAddButton,
  kRemoveButton,
  kKillButton,
  kMoreButton,
  kMacroBox,
  kLangList,
  kInsertVKButton,
  kVKeyBox,
  kInsertScanButton,
  kScanCodeBox,
  kCloseButton,
  kFirstEditorLabel = 250,  // labels take the ids from here on
};

struct MapEditor {
  MapEditor(FrontEnd& frontEnd, std::string& edited) : app(frontEnd), editedMapName(edited) {}

  FrontEnd& app;
  std::string& editedMapName;  // the map the editor works on, read back by the button window
  ui::Form form;
  uint8_t keyCode = 0;         // chosen key: scan code + 128 when extended; 0 = none yet
  uint8_t stateByte = 0x80;    // Shift 1, Control 2, Alt 4, bit 7 always set
  ui::FontHolder displayFont;       // DisplayFont, height -14 * zoom / 100
  ui::FontHolder largeDisplayFont;  // the same face, height -18 * zoom / 100
  POINT lastMapListMouse = {0, 0};  // client coordinates, for the map menu on a double-click

  HWND Window() const { return form.Window(); }
  HWND Item(int id) const { return form.Item(id); }
  Profile& Settings() { return app.settings; }

  // A failed check: the message in the Info panel and the default beep.
  void Reject(const char* message);
  // The map list anew from the file: "<off>", the maps, the "+" maps; nothing selected.
  void RebuildMapList();
  // Index of the selected map-list entry (0 is "<off>"), -1 when none; its text in name.
  int SelectedMapEntry(std::string* name = nullptr) const;
  // Selects entry index and acts as a click on it (edited map name, views refreshed).
  void ClickMapEntry(int index);
  // After stored data changed: selector view, assignment list and replacement field.
  void RefreshViews();
  void RebuildAssignmentList();
  void RefreshReplacementField();
  // Both display fonts anew from DisplayFont and DisplayFontCSet.
  void BuildDisplayFonts();
  // Runs part of a command that writes the settings file. A failed write is shown in the
  // standard error box and ends the command: false then.
  template <typename Command>
  bool Writing(Command command) {
    try {
      command();
      return true;
    } catch (const ProfileWriteError& error) {
      ui::ShowError(Window(), error.what());
      return false;
    }
  }

  // --- Added by the editor window (map_editor.cpp) ---
  HMENU mapMenu = nullptr;          // MapPop
  bool large = false;               // large state: MacroBox and the key tools shown
  bool activationHandlers = false;  // hook on while another application is active
  bool hookInstalled = false;       // the editor installed the hook (and takes it back)
  std::string keyNames[256];        // KeyCodeName, asked once per key code
  bool keyNameKnown[256] = {};

  // The system's name of a key code ("?" and the number when it has none).
  std::string KeyName(uint8_t keyCode);
  // What Store, Remove, Make Selector and Kill check: the map list, the chosen key and
  // the one-line replacement field's text. Give it to CheckKill and the like.
  EditorSituation Situation() const;
  // The selector view from the file.
  void ShowSelectorView();
  // Selects the assignment row of the chosen key (none when it has no row).
  void SelectChosenRow();
  // The Shift, Control and Alt boxes from the state byte.
  void ShowStateBoxes();
};

}  // namespace tessel
