// The front end's dialogs are built in code: a table of controls at design pixels (zoom
// 100), scaled once by the zoom when the dialog is created, with the hint of the control
// under the mouse shown in the dialog's Info panel.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace tessel::ui {

constexpr int kInfoPanelId = 900;

// Design pixels at a zoom percentage, truncated towards zero.
int Scale(int designPixels, int zoom);

// A GDI font owned for the life of a dialog.
class FontHolder {
 public:
  FontHolder() = default;
  explicit FontHolder(HFONT font) : font_(font) {}
  ~FontHolder() { Reset(); }
  FontHolder(const FontHolder&) = delete;
  FontHolder& operator=(const FontHolder&) = delete;
  void Reset(HFONT font = nullptr);
  HFONT Get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// CreateFontIndirectA with the given face, character height (negative: pixels) and
// character set; everything else zero except the output precision.
HFONT CreateFaceFont(const char* face, int height, BYTE charSet = DEFAULT_CHARSET,
                     BYTE outputPrecision = OUT_DEFAULT_PRECIS, int weight = FW_NORMAL);

struct ControlSpec {
  int id;
  const char* windowClass;  // "BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", ...
  DWORD style;              // WS_CHILD and WS_VISIBLE are added
  int left, top, width, height;  // design pixels; a label with width 0 is sized to its text
  const char* caption;
  const char* hint;  // nullptr: the form's own hint shows over it
  DWORD exStyle = 0;
};

struct FormSpec {
  const char* caption;
  int clientWidth, clientHeight;  // design pixels
  const char* hint;               // the form's own hint
  int infoHeight = 0;             // Info panel along the bottom edge; 0 for none
};

// One dialog's controls, fonts and hints. Owned by the dialog's state.
class Form {
 public:
  // Creates the controls inside dialog, scaled by zoom, in the "MS Sans Serif" font of
  // height -11 scaled too, and sizes the client area. Tab order is table order.
  void Build(HWND dialog, const FormSpec& spec, const ControlSpec* controls, size_t count,
             int zoom);

  HWND Window() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  int Zoom() const { return zoom_; }
  int Scale(int designPixels) const { return ui::Scale(designPixels, zoom_); }
  HFONT Font() const { return font_.Get(); }

  void CentreOnScreen();
  // Client height in design pixels (the window keeps its width).
  void SetClientHeight(int designPixels);
  // Text of the Info panel; it stays until the next hint replaces it.
  void SetInfo(const std::string& text);
  std::string Info() const;

  // Hint tracking: call from the dialog procedure. WM_SETCURSOR gives the window under
  // the mouse; WM_ACTIVATE turns the tracking on and off; WM_MENUSELECT with a hint of
  // the highlighted entry.
  void OnSetCursor(HWND under);
  void OnActivate(bool active);
  void ShowHint(const char* hint);
  // Hint of a control created from the table; the form's hint for anything else.
  const char* HintOf(HWND window) const;
  // Changes the hint of a control (for captions that change with a state).
  void SetHint(int id, const char* hint);

 private:
  HWND window_ = nullptr;
  int zoom_ = 100;
  FontHolder font_;
  const char* formHint_ = "";
  const ControlSpec* controls_ = nullptr;
  size_t count_ = 0;
  const char* changedHints_[8] = {};
  int changedIds_[8] = {};
  bool active_ = true;
  const char* shownHint_ = nullptr;
};

// Registers a dialog window class of that name (the front end's forms have class names of
// their own, "TSettings", "TAsk", ... so that other programs can find them).
void RegisterDialogClass(const char* className);

// Runs a modal dialog of a registered dialog class with an empty in-memory template (fixed
// frame, caption, close box); procedure builds its controls in WM_INITDIALOG, where lParam
// is param.
INT_PTR RunModalDialog(HWND owner, const char* className, DLGPROC procedure, LPARAM param);

// The front end's standard error box (settings-file write failures and the like). The
// text is shown as it is, never used as a format.
void ShowError(HWND owner, const std::string& text);

}  // namespace tessel::ui
