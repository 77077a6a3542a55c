#include "map_editor.h"

#include "assignment_list.h"
#include "common/keys.h"
#include "frontend/assignment_rows.h"
#include "frontend/editor_commands.h"
#include "frontend/editor_layout.h"
#include "frontend/key_capture_rules.h"
#include "help.h"
#include "key_capture.h"
#include "key_display.h"
#include "map_commands.h"
#include "map_editor_state.h"
#include "tesshook32.h"
#include "text_tools.h"

#include <commctrl.h>
#include <windowsx.h>

#include <exception>
#include <string>
#include <vector>

namespace tessel {
namespace {

constexpr const char* kSettingsSection = "TESSEL32";
constexpr int kDisplayFontHeight = -14;
constexpr int kLargeDisplayFontHeight = -18;
constexpr int kRowHeight = 16;
constexpr int kMapListItemHeight = 13;
constexpr int kCloseButtonLeft = 397, kCloseButtonTop = 2;  // inside the Info panel
constexpr UINT_PTR kMapListSubclass = 0x4D4C;               // "ML"

enum Label : int {
  kLabelMaps = kFirstEditorLabel,
  kLabelSelector,
  kLabelAssignments,
  kLabelKey,
  kLabelShift,
  kLabelControl,
  kLabelAlt,
  kLabelReplacement,
  kLabelCommands,
  kLabelVirtualKey,
  kLabelScanCode,
};

enum MenuEntry : UINT {
  kMenuNew = 300,
  kMenuCopy,
  kMenuDelete,
  kMenuRename,
  kMenuImport,
  kMenuExport
};

struct MenuSpec {
  MenuEntry id;
  const char* caption;
  const char* hint;
  MapCommand command;
};
const MenuSpec kMapMenu[] = {
    {kMenuNew, "New", "Create an empty map", MapCommand::New},
    {kMenuCopy, "Copy", "Create a copy of the selected map", MapCommand::Copy},
    {kMenuDelete, "Delete", "Erase the selected map map", MapCommand::Delete},
    {kMenuRename, "Rename", "Change the name of the selected map", MapCommand::Rename},
    {kMenuImport, "Import", "Load a map from a file", MapCommand::Import},
    {kMenuExport, "Export", "Save the selected map into a file", MapCommand::Export},
};

constexpr const char* kShowMoreHint = "Show replacement text editor";
constexpr const char* kHideMoreHint = "Hide replacement text editor";

const ui::FormSpec kForm = {"Tessel+ : Map editor", kEditorClientWidth, kEditorSmallHeight,
                            "Move around to see help", kEditorInfoHeight};

constexpr DWORD kTab = WS_TABSTOP;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kClientEdge = WS_EX_CLIENTEDGE;

// Tab order is table order. CloseButton lies on the Info panel: its top follows the
// window's height (SetLarge).
const ui::ControlSpec kControls[] = {
    {kLabelMaps, "STATIC", 0, 8, 4, 0, 0, "Maps",
     "List of existing maps, <off> is representing the original layout"},
    {kMapList, "LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | kTab, 8, 24, 113, 121,
     nullptr, "Click to select a map; double-click or right-click to manage maps", kClientEdge},
    {kLabelSelector, "STATIC", 0, 8, 146, 0, 0, "Selector", nullptr},
    {kSelectorView, "STATIC", SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX | SS_NOTIFY, 8,
     160, 113, 25, "", "Hotkey for the selected map"},
    {kLabelAssignments, "STATIC", 0, 128, 4, 0, 0, "Key Assignments",
     "List of mapped keystrokes and their result"},
    {kAssignmentList, "LISTBOX",
     LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
         WS_VSCROLL | kTab,
     128, 24, 305, 89, nullptr, "Select an assignment to modify or remove", kClientEdge},
    {kFontButton, "BUTTON", BS_PUSHBUTTON, 294, 2, 56, 19, "Font",
     "Change display font for editing maps (has no effect outside the editor)"},
    {kHelpButton, "BUTTON", kButton, 352, 2, 56, 19, "Help",
     "Online help and background information"},
    {kLabelKey, "STATIC", 0, 128, 120, 0, 0, "Key",
     "A key on keyboard (considering the physical position)"},
    {kLabelShift, "STATIC", 0, 155, 120, 0, 0, "S", nullptr},
    {kLabelControl, "STATIC", 0, 179, 120, 0, 0, "C", nullptr},
    {kLabelAlt, "STATIC", 0, 203, 120, 0, 0, "A", nullptr},
    {kShiftBox, "BUTTON", BS_AUTOCHECKBOX, 164, 118, 15, 17, "", "Shift was pressed with the key"},
    {kControlBox, "BUTTON", BS_AUTOCHECKBOX | kTab, 188, 118, 15, 17, "",
     "Control was pressed with the key"},
    {kAltBox, "BUTTON", BS_AUTOCHECKBOX | kTab, 212, 118, 15, 17, "",
     "Alt was pressed with the key"},
    {kLabelReplacement, "STATIC", 0, 232, 120, 0, 0, "Replacement text",
     "The text or macro as a result of the keystroke"},
    {kSelChar, "BUTTON", kButton, 368, 116, 65, 19, "Character",
     "Select and insert a character into the replacement text"},
    {kKeyBox, "EDIT", kEdit, 128, 138, 97, 21, "", "Enter a key combination for re-mapping",
     kClientEdge},
    {kReplacementTextBox, "EDIT", kEdit, 232, 138, 201, 21, "",
     "Edit the result of the \"key\", this will be sent to your applications", kClientEdge},
    {kMakeSelectorButton, "BUTTON", kButton, 128, 166, 97, 19, "Make Selector",
     "Make key the hotkey of the selected map"},
    {kAddButton, "BUTTON", kButton, 232, 166, 48, 19, "Store",
     "Store the new or modified key assignment"},
    {kRemoveButton, "BUTTON", kButton, 280, 166, 56, 19, "Remove",
     "Remove key assignment or selector from the map"},
    {kKillButton, "BUTTON", kButton, 336, 166, 49, 19, "Kill",
     "Create or modify \"deadkey\" (like ^ in  ^+o = \xF4)"},
    {kMoreButton, "BUTTON", kButton, 392, 166, 41, 19, ">>", kShowMoreHint},
    {kMacroBox, "EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | kTab, 8, 196,
     337, 105, "", "Edit replacement text; see help for  macro languge reference", kClientEdge},
    {kLabelCommands, "STATIC", 0, 352, 192, 0, 0, "Commands",
     "List of macro commands and virtual key names"},
    {kLangList, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | kTab, 352, 208, 83, 200, nullptr,
     "Select a command or a keyname to insert"},
    {kLabelVirtualKey, "STATIC", 0, 352, 230, 0, 0, "Virtual Key",
     "Language dependent name or code of a key"},
    {kInsertVKButton, "BUTTON", kButton, 352, 244, 17, 17, "<",
     "Insert selected virtual key to editor"},
    {kVKeyBox, "EDIT", kEdit, 370, 244, 65, 21, "", "Press a key to see virtual key name or code",
     kClientEdge},
    {kLabelScanCode, "STATIC", 0, 352, 266, 0, 0, "Scan Code",
     "Physical position of the key on the keyboard (+128 if \"extended key\")"},
    {kInsertScanButton, "BUTTON", kButton, 352, 280, 17, 17, "<",
     "Insert selected scan code to editor"},
    {kScanCodeBox, "EDIT", kEdit, 370, 280, 65, 21, "", "Press a key to see scan code",
     kClientEdge},
    {kCloseButton, "BUTTON", kButton, kCloseButtonLeft,
     kEditorSmallHeight - kEditorInfoHeight + kCloseButtonTop, 41, 17, "Close",
     "Finish editing session"},
};

// Shown only in the large state.
const int kLargeStateControls[] = {kMacroBox,        kLabelCommands,    kLangList,
                                   kLabelVirtualKey, kInsertVKButton,   kVKeyBox,
                                   kLabelScanCode,   kInsertScanButton, kScanCodeBox};

MapEditor* StateOf(HWND dialog) {
  return reinterpret_cast<MapEditor*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

std::string ListText(HWND list, int index) {
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

// Reports what escapes a handler instead of letting it unwind through the system.
template <typename Body>
void Guarded(MapEditor& editor, Body body) {
  try {
    body();
  } catch (const std::exception& error) {
    ui::ShowError(editor.Window(), error.what());
  }
}

// --- Map list -------------------------------------------------------------------------

void FillMapList(MapEditor& editor, const std::vector<std::string>& names) {
  HWND list = editor.Item(kMapList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kOffMapName));
  for (bool deadKeyMaps : {false, true})
    for (const std::string& name : names)
      if ((name[0] == '+') == deadKeyMaps)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

LRESULT CALLBACK MapListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
  if (message == WM_MOUSEMOVE || message == WM_LBUTTONDBLCLK)
    reinterpret_cast<MapEditor*>(data)->lastMapListMouse = {GET_X_LPARAM(lParam),
                                                            GET_Y_LPARAM(lParam)};
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, MapListProcedure, kMapListSubclass);
  return DefSubclassProc(list, message, wParam, lParam);
}

void OpenMapMenu(MapEditor& editor, POINT screen) {
  TrackPopupMenu(editor.mapMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y,
                 0, editor.Window(), nullptr);
}

void OnMapListDoubleClick(MapEditor& editor) {
  POINT point = editor.lastMapListMouse;
  ClientToScreen(editor.Item(kMapList), &point);
  OpenMapMenu(editor, point);
}

bool OnContextMenu(MapEditor& editor, HWND window, LPARAM lParam) {
  if (window != editor.Item(kMapList)) return false;
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (point.x == -1 && point.y == -1) {  // from the keyboard: at the list's corner
    point = {0, 0};
    ClientToScreen(window, &point);
  }
  OpenMapMenu(editor, point);
  return true;
}

void OnMenuSelect(MapEditor& editor, UINT id, UINT flags, HMENU menu) {
  if (flags == 0xFFFF && !menu) return;  // the menu closed
  for (const MenuSpec& entry : kMapMenu)
    if (entry.id == id) editor.form.ShowHint(entry.hint);
}

void OnMapListChange(MapEditor& editor) {
  const int index = editor.SelectedMapEntry();
  if (index >= 0) editor.ClickMapEntry(index);
}

// --- Assignment list and key ------------------------------------------------------------

void FillRows(MapEditor& editor, const std::vector<ProfileEntry>& selectors,
              const std::vector<std::string>& mapNames) {
  const std::vector<AssignmentRow> rows =
      BuildAssignmentRows(selectors, editor.Settings().ReadSection(editor.editedMapName), mapNames,
                          [&editor](uint8_t keyCode) { return editor.KeyName(keyCode); });
  FillAssignmentList(editor.Item(kAssignmentList), rows);
  editor.SelectChosenRow();
}

void ShowSelector(MapEditor& editor, const std::vector<ProfileEntry>& selectors) {
  const std::string text =
      SelectorViewText(selectors, editor.editedMapName,
                       [&editor](uint8_t keyCode) { return editor.KeyName(keyCode); });
  SetWindowTextA(editor.Item(kSelectorView), text.c_str());
}

void ChooseKey(MapEditor& editor, uint8_t keyCode, uint8_t stateByte) {
  editor.keyCode = keyCode;
  editor.stateByte = stateByte;
  editor.ShowStateBoxes();
  SetWindowTextA(editor.Item(kKeyBox), editor.KeyName(keyCode).c_str());
}

void OnAssignmentClick(MapEditor& editor) {
  HWND list = editor.Item(kAssignmentList);
  uint8_t keyCode = 0, stateByte = 0;
  if (!RowKeyAt(list, static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)), keyCode, stateByte))
    return;
  ChooseKey(editor, keyCode, stateByte);
  editor.RefreshReplacementField();
}

