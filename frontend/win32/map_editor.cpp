#include "map_editor.h"

#include "assignment_list.h"
#include "common/keys.h"
#include "frontend/assignment_rows.h"
#include "frontend/editor_layout.h"
#include "frontend/key_capture_rules.h"
#include "help.h"
#include "key_capture.h"
#include "key_display.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace tessel {
namespace {

constexpr const char* kSettingsSection = "TESSEL32";
constexpr int kRowHeight = 16;
constexpr int kMapListItemHeight = 13;
constexpr int kCloseButtonLeft = 397, kCloseButtonTop = 2;  // inside the Info panel
constexpr UINT_PTR kMapListSubclass = 0x4D4C;               // "ML"

constexpr const char* kShowMoreHint = "Show replacement text editor";
constexpr const char* kHideMoreHint = "Hide replacement text editor";

const ui::FormSpec kForm = {"Tessel+ : Map editor", kEditorClientWidth, kEditorSmallHeight,
                            "Move around to see help", kEditorInfoHeight};

constexpr DWORD kTab = WS_TABSTOP;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kClientEdge = WS_EX_CLIENTEDGE;

}  // namespace

// Tab order is table order. CloseButton lies on the Info panel: its top follows the
// window's height (SetLarge).
const ui::ControlSpec MapEditor::kControls[] = {
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
     337, 105, "", "Edit replacement text; see help for macro language reference", kClientEdge},
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

void RunMapEditor(HWND owner, FrontEnd& app, const HookHolder& holder, std::string& editedMapName) {
  MapEditor(app, holder, editedMapName).Run(owner);
}

LRESULT MapEditor::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  form_.TrackHints(message, wParam);
  switch (message) {
    TESSEL_DIALOG_MESSAGE(WM_INITDIALOG, OnInitDialog);
    TESSEL_DIALOG_MESSAGE(WM_COMMAND, OnCommand);
    TESSEL_DIALOG_MESSAGE(WM_MEASUREITEM, OnMeasureItem);
    TESSEL_DIALOG_MESSAGE(WM_DRAWITEM, OnDrawItem);
    TESSEL_DIALOG_MESSAGE(WM_CONTEXTMENU, OnContextMenu);
    TESSEL_DIALOG_MESSAGE(WM_ACTIVATEAPP, OnActivateApp);
    TESSEL_DIALOG_MESSAGE(WM_HELP, OnHelp);
    TESSEL_DIALOG_MESSAGE(WM_CLOSE, OnClose);
    TESSEL_DIALOG_MESSAGE(WM_DPICHANGED, OnDpiChanged);
    case WM_MENUSELECT:  // hints of the map menu; the default handling goes on
      TESSEL_CRACK(WM_MENUSELECT, OnMenuSelect);
      return FALSE;
    default:
      return FALSE;
  }
}

// Every button, list and field of the window, by control.
void MapEditor::OnCommand(int id, HWND control, UINT code) {
  if (!control) return RunMapMenuEntry(static_cast<UINT>(id));
  switch (id) {
    case kMapList:
      if (code == LBN_SELCHANGE) ClickMap();
      if (code == LBN_DBLCLK) {
        POINT point = lastMapListMouse_;
        ClientToScreen(Item(kMapList), &point);
        OpenMapMenu(point);
      }
      return;
    case kAssignmentList:
      if (code == LBN_SELCHANGE) ClickRow();
      return;
    case kReplacementTextBox:
      if (code == EN_CHANGE) ReplacementTextChanged();
      return;
    case kMacroBox:
      if (code == EN_CHANGE) MacroBoxChanged();
      return;
    case kLangList:
      if (code == CBN_SELCHANGE) InsertCommand();
      return;
    default:
      break;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kShiftBox:
    case kControlBox:
    case kAltBox: return StateBoxClicked(id);
    case kAddButton: return Store();
    case kRemoveButton: return Remove();
    case kMakeSelectorButton: return MakeSelector();
    case kKillButton: return Kill();
    case kSelChar: return InsertCharacter();
    case kFontButton: return ChooseFont();
    case kInsertVKButton: return InsertReference(ui::Text(Item(kVKeyBox)));
    case kInsertScanButton: return InsertReference(ui::Text(Item(kScanCodeBox)));
    case kMoreButton: return ToggleLarge();
    case kHelpButton: return OpenHelp(Handle(), app_, HelpTopic::Contents);
    case kCloseButton: return Finish();
    default: return;  // IDOK and IDCANCEL (Enter, Escape): the editor has no such buttons
  }
}

// --- Creating and closing -------------------------------------------------------------------

