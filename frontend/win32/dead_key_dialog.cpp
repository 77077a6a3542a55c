#include "dead_key_dialog.h"

#include <string>

namespace tessel {
namespace {

enum ControlId {
  kMapnameLabel = 101,  // "Mapname"
  kPlusLabel,           // "+"
  kDeadMap,             // the dead-key map's name, without its "+"
  kDefaultLabel,        // "Default Text"
  kDefault,             // the default text
  kBack = IDCANCEL,     // "<- Back"
  kAccept = IDOK,       // "Accept"
};

const ui::FormSpec kForm = {"Tessel+ : Dead key", 292, 63, "See help for details on dead keys", 0};
const ui::ControlSpec kControls[] = {
    {kMapnameLabel, "STATIC", SS_LEFT, 8, 8, 0, 0, "Mapname", nullptr},
    {kPlusLabel, "STATIC", SS_CENTER, 72, 0, 16, 29, "+", "Prefix for dead key maps"},
    {kDeadMap, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP, 88, 4, 109, 21, "",
     "Map for the next keystroke; it will be created if don't exist", WS_EX_CLIENTEDGE},
    {kDefaultLabel, "STATIC", SS_LEFT, 8, 35, 0, 0, "Default Text", nullptr},
    {kDefault, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP, 76, 31, 121, 21, "",
     "Output if the next keystroke is not mapped; usually the deadkey itself", WS_EX_CLIENTEDGE},
    {kBack, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 208, 6, 75, 17, "<- Back", "Discard changes"},
    {kAccept, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 208, 33, 75, 17, "Accept",
     "Accept changes and return to editor"},
};
constexpr int kPlusFontHeight = -24;

class DeadKeyDialog : public ui::Window {
 public:
  DeadKeyDialog(int zoom, ui::Form& editorForm, DeadKeyDialogTexts texts)
      : zoom_(zoom), editorForm_(editorForm), texts_(std::move(texts)) {}

  bool Run(HWND owner) { return RunModal(owner, "TKillDialog") == kAccept; }
  const DeadKeyDialogTexts& Texts() const { return texts_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SETCURSOR) ShowHint(reinterpret_cast<HWND>(wParam));
    switch (message) {
      TESSEL_DIALOG_MESSAGE(WM_INITDIALOG, OnInitDialog);
      TESSEL_DIALOG_MESSAGE(WM_COMMAND, OnCommand);
      default:
        return FALSE;
    }
  }

 private:
  BOOL OnInitDialog(HWND, LPARAM) {
    form_.Build(Handle(), kForm, kControls, zoom_);
    plusFont_.Reset(ui::CreateFaceFont("MS Sans Serif", form_.Scale(kPlusFontHeight),
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, FW_BOLD));
    SendMessageA(form_.Item(kPlusLabel), WM_SETFONT, reinterpret_cast<WPARAM>(plusFont_.Get()), FALSE);
    ui::SetText(form_.Item(kDeadMap), texts_.mapName);
    ui::SetText(form_.Item(kDefault), texts_.defaultText);
    form_.CentreOnScreen();
    SetFocus(form_.Item(kDeadMap));
    SendMessageA(form_.Item(kDeadMap), EM_SETSEL, 0, -1);
    return FALSE;  // the focus is set
  }

  // The dialog has no Info panel of its own: its hints show in the editor's.
  void ShowHint(HWND under) {
    const char* hint = form_.HintOf(under);
    if (hint == shownHint_) return;
    shownHint_ = hint;
    editorForm_.SetInfo(hint);
  }

  // "Accept" (and Enter), "<- Back" (Escape and the close box too). A name that no map may
  // have is refused as the name prompts refuse it, and the dialog stays for a correction.
  void OnCommand(int id, HWND, UINT) {
    if (id == kAccept) {
      const std::string name = ui::Text(form_.Item(kDeadMap));
      if (const char* problem = DeadKeyNameProblem(name)) {
        editorForm_.SetInfo(problem);
        MessageBeep(0);
        SetFocus(form_.Item(kDeadMap));
        return;
      }
      texts_ = {name, ui::Text(form_.Item(kDefault))};
    }
    if (id == kAccept || id == kBack) EndDialog(Handle(), id);
  }

  int zoom_;
  ui::Form& editorForm_;
  DeadKeyDialogTexts texts_;
  ui::Form form_;
  ui::FontHolder plusFont_;
  const char* shownHint_ = nullptr;
};

}  // namespace

bool RunDeadKeyDialog(HWND owner, int zoom, ui::Form& editorForm, DeadKeyDialogTexts& texts) {
  DeadKeyDialog dialog(zoom, editorForm, texts);
  if (!dialog.Run(owner)) return false;
  texts = dialog.Texts();
  return true;
}

}  // namespace tessel
