// The map editor (class "TMapeditor"): maps, key assignments, selectors and dead keys,
// written to the settings file at once. It keeps no model of the maps: what it shows is
// read from the file by Refresh, which every command calls after it changed the file or
// the selection.
//
// Where things happen: the controls and their handlers are listed in map_editor.cpp
// (kControls, then OnCommand); the map menu's commands are in map_editor_maps.cpp
// (kMapMenu), the replacement-text tools in map_editor_text.cpp.
#pragma once
#include "form.h"
#include "front_end.h"
#include "frontend/editor_commands.h"
#include "frontend/hook_handover.h"
#include "frontend/map_management.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tessel {

struct KeyMessage;

// Runs the editor modally over owner. editedMapName is the map shown first and, when the
// editor closes, the map the user worked on last ("<off>" when none). While another
// application is active the editor holds the hook through holder.
void RunMapEditor(HWND owner, FrontEnd& app, const HookHolder& holder, std::string& editedMapName);

class MapEditor : public ui::Window {
 public:
  MapEditor(FrontEnd& app, const HookHolder& holder, std::string& editedMapName)
      : app_(app), holder_(holder), editedMapName_(editedMapName) {}
  void Run(HWND owner) { RunModal(owner, "TMapeditor"); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The controls, each with its caption or role. Tests and other programs find them by
  // these numbers.
  enum Control : int {
    kMapList = 200,              // MapList: "<off>", the maps, the "+" maps
    kSelectorView = 201,         // SelectorView: the edited map's selector
    kAssignmentList = 202,       // AssignmentList: selectors, dead keys, assignments
    kFontButton = 203,           // "Font"
    kHelpButton = 204,           // "Help"
    kShiftBox = 205,             // "S"
    kControlBox = 206,           // "C"
    kAltBox = 207,               // "A"
    kSelChar = 208,              // "Character"
    kKeyBox = 209,               // KeyBox: the key capture field
    kReplacementTextBox = 210,   // the one-line replacement text
    kMakeSelectorButton = 211,   // "Make Selector"
    kAddButton = 212,            // "Store"
    kRemoveButton = 213,         // "Remove"
    kKillButton = 214,           // "Kill" / "Edit"
    kMoreButton = 215,           // ">>" / "<<"
    kMacroBox = 216,             // MacroBox: the multi-line replacement text (large state)
    kLangList = 217,             // LangList: commands and key names
    kInsertVKButton = 218,       // "<" beside the virtual-key field
    kVKeyBox = 219,              // VKeyBox: virtual-key capture field
    kInsertScanButton = 220,     // "<" beside the scan-code field
    kScanCodeBox = 221,          // ScanCodeBox: scan-code capture field
    kCloseButton = 222,          // "Close", on the Info panel
    kLabelMaps = 250,            // "Maps"
    kLabelSelector,              // "Selector"
    kLabelAssignments,           // "Key Assignments"
    kLabelKey,                   // "Key"
    kLabelShift,                 // "S"
    kLabelControl,               // "C"
    kLabelAlt,                   // "A"
    kLabelReplacement,           // "Replacement text"
    kLabelCommands,              // "Commands"
    kLabelVirtualKey,            // "Virtual Key"
    kLabelScanCode,              // "Scan Code"
  };
  // What Refresh does with the map list.
  enum class MapListRefresh { Keep, Rebuild, RebuildSelectingEdited };
  struct MapMenuEntry;
  static const ui::ControlSpec kControls[];
  static const MapMenuEntry kMapMenu[];

  // map_editor.cpp: the window, the lists and keys, Store, Remove, Make Selector.
  BOOL OnInitDialog(HWND focus, LPARAM);
  void OnCommand(int id, HWND control, UINT code);
  void OnMeasureItem(MEASUREITEMSTRUCT* item);
  void OnDrawItem(const DRAWITEMSTRUCT* item);
  void OnContextMenu(HWND window, UINT x, UINT y);
  void OnMenuSelect(HMENU menu, int item, HMENU popup, UINT flags);
  void OnActivateApp(BOOL active, DWORD thread);
  BOOL OnHelp(LPHELPINFO info);
  void OnClose();
  void OnDpiChanged(UINT dpi, const RECT* suggested);
  void Refresh(MapListRefresh mapList = MapListRefresh::Keep);
  void RebuildMapList(const std::vector<std::string>& mapNames);
  void ShowReplacementField();
  void ClickMap();
  void ClickRow();
  void ChooseKey(uint8_t keyCode, uint8_t stateByte);
  void StateBoxClicked(int id);
  void KeyBoxKeyDown(const KeyMessage& key);
  void VirtualKeyBoxKeyDown(const KeyMessage& key);
  void ScanCodeBoxKeyDown(const KeyMessage& key);
  void Store();
  void Remove();
  void MakeSelector();
  void SetLarge(bool large);
  void ToggleLarge();
  void PlaceWindow();
  void Finish();
  void Reject(const char* message);
  // Runs a command's writes; a failed write, or a map copy that did not arrive whole, is
  // shown in the standard error box and ends the command: false then.
  bool Writing(const std::function<void()>& writes);
  // Store, Remove and Make Selector: the command on the editor's situation, its refusal
  // told, then the views refreshed (after a refusal only when refusedToo).
  void RunKeyCommand(const char* (*command)(Profile&, const EditorSituation&), bool refusedToo);
  EditorSituation Situation() const;
  // Index of the selected map-list entry (0 is "<off>"), -1 when none; its text in name.
  int SelectedMapEntry(std::string* name = nullptr) const;
  std::string KeyName(uint8_t keyCode);
  HWND Item(int id) const { return form_.Item(id); }
  Profile& Settings() { return app_.settings; }

  // map_editor_maps.cpp: the map menu.
  void OpenMapMenu(POINT screen);
  void RunMapMenuEntry(UINT id);
  void NewMap();
  void CopyMap();
  void DeleteMap();
  void RenameMap();
  void ImportMap();
  void ExportMap();
  void EditPrograms();
  bool AskName(const std::string& description, std::string& name, NameUse use);
  bool Confirmed(const std::string& description, std::string& answer);
  bool EditedMapEditable();

  // map_editor_text.cpp: the two replacement-text fields, the command list, the inserts,
  // the character selector, the display font and Kill.
  void ConnectTextFields();
  void ReplacementTextChanged();
  void MacroBoxChanged();
  void FillCommandList();
  void InsertCommand();
  void InsertReference(const std::string& reference);
  void InsertCharacter();
  void ChooseFont();
  void BuildDisplayFonts();
  void Kill();
  static LRESULT CALLBACK MacroBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data);
  static LRESULT CALLBACK MapListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data);

  FrontEnd& app_;
  const HookHolder& holder_;
  std::string& editedMapName_;  // shared with the button window, which reads it back
  ui::Form form_;
  uint8_t keyCode_ = 0;          // chosen key: scan code + 128 when extended; 0 = none yet
  uint8_t stateByte_ = 0x80;     // Shift 1, Control 2, Alt 4, bit 7 always set
  ui::FontHolder displayFont_;       // DisplayFont, height -14 * zoom / 100
  ui::FontHolder largeDisplayFont_;  // the same face, height -18 * zoom / 100
  POINT lastMapListMouse_ = {0, 0};  // client coordinates, for the map menu on a double-click
  ui::MenuHolder mapMenu_;           // MapPop
  bool large_ = false;               // large state: MacroBox and the key tools shown
  bool activationHandlers_ = false;  // the hook follows the active application
  bool editorHoldsHook_ = false;     // the editor installed the hook (and takes it back)
  bool syncingText_ = false;         // one text field is setting the other
  std::string keyNames_[256];        // KeyCodeName, asked once per key code
  bool keyNameKnown_[256] = {};
};

}  // namespace tessel