void OnKeyBoxKeyDown(MapEditor& editor, const KeyMessage& key) {
  ModifierKeys modifiers;
  modifiers.shiftDown = GetKeyState(VK_SHIFT) < 0;
  modifiers.capsLockOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
  modifiers.controlDown = GetKeyState(VK_CONTROL) < 0;
  const std::optional<ChosenKey> chosen = CaptureKey(static_cast<unsigned>(key.virtualKey),
                                                     static_cast<uint32_t>(key.keyData), modifiers);
  if (!chosen) return;
  ChooseKey(editor, chosen->keyCode, chosen->stateByte);
  editor.RefreshReplacementField();
  editor.SelectChosenRow();
}

void OnVirtualKeyBoxKeyDown(MapEditor& editor, const KeyMessage& key) {
  if (const std::optional<std::string> text =
          VirtualKeyFieldText(static_cast<unsigned>(key.virtualKey)))
    SetWindowTextA(editor.Item(kVKeyBox), text->c_str());
}

void OnScanCodeBoxKeyDown(MapEditor& editor, const KeyMessage& key) {
  SetWindowTextA(editor.Item(kScanCodeBox),
                 ScanCodeFieldText(static_cast<uint32_t>(key.keyData)).c_str());
}

void OnStateBox(MapEditor& editor, int id) {
  HWND box = editor.Item(id);
  // Only the user's click counts: the box then has the focus.
  if (GetFocus() != box) return editor.ShowStateBoxes();
  const uint8_t tag = id == kShiftBox ? kStateShift : id == kControlBox ? kStateControl : kStateAlt;
  editor.stateByte =
      StateByteAfterBox(editor.stateByte, tag, SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
  editor.RefreshReplacementField();
  editor.SelectChosenRow();
}

// --- Commands ---------------------------------------------------------------------------

void OnStore(MapEditor& editor) {
  const char* refused = nullptr;
  if (!editor.Writing([&] { refused = StoreAssignment(editor.Settings(), editor.Situation()); }))
    return;
  if (refused) return editor.Reject(refused);
  editor.RebuildAssignmentList();
  editor.RefreshReplacementField();
}

void OnRemove(MapEditor& editor) {
  const char* refused = nullptr;
  if (!editor.Writing([&] { refused = RemoveAssignment(editor.Settings(), editor.Situation()); }))
    return;
  if (refused) return editor.Reject(refused);
  editor.RefreshViews();
}

void OnMakeSelector(MapEditor& editor) {
  const char* refused = nullptr;
  if (!editor.Writing([&] { refused = MakeSelector(editor.Settings(), editor.Situation()); }))
    return;
  if (refused) {
    editor.Reject(refused);
  } else {
    editor.ShowSelectorView();
    editor.RebuildAssignmentList();
  }
  // Also after a refusal: typing not stored is discarded.
  editor.RefreshReplacementField();
}

// --- Window -----------------------------------------------------------------------------

void SetLarge(MapEditor& editor, bool large) {
  editor.large = large;
  const int height = large ? kEditorLargeHeight : kEditorSmallHeight;
  editor.form.SetClientHeight(height);
  const int closeTop = height - kEditorInfoHeight + kCloseButtonTop;
  // The z-order is the tab order: the button keeps its place in it.
  SetWindowPos(editor.Item(kCloseButton), nullptr, editor.form.Scale(kCloseButtonLeft),
               editor.form.Scale(closeTop), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int id : kLargeStateControls) ShowWindow(editor.Item(id), large ? SW_SHOWNA : SW_HIDE);
  SetWindowTextA(editor.Item(kMoreButton), large ? "<<" : ">>");
  editor.form.SetHint(kMoreButton, large ? kHideMoreHint : kShowMoreHint);
}

void OnMore(MapEditor& editor) {
  RECT client;
  GetClientRect(editor.Window(), &client);
  SetLarge(editor, client.bottom == editor.form.Scale(kEditorSmallHeight));
}

void PlaceWindow(MapEditor& editor) {
  Profile& settings = editor.Settings();
  const int top = settings.ReadInteger(kSettingsSection, "EditorTop", kEditorDefaultTop);
  const int left = settings.ReadInteger(kSettingsSection, "EditorLeft", kEditorDefaultLeft);
  RECT rect;
  GetWindowRect(editor.Window(), &rect);
  if (EditorOpensCentred(top, left, rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN))) {
    editor.form.CentreOnScreen();
  } else {
    SetWindowPos(editor.Window(), nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void AttachCaptureFields(MapEditor& editor) {
  MapEditor* e = &editor;
  MakeKeyCaptureField(editor.Item(kKeyBox), [e](HWND, KeyMessage& key) {
    Guarded(*e, [&] { OnKeyBoxKeyDown(*e, key); });
  });
  MakeKeyCaptureField(editor.Item(kVKeyBox), [e](HWND, KeyMessage& key) {
    Guarded(*e, [&] { OnVirtualKeyBoxKeyDown(*e, key); });
  });
  MakeKeyCaptureField(editor.Item(kScanCodeBox), [e](HWND, KeyMessage& key) {
    Guarded(*e, [&] { OnScanCodeBoxKeyDown(*e, key); });
  });
}

HMENU BuildMapMenu() {
  HMENU menu = CreatePopupMenu();
  for (const MenuSpec& entry : kMapMenu) AppendMenuA(menu, MF_STRING, entry.id, entry.caption);
  return menu;
}

void OnInitDialog(HWND dialog, MapEditor& editor) {
  const int zoom = editor.app.zoom;
  editor.form.Build(dialog, kForm, kControls, sizeof kControls / sizeof kControls[0], zoom);
  editor.form.SetInfo(kForm.hint);
  // CloseButton lies on the Info panel: neither the panel nor the window's background
  // may paint over it.
  HWND info = editor.Item(ui::kInfoPanelId);
  SetWindowLongPtrA(info, GWL_STYLE, GetWindowLongPtrA(info, GWL_STYLE) | WS_CLIPSIBLINGS);
  SetWindowLongPtrA(dialog, GWL_STYLE, GetWindowLongPtrA(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
  editor.BuildDisplayFonts();
  AttachCaptureFields(editor);
  SetWindowSubclass(editor.Item(kMapList), MapListProcedure, kMapListSubclass,
                    reinterpret_cast<DWORD_PTR>(&editor));
  SendMessageA(editor.Item(kMapList), LB_SETITEMHEIGHT, 0, editor.form.Scale(kMapListItemHeight));
  editor.mapMenu = BuildMapMenu();

  // [MAPS] and [Selectors] are read once for all the views.
  Profile& settings = editor.Settings();
  const std::vector<std::string> mapNames = settings.ReadKeys(kMapsSection);
  FillMapList(editor, mapNames);
  SendMessageA(editor.Item(kMapList), LB_SETCURSEL,
               SendMessageA(editor.Item(kMapList), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(editor.editedMapName.c_str())),
               0);
  const std::vector<ProfileEntry> selectors = settings.ReadSection(kSelectorsSection);
  ShowSelector(editor, selectors);
  FillRows(editor, selectors, mapNames);
  FillCommandList(editor);
  ConnectTextFields(editor);

  PlaceWindow(editor);
  SetLarge(editor, settings.ReadInteger(kSettingsSection, "EditorBig", 0) != 0);
  editor.activationHandlers = true;
  SendMessageA(editor.Item(kAssignmentList), LB_SETITEMHEIGHT, 0, editor.form.Scale(kRowHeight));
}

// The hook runs, with the edited map, while the user is in another application, and is
// off while the user works in the front end.
void OnActivateApp(MapEditor& editor, bool active) {
  if (!editor.activationHandlers) return;
  if (active) {
    Uninstall();
    editor.hookInstalled = false;
    return;
  }
  Install(static_cast<int>(reinterpret_cast<intptr_t>(editor.Window())), editor.app.SettingsFile());
  editor.hookInstalled = true;
  SelectMap(IndexByMap(editor.editedMapName.c_str()));
  const std::string error = GetLastErrorText();
  if (!error.empty()) ui::ShowError(editor.Window(), error);
}

void Finish(MapEditor& editor) {
  editor.activationHandlers = false;
  RECT rect;
  GetWindowRect(editor.Window(), &rect);
  editor.Writing([&] {
    Profile& settings = editor.Settings();
    settings.WriteInteger(kSettingsSection, "EditorTop", rect.top);
    settings.WriteInteger(kSettingsSection, "EditorLeft", rect.left);
    settings.WriteString(kSettingsSection, "EditorBig", editor.large ? "1" : "0");
  });
  // The caller installs the hook for its own window and loads the maps afresh.
  if (editor.hookInstalled) Uninstall();
  editor.hookInstalled = false;
  EndDialog(editor.Window(), IDOK);
}

void RunMenuEntry(MapEditor& editor, UINT id) {
  for (const MenuSpec& entry : kMapMenu)
    if (entry.id == id) return RunMapCommand(editor, entry.command);
}

void OnCommand(MapEditor& editor, int id, int code, HWND control) {
  if (!control) return RunMenuEntry(editor, static_cast<UINT>(id));
  switch (id) {
    case kMapList:
      if (code == LBN_SELCHANGE) OnMapListChange(editor);
      if (code == LBN_DBLCLK) OnMapListDoubleClick(editor);
      return;
    case kAssignmentList:
      if (code == LBN_SELCHANGE) OnAssignmentClick(editor);
      return;
    case kReplacementTextBox:
      if (code == EN_CHANGE) OnReplacementTextChanged(editor);
      return;
    case kMacroBox:
      if (code == EN_CHANGE) OnMacroBoxChanged(editor);
      return;
    case kLangList:
      if (code == CBN_SELCHANGE) OnCommandListChanged(editor);
      return;
    default:
      break;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kShiftBox:
    case kControlBox:
    case kAltBox:
      return OnStateBox(editor, id);
    case kAddButton:
      return OnStore(editor);
    case kRemoveButton:
      return OnRemove(editor);
    case kMakeSelectorButton:
      return OnMakeSelector(editor);
    case kKillButton:
      return RunKillCommand(editor);
    case kSelChar:
      return RunCharacterSelector(editor);
    case kFontButton:
      return RunFontCommand(editor);
    case kInsertVKButton:
      return InsertVirtualKey(editor);
    case kInsertScanButton:
      return InsertScanCode(editor);
    case kMoreButton:
      return OnMore(editor);
    case kHelpButton:
      return OpenHelp(editor.Window(), editor.app, HelpTopic::Contents);
    case kCloseButton:
      return Finish(editor);
    default:
      return;  // IDOK and IDCANCEL (Enter, Escape): the editor has no such buttons
  }
}

// F1: the command list leads to the replacement-text language, everything else to the
// contents, except in the key fields, which take F1 as a key like any other.
void OnHelp(MapEditor& editor, const HELPINFO& info) {
  HWND item = static_cast<HWND>(info.hItemHandle);
  for (int captureField : {kKeyBox, kVKeyBox, kScanCodeBox})
    if (item == editor.Item(captureField)) return;
  HWND commands = editor.Item(kLangList);
  const bool onCommands = info.iContextType == HELPINFO_WINDOW &&
                          (item == commands || IsChild(commands, item));
  OpenHelp(editor.Window(), editor.app,
           onCommands ? HelpTopic::ReplacementText : HelpTopic::Contents);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    MapEditor& editor = *reinterpret_cast<MapEditor*>(lParam);
    Guarded(editor, [&] { OnInitDialog(dialog, editor); });
    return TRUE;
  }
  MapEditor* editor = StateOf(dialog);
  if (!editor) return FALSE;
  INT_PTR handled = FALSE;
  Guarded(*editor, [&] {
    switch (message) {
      case WM_COMMAND:
        OnCommand(*editor, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        handled = TRUE;
        break;
      case WM_MEASUREITEM:
        if (wParam == kAssignmentList) {
          reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
              ui::Scale(kRowHeight, editor->app.zoom);
          handled = TRUE;
        }
        break;
      case WM_DRAWITEM:
        if (wParam == kAssignmentList) {
          DrawAssignmentRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam), editor->form.Font(),
                            editor->displayFont.Get(), editor->form.Zoom());
          handled = TRUE;
        }
        break;
      case WM_CONTEXTMENU:
        handled = OnContextMenu(*editor, reinterpret_cast<HWND>(wParam), lParam);
        break;
      case WM_MENUSELECT:
        OnMenuSelect(*editor, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        break;
      case WM_SETCURSOR:
        editor->form.OnSetCursor(reinterpret_cast<HWND>(wParam));
        break;
      case WM_ACTIVATE:
        editor->form.OnActivate(LOWORD(wParam) != WA_INACTIVE);
        break;
      case WM_ACTIVATEAPP:
        OnActivateApp(*editor, wParam != FALSE);
        break;
      case WM_HELP:
        OnHelp(*editor, *reinterpret_cast<const HELPINFO*>(lParam));
        handled = TRUE;
        break;
      case WM_CLOSE:
        Finish(*editor);
        handled = TRUE;
        break;
      case WM_DESTROY:
        if (editor->mapMenu) DestroyMenu(editor->mapMenu);
        editor->mapMenu = nullptr;
        break;
      default:
        break;
    }
  });
  return handled;
}

}  // namespace

// --- MapEditor --------------------------------------------------------------------------

void MapEditor::Reject(const char* message) {
  form.SetInfo(message);
  MessageBeep(0);
}

void MapEditor::RebuildMapList() { FillMapList(*this, Settings().ReadKeys(kMapsSection)); }

int MapEditor::SelectedMapEntry(std::string* name) const {
  HWND list = Item(kMapList);
  const int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (index < 0) return -1;
  if (name) *name = ListText(list, index);
  return index;
}

void MapEditor::ClickMapEntry(int index) {
  HWND list = Item(kMapList);
  if (SendMessageA(list, LB_SETCURSEL, index, 0) == LB_ERR) return;
  editedMapName = ListText(list, index);
  RefreshViews();
}

void MapEditor::RefreshViews() {
  const std::vector<ProfileEntry> selectors = Settings().ReadSection(kSelectorsSection);
  ShowSelector(*this, selectors);
  FillRows(*this, selectors, Settings().ReadKeys(kMapsSection));
  RefreshReplacementField();
}

void MapEditor::RebuildAssignmentList() {
  FillRows(*this, Settings().ReadSection(kSelectorsSection), Settings().ReadKeys(kMapsSection));
}

void MapEditor::ShowSelectorView() {
  ShowSelector(*this, Settings().ReadSection(kSelectorsSection));
}

void MapEditor::RefreshReplacementField() {
  const ReplacementField field = ReplacementFieldFor(Settings(), editedMapName, keyCode, stateByte);
  if (field.shows == FieldShows::Nothing) return;
  HWND box = Item(kReplacementTextBox);
  HFONT font =
      field.shows == FieldShows::Text && displayFont.Get() ? displayFont.Get() : form.Font();
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SetWindowTextA(box, field.text.c_str());
  if (field.shows == FieldShows::Selector) return SelectChosenRow();
  SetWindowTextA(Item(kKillButton), field.shows == FieldShows::DeadKey ? "Edit" : "Kill");
}

void MapEditor::BuildDisplayFonts() {
  const std::string face = Settings().ReadString(kSettingsSection, "DisplayFont", "MS Sans Serif");
  const BYTE charSet =
      static_cast<BYTE>(Settings().ReadInteger(kSettingsSection, "DisplayFontCSet", 0));
  const HFONT old = displayFont.Get();
  displayFont.Reset(
      ui::CreateFaceFont(face.c_str(), form.Scale(kDisplayFontHeight), charSet, OUT_TT_PRECIS, 0));
  largeDisplayFont.Reset(ui::CreateFaceFont(face.c_str(), form.Scale(kLargeDisplayFontHeight),
                                            charSet, OUT_TT_PRECIS, 0));
  // The replacement field must not keep the font just freed.
  HWND box = Item(kReplacementTextBox);
  if (old && box && reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)) == old)
    SendMessageA(box, WM_SETFONT,
                 reinterpret_cast<WPARAM>(displayFont.Get() ? displayFont.Get() : form.Font()),
                 TRUE);
}

std::string MapEditor::KeyName(uint8_t code) {
  if (!keyNameKnown[code]) {
    keyNames[code] = KeyCodeName(code);
    keyNameKnown[code] = true;
  }
  return keyNames[code];
}

EditorSituation MapEditor::Situation() const {
  EditorSituation situation;
  situation.mapListEntries = static_cast<int>(SendMessageA(Item(kMapList), LB_GETCOUNT, 0, 0));
  situation.selectedEntry = SelectedMapEntry();
  situation.editedMapName = editedMapName;
  situation.keyCode = keyCode;
  situation.stateByte = stateByte;
  situation.replacementText = WindowText(Item(kReplacementTextBox));
  return situation;
}

void MapEditor::SelectChosenRow() { SelectRowOfKey(Item(kAssignmentList), keyCode, stateByte); }

void MapEditor::ShowStateBoxes() {
  const std::pair<int, uint8_t> boxes[] = {
      {kShiftBox, kStateShift}, {kControlBox, kStateControl}, {kAltBox, kStateAlt}};
  for (const auto& [id, bit] : boxes)
    SendMessageA(Item(id), BM_SETCHECK, (stateByte & bit) ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RunMapEditor(HWND owner, FrontEnd& app, std::string& editedMapName) {
  MapEditor editor(app, editedMapName);
  ui::RunModalDialog(owner, "TMapeditor", DialogProcedure, reinterpret_cast<LPARAM>(&editor));
}

}  // namespace tessel
