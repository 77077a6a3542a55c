#include "about_box.h"

#include "form.h"
#include "frontend/version.h"

#include <string>

namespace tessel {
namespace {

enum ControlId { kVersion = 101, kOk = IDOK };

constexpr const char* kBitness = sizeof(void*) == 8 ? "(64 bit)" : "(32 bit)";

const ui::FormSpec kForm = {"About : Tessel+", 266, 158, nullptr, 0};
const ui::ControlSpec kControls[] = {
    {kVersion, "STATIC", SS_CENTER, 0, 8, 265, 17, "", nullptr},
    {kOk, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 93, 128, 75, 22, "Ok", nullptr},
};

struct AboutBox {
  const FrontEnd& app;
  int libraryVersion;
  ui::Form form;
};

void OnInitDialog(HWND dialog, AboutBox& box) {
  box.form.Build(dialog, kForm, kControls, sizeof kControls / sizeof kControls[0], box.app.zoom);
  box.form.CentreOnScreen();
  const std::string version = std::string("Tessel+ ") + kBitness + "       ver: " +
                              VersionText(kFrontEndVersion) + " / " +
                              VersionText(box.libraryVersion);
  SetWindowTextA(box.form.Item(kVersion), version.c_str());
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    OnInitDialog(dialog, *reinterpret_cast<AboutBox*>(lParam));
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == kOk || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunAboutBox(HWND owner, const FrontEnd& app) {
  AboutBox box{app, LibraryVersion(), {}};
  ui::RunModalDialog(owner, "TAbout", DialogProcedure, reinterpret_cast<LPARAM>(&box));
}

}  // namespace tessel
