#include "text_tools.h"

#include "char_selector.h"
#include "common/keys.h"
#include "common/value_codec.h"
#include "dead_key_dialog.h"
#include "font_dialog.h"
#include "frontend/dead_key_command.h"
#include "frontend/editor_commands.h"
#include "frontend/text_insert.h"
#include "tesshook32.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace tessel {
namespace {

constexpr const char* kSection = "TESSEL32";
constexpr const char* kDefaultFace = "MS Sans Serif";
constexpr int kCommandListHelpContext = 1;
constexpr int kMaxCommandEntries = 1000;  // TesselInfo ends its list with null long before
constexpr UINT_PTR kMacroBoxSubclass = 0x5458;  // "TX"

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

// Marks the editor while one text field sets the other, so that the change notification
// of the field being set does not come back to the one that set it.
class SyncGuard {
 public:
  explicit SyncGuard(HWND editor) : editor_(editor) {
    SetPropA(editor_, kProperty, reinterpret_cast<HANDLE>(1));
  }
  ~SyncGuard() { RemovePropA(editor_, kProperty); }
  SyncGuard(const SyncGuard&) = delete;
  SyncGuard& operator=(const SyncGuard&) = delete;
  static bool Active(HWND editor) { return GetPropA(editor, kProperty) != nullptr; }

 private:
  static constexpr const char* kProperty = "TesselTextSync";
  HWND editor_;
};

void CopyText(HWND editor, HWND from, HWND to) {
  const std::string text = TextOf(from);
  if (text == TextOf(to)) return;
  SyncGuard guard(editor);
  SetWindowTextA(to, text.c_str());
}

// Inserts a command or key reference at MacroBox's caret, in braces or after a blank as
// the brace group around the caret asks; the one-line field follows.
void InsertReference(MapEditor& editor, const std::string& reference) {
  HWND macroBox = editor.Item(kMacroBox);
  DWORD start = 0, end = 0;
  SendMessageA(macroBox, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  const std::string text = TextOf(macroBox);
  const std::string_view before =
      std::string_view(text).substr(0, std::min<size_t>(start, text.size()));
  const std::string insertion = BraceInsertion(before, reference);
  if (insertion.empty()) return;
  SendMessageA(macroBox, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(insertion.c_str()));
  OnMacroBoxChanged(editor);
}

// A rebuilt map list has no selection; the editor still works on the same map, so its
// entry is selected again (without acting as a click).
void SelectEditedMapEntry(MapEditor& editor) {
  HWND list = editor.Item(kMapList);
  const LRESULT index = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(editor.editedMapName.c_str()));
  if (index > 0) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

LRESULT CALLBACK MacroBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, MacroBoxProcedure, kMacroBoxSubclass);
  const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
  if (message == WM_SETTEXT && result)
    SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE),
                 reinterpret_cast<LPARAM>(edit));
  return result;
}

}  // namespace

void ConnectTextFields(MapEditor& editor) {
  SetWindowSubclass(editor.Item(kMacroBox), MacroBoxProcedure, kMacroBoxSubclass, 0);
}

void OnReplacementTextChanged(MapEditor& editor) {
  HWND macroBox = editor.Item(kMacroBox);
  if (SyncGuard::Active(editor.Window()) || GetFocus() == macroBox) return;
  CopyText(editor.Window(), editor.Item(kReplacementTextBox), macroBox);
}

void OnMacroBoxChanged(MapEditor& editor) {
  HWND field = editor.Item(kReplacementTextBox);
  if (SyncGuard::Active(editor.Window()) || GetFocus() == field) return;
  HWND macroBox = editor.Item(kMacroBox);
  CopyText(editor.Window(), macroBox, field);
  DWORD start = 0, end = 0;
  SendMessageA(macroBox, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  SendMessageA(field, EM_SETSEL, start, end);
}

void FillCommandList(MapEditor& editor) {
  HWND list = editor.Item(kLangList);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (int index = 0; index < kMaxCommandEntries; ++index) {
    const char* name = TesselInfo(0, index);
    if (!name) break;
    // Inserted at the end: the list keeps the library's order even in a sorted box.
    SendMessageA(list, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  }
  SetWindowContextHelpId(list, kCommandListHelpContext);
}

void OnCommandListChanged(MapEditor& editor) {
  const LRESULT index = SendMessageA(editor.Item(kLangList), CB_GETCURSEL, 0, 0);
  if (index < 0) return;
  const char* text = TesselInfo(1, static_cast<int>(index));
  if (text) InsertReference(editor, text);
}

void InsertVirtualKey(MapEditor& editor) { InsertReference(editor, TextOf(editor.Item(kVKeyBox))); }

void InsertScanCode(MapEditor& editor) {
  InsertReference(editor, TextOf(editor.Item(kScanCodeBox)));
}

void RunCharacterSelector(MapEditor& editor) {
  const uint8_t code = ChooseCharacter(editor.Window(), editor.largeDisplayFont.Get());
  if (code == 0) return;
  HWND field = editor.Item(kReplacementTextBox);
  SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(editor.displayFont.Get()), TRUE);
  const char text[2] = {static_cast<char>(code), '\0'};
  SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  OnReplacementTextChanged(editor);
}

void RunFontCommand(MapEditor& editor) {
  Profile& settings = editor.Settings();
  std::string face = settings.ReadString(kSection, "DisplayFont", kDefaultFace);
  BYTE charSet = static_cast<BYTE>(settings.ReadInteger(kSection, "DisplayFontCSet", 0));
  if (!ChooseDisplayFont(editor.Window(), face, charSet)) return;
  if (!editor.Writing([&] {
        settings.WriteString(kSection, "DisplayFont", face);
        settings.WriteInteger(kSection, "DisplayFontCSet", charSet);
      }))
    return;
  editor.BuildDisplayFonts();
  InvalidateRect(editor.Item(kAssignmentList), nullptr, TRUE);
  editor.RefreshReplacementField();
}

void RunKillCommand(MapEditor& editor) {
  Profile& settings = editor.Settings();
  // Kill writes into the edited map's section: like Store it refuses a map that is not
  // listed in [MAPS] ("<off>", or a name left from a rebuilt map list).
  if (const char* refusal = CheckKill(settings, editor.Situation())) {
    editor.Reject(refusal);
    return;
  }

  const std::string descriptor = FormatKeyDescriptor(editor.keyCode, editor.stateByte);
  DeadKeyDialogTexts texts =
      DeadKeyDialogFill(DecodeValue(settings.ReadString(editor.editedMapName, descriptor, "")),
                        settings.ReadKeys(kMapsSection), editor.KeyName(editor.keyCode));
  if (!RunDeadKeyDialog(editor.Window(), editor.app.zoom, editor.form, texts)) return;
  const std::string deadKeyMap = AcceptedDeadKeyMap(texts.mapName);
  if (deadKeyMap.empty()) return;

  bool listedMap = false;
  const char* refusal = nullptr;
  const bool written = editor.Writing([&] {
    refusal = StoreDeadKey(settings, editor.editedMapName, editor.keyCode, editor.stateByte,
                           deadKeyMap, texts.defaultText, listedMap);
  });
  if (listedMap) {
    editor.RebuildMapList();
    SelectEditedMapEntry(editor);
  }
  if (refusal) editor.Reject(refusal);
  if (!written || refusal) return;
  editor.RebuildAssignmentList();
  editor.RefreshReplacementField();
}

}  // namespace tessel