BOOL MapEditor::OnInitDialog(HWND, LPARAM) {
  const Profile::Snapshot snapshot(Settings());  // one read of the file for all that is shown
  form_.Build(Handle(), kForm, kControls, app_.zoom);
  form_.SetInfo(kForm.hint);
  // CloseButton lies on the Info panel: neither the panel nor the window's background
  // may paint over it.
  HWND info = Item(ui::kInfoPanelId);
  SetWindowLongPtrA(info, GWL_STYLE, GetWindowLongPtrA(info, GWL_STYLE) | WS_CLIPSIBLINGS);
  SetWindowLongPtrA(Handle(), GWL_STYLE, GetWindowLongPtrA(Handle(), GWL_STYLE) | WS_CLIPCHILDREN);
  BuildDisplayFonts();
  MakeKeyCaptureField(Item(kKeyBox), [this](HWND, KeyMessage& key) { KeyBoxKeyDown(key); });
  MakeKeyCaptureField(Item(kVKeyBox), [this](HWND, KeyMessage& key) { VirtualKeyBoxKeyDown(key); });
  MakeKeyCaptureField(Item(kScanCodeBox), [this](HWND, KeyMessage& key) { ScanCodeBoxKeyDown(key); });
  SetWindowSubclass(Item(kMapList), MapListProcedure, kMapListSubclass, reinterpret_cast<DWORD_PTR>(this));
  SendMessageA(Item(kMapList), LB_SETITEMHEIGHT, 0, form_.Scale(kMapListItemHeight));
  ConnectTextFields();

  Refresh(MapListRefresh::RebuildSelectingEdited);
  FillCommandList();
  PlaceWindow();
  SetLarge(Settings().ReadInteger(kSettingsSection, "EditorBig", 0) != 0);
  activationHandlers_ = true;
  SendMessageA(Item(kAssignmentList), LB_SETITEMHEIGHT, 0, form_.Scale(kRowHeight));
  return TRUE;
}

