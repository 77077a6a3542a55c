#include "about_box.h"

#include "form.h"
#include "frontend/version.h"

#include <string>

namespace tessel {
namespace {

enum ControlId {
  kVersion = 101,  // the version line
  kOk = IDOK,      // "Ok"
};

constexpr const char* kBitness = sizeof(void*) == 8 ? "(64 bit)" : "(32 bit)";

const ui::FormSpec kForm = {"About : Tessel+", 266, 158, nullptr, 0};
const ui::ControlSpec kControls[] = {
    {kVersion, "STATIC", SS_CENTER, 0, 8, 265, 17, "", nullptr},
    {kOk, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 93, 128, 75, 22, "Ok", nullptr},
};

class AboutBox : public ui::Window {
 public:
  AboutBox(const FrontEnd& app, int libraryVersion) : app_(app), libraryVersion_(libraryVersion) {}
  void Run(HWND owner) { RunModal(owner, "TAbout"); }

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
    form_.Build(Handle(), kForm, kControls, app_.zoom);
    form_.CentreOnScreen();
    ui::SetText(form_.Item(kVersion), std::string("Tessel+ ") + kBitness + "       ver: " +
                                          VersionText(kFrontEndVersion) + " / " +
                                          VersionText(libraryVersion_));
    return TRUE;
  }

  // "Ok", Enter, Escape and the close box.
  void OnCommand(int id, HWND, UINT) {
    if (id == kOk || id == IDCANCEL) EndDialog(Handle(), id);
  }

  const FrontEnd& app_;
  int libraryVersion_;
  ui::Form form_;
};

}  // namespace

void RunAboutBox(HWND owner, const FrontEnd& app) { AboutBox(app, LibraryVersion()).Run(owner); }

}  // namespace tessel
