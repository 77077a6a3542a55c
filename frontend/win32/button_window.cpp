#include "button_window.h"

#include "about_box.h"
#include "dpi.h"
#include "form.h"
#include "frontend/button_geometry.h"
#include "frontend/captions.h"
#include "frontend/hook_handover.h"
#include "frontend/options.h"
#include "help.h"
#include "map_editor.h"
#include "options_dialog.h"
#include "tesshook32.h"
#include "wide_text.h"

#include <commctrl.h>

#include <string>

namespace tessel {
namespace {

constexpr const char* kClassName = "TMain";
constexpr const char* kSection = "TESSEL32";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 200;
constexpr int kButtonId = 100;
constexpr UINT_PTR kButtonSubclass = 0x4254;  // "BT"
constexpr int kMenuOffset = 5;                // the menu opens at the window's corner + 5

enum Command : UINT {
  kMenuClose = 10,
  kMenuMinimize,
  kMenuSize,
  kMenuMove,
  kMenuHide,
  kMenuEditMaps,
  kMenuOptions,
  kMenuHelpContents,
  kMenuAbout,
  kMapEntryBase = 0x1000,  // map entry i has the command kMapEntryBase + i
};
constexpr int kMaxMapEntries = 0xE000;

enum class MoveSize { Idle, MoveArmed, Moving, SizeArmed, Sizing };

bool KeyOpensContextMenu(UINT virtualKey) {
  return virtualKey == VK_APPS || (virtualKey == VK_F10 && GetKeyState(VK_SHIFT) < 0);
}

class ButtonWindow : public ui::Window, public FrontEndSteps {
 public:
  explicit ButtonWindow(FrontEnd& app) : app_(app), holder_{app.hook, *this, app.SettingsFile()} {}

  // Creates the window (which takes the hook) and reads messages until it is closed.
  int Run();

  const std::string& OffTitle() const { return offTitle_; }
  void SetOffTitle(const std::string& title) { offTitle_ = title; }
  void ShowDisplay();

  // FrontEndSteps
  bool RunMapEditor(std::string& edited) override;
  bool RunOptionsDialog() override;
  bool StartHiddenHost() override { return tessel::StartHiddenHost(); }
  void ShowError(const std::string& text) override { ui::ShowError(Handle(), text); }
  void Inform(const std::string&, int32_t) override {}
  bool WaitFor(const std::function<bool()>& done, uint32_t) override { return done(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  BOOL OnCreate(LPCREATESTRUCT);
  void OnSize(UINT state, int width, int height);
  void OnSetFocus(HWND previous);
  void OnTimer(UINT id);
  void OnCommand(int id, HWND control, UINT code);
  void OnContextMenu(HWND window, UINT x, UINT y);
  void OnMouseDown(BOOL doubleClick, int x, int y, UINT keys);
  void OnMouseMove(int x, int y, UINT keys);
  void OnMouseUp(int x, int y, UINT keys);
  void OnCaptureChanged(HWND gaining);
  void OnDpiChanged(UINT dpi, const RECT* suggested);
  BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
  void OnClose();
  void OnEndSession(BOOL ending);
  void OnDestroy();

  void StartUp();
  void Poll();
  void StartPoll() { SetTimer(Handle(), kPollTimer, kPollMilliseconds, nullptr); }
  void StopPoll() { KillTimer(Handle(), kPollTimer); }
  void BuildMenu();
  void RebuildMapEntries();
  void OpenMenu(int x, int y, UINT buttonFlag);
  void ChooseMap(int index);
  void EditMaps();
  void Options();
  void Hide();
  void Close();
  bool HandBack();
  WindowBounds BoundsToSave() const;
  void RestoreGeometry();
  void UseFontFor(UINT dpi);
  void ArmMoveSize(MoveSize armed);
  void EndMoveSize();
  static LRESULT CALLBACK ButtonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data);

  FrontEnd& app_;
  HookHolder holder_;
  HWND button_ = nullptr;
  ui::FontHolder font_;
  ui::MenuHolder pop_;  // Pop: the map entries, a separator and "Controls"
  int shownMap_ = 0;
  std::string offTitle_;
  MoveSize mode_ = MoveSize::Idle;
  POINT grab_ = {0, 0};
  UINT mapChangedMessage_ = RegisterWindowMessageW(TESSHOOK32_MAP_CHANGED_MESSAGE);
  bool handedBack_ = false;   // the closing sequence has run
  std::string closingError_;  // a failed write while closing, shown once the hook is given back
};

ButtonWindow* buttonWindow = nullptr;  // the one button window of the process

LRESULT ButtonWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    TESSEL_WINDOW_MESSAGE(WM_CREATE, OnCreate);
    TESSEL_WINDOW_MESSAGE(WM_SIZE, OnSize);
    TESSEL_WINDOW_MESSAGE(WM_SETFOCUS, OnSetFocus);
    TESSEL_WINDOW_MESSAGE(WM_TIMER, OnTimer);
    TESSEL_WINDOW_MESSAGE(WM_COMMAND, OnCommand);
    TESSEL_WINDOW_MESSAGE(WM_CONTEXTMENU, OnContextMenu);
    TESSEL_WINDOW_MESSAGE(WM_LBUTTONDOWN, OnMouseDown);
    TESSEL_WINDOW_MESSAGE(WM_RBUTTONDOWN, OnMouseDown);
    TESSEL_WINDOW_MESSAGE(WM_MBUTTONDOWN, OnMouseDown);
    TESSEL_WINDOW_MESSAGE(WM_MOUSEMOVE, OnMouseMove);
    TESSEL_WINDOW_MESSAGE(WM_LBUTTONUP, OnMouseUp);
    TESSEL_WINDOW_MESSAGE(WM_RBUTTONUP, OnMouseUp);
    TESSEL_WINDOW_MESSAGE(WM_MBUTTONUP, OnMouseUp);
    TESSEL_WINDOW_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged);
    TESSEL_WINDOW_MESSAGE(WM_DPICHANGED, OnDpiChanged);
    TESSEL_WINDOW_MESSAGE(WM_SETCURSOR, OnSetCursor);
    TESSEL_WINDOW_MESSAGE(WM_CLOSE, OnClose);
    TESSEL_WINDOW_MESSAGE(WM_ENDSESSION, OnEndSession);
    TESSEL_WINDOW_MESSAGE(WM_DESTROY, OnDestroy);
    default:
      // The program in front has switched the map: show it now, not at the next poll.
      if (message == mapChangedMessage_ && message != 0) {
        Poll();
        UpdateWindow(button_);
        return 0;
      }
      return DefaultProcedure(message, wParam, lParam);
  }
}

