#include "font_dialog.h"

#include "wide_text.h"

#include <commdlg.h>

namespace tessel {
namespace {

constexpr const char* kCaption = "Tessel+ : Select a font for displaying replacement text";
constexpr int kPresetHeight = -19;

// Called once the dialog has set itself up, so the caption set here stays.
UINT_PTR CALLBACK HookProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetWindowTextW(dialog, Wide(kCaption).c_str());
    return TRUE;
  }
  return 0;
}

}  // namespace

bool ChooseDisplayFont(HWND owner, std::string& face, BYTE& charSet) {
  LOGFONTW font = {};
  font.lfHeight = kPresetHeight;
  font.lfCharSet = charSet;
  lstrcpynW(font.lfFaceName, Wide(face).c_str(), LF_FACESIZE);
  CHOOSEFONTW choose = {};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST | CF_ENABLEHOOK;
  choose.lpfnHook = HookProcedure;
  if (!ChooseFontW(&choose)) return false;
  face = Utf8(font.lfFaceName);
  charSet = font.lfCharSet;
  return true;
}

}  // namespace tessel
