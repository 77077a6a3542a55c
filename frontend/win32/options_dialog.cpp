#include "options_dialog.h"

#include "button_window.h"
#include "form.h"
#include "frontend/options.h"
#include "tesshook32.h"

#include <string>

namespace tessel {
namespace {

enum ControlId {
  kBeep = 101,
  kLabel1,
  kDuration,
  kLabel2,
  kOffTitle,
  kOnTop,
  kLabel4,
  kZoom,
  kBack = IDCANCEL,
  kSet = IDOK,
};

constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP;

const ui::FormSpec kForm = {"Tessel+ : Options", 269, 148, "Move around to see help", 19};
// Table order is tab order: Beep, Duration, Set, OffTitle, Back, OnTop, Zoom.
const ui::ControlSpec kControls[] = {
    {kBeep, "BUTTON", kCheckBox, 8, 8, 133, 17, "Beep on map change",
     "Play sound when new map is selected"},
    {kLabel1, "STATIC", 0, 10, 32, 0, 0, "Message duration",
     "Duration of message when map has changed"},
    {kDuration, "EDIT", kEdit, 128, 32, 57, 20, "", "Time in milliseconds; 0 means no message",
     WS_EX_CLIENTEDGE},
    {kSet, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 200, 103, 65, 20, "Set", "Accept changes"},
    {kLabel2, "STATIC", 0, 10, 56, 0, 0, "Title when off", "Title when no map is active"},
    {kOffTitle, "EDIT", kEdit, 128, 56, 57, 20, "", "Title when no map is active", WS_EX_CLIENTEDGE},
    {kBack, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 200, 78, 65, 20, "< Back", "Discard changes"},
    {kOnTop, "BUTTON", kCheckBox, 8, 80, 133, 17, "Always on top", "Keep Tessel always visible"},
    {kLabel4, "STATIC", 0, 10, 106, 0, 0, "Zoom  (%)", "Magnification of the visible elements"},
    {kZoom, "EDIT", kEdit, 128, 102, 57, 21, "", "Magnification in percents (90 - 1000)",
     WS_EX_CLIENTEDGE},
};

struct OptionsDialog {
  FrontEnd& app;
  HWND buttonWindow;
  ui::Form form;
  OptionsFields fields;  // read when the dialog is closed with "Set"
};

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  text.resize(std::char_traits<char>::length(text.c_str()));
  return text;
}

void SetCheck(HWND control, bool checked) {
  SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND control) { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void OnInitDialog(HWND dialog, OptionsDialog& d) {
  d.form.Build(dialog, kForm, kControls, sizeof kControls / sizeof kControls[0], d.app.zoom);
  d.form.CentreOnScreen();
  d.form.SetInfo(kForm.hint);
  SendMessageA(d.form.Item(kDuration), EM_LIMITTEXT, 4, 0);
  SendMessageA(d.form.Item(kOffTitle), EM_LIMITTEXT, 15, 0);
  SetWindowTextA(d.form.Item(kZoom), std::to_string(d.app.zoom).c_str());

  Profile& settings = d.app.settings;
  SetCheck(d.form.Item(kBeep), settings.ReadBool("TESSEL32", "DoBeep", true));
  // Shown as stored; checked only when it is set.
  SetWindowTextA(d.form.Item(kDuration),
                 settings.ReadString("TESSEL32", "MessageShowTime", "300").c_str());
  SetWindowTextA(d.form.Item(kOffTitle), OffTitle(d.buttonWindow).c_str());
  SetCheck(d.form.Item(kOnTop), settings.ReadBool("TESSEL32", "OnTop", true));
}

void ReadFields(OptionsDialog& d) {
  d.fields.beep = Checked(d.form.Item(kBeep));
  d.fields.duration = TextOf(d.form.Item(kDuration));
  d.fields.offTitle = TextOf(d.form.Item(kOffTitle));
  d.fields.onTop = Checked(d.form.Item(kOnTop));
  d.fields.zoom = TextOf(d.form.Item(kZoom));
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    OnInitDialog(dialog, *reinterpret_cast<OptionsDialog*>(lParam));
    return TRUE;
  }
  auto* d = reinterpret_cast<OptionsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!d) return FALSE;
  switch (message) {
    case WM_SETCURSOR:
      d->form.OnSetCursor(reinterpret_cast<HWND>(wParam));
      return FALSE;
    case WM_ACTIVATE:
      d->form.OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kSet) {
        ReadFields(*d);
        EndDialog(dialog, kSet);
        return TRUE;
      }
      if (LOWORD(wParam) == kBack) {  // also the close box and Escape
        EndDialog(dialog, kBack);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunOptionsDialog(HWND buttonWindow, FrontEnd& app) {
  Uninstall();
  OptionsDialog dialog{app, buttonWindow, {}, {}};
  const INT_PTR result =
      ui::RunModalDialog(buttonWindow, "TSettings", DialogProcedure, reinterpret_cast<LPARAM>(&dialog));
  // The button window closed meanwhile (its closing sequence has given the hook back).
  if (!IsWindow(buttonWindow)) return;
  std::string error;
  if (result == kSet) {
    AppliedOptions applied;
    applied.zoom = app.zoom;
    applied.offTitle = OffTitle(buttonWindow);
    try {
      StoreOptions(app.settings, dialog.fields, applied);
    } catch (const ProfileWriteError& failure) {
      error = failure.what();
    }
    app.zoom = applied.zoom;
    SetOffTitle(buttonWindow, applied.offTitle);
    if (applied.onTopChanged) SetAlwaysOnTop(buttonWindow, applied.onTop);
  }
  UpdateDisplay(buttonWindow);
  // The write stopped the changes; the hook still comes back.
  if (!error.empty()) ui::ShowError(buttonWindow, error);
  InstallHook(buttonWindow, app);
}

}  // namespace tessel
