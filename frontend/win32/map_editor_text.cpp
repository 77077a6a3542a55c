// The map editor's tools for replacement text: the two text fields kept in step, the
// command list, the virtual-key and scan-code inserts, the character selector, the display
// font and the Kill command that makes dead keys.
#include "map_editor.h"

#include "char_selector.h"
#include "common/keys.h"
#include "common/value_codec.h"
#include "dead_key_dialog.h"
#include "font_dialog.h"
#include "frontend/dead_key_command.h"
#include "frontend/text_insert.h"
#include "tesshook32.h"
#include "wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace tessel {
namespace {

constexpr const char* kSection = "TESSEL32";
constexpr const char* kDefaultFace = "MS Sans Serif";
constexpr int kDisplayFontHeight = -14;
constexpr int kLargeDisplayFontHeight = -18;
constexpr int kCommandListHelpContext = 1;
constexpr int kMaxCommandEntries = 1000;  // TesselInfo ends its list with null long before
constexpr UINT_PTR kMacroBoxSubclass = 0x5458;  // "TX"

}  // namespace

// --- The two text fields -------------------------------------------------------------------

// MacroBox reports text that the program sets as a change too (a multi-line edit control
// does not), so the fields stay in step; and it keeps Escape, which a multi-line edit
// control in a dialog turns into closing the dialog.
LRESULT CALLBACK MapEditor::MacroBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR) {
  if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE) return 0;
  if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, MacroBoxProcedure, kMacroBoxSubclass);
  const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
  if (message == WM_SETTEXT && result)
    SendMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE),
                 reinterpret_cast<LPARAM>(edit));
  return result;
}

void MapEditor::ConnectTextFields() {
  SetWindowSubclass(Item(kMacroBox), MacroBoxProcedure, kMacroBoxSubclass, 0);
}

void MapEditor::ReplacementTextChanged() {
  HWND macroBox = Item(kMacroBox);
  if (syncingText_ || GetFocus() == macroBox) return;
  const std::string text = ui::Text(Item(kReplacementTextBox));
  if (text == ui::Text(macroBox)) return;
  syncingText_ = true;
  ui::SetText(macroBox, text);
  syncingText_ = false;
}

void MapEditor::MacroBoxChanged() {
  HWND field = Item(kReplacementTextBox);
  if (syncingText_ || GetFocus() == field) return;
  HWND macroBox = Item(kMacroBox);
  const std::string text = ui::Text(macroBox);
  if (text != ui::Text(field)) {
    syncingText_ = true;
    ui::SetText(field, text);
    syncingText_ = false;
  }
  DWORD start = 0, end = 0;
  SendMessageA(macroBox, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessageA(field, EM_SETSEL, start, end);
}

// --- Inserts ---------------------------------------------------------------------------------

// The command list, filled once: the library's macro commands and key names.
void MapEditor::FillCommandList() {
  HWND list = Item(kLangList);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (int index = 0; index < kMaxCommandEntries; ++index) {
    const char* name = TesselInfo(0, index);
    if (!name) break;
    ui::AddComboItem(list, name);
  }
  SetWindowContextHelpId(list, kCommandListHelpContext);
}

void MapEditor::InsertCommand() {
  const LRESULT index = SendMessageA(Item(kLangList), CB_GETCURSEL, 0, 0);
  if (index < 0) return;
  if (const char* text = TesselInfo(1, static_cast<int>(index))) InsertReference(text);
}

// Inserts a command or key reference at MacroBox's caret, in braces or after a blank as
// the brace group around the caret asks; the one-line field follows.
void MapEditor::InsertReference(const std::string& reference) {
  HWND macroBox = Item(kMacroBox);
  DWORD start = 0, end = 0;
  SendMessageA(macroBox, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::string text = ui::Text(macroBox);
  const std::string_view before = std::string_view(text).substr(0, std::min<size_t>(start, text.size()));
  const std::string insertion = BraceInsertion(before, reference);
  if (insertion.empty()) return;
  SendMessageW(macroBox, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(insertion).c_str()));
  MacroBoxChanged();
}

// "Character": the picked character goes into the one-line field at its caret.
void MapEditor::InsertCharacter() {
  const char32_t character = ChooseCharacter(Handle(), largeDisplayFont_.Get());
  if (character == 0) return;
  HWND field = Item(kReplacementTextBox);
  SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(displayFont_.Get()), TRUE);
  std::string text;
  AppendUtf8(text, character);
  SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  ReplacementTextChanged();
}

// --- Display font ------------------------------------------------------------------------------

void MapEditor::ChooseFont() {
  Profile& settings = Settings();
  std::string face = settings.ReadString(kSection, "DisplayFont", kDefaultFace);
  BYTE charSet = static_cast<BYTE>(settings.ReadInteger(kSection, "DisplayFontCSet", 0));
  if (!ChooseDisplayFont(Handle(), face, charSet)) return;
  if (!Writing([&] {
        settings.WriteString(kSection, "DisplayFont", face);
        settings.WriteInteger(kSection, "DisplayFontCSet", charSet);
      }))
    return;
  BuildDisplayFonts();
  InvalidateRect(Item(kAssignmentList), nullptr, TRUE);
  ShowReplacementField();
}

// Both display fonts anew from DisplayFont and DisplayFontCSet.
void MapEditor::BuildDisplayFonts() {
  const std::string face = Settings().ReadString(kSection, "DisplayFont", kDefaultFace);
  const BYTE charSet = static_cast<BYTE>(Settings().ReadInteger(kSection, "DisplayFontCSet", 0));
  const HFONT old = displayFont_.Get();
  displayFont_.Reset(ui::CreateFaceFont(face, form_.Scale(kDisplayFontHeight), charSet, OUT_TT_PRECIS, 0));
  largeDisplayFont_.Reset(
      ui::CreateFaceFont(face, form_.Scale(kLargeDisplayFontHeight), charSet, OUT_TT_PRECIS, 0));
  // The replacement field must not keep the font just freed.
  HWND box = Item(kReplacementTextBox);
  if (old && box && reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)) == old)
    SendMessageA(box, WM_SETFONT,
                 reinterpret_cast<WPARAM>(displayFont_.Get() ? displayFont_.Get() : form_.Font()), TRUE);
}

// --- Kill ------------------------------------------------------------------------------------

void MapEditor::Kill() {
  Profile& settings = Settings();
  // Kill writes into the edited map's section: like Store it refuses a map that is not
  // listed in [MAPS] ("<off>", or a name left from a rebuilt map list).
  if (const char* refusal = CheckKill(settings, Situation())) return Reject(refusal);

  const std::string descriptor = FormatKeyDescriptor(keyCode_, stateByte_);
  DeadKeyDialogTexts texts =
      DeadKeyDialogFill(DecodeValue(settings.ReadString(editedMapName_, descriptor, "")),
                        settings.ReadKeys(kMapsSection), KeyName(keyCode_));
  if (!RunDeadKeyDialog(Handle(), app_.zoom, form_, texts)) return;
  const std::string deadKeyMap = AcceptedDeadKeyMap(texts.mapName);
  if (deadKeyMap.empty()) return;

  bool listedMap = false;
  const char* refusal = nullptr;
  const bool written = Writing([&] {
    refusal = StoreDeadKey(settings, editedMapName_, keyCode_, stateByte_, deadKeyMap,
                           texts.defaultText, listedMap);
  });
  if (refusal) Reject(refusal);
  if (listedMap || (written && !refusal))
    Refresh(listedMap ? MapListRefresh::RebuildSelectingEdited : MapListRefresh::Keep);
}

}  // namespace tessel
