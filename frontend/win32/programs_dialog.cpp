#include "programs_dialog.h"

#include "frontend/captions.h"

namespace tessel {
namespace {

enum ControlId {
  kPrompt = 101,      // what the list is for
  kPrograms,          // the map's programs, one file name a line
  kIgnoredLabel,      // "Ignored rules"
  kIgnored,           // the rules of [Programs] the hook ignores, with the reason
  kBack = IDCANCEL,   // "<- Back"
  kAccept = IDOK,     // "Accept"
};

constexpr DWORD kMultiLine = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
const ui::FormSpec kForm = {"Tessel+ : Programs", 320, 232, nullptr, 0};
const ui::ControlSpec kControls[] = {
    {kPrompt, "STATIC", SS_LEFT, 8, 6, 304, 30, "", nullptr},
    {kPrograms, "EDIT", kMultiLine | ES_WANTRETURN | WS_TABSTOP, 8, 38, 220, 98, "", nullptr,
     WS_EX_CLIENTEDGE},
    {kAccept, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 236, 38, 76, 20, "Accept", nullptr},
    {kBack, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 236, 64, 76, 20, "<- Back", nullptr},
    {kIgnoredLabel, "STATIC", SS_LEFT, 8, 142, 304, 14, "Ignored rules of [Programs]:", nullptr},
    {kIgnored, "EDIT", kMultiLine | ES_READONLY | WS_TABSTOP, 8, 158, 304, 66, "", nullptr,
     WS_EX_CLIENTEDGE},
};

class ProgramsDialog : public ui::Window {
 public:
  ProgramsDialog(int zoom, ui::Form& editorForm, std::string prompt, std::string programs,
                 std::string ignored, const std::function<std::string(const std::string&)>& accept)
      : zoom_(zoom), editorForm_(editorForm), prompt_(std::move(prompt)), programs_(std::move(programs)),
        ignored_(std::move(ignored)), accept_(accept) {}
  bool Run(HWND owner) { return RunModal(owner, "TPrograms") == kAccept; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
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
    form_.CentreOnScreen();
    ui::SetText(form_.Item(kPrompt), prompt_);
    ui::SetText(form_.Item(kPrograms), programs_);
    ui::SetText(form_.Item(kIgnored), ignored_.empty() ? "none" : ignored_);
    SetFocus(form_.Item(kPrograms));
    return FALSE;  // the focus is set
  }

  // "Accept" with a list that passes, "<- Back", Escape and the close box.
  void OnCommand(int id, HWND, UINT) {
    if (id == kAccept) {
      const std::string refusal = accept_(ui::Text(form_.Item(kPrograms)));
      if (!refusal.empty()) {
        editorForm_.SetInfo(refusal);
        MessageBeep(0);
        return;
      }
    }
    if (id == kAccept || id == kBack) EndDialog(Handle(), id);
  }

  int zoom_;
  ui::Form& editorForm_;
  std::string prompt_, programs_, ignored_;
  const std::function<std::string(const std::string&)>& accept_;
  ui::Form form_;
};

}  // namespace

bool RunProgramsDialog(HWND owner, int zoom, ui::Form& editorForm, const std::string& mapName,
                       const std::string& programs, const std::string& ignoredRules,
                       const std::function<std::string(const std::string&)>& accept) {
  // A static control shows "&" as a prefix: the name's own are doubled.
  const std::string prompt = "Programs that switch to " + DoubleAmpersands(mapName) +
                             " when they come to the front, one file name a line (for example WINWORD.EXE):";
  return ProgramsDialog(zoom, editorForm, prompt, programs, ignoredRules, accept).Run(owner);
}

}  // namespace tessel
