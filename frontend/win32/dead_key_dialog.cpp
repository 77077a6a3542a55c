#include "dead_key_dialog.h"

#include <string>

namespace tessel {
namespace {

enum ControlId { kMapnameLabel = 101, kPlusLabel, kDeadMap, kDefaultLabel, kDefault };

const ui::FormSpec kForm = {"Tessel+ : Dead key", 292, 63, "See help for details on dead keys", 0};
const ui::ControlSpec kControls[] = {
    {kMapnameLabel, "STATIC", SS_LEFT, 8, 8, 0, 0, "Mapname", nullptr},
    {kPlusLabel, "STATIC", SS_CENTER, 72, 0, 16, 29, "+", "Prefix for dead key maps"},
    {kDeadMap, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP, 88, 4, 109, 21, "",
     "Map for the next keystroke; it will be created if don't exist", WS_EX_CLIENTEDGE},
    {kDefaultLabel, "STATIC", SS_LEFT, 8, 35, 0, 0, "Default Text", nullptr},
    {kDefault, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP, 76, 31, 121, 21, "",
     "Output if the next keystroke is not mapped; usually the deadkey itself", WS_EX_CLIENTEDGE},
    {IDCANCEL, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 208, 6, 75, 17, "<- Back", "Discard changes"},
    {IDOK, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 208, 33, 75, 17, "Accept",
     "Accept changes and return to editor"},
};
constexpr int kPlusFontHeight = -24;

struct DeadKeyDialog {
  int zoom;
  ui::Form& hintForm;
  DeadKeyDialogTexts& texts;
  ui::Form form;
  ui::FontHolder plusFont;
  const char* shownHint = nullptr;
};

DeadKeyDialog* StateOf(HWND dialog) {
  return reinterpret_cast<DeadKeyDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

void OnInitDialog(HWND dialog, DeadKeyDialog& d) {
  d.form.Build(dialog, kForm, kControls, sizeof kControls / sizeof kControls[0], d.zoom);
  d.plusFont.Reset(ui::CreateFaceFont("MS Sans Serif", d.form.Scale(kPlusFontHeight),
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, FW_BOLD));
  SendMessageA(d.form.Item(kPlusLabel), WM_SETFONT, reinterpret_cast<WPARAM>(d.plusFont.Get()),
               FALSE);
  SetWindowTextA(d.form.Item(kDeadMap), d.texts.mapName.c_str());
  SetWindowTextA(d.form.Item(kDefault), d.texts.defaultText.c_str());
  d.form.CentreOnScreen();
  SetFocus(d.form.Item(kDeadMap));
  SendMessageA(d.form.Item(kDeadMap), EM_SETSEL, 0, -1);
}

// The dialog has no Info panel of its own: its hints show in the editor's.
void OnSetCursor(DeadKeyDialog& d, HWND under) {
  const char* hint = d.form.HintOf(under);
  if (hint == d.shownHint) return;
  d.shownHint = hint;
  d.hintForm.SetInfo(hint);
}

void OnCommand(HWND dialog, DeadKeyDialog& d, int id) {
  if (id == IDOK) {
    d.texts.mapName = TextOf(d.form.Item(kDeadMap));
    d.texts.defaultText = TextOf(d.form.Item(kDefault));
    EndDialog(dialog, IDOK);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  }
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    OnInitDialog(dialog, *StateOf(dialog));
    return FALSE;  // the focus is set
  }
  DeadKeyDialog* d = StateOf(dialog);
  if (!d) return FALSE;
  switch (message) {
    case WM_SETCURSOR:
      OnSetCursor(*d, reinterpret_cast<HWND>(wParam));
      return FALSE;
    case WM_COMMAND:
      OnCommand(dialog, *d, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RunDeadKeyDialog(HWND owner, int zoom, ui::Form& hintForm, DeadKeyDialogTexts& texts) {
  DeadKeyDialogTexts typed = texts;
  DeadKeyDialog dialog{zoom, hintForm, typed, {}, {}, nullptr};
  if (ui::RunModalDialog(owner, "TKillDialog", DialogProcedure,
                         reinterpret_cast<LPARAM>(&dialog)) != IDOK)
    return false;
  texts = typed;
  return true;
}

}  // namespace tessel