// --- Display and poll ------------------------------------------------------------------------

void ButtonWindow::ShowDisplay() {
  const std::string name = shownMap_ < 1 ? offTitle_ : app_.hook.MapByIndex(shownMap_);
  const std::string text = DoubleAmpersands(name);
  // The window's caption is also the text of its taskbar button.
  ui::SetText(Handle(), text);
  ui::SetText(button_, text);
}

void ButtonWindow::Poll() {
  const int selected = app_.hook.GetSelected();
  if (selected == shownMap_) return;
  shownMap_ = selected;
  ShowDisplay();
}

void ButtonWindow::OnTimer(UINT id) {
  if (id == kPollTimer) Poll();
}

// --- Menu ------------------------------------------------------------------------------------

// The top level holds the map entries, a separator and "Controls", which holds the rest.
void ButtonWindow::BuildMenu() {
  HMENU help = CreatePopupMenu();
  ui::AppendMenuItem(help, kMenuHelpContents, "Contents");
  ui::AppendMenuItem(help, kMenuAbout, "About");
  HMENU controls = CreatePopupMenu();
  ui::AppendMenuItem(controls, kMenuClose, "Close");
  ui::AppendMenuItem(controls, kMenuMinimize, "Minimize");
  ui::AppendMenuItem(controls, kMenuSize, "Size");
  ui::AppendMenuItem(controls, kMenuMove, "Move");
  ui::AppendMenuItem(controls, kMenuHide, "Hide");
  AppendMenuW(controls, MF_SEPARATOR, 0, nullptr);
  ui::AppendMenuItem(controls, kMenuEditMaps, "Edit Maps");
  ui::AppendMenuItem(controls, kMenuOptions, "Options");
  ui::AppendSubmenu(controls, help, "Help");
  pop_.Reset(CreatePopupMenu());
  AppendMenuW(pop_.Get(), MF_SEPARATOR, 0, nullptr);
  ui::AppendSubmenu(pop_.Get(), controls, "Controls");
}