void MapEditor::PlaceWindow() {
  const int top = Settings().ReadInteger(kSettingsSection, "EditorTop", kEditorDefaultTop);
  const int left = Settings().ReadInteger(kSettingsSection, "EditorLeft", kEditorDefaultLeft);
  RECT rect;
  GetWindowRect(Handle(), &rect);
  if (EditorOpensCentred(top, left, rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN))) {
    form_.CentreOnScreen();
  } else {
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The hook runs, with the edited map, while the user is in another application, and is
// off while the user works in the front end.
void MapEditor::OnActivateApp(BOOL active, DWORD) {
  if (!activationHandlers_) return;
  ShowErrorIfAny(Handle(), OnEditorActivation(holder_, active != FALSE, FrontValueOf(Handle()),
                                              editedMapName_, editorHoldsHook_));
}

// On a monitor of another DPI the form has moved and sized the controls; what the editor
// sized itself follows.
void MapEditor::OnDpiChanged(UINT, const RECT*) {
  BuildDisplayFonts();
  SendMessageW(Item(kMapList), LB_SETITEMHEIGHT, 0, form_.Scale(kMapListItemHeight));
  SendMessageW(Item(kAssignmentList), LB_SETITEMHEIGHT, 0, form_.Scale(kRowHeight));
  SetLarge(large_);
  ShowReplacementField();
}

// CloseButton and the close box end the editor; nothing else does.
void MapEditor::OnClose() { Finish(); }

void MapEditor::Finish() {
  activationHandlers_ = false;
  RECT rect;
  GetWindowRect(Handle(), &rect);
  Writing([&] {
    Settings().WriteInteger(kSettingsSection, "EditorTop", rect.top);
    Settings().WriteInteger(kSettingsSection, "EditorLeft", rect.left);
    Settings().WriteString(kSettingsSection, "EditorBig", large_ ? "1" : "0");
  });
  OnEditorClose(holder_, editorHoldsHook_);
  EndDialog(Handle(), IDOK);
}

void MapEditor::SetLarge(bool large) {
  large_ = large;
  const int height = large ? kEditorLargeHeight : kEditorSmallHeight;
  form_.SetClientHeight(height);
  const int closeTop = height - kEditorInfoHeight + kCloseButtonTop;
  // The z-order is the tab order: the button keeps its place in it.
  SetWindowPos(Item(kCloseButton), nullptr, form_.Scale(kCloseButtonLeft), form_.Scale(closeTop), 0,
               0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int id : {kMacroBox, kLabelCommands, kLangList, kLabelVirtualKey, kInsertVKButton, kVKeyBox,
                 kLabelScanCode, kInsertScanButton, kScanCodeBox})
    ShowWindow(Item(id), large ? SW_SHOWNA : SW_HIDE);
  ui::SetText(Item(kMoreButton), large ? "<<" : ">>");
  form_.SetHint(kMoreButton, large ? kHideMoreHint : kShowMoreHint);
}

void MapEditor::ToggleLarge() {
  SetLarge(!large_);
}

// F1: the command list leads to the replacement-text language, everything else to the
// contents, except in the key fields, which take F1 as a key like any other.
BOOL MapEditor::OnHelp(LPHELPINFO info) {
  HWND item = static_cast<HWND>(info->hItemHandle);
  for (int captureField : {kKeyBox, kVKeyBox, kScanCodeBox})
    if (item == Item(captureField)) return TRUE;
  HWND commands = Item(kLangList);
  const bool onCommands =
      info->iContextType == HELPINFO_WINDOW && (item == commands || IsChild(commands, item));
  OpenHelp(Handle(), app_, onCommands ? HelpTopic::ReplacementText : HelpTopic::Contents);
  return TRUE;
}

// --- What the editor shows ---------------------------------------------------------------------

void MapEditor::Refresh(MapListRefresh mapList) {
  Profile& settings = Settings();
  const Profile::Snapshot snapshot(settings);
  const std::vector<std::string> mapNames = settings.ReadKeys(kMapsSection);
  const std::vector<ProfileEntry> selectors = settings.ReadSection(kSelectorsSection);
  if (mapList != MapListRefresh::Keep) {
    RebuildMapList(mapNames);
    // A rebuilt list has no selection; after Delete and Kill the edited map is selected
    // again (without acting as a click).
    if (mapList == MapListRefresh::RebuildSelectingEdited)
      SendMessageA(Item(kMapList), LB_SETCURSEL, ui::FindListItem(Item(kMapList), editedMapName_), 0);
  }
  const auto keyName = [this](uint8_t keyCode) { return KeyName(keyCode); };
  ui::SetText(Item(kSelectorView), SelectorViewText(selectors, editedMapName_, keyName));
  FillAssignmentList(Item(kAssignmentList),
                     BuildAssignmentRows(selectors, settings.ReadSection(editedMapName_), mapNames, keyName));
  SelectRowOfKey(Item(kAssignmentList), keyCode_, stateByte_);
  ShowReplacementField();
}

void MapEditor::RebuildMapList(const std::vector<std::string>& mapNames) {
  HWND list = Item(kMapList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  ui::AddListItem(list, kOffMapName);
  for (bool deadKeyMaps : {false, true})
    for (const std::string& name : mapNames)
      if ((name[0] == '+') == deadKeyMaps) ui::AddListItem(list, name);
}

void MapEditor::ShowReplacementField() {
  const ReplacementField field = ReplacementFieldFor(Settings(), editedMapName_, keyCode_, stateByte_);
  if (field.shows == FieldShows::Nothing) return;
  HWND box = Item(kReplacementTextBox);
  HFONT font = field.shows == FieldShows::Text && displayFont_.Get() ? displayFont_.Get() : form_.Font();
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ui::SetText(box, field.text);
  if (field.shows == FieldShows::Selector) return;
  ui::SetText(Item(kKillButton), field.shows == FieldShows::DeadKey ? "Edit" : "Kill");
}

void MapEditor::OnMeasureItem(MEASUREITEMSTRUCT* item) {
  if (item->CtlID == kAssignmentList) item->itemHeight = form_.Scale(kRowHeight);
}

void MapEditor::OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->CtlID == kAssignmentList)
    DrawAssignmentRow(*item, form_.Font(), displayFont_.Get(), form_.Zoom());
}

std::string MapEditor::KeyName(uint8_t code) {
  if (!keyNameKnown_[code]) {
    keyNames_[code] = KeyCodeName(code);
    keyNameKnown_[code] = true;
  }
  return keyNames_[code];
}

// --- Choosing a map and a key ------------------------------------------------------------------

void MapEditor::ClickMap() {
  std::string name;
  if (SelectedMapEntry(&name) < 0) return;
  editedMapName_ = name;
  Refresh();
}

int MapEditor::SelectedMapEntry(std::string* name) const {
  HWND list = Item(kMapList);
  const int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (index < 0) return -1;
  if (name) *name = ui::ListItemText(list, index);
  return index;
}

