#include "button_window.h"

#include "about_box.h"
#include "common/win32/win32_profile.h"
#include "form.h"
#include "frontend/button_geometry.h"
#include "frontend/captions.h"
#include "frontend/options.h"
#include "help.h"
#include "map_editor.h"
#include "options_dialog.h"
#include "tesshook32.h"

#include <string>

namespace tessel {
namespace {

constexpr const char* kClassName = "TMain";
constexpr const char* kSection = "TESSEL32";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 200;
constexpr int kButtonId = 100;

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

struct ButtonWindow {
  explicit ButtonWindow(FrontEnd& frontEnd) : app(frontEnd) {}
  FrontEnd& app;
  HWND window = nullptr;
  HWND button = nullptr;
  HMENU pop = nullptr;
  int shownMap = 0;
  std::string offTitle;
  MoveSize mode = MoveSize::Idle;
  POINT grab = {0, 0};
  bool handedBack = false;   // the closing sequence has run
  std::string closingError;  // a failed write while closing, shown once the hook is given back
};

ButtonWindow* StateOf(HWND window) {
  return window ? reinterpret_cast<ButtonWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA))
                : nullptr;
}

void ShowDisplay(ButtonWindow& w) {
  const std::string name = w.shownMap < 1 ? w.offTitle : std::string(MapByIndex(w.shownMap));
  const std::string text = DoubleAmpersands(name);
  // The window's caption is also the text of its taskbar button.
  SetWindowTextA(w.window, text.c_str());
  SetWindowTextA(w.button, text.c_str());
}

void Poll(ButtonWindow& w) {
  const int selected = GetSelected();
  if (selected == w.shownMap) return;
  w.shownMap = selected;
  ShowDisplay(w);
}

void StartPoll(ButtonWindow& w) { SetTimer(w.window, kPollTimer, kPollMilliseconds, nullptr); }
void StopPoll(ButtonWindow& w) { KillTimer(w.window, kPollTimer); }

