// One way to write a window of the front end.
//
// Every window and dialog derives from ui::Window. The system's procedure finds the object
// through the window's user data and hands each message to its HandleMessage, a plain
// switch of <windowsx.h> crackers (TESSEL_DIALOG_MESSAGE, TESSEL_WINDOW_MESSAGE) that call
// small named handlers; no exception leaves a handler. Dialogs are built in code from a
// table of controls at design pixels (ui::Form), scaled by the zoom and the DPI of their
// monitor when they are created and again when they move to a monitor of another DPI, with
// the hint of the control under the mouse shown in the dialog's Info panel.
#pragma once
#include <windows.h>
#include <windowsx.h>

#include <cstddef>
#include <string>

namespace tessel::ui {

constexpr int kInfoPanelId = 900;

// Design pixels at a zoom percentage, truncated towards zero.
int Scale(int designPixels, int zoom);
// The zoom of the options (100: the design size) at a monitor's DPI: the percentage that
// design pixels are scaled by.
int ZoomAtDpi(int zoom, UINT dpi);

// --- Holders of what a window owns ---------------------------------------------------------

// A GDI font owned for the life of a window.
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

// A menu owned for the life of a window; its submenus go with it.
class MenuHolder {
 public:
  MenuHolder() = default;
  ~MenuHolder() { Reset(); }
  MenuHolder(const MenuHolder&) = delete;
  MenuHolder& operator=(const MenuHolder&) = delete;
  void Reset(HMENU menu = nullptr);
  HMENU Get() const { return menu_; }

 private:
  HMENU menu_ = nullptr;
};

// CreateFontIndirect with the given face, character height (negative: pixels) and
// character set; everything else zero except the output precision and the weight.
HFONT CreateFaceFont(const std::string& face, int height, BYTE charSet = DEFAULT_CHARSET,
                     BYTE outputPrecision = OUT_DEFAULT_PRECIS, int weight = FW_NORMAL);

// --- Control helpers -------------------------------------------------------------------------

std::string Text(HWND window);
void SetText(HWND window, const std::string& text);
bool Checked(HWND button);
void SetChecked(HWND button, bool checked);
// Text of item index of a list box, or of a combo box's list; empty for none.
std::string ListItemText(HWND list, int index);
std::string ComboItemText(HWND combo, int index);
// Adds an item at the end (a sorted list sorts it in); its index.
int AddListItem(HWND list, const std::string& text);
void AddComboItem(HWND combo, const std::string& text);
// Index of the first item whose whole text equals text, ignoring case; -1 for none.
int FindListItem(HWND list, const std::string& text);
void AppendMenuItem(HMENU menu, UINT id, const std::string& caption);
void AppendSubmenu(HMENU menu, HMENU submenu, const std::string& caption);

// The front end's standard error box (settings-file write failures and the like). The
// text is shown as it is, never used as a format.
void ShowError(HWND owner, const std::string& text);

// --- Dialog layouts --------------------------------------------------------------------------

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

// One dialog's controls, fonts and hints.
class Form {
 public:
  // Creates the controls inside dialog, scaled by zoom at the DPI of the dialog's monitor,
  // in the "MS Sans Serif" font of height -11 scaled too, and sizes the client area. Tab
  // order is table order. When the dialog moves to a monitor of another DPI, every child
  // is moved and sized in proportion and given the font for that DPI (Rescale, called by
  // ui::Window before the dialog's own handler hears of WM_DPICHANGED).
  template <size_t count>
  void Build(HWND dialog, const FormSpec& spec, const ControlSpec (&controls)[count], int zoom) {
    Build(dialog, spec, controls, count, zoom);
  }
  void Build(HWND dialog, const FormSpec& spec, const ControlSpec* controls, size_t count, int zoom);

  HWND Window() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  // The percentage design pixels are scaled by: the options' zoom at the dialog's DPI.
  int Zoom() const { return zoom_; }
  int Scale(int designPixels) const { return ui::Scale(designPixels, zoom_); }
  HFONT Font() const { return font_.Get(); }

  void CentreOnScreen();
  // Client height in design pixels (the window keeps its width).
  void SetClientHeight(int designPixels);
  // Text of the Info panel; it stays until the next hint replaces it.
  void SetInfo(const std::string& text);
  std::string Info() const;

  // Hint tracking, from the dialog's procedure before its own handlers: WM_SETCURSOR
  // gives the window under the mouse, WM_ACTIVATE turns the tracking on and off.
  void TrackHints(UINT message, WPARAM wParam);
  void ShowHint(const char* hint);
  // Hint of a control created from the table; the form's hint for anything else.
  const char* HintOf(HWND window) const;
  // Changes the hint of a control (for captions that change with a state).
  void SetHint(int id, const char* hint);

  // The form built in dialog; nullptr for none.
  static Form* Of(HWND dialog);
  // The controls and the font at dpi, the window at the system's suggested rectangle.
  void Rescale(UINT dpi, const RECT& suggested);

 private:
  HWND window_ = nullptr;
  int optionsZoom_ = 100;
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

// --- The base of every window ------------------------------------------------------------

class Window {
 public:
  Window() = default;
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND Handle() const { return handle_; }

 protected:
  // One message. Dialogs answer as a dialog procedure does (TRUE when handled, results
  // through SetDlgMsgResult, which TESSEL_DIALOG_MESSAGE does); windows return the
  // message's result and pass what they do not handle to DefaultProcedure.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);

  // A modal dialog of its own class (registered on first use, so that other programs can
  // find it by its name) from an empty template: fixed frame, caption and close box. The
  // form is built in the WM_INITDIALOG handler.
  INT_PTR RunModal(HWND owner, const char* className);
  // A top-level window of its own class with the default arrow cursor and face colour.
  HWND CreateTopLevel(const char* className, DWORD style, int left, int top, int width,
                      int height);
  // What escaped a handler; shown in the standard error box.
  virtual void OnFailure(const char* what);

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Guarded(UINT message, WPARAM wParam, LPARAM lParam, LRESULT failed);

  HWND handle_ = nullptr;
  bool dialog_ = false;
};

}  // namespace tessel::ui

// Crackers that <windowsx.h> lacks, in its style.
#define HANDLE_WM_HELP(hwnd, wParam, lParam, fn) (LRESULT)(DWORD)(WINBOOL)(fn)((hwnd), (LPHELPINFO)(lParam))
#define HANDLE_WM_CAPTURECHANGED(hwnd, wParam, lParam, fn) ((fn)((hwnd), (HWND)(lParam)), (LRESULT)0)
#define HANDLE_WM_DPICHANGED(hwnd, wParam, lParam, fn) \
  ((fn)((hwnd), (UINT)HIWORD(wParam), (const RECT*)(lParam)), (LRESULT)0)

// A case of HandleMessage that cracks the message with <windowsx.h> and calls the member
// `handler` with the cracker's arguments after the window handle.
#define TESSEL_CRACK_WITH(cracker, handler) \
  cracker(this, wParam, lParam, [](auto* self, auto... a) { return self->handler(a...); })
#define TESSEL_CRACK(message, handler) TESSEL_CRACK_WITH(HANDLE_##message, handler)
#define TESSEL_DIALOG_MESSAGE(message, handler) \
  case message:                                 \
    return SetDlgMsgResult(Handle(), message, TESSEL_CRACK_WITH(HANDLE_##message, handler))
#define TESSEL_WINDOW_MESSAGE(message, handler) \
  case message:                                 \
    return TESSEL_CRACK_WITH(HANDLE_##message, handler)