// The map entries are the entries above the first separator.
void ButtonWindow::RebuildMapEntries() {
  HMENU pop = pop_.Get();
  while (GetMenuItemCount(pop) > 0 && !(GetMenuState(pop, 0, MF_BYPOSITION) & MF_SEPARATOR))
    DeleteMenu(pop, 0, MF_BYPOSITION);
  const int loaded = app_.hook.GetLoaded();
  UINT position = 0;
  for (int i = 0; i <= loaded && i < kMaxMapEntries; ++i) {
    const std::string name = app_.hook.MapByIndex(i);
    if (name.empty() || name[0] == '+') continue;  // dead-key maps are never offered
    InsertMenuW(pop, position++, MF_BYPOSITION | MF_STRING, kMapEntryBase + i,
                Wide(DoubleAmpersands(name)).c_str());
  }
}

// Opens Pop with its top-left corner at the screen point (x, y).
void ButtonWindow::OpenMenu(int x, int y, UINT buttonFlag) {
  HMENU pop = pop_.Get();
  const int selected = app_.hook.GetSelected();
  for (int position = 0, count = GetMenuItemCount(pop); position < count; ++position) {
    const UINT id = GetMenuItemID(pop, position);
    if (id == static_cast<UINT>(-1) || id < kMapEntryBase) break;
    const bool ticked = static_cast<int>(id - kMapEntryBase) == selected;
    CheckMenuItem(pop, position, MF_BYPOSITION | (ticked ? MF_CHECKED : MF_UNCHECKED));
  }
  // The menu closes when the user clicks elsewhere only if its owner is in the foreground.
  SetForegroundWindow(Handle());
  TrackPopupMenu(pop, TPM_LEFTALIGN | TPM_TOPALIGN | buttonFlag, x, y, 0, Handle(), nullptr);
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

// A right-click on the button, or the context-menu key or Shift+F10 while it has the focus
// (x and y are then -1): the same menu, at the pointer or at the button.
void ButtonWindow::OnContextMenu(HWND, UINT x, UINT y) {
  int left = static_cast<short>(x), top = static_cast<short>(y);
  if (left == -1 && top == -1) {
    RECT rect;
    GetWindowRect(Handle(), &rect);
    left = rect.left + kMenuOffset;
    top = rect.top + kMenuOffset;
  }
  OpenMenu(left, top, TPM_RIGHTBUTTON);
}

// The button takes the context-menu keys itself: the system would give Shift+F10 to the
// window menu.
LRESULT CALLBACK ButtonWindow::ButtonProcedure(HWND button, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!KeyOpensContextMenu(static_cast<UINT>(wParam))) break;
      if (!(lParam & (1 << 30)))  // not a repeat
        PostMessageW(GetParent(button), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button), -1);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (KeyOpensContextMenu(static_cast<UINT>(wParam)) || wParam == VK_APPS) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(button, ButtonProcedure, kButtonSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

// --- Commands --------------------------------------------------------------------------------

void ButtonWindow::OnCommand(int id, HWND control, UINT code) {
  if (control == button_ && code == BN_CLICKED) {
    RECT rect;
    GetWindowRect(Handle(), &rect);
    return OpenMenu(rect.left + kMenuOffset, rect.top + kMenuOffset, TPM_LEFTBUTTON);
  }
  if (control) return;
  if (id >= static_cast<int>(kMapEntryBase)) return ChooseMap(id - static_cast<int>(kMapEntryBase));
  switch (id) {
    case kMenuClose: return Close();
    case kMenuMinimize: ShowWindow(Handle(), SW_MINIMIZE); return;
    case kMenuSize: return ArmMoveSize(MoveSize::SizeArmed);
    case kMenuMove: return ArmMoveSize(MoveSize::MoveArmed);
    case kMenuHide: return Hide();
    case kMenuEditMaps: return EditMaps();
    case kMenuOptions: return Options();
    case kMenuHelpContents: return OpenHelp(Handle(), app_, HelpTopic::Contents);
    case kMenuAbout: return RunAboutBox(Handle(), app_);
    default: return;
  }
}

void ButtonWindow::ChooseMap(int index) {
  StopPoll();
  app_.hook.SelectMap(index);
  Poll();
  StartPoll();
}

void ButtonWindow::EditMaps() {
  ShowErrorIfAny(Handle(), tessel::EditMaps(holder_, FrontValueOf(Handle())));
  if (IsWindow(Handle())) RebuildMapEntries();
}

bool ButtonWindow::RunMapEditor(std::string& edited) {
  try {
    tessel::RunMapEditor(Handle(), app_, holder_, edited);
  } catch (const std::exception& error) {
    ui::ShowError(Handle(), error.what());
  }
  return IsWindow(Handle()) != FALSE;
}

void ButtonWindow::Options() {
  ShowErrorIfAny(Handle(), RunOptions(holder_, FrontValueOf(Handle())));
}

bool ButtonWindow::RunOptionsDialog() { return tessel::RunOptionsDialog(Handle(), app_); }

void ButtonWindow::Hide() {
  StopPoll();
  const std::string caption = ui::Text(button_);
  ui::SetText(button_, "Hiding...");
  UpdateWindow(button_);
  if (HideFrontEnd(holder_, app_.settings, BoundsToSave(), closingError_)) {
    handedBack_ = true;
    ReleaseInstanceGuard(app_);
    DestroyWindow(Handle());
    return;
  }
  ui::SetText(button_, caption);
  StartPoll();
}

// The closing sequence: geometry saved, hook given back. It runs before the window is
// destroyed, which can take a while (docs/platform-notes.md), so the hook changes hands at
// once; and again, doing nothing, when the window is destroyed. False when it had run.
bool ButtonWindow::HandBack() {
  if (handedBack_) return false;
  handedBack_ = true;
  StopPoll();
  closingError_ = CloseFrontEnd(holder_, app_.settings, BoundsToSave());
  ReleaseInstanceGuard(app_);
  return true;
}

void ButtonWindow::Close() {
  HandBack();
  DestroyWindow(Handle());
}

void ButtonWindow::OnClose() { Close(); }

// The session ends without destroying windows: close as the user would.
void ButtonWindow::OnEndSession(BOOL ending) {
  if (ending) Close();
}

void ButtonWindow::OnDestroy() {
  HandBack();
  pop_.Reset();
  PostQuitMessage(0);
}

// --- Geometry, move and size -----------------------------------------------------------------

// The bounds to keep: those the window has when it is restored, as a minimised window
// sits far off the screen.
WindowBounds ButtonWindow::BoundsToSave() const {
  RECT rect;
  GetWindowRect(Handle(), &rect);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (IsIconic(Handle()) && GetWindowPlacement(Handle(), &placement)) rect = placement.rcNormalPosition;
  const StoredBounds stored = BoundsToStore(
      {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, WindowDpi(Handle()));
  return {stored.left, stored.top, stored.width, stored.height};
}

void ButtonWindow::RestoreGeometry() {
  Profile& settings = app_.settings;
  StoredBounds stored;
  stored.width = settings.ReadInteger(kSection, "Width", kDesignBounds.width);
  stored.height = settings.ReadInteger(kSection, "Height", kDesignBounds.height);
  stored.top = settings.ReadInteger(kSection, "Top", kDesignBounds.top);
  stored.left = settings.ReadInteger(kSection, "Left", kDesignBounds.left);
  const StoredBounds bounds = RestoreButtonBounds(stored, GetSystemMetrics(SM_CXSCREEN),
                                                 GetSystemMetrics(SM_CYSCREEN), WindowDpi(Handle()));
  SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void ButtonWindow::OnSize(UINT, int width, int height) { MoveWindow(button_, 0, 0, width, height, TRUE); }

// The system's dialog font, which the stock font holds at the system's DPI, at dpi.
void ButtonWindow::UseFontFor(UINT dpi) {
  LOGFONTW font = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  font.lfWidth = 0;
  const HFONT scaled = CreateFontIndirectW(&font);
  SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), TRUE);
  font_.Reset(scaled);
}

// Moved to a monitor of another DPI: the size the system suggests keeps the visual size.
void ButtonWindow::OnDpiChanged(UINT dpi, const RECT* suggested) {
  UseFontFor(dpi);
  if (suggested)
    SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window's one control takes the keyboard: Enter and Space press it, the context-menu
// keys open the menu.
void ButtonWindow::OnSetFocus(HWND) { SetFocus(button_); }

void ButtonWindow::ArmMoveSize(MoveSize armed) {
  mode_ = armed;
  SetCapture(Handle());
  SetCursor(LoadCursorA(nullptr, armed == MoveSize::MoveArmed ? IDC_HAND : IDC_SIZENWSE));
}

void ButtonWindow::OnMouseDown(BOOL, int x, int y, UINT) {
  RECT rect;
  GetWindowRect(Handle(), &rect);
  if (mode_ == MoveSize::MoveArmed) {
    grab_ = {x, y};
    mode_ = MoveSize::Moving;
  } else if (mode_ == MoveSize::SizeArmed) {
    grab_ = {x - (rect.right - rect.left), y - (rect.bottom - rect.top)};
    mode_ = MoveSize::Sizing;
  }
}

void ButtonWindow::OnMouseMove(int x, int y, UINT) {
  if (mode_ == MoveSize::Moving) {
    POINT origin = {0, 0};
    ClientToScreen(Handle(), &origin);
    SetWindowPos(Handle(), nullptr, x + origin.x - grab_.x, y + origin.y - grab_.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (mode_ == MoveSize::Sizing) {
    SetWindowPos(Handle(), nullptr, 0, 0, x - grab_.x, y - grab_.y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Handled here, so no button's release makes a context menu of the window itself.
void ButtonWindow::OnMouseUp(int, int, UINT) { EndMoveSize(); }

void ButtonWindow::OnCaptureChanged(HWND gaining) {
  if (gaining != Handle()) EndMoveSize();
}

void ButtonWindow::EndMoveSize() {
  if (mode_ == MoveSize::Idle) return;
  mode_ = MoveSize::Idle;
  if (GetCapture() == Handle()) ReleaseCapture();
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

BOOL ButtonWindow::OnSetCursor(HWND window, UINT hitTest, UINT message) {
  if (mode_ != MoveSize::Idle) return TRUE;  // keep the move or size cursor
  return static_cast<BOOL>(FORWARD_WM_SETCURSOR(Handle(), window, hitTest, message, DefWindowProcW));
}

// --- Life --------------------------------------------------------------------------------------

BOOL ButtonWindow::OnCreate(LPCREATESTRUCT) {
  button_ = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0,
                            Handle(), reinterpret_cast<HMENU>(static_cast<intptr_t>(kButtonId)),
                            GetModuleHandleW(nullptr), nullptr);
  UseFontFor(WindowDpi(Handle()));
  SetWindowSubclass(button_, ButtonProcedure, kButtonSubclass, 0);
  return TRUE;
}

// Runs once the window exists, before it is shown.
void ButtonWindow::StartUp() {
  app_.helpFile = HelpFilePath();
  ShowErrorIfAny(Handle(), TakeHook(holder_, FrontValueOf(Handle())));
  if (!app_.startMap.empty()) app_.hook.SelectMap(app_.hook.IndexByMap(app_.startMap));
  app_.startMap.clear();
  shownMap_ = app_.hook.GetSelected();
  BuildMenu();
  RebuildMapEntries();
  mode_ = MoveSize::Idle;
  offTitle_ = app_.settings.ReadString(kSection, "TitleWhenOff", "Tessel+");
  RestoreGeometry();
  ShowDisplay();
  StartPoll();
  SetAlwaysOnTop(Handle(), app_.settings.ReadBool(kSection, "OnTop", true));
  app_.zoom = ZoomAtStart(app_.settings.ReadInteger(kSection, "Zoom", kDefaultZoom));
}

int ButtonWindow::Run() {
  // No caption bar and no frame; the system menu style lets the taskbar button minimise
  // and restore the window.
  HWND window = CreateTopLevel(kClassName, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, kDesignBounds.left,
                               kDesignBounds.top, kDesignBounds.width, kDesignBounds.height);
  if (!window) return 1;
  app_.buttonWindow = window;
  buttonWindow = this;
  StartUp();
  ShowWindow(window, SW_SHOWNOACTIVATE);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  app_.buttonWindow = nullptr;
  buttonWindow = nullptr;
  ShowErrorIfAny(nullptr, closingError_);
  return 0;
}

ButtonWindow* ButtonWindowOf(HWND window) {
  return buttonWindow && buttonWindow->Handle() == window ? buttonWindow : nullptr;
}

}  // namespace

std::string OffTitle(HWND window) {
  ButtonWindow* w = ButtonWindowOf(window);
  return w ? w->OffTitle() : std::string();
}

void SetOffTitle(HWND window, const std::string& title) {
  if (ButtonWindow* w = ButtonWindowOf(window)) w->SetOffTitle(title);
}

void UpdateDisplay(HWND window) {
  if (ButtonWindow* w = ButtonWindowOf(window)) w->ShowDisplay();
}

void SetAlwaysOnTop(HWND window, bool onTop) {
  SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int RunButtonWindow(FrontEnd& app) { return ButtonWindow(app).Run(); }

}  // namespace tessel
