#include "options_dialog.h"

#include "button_window.h"
#include "form.h"
#include "frontend/options.h"

#include <string>

namespace tessel {
namespace {

// Controls, with their captions. Set and < Back are the dialog's OK and Cancel, so Enter
// and Escape press them.
enum ControlId {
  kBeep = 101,  // "Beep on map change"
  kLabel1,      // "Message duration"
  kDuration,
  kLabel2,      // "Title when off"
  kOffTitle,
  kOnTop,       // "Always on top"
  kLabel4,      // "Zoom  (%)"
  kZoom,
  kBack = IDCANCEL,  // "< Back"
  kSet = IDOK,       // "Set"
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

class OptionsDialog : public ui::Window {
 public:
  OptionsDialog(FrontEnd& app, HWND buttonWindow) : app_(app), buttonWindow_(buttonWindow) {}
  bool Run() { return RunModal(buttonWindow_, "TSettings") == kSet; }
  // The fields as they were when the dialog was closed with "Set".
  const OptionsFields& Fields() const { return fields_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    form_.TrackHints(message, wParam);
    switch (message) {
      TESSEL_DIALOG_MESSAGE(WM_INITDIALOG, OnInitDialog);
      TESSEL_DIALOG_MESSAGE(WM_COMMAND, OnCommand);
      default:
        return FALSE;
    }
  }

 private:
  BOOL OnInitDialog(HWND, LPARAM) {
    form_.Build(Handle(), kForm, kControls, app_.zoom);
    form_.CentreOnScreen();
    form_.SetInfo(kForm.hint);
    SendMessageA(form_.Item(kDuration), EM_LIMITTEXT, 4, 0);
    SendMessageA(form_.Item(kOffTitle), EM_LIMITTEXT, 15, 0);
    ui::SetText(form_.Item(kZoom), std::to_string(app_.zoom));

    Profile& settings = app_.settings;
    ui::SetChecked(form_.Item(kBeep), settings.ReadBool("TESSEL32", "DoBeep", true));
    // Shown as stored; checked only when it is set.
    ui::SetText(form_.Item(kDuration), settings.ReadString("TESSEL32", "MessageShowTime", "300"));
    ui::SetText(form_.Item(kOffTitle), OffTitle(buttonWindow_));
    ui::SetChecked(form_.Item(kOnTop), settings.ReadBool("TESSEL32", "OnTop", true));
    return TRUE;
  }

  // Set, < Back, Enter, Escape and the close box.
  void OnCommand(int id, HWND, UINT) {
    if (id == kSet) {
      fields_.beep = ui::Checked(form_.Item(kBeep));
      fields_.duration = ui::Text(form_.Item(kDuration));
      fields_.offTitle = ui::Text(form_.Item(kOffTitle));
      fields_.onTop = ui::Checked(form_.Item(kOnTop));
      fields_.zoom = ui::Text(form_.Item(kZoom));
    }
    if (id == kSet || id == kBack) EndDialog(Handle(), id);
  }

  FrontEnd& app_;
  HWND buttonWindow_;
  ui::Form form_;
  OptionsFields fields_;
};

}  // namespace

bool RunOptionsDialog(HWND buttonWindow, FrontEnd& app) {
  OptionsDialog dialog(app, buttonWindow);
  const bool set = dialog.Run();
  // The button window closed meanwhile (its closing sequence has given the hook back).
  if (!IsWindow(buttonWindow)) return false;
  std::string error;
  if (set) {
    AppliedOptions applied;
    applied.zoom = app.zoom;
    applied.offTitle = OffTitle(buttonWindow);
    try {
      StoreOptions(app.settings, dialog.Fields(), applied);
    } catch (const ProfileWriteError& failure) {
      error = failure.what();
    }
    app.zoom = applied.zoom;
    SetOffTitle(buttonWindow, applied.offTitle);
    if (applied.onTopChanged) SetAlwaysOnTop(buttonWindow, applied.onTop);
  }
  UpdateDisplay(buttonWindow);
  // The write stopped the changes; the hook still comes back.
  ShowErrorIfAny(buttonWindow, error);
  return true;
}

}  // namespace tessel