// The top level holds the map entries, a separator and "Controls", which holds the rest.
HMENU BuildMenu() {
  HMENU help = CreatePopupMenu();
  AppendMenuA(help, MF_STRING, kMenuHelpContents, "Contents");
  AppendMenuA(help, MF_STRING, kMenuAbout, "About");
  HMENU controls = CreatePopupMenu();
  AppendMenuA(controls, MF_STRING, kMenuClose, "Close");
  AppendMenuA(controls, MF_STRING, kMenuMinimize, "Minimize");
  AppendMenuA(controls, MF_STRING, kMenuSize, "Size");
  AppendMenuA(controls, MF_STRING, kMenuMove, "Move");
  AppendMenuA(controls, MF_STRING, kMenuHide, "Hide");
  AppendMenuA(controls, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(controls, MF_STRING, kMenuEditMaps, "Edit Maps");
  AppendMenuA(controls, MF_STRING, kMenuOptions, "Options");
  AppendMenuA(controls, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "Help");
  HMENU pop = CreatePopupMenu();
  AppendMenuA(pop, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(pop, MF_POPUP, reinterpret_cast<UINT_PTR>(controls), "Controls");
  return pop;
}

// The map entries are the entries above the first separator.
void RebuildMapEntries(ButtonWindow& w) {
  while (GetMenuItemCount(w.pop) > 0 && !(GetMenuState(w.pop, 0, MF_BYPOSITION) & MF_SEPARATOR))
    DeleteMenu(w.pop, 0, MF_BYPOSITION);
  const int loaded = GetLoaded();
  UINT position = 0;
  for (int i = 0; i <= loaded && i < kMaxMapEntries; ++i) {
    const std::string name = MapByIndex(i);
    if (name.empty() || name[0] == '+') continue;  // dead-key maps are never offered
    InsertMenuA(w.pop, position++, MF_BYPOSITION | MF_STRING, kMapEntryBase + i,
                DoubleAmpersands(name).c_str());
  }
}

void OpenMenu(ButtonWindow& w) {
  const int selected = GetSelected();
  for (int position = 0, count = GetMenuItemCount(w.pop); position < count; ++position) {
    const UINT id = GetMenuItemID(w.pop, position);
    if (id == static_cast<UINT>(-1) || id < kMapEntryBase) break;
    const bool ticked = static_cast<int>(id - kMapEntryBase) == selected;
    CheckMenuItem(w.pop, position, MF_BYPOSITION | (ticked ? MF_CHECKED : MF_UNCHECKED));
  }
  RECT rect;
  GetWindowRect(w.window, &rect);
  // The menu closes when the user clicks elsewhere only if its owner is in the foreground.
  SetForegroundWindow(w.window);
  TrackPopupMenu(w.pop, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, rect.left + 5,
                 rect.top + 5, 0, w.window, nullptr);
  PostMessageA(w.window, WM_NULL, 0, 0);
}

void ChooseMap(ButtonWindow& w, int index) {
  StopPoll(w);
  SelectMap(index);
  Poll(w);
  StartPoll(w);
}

void EditMaps(ButtonWindow& w) {
  std::string edited = MapByIndex(GetSelected());
  Uninstall();
  try {
    RunMapEditor(w.window, w.app, edited);
  } catch (const std::exception& error) {
    ui::ShowError(w.window, error.what());
  }
  if (!IsWindow(w.window)) return;  // closed meanwhile: its closing sequence ran
  // Whatever happened in the editor, the hook comes back.
  InstallHook(w.window, w.app);
  SelectMap(IndexByMap(edited.c_str()));
  RebuildMapEntries(w);
}

// The bounds to keep: those the window has when it is restored, as a minimised window
// sits far off the screen.
RECT BoundsToSave(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (IsIconic(window) && GetWindowPlacement(window, &placement)) rect = placement.rcNormalPosition;
  return rect;
}

void WriteGeometry(ButtonWindow& w) {
  const RECT rect = BoundsToSave(w.window);
  Profile& settings = w.app.settings;
  settings.WriteInteger(kSection, "Width", rect.right - rect.left);
  settings.WriteInteger(kSection, "Height", rect.bottom - rect.top);
  settings.WriteInteger(kSection, "Top", rect.top);
  settings.WriteInteger(kSection, "Left", rect.left);
}

// The closing sequence: geometry saved, hook given back. It runs before the window is
// destroyed, which can take a while (docs/platform-notes.md), so the hook changes hands at
// once; and again, doing nothing, when the window is destroyed.
void HandBack(ButtonWindow& w) {
  if (w.handedBack) return;
  w.handedBack = true;
  StopPoll(w);
  try {
    WriteGeometry(w);
  } catch (const ProfileWriteError& error) {
    w.closingError = error.what();
  }
  // Uninstall leaves the front value 0. No second write follows: a host that installs
  // right after it keeps its claim.
  Uninstall();
  const char* uninstallError = GetLastErrorText();  // the selection could not be saved
  if (w.closingError.empty() && uninstallError) w.closingError = uninstallError;
  ReleaseInstanceGuard(w.app);
}

void Close(ButtonWindow& w) {
  HandBack(w);
  DestroyWindow(w.window);
}

void GoToHiddenMode(ButtonWindow& w) {
  StopPoll(w);
  char caption[256] = "";
  GetWindowTextA(w.button, caption, sizeof caption);
  SetWindowTextA(w.button, "Hiding...");
  UpdateWindow(w.button);
  try {
    w.app.settings.WriteInteger(kSection, "ShowWindow", 0);
  } catch (const ProfileWriteError& error) {
    ui::ShowError(w.window, error.what());  // hidden mode goes on; only the next start differs
  }
  if (StartHiddenHost()) {
    Close(w);
    return;
  }
  SetWindowTextA(w.button, caption);
  StartPoll(w);
}

void ArmMoveSize(ButtonWindow& w, MoveSize armed) {
  w.mode = armed;
  SetCapture(w.window);
  SetCursor(LoadCursorA(nullptr, armed == MoveSize::MoveArmed ? IDC_HAND : IDC_SIZENWSE));
}

void OnMouseDown(ButtonWindow& w, int x, int y) {
  RECT rect;
  GetWindowRect(w.window, &rect);
  if (w.mode == MoveSize::MoveArmed) {
    w.grab = {x, y};
    w.mode = MoveSize::Moving;
  } else if (w.mode == MoveSize::SizeArmed) {
    w.grab = {x - (rect.right - rect.left), y - (rect.bottom - rect.top)};
    w.mode = MoveSize::Sizing;
  }
}

void OnMouseMove(ButtonWindow& w, int x, int y) {
  if (w.mode == MoveSize::Moving) {
    POINT origin = {0, 0};
    ClientToScreen(w.window, &origin);
    SetWindowPos(w.window, nullptr, x + origin.x - w.grab.x, y + origin.y - w.grab.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (w.mode == MoveSize::Sizing) {
    SetWindowPos(w.window, nullptr, 0, 0, x - w.grab.x, y - w.grab.y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void EndMoveSize(ButtonWindow& w) {
  if (w.mode == MoveSize::Idle) return;
  w.mode = MoveSize::Idle;
  if (GetCapture() == w.window) ReleaseCapture();
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void OnCommand(ButtonWindow& w, UINT id, UINT code, HWND control) {
  if (control == w.button && code == BN_CLICKED) return OpenMenu(w);
  if (control) return;
  if (id >= kMapEntryBase) return ChooseMap(w, static_cast<int>(id - kMapEntryBase));
  switch (id) {
    case kMenuClose: Close(w); break;
    case kMenuMinimize: ShowWindow(w.window, SW_MINIMIZE); break;
    case kMenuSize: ArmMoveSize(w, MoveSize::SizeArmed); break;
    case kMenuMove: ArmMoveSize(w, MoveSize::MoveArmed); break;
    case kMenuHide: GoToHiddenMode(w); break;
    case kMenuEditMaps: EditMaps(w); break;
    case kMenuOptions: RunOptionsDialog(w.window, w.app); break;
    case kMenuHelpContents: OpenHelp(w.window, w.app, HelpTopic::Contents); break;
    case kMenuAbout: RunAboutBox(w.window, w.app); break;
    default: break;
  }
}

void RestoreGeometry(ButtonWindow& w) {
  Profile& settings = w.app.settings;
  StoredBounds stored;
  stored.width = settings.ReadInteger(kSection, "Width", kDesignBounds.width);
  stored.height = settings.ReadInteger(kSection, "Height", kDesignBounds.height);
  stored.top = settings.ReadInteger(kSection, "Top", kDesignBounds.top);
  stored.left = settings.ReadInteger(kSection, "Left", kDesignBounds.left);
  const StoredBounds bounds =
      RestoreButtonBounds(stored, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(w.window, nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnCreate(ButtonWindow& w) {
  w.button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0,
                             w.window, reinterpret_cast<HMENU>(static_cast<intptr_t>(kButtonId)),
                             GetModuleHandleA(nullptr), nullptr);
  SendMessageA(w.button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
}

// Runs once the window exists, before it is shown.
void StartUp(ButtonWindow& w) {
  w.app.helpFile = HelpFilePath();
  InstallHook(w.window, w.app);
  if (!w.app.startMap.empty()) SelectMap(IndexByMap(w.app.startMap.c_str()));
  w.app.startMap.clear();
  w.shownMap = GetSelected();
  w.pop = BuildMenu();
  RebuildMapEntries(w);
  w.mode = MoveSize::Idle;
  w.offTitle = w.app.settings.ReadString(kSection, "TitleWhenOff", "Tessel+");
  RestoreGeometry(w);
  ShowDisplay(w);
  StartPoll(w);
  SetAlwaysOnTop(w.window, w.app.settings.ReadBool(kSection, "OnTop", true));
  w.app.zoom = ZoomAtStart(w.app.settings.ReadInteger(kSection, "Zoom", kDefaultZoom));
}

void OnDestroy(ButtonWindow& w) {
  HandBack(w);
  if (w.pop) DestroyMenu(w.pop);
  w.pop = nullptr;
  PostQuitMessage(0);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ButtonWindow* w = StateOf(window);
  if (message == WM_NCCREATE) {
    w = static_cast<ButtonWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    w->window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  if (!w) return DefWindowProcA(window, message, wParam, lParam);
  try {
    switch (message) {
      case WM_CREATE: OnCreate(*w); return 0;
      case WM_SIZE:
        MoveWindow(w->button, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
      case WM_TIMER:
        if (wParam == kPollTimer) Poll(*w);
        return 0;
      case WM_COMMAND:
        OnCommand(*w, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
      case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        OnMouseDown(*w, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
      case WM_MOUSEMOVE:
        OnMouseMove(*w, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
      case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: EndMoveSize(*w); return 0;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window) EndMoveSize(*w);
        return 0;
      case WM_SETCURSOR:
        if (w->mode != MoveSize::Idle) return TRUE;  // keep the move or size cursor
        break;
      case WM_CLOSE: Close(*w); return 0;
      case WM_ENDSESSION:
        // The session ends without destroying windows: close as the user would.
        if (wParam) Close(*w);
        return 0;
      case WM_DESTROY: OnDestroy(*w); return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
      default: break;
    }
  } catch (const std::exception& error) {
    ui::ShowError(window, error.what());
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::string OffTitle(HWND buttonWindow) {
  ButtonWindow* w = StateOf(buttonWindow);
  return w ? w->offTitle : std::string();
}

void SetOffTitle(HWND buttonWindow, const std::string& title) {
  if (ButtonWindow* w = StateOf(buttonWindow)) w->offTitle = title;
}

void UpdateDisplay(HWND buttonWindow) {
  if (ButtonWindow* w = StateOf(buttonWindow)) ShowDisplay(*w);
}

void SetAlwaysOnTop(HWND buttonWindow, bool onTop) {
  SetWindowPos(buttonWindow, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int RunButtonWindow(FrontEnd& app) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);

  ButtonWindow state(app);
  // No caption bar and no frame; the system menu style lets the taskbar button minimise
  // and restore the window.
  HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                                kDesignBounds.left, kDesignBounds.top, kDesignBounds.width,
                                kDesignBounds.height, nullptr, nullptr, GetModuleHandleA(nullptr),
                                &state);
  if (!window) return 1;
  app.buttonWindow = window;
  StartUp(state);
  ShowWindow(window, SW_SHOWNOACTIVATE);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  app.buttonWindow = nullptr;
  if (!state.closingError.empty()) ui::ShowError(nullptr, state.closingError);
  return 0;
}

}  // namespace tessel