LRESULT CALLBACK MapEditor::MapListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR data) {
  if (message == WM_MOUSEMOVE || message == WM_LBUTTONDBLCLK)
    reinterpret_cast<MapEditor*>(data)->lastMapListMouse_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, MapListProcedure, kMapListSubclass);
  return DefSubclassProc(list, message, wParam, lParam);
}

void MapEditor::ClickRow() {
  HWND list = Item(kAssignmentList);
  uint8_t keyCode = 0, stateByte = 0;
  if (!RowKeyAt(list, static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)), keyCode, stateByte))
    return;
  ChooseKey(keyCode, stateByte);
  ShowReplacementField();
}

void MapEditor::ChooseKey(uint8_t keyCode, uint8_t stateByte) {
  keyCode_ = keyCode;
  stateByte_ = stateByte;
  ui::SetChecked(Item(kShiftBox), stateByte_ & kStateShift);
  ui::SetChecked(Item(kControlBox), stateByte_ & kStateControl);
  ui::SetChecked(Item(kAltBox), stateByte_ & kStateAlt);
  ui::SetText(Item(kKeyBox), KeyName(keyCode));
}

void MapEditor::KeyBoxKeyDown(const KeyMessage& key) {
  ModifierKeys modifiers;
  modifiers.shiftDown = GetKeyState(VK_SHIFT) < 0;
  modifiers.capsLockOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
  modifiers.controlDown = GetKeyState(VK_CONTROL) < 0;
  const std::optional<ChosenKey> chosen =
      CaptureKey(static_cast<unsigned>(key.virtualKey), static_cast<uint32_t>(key.keyData), modifiers);
  if (!chosen) return;
  ChooseKey(chosen->keyCode, chosen->stateByte);
  ShowReplacementField();
  SelectRowOfKey(Item(kAssignmentList), keyCode_, stateByte_);
}

void MapEditor::VirtualKeyBoxKeyDown(const KeyMessage& key) {
  if (const std::optional<std::string> text = VirtualKeyFieldText(static_cast<unsigned>(key.virtualKey)))
    ui::SetText(Item(kVKeyBox), *text);
}

void MapEditor::ScanCodeBoxKeyDown(const KeyMessage& key) {
  ui::SetText(Item(kScanCodeBox), ScanCodeFieldText(static_cast<uint32_t>(key.keyData)));
}

void MapEditor::StateBoxClicked(int id) {
  HWND box = Item(id);
  const uint8_t tag = id == kShiftBox ? kStateShift : id == kControlBox ? kStateControl : kStateAlt;
  // Only the user's click counts: the box then has the focus.
  if (GetFocus() != box) {
    ui::SetChecked(box, stateByte_ & tag);
    return;
  }
  stateByte_ = StateByteAfterBox(stateByte_, tag, ui::Checked(box));
  ShowReplacementField();
  SelectRowOfKey(Item(kAssignmentList), keyCode_, stateByte_);
}

// --- Store, Remove, Make Selector --------------------------------------------------------------

EditorSituation MapEditor::Situation() const {
  EditorSituation situation;
  situation.mapListEntries = static_cast<int>(SendMessageA(Item(kMapList), LB_GETCOUNT, 0, 0));
  situation.selectedEntry = SelectedMapEntry();
  situation.editedMapName = editedMapName_;
  situation.keyCode = keyCode_;
  situation.stateByte = stateByte_;
  situation.replacementText = ui::Text(Item(kReplacementTextBox));
  return situation;
}

// A failed check: the message in the Info panel and the default beep.
void MapEditor::Reject(const char* message) {
  form_.SetInfo(message);
  MessageBeep(0);
}

bool MapEditor::Writing(const std::function<void()>& writes) {
  try {
    writes();
    return true;
  } catch (const ProfileWriteError& error) {
    ui::ShowError(Handle(), error.what());
  } catch (const MapCopyError& error) {
    ui::ShowError(Handle(), error.what());
  }
  return false;
}

void MapEditor::RunKeyCommand(const char* (*command)(Profile&, const EditorSituation&), bool refusedToo) {
  // The checks, the write and the refresh read the file once besides the write's own read.
  const Profile::Snapshot snapshot(Settings());
  const char* refused = nullptr;
  if (!Writing([&] { refused = command(Settings(), Situation()); })) return;
  if (refused) Reject(refused);
  if (!refused || refusedToo) Refresh();
}

void MapEditor::Store() { RunKeyCommand(StoreAssignment, false); }

void MapEditor::Remove() { RunKeyCommand(RemoveAssignment, false); }

// Also after a refusal: typing not stored is discarded.
void MapEditor::MakeSelector() { RunKeyCommand(tessel::MakeSelector, true); }

}  // namespace tessel
