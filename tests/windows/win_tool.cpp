// win_tool.exe COMMAND ...: looks at and drives the windows of other programs for the
// end-to-end tests. A TITLE names a visible top-level window: the one with exactly that
// title, else the first whose title contains it. A CONTROL names a descendant of it: its
// control id, "@N" for the Nth in the order of `children`, or (click only) the text of a
// button, '&' ignored. Arguments and output are UTF-8; output lines end in "\n" only.
//   list                      visible top-level windows: hwnd pid class [title] l,t,r,b
//   children TITLE            its descendants: index class id [text] l,t,r,b visible
//   wait-window TITLE SECS    exit 0 as soon as the window exists, 1 after SECS
//   wait-gone TITLE SECS      exit 0 as soon as no such window exists, 1 after SECS
//   fg TITLE                  make it the foreground window (exit 1 if that fails)
//   fgattach TITLE CONTROL    fg, then give the keyboard focus to CONTROL
//   getfg                     the foreground window's title
//   focus                     the control with the keyboard focus: id class [text]
//   rect TITLE [client]       l,t,r,b of the window (or of its client area) on the screen
//   style TITLE [CONTROL]     style and extended style in hex
//   close TITLE               WM_CLOSE to every window matching TITLE
//   text TITLE CONTROL        the control's text
//   settext TITLE CONTROL TEXT
//   click TITLE CONTROL       BM_CLICK; returns once the click is handled or has opened a
//                             window of the button's thread (a dialog, message box or menu)
//   checked TITLE CONTROL     1 when the check box is ticked, else 0
//   items TITLE CONTROL       items of a list or combo box: index, "*" when selected, item
//                             data (hex), text with "\" and bytes outside 32..126 as \xHH
//   select TITLE CONTROL N    select item N of a combo box and notify the owner (CBN_SELCHANGE)
//   setsel TITLE CONTROL S E  select characters S..E of an edit control
//   menu TITLE                the open popup menus of TITLE's thread (or its menu bar), as
//                             probe.dll writes them: depth position id flags text rect
//   menu-pick TITLE TEXT...   choose each shown item TEXT ('&' as shown) of TITLE's open
//                             menus in turn by keys, waiting up to 10 s for each to show
//   menu-highlight TITLE TEXT only highlight the shown item TEXT, by keys
//   menu-close TITLE          close the open menus of TITLE's thread
//   procs                     running processes: pid image-name
//   kill EXENAME              TerminateProcess every process with that image name
//   ping TITLE MS             SendMessageTimeout(WM_NULL) with MS ms: "answered=1 ms=N" or
//                             "answered=0" (exit 1): does the window's thread serve
//                             messages sent to it?
//   hold-event NAME SECS      creates an event named NAME, prints "holding=NAME", keeps it SECS
//   host-probe IMAGE ping N | IMAGE key VK SCAN
//                             messages to the threads of process IMAGE, taken there by
//                             probe.dll (see HostProbe)
//   time-start SECS CLASS CMD start CMD, print start_ms=N once a window of CLASS shows and
//                             holds the hook (the front value is its handle)
//   time-hide SECS            print ready, wait for a button reading "Hiding..." in a TMain
//                             window, then for the front value -1; print hide_ms=N between
//   time-editor RUNS          times opening the map editor and one Store (see TimeEditor)
//   time-front TITLE CAPTION SECS
//                             TITLE to the front, then follow_ms=N once the button window
//                             reads CAPTION
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kMessageTimeoutMs = 3000;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

// Messages with text sent across processes work only in the W form (Wine).
LRESULT SendW(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

double Milliseconds(const LARGE_INTEGER& from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool Expired(DWORD deadline) { return static_cast<LONG>(GetTickCount() - deadline) >= 0; }

std::string Utf8(const std::wstring& wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string text(size > 0 ? size : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
  return text;
}

std::wstring Wide(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(size > 0 ? size : 0, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

std::string WindowTitle(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return Utf8(text);
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// Controls of other processes answer WM_GETTEXT; GetWindowText would not ask them.
std::string ControlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
    return WindowTitle(control);
  std::wstring text(length + 1, L'\0');
  SendW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::wcslen(text.c_str()));
  return Utf8(text);
}

std::string RectText(RECT rect) {
  char text[64];
  std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
  return text;
}

std::string WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return RectText(rect);
}

std::vector<HWND> VisibleWindows(DWORD thread = 0) {
  std::vector<HWND> windows;
  auto collect = [](HWND window, LPARAM param) -> BOOL {
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
  };
  if (thread) {
    EnumThreadWindows(thread, collect, reinterpret_cast<LPARAM>(&windows));
  } else {
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
  }
  return windows;
}

std::vector<HWND> MatchingWindows(const char* title) {
  std::vector<HWND> exact, partial;
  for (HWND window : VisibleWindows()) {
    const std::string text = WindowTitle(window);
    if (text == title) {
      exact.push_back(window);
    } else if (text.find(title) != std::string::npos) {
      partial.push_back(window);
    }
  }
  exact.insert(exact.end(), partial.begin(), partial.end());
  return exact;
}

HWND FindTop(const char* title) {
  const std::vector<HWND> windows = MatchingWindows(title);
  return windows.empty() ? nullptr : windows.front();
}

HWND FindTopOrComplain(const char* title) {
  HWND window = FindTop(title);
  if (window == nullptr) std::printf("win_tool: no window \"%s\"\n", title);
  return window;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string WithoutAmpersands(const std::string& text) {
  std::string result;
  for (char c : text)
    if (c != '&') result += c;
  return result;
}

HWND FindControl(const char* title, const char* control) {
  HWND parent = FindTopOrComplain(title);
  if (parent == nullptr) return nullptr;
  const std::vector<HWND> children = Descendants(parent);
  char* end = nullptr;
  if (control[0] == '@') {
    const unsigned long index = std::strtoul(control + 1, nullptr, 10);
    if (index < children.size()) return children[index];
  } else if (const long id = std::strtol(control, &end, 10); *control && *end == '\0') {
    for (HWND child : children)
      if (GetDlgCtrlID(child) == id) return child;
  } else {
    const std::string wanted = WithoutAmpersands(control);
    for (HWND child : children)
      if (lstrcmpiA(ClassOf(child).c_str(), "Button") == 0 &&
          lstrcmpiA(WithoutAmpersands(ControlText(child)).c_str(), wanted.c_str()) == 0)
        return child;
  }
  std::printf("win_tool: \"%s\" has no control %s\n", title, control);
  return nullptr;
}

bool WaitFor(bool wanted, const char* title, const char* secondsText) {
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(std::atof(secondsText) * 1000);
  while ((FindTop(title) != nullptr) != wanted) {
    if (Expired(deadline)) return false;
    Sleep(100);
  }
  return true;
}

int Fg(const char* title) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  for (int attempt = 0; attempt < 40 && GetForegroundWindow() != window; ++attempt) {
    SetForegroundWindow(window);
    Sleep(50);
  }
  if (GetForegroundWindow() == window) return 0;
  std::printf("win_tool: \"%s\" did not become the foreground window\n", title);
  return 1;
}

// SetFocus works across processes only with the target thread's input attached. A combo
// box hands the focus on to its edit field.
int FgAttach(const char* title, const char* controlName) {
  HWND control = FindControl(title, controlName);
  if (control == nullptr || Fg(title) != 0) return 1;
  const DWORD thread = GetWindowThreadProcessId(control, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  SetFocus(control);
  const bool ok = GetFocus() == control || IsChild(control, GetFocus());
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  return ok ? 0 : 1;
}

int Focus() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(0, &info) || info.hwndFocus == nullptr) return 1;
  std::printf("%d %s [%s]\n", GetDlgCtrlID(info.hwndFocus), ClassOf(info.hwndFocus).c_str(),
              ControlText(info.hwndFocus).c_str());
  return 0;
}

int List() {
  for (HWND window : VisibleWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::printf("%p %lu %s [%s] %s\n", static_cast<void*>(window), pid, ClassOf(window).c_str(),
                WindowTitle(window).c_str(), WindowRect(window).c_str());
  }
  return 0;
}

int Children(const char* title) {
  HWND parent = FindTopOrComplain(title);
  if (parent == nullptr) return 1;
  const std::vector<HWND> children = Descendants(parent);
  for (size_t i = 0; i < children.size(); ++i) {
    std::printf("%zu %s %d [%s] %s %d\n", i, ClassOf(children[i]).c_str(), GetDlgCtrlID(children[i]),
                ControlText(children[i]).c_str(), WindowRect(children[i]).c_str(),
                IsWindowVisible(children[i]) ? 1 : 0);
  }
  return 0;
}

// BM_CLICK does not return while the click runs a modal loop (a dialog, a message box, a
// menu): the click is sent with a callback, and a new window of the button's thread ends
// the wait as well as the answer does. The answer may come after that, so it only records
// which click it belongs to.
ULONG_PTR g_clicksSent = 0, g_clicksAnswered = 0;

int Click(HWND button) {
  const DWORD thread = GetWindowThreadProcessId(button, nullptr);
  const std::vector<HWND> before = VisibleWindows(thread);
  const auto done = [](HWND, UINT, ULONG_PTR click, LRESULT) { g_clicksAnswered = click; };
  if (!SendMessageCallbackA(button, BM_CLICK, 0, 0, done, ++g_clicksSent)) return 1;
  const DWORD deadline = GetTickCount() + kMessageTimeoutMs;
  for (MSG message; g_clicksAnswered < g_clicksSent && IsWindow(button) && !Expired(deadline); Sleep(5)) {
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // takes the callback
    for (HWND window : VisibleWindows(thread))
      if (std::find(before.begin(), before.end(), window) == before.end()) return 0;
  }
  return 0;
}

int Close(const char* title) {
  const std::vector<HWND> windows = MatchingWindows(title);
  for (HWND window : windows) PostMessageA(window, WM_CLOSE, 0, 0);
  return windows.empty() ? 1 : 0;
}

template <typename Visit>
void ForEachProcess(Visit visit) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    visit(entry);
  CloseHandle(snapshot);
}

int Kill(const char* exeName) {
  int killed = 0;
  ForEachProcess([&](const PROCESSENTRY32& entry) {
    if (lstrcmpiA(entry.szExeFile, exeName) != 0 || entry.th32ProcessID == GetCurrentProcessId()) return;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (process == nullptr) return;
    if (TerminateProcess(process, 1)) {
      WaitForSingleObject(process, 5000);
      ++killed;
    }
    CloseHandle(process);
  });
  std::printf("killed %d\n", killed);
  return killed > 0 ? 0 : 1;
}

// Items of a list box or a combo box. Characters outside 32..126 and "\\" are written as
// \xHH below 256 and as \uHHHH above.
int Items(HWND box) {
  const bool combo = lstrcmpiA(ClassOf(box).c_str(), "ComboBox") == 0;
  const int count = static_cast<int>(Send(box, combo ? CB_GETCOUNT : LB_GETCOUNT));
  const int current = combo ? static_cast<int>(Send(box, CB_GETCURSEL)) : -1;
  for (int i = 0; i < count; ++i) {
    const LRESULT length = SendW(box, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i);
    std::wstring wide(length + 1, L'\0');
    SendW(box, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    std::string shown;
    for (const wchar_t c : wide) {
      char hex[8];
      std::snprintf(hex, sizeof hex, c < 256 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
      shown += (c < 32 || c > 126 || c == '\\') ? std::string(hex) : std::string(1, static_cast<char>(c));
    }
    const bool selected = combo ? i == current : Send(box, LB_GETSEL, i) > 0;
    const auto data = static_cast<unsigned long>(Send(box, combo ? CB_GETITEMDATA : LB_GETITEMDATA, i));
    std::printf("%d %s %lx %s\n", i, selected ? "*" : "-", data, shown.c_str());
  }
  return 0;
}

// What a choice in the drop-down list does: the selection, then the owner's notification.
void Select(HWND combo, const char* indexText) {
  Send(combo, CB_SETCURSEL, std::strtoul(indexText, nullptr, 10));
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(combo), SMTO_NORMAL, kMessageTimeoutMs, &result);
}

int Ping(const char* title, const char* msText) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  const DWORD start = GetTickCount();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(std::atoi(msText)), &result)) {
    std::printf("answered=0\n");
    return 1;
  }
  std::printf("answered=1 ms=%lu\n", GetTickCount() - start);
  return 0;
}

// An object of another kind under a name that the library's mutex needs makes creating
// that mutex fail.
int HoldEvent(const char* name, const char* secondsText) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name);
  if (event == nullptr) return 1;
  std::printf("holding=%s\n", name);
  Sleep(static_cast<DWORD>(std::atoi(secondsText)) * 1000);
  CloseHandle(event);
  return 0;
}

// --- Hooks of probe.dll (see there) in the threads of other processes. ---

std::string ProbeLibrary() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string library(path);
  return library.replace(library.find_last_of("\\/") + 1, std::string::npos, "probe.dll");
}

HHOOK SetProbeHook(int type, const char* procedure, DWORD thread) {
  HMODULE probe = LoadLibraryA(ProbeLibrary().c_str());
  FARPROC hookProcedure = probe ? GetProcAddress(probe, procedure) : nullptr;
  return hookProcedure ? SetWindowsHookExA(type, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(hookProcedure)),
                                           probe, thread)
                       : nullptr;
}

// Asks the menu probe in the thread of window TITLE for command (0 dump, 1 close); the dump
// is returned.
bool ProbeMenus(const char* title, WPARAM command, std::string& dump) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return false;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  HWND target = window;
  for (HWND candidate : VisibleWindows(thread))
    if (ClassOf(candidate) == "#32768") target = candidate;
  HHOOK hook = SetProbeHook(WH_CALLWNDPROC, "MenuProbeHook", thread);
  if (hook == nullptr) return std::printf("win_tool: cannot hook probe.dll into \"%s\"\n", title), false;
  const std::string output = ProbeLibrary() + ".txt";
  DeleteFileA(output.c_str());
  DWORD_PTR result = 0;
  SendMessageTimeoutA(target, RegisterWindowMessageA("TesselMenuProbe"), command, 0, SMTO_NORMAL,
                      kMessageTimeoutMs, &result);
  UnhookWindowsHookEx(hook);
  if (command != 0) return true;
  FILE* in = std::fopen(output.c_str(), "rb");
  if (in == nullptr) {
    std::printf("win_tool: the menu probe wrote nothing\n");
    return false;
  }
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) dump.append(buffer, n);
  std::fclose(in);
  DeleteFileA(output.c_str());
  return true;
}

// The items of the open menus in a dump: the menu each belongs to, depth, flags and the
// text as shown ("&&" in the stored text is a literal "&", a single "&" marks the
// accelerator).
struct MenuItem {
  int menu;
  std::string depth, flags, shown, rect;
};

std::vector<MenuItem> MenuItems(const std::string& dump) {
  std::vector<MenuItem> items;
  int menu = -1;
  for (size_t start = 0, end; start < dump.size(); start = end + 1) {
    end = dump.find('\n', start);
    if (end == std::string::npos) end = dump.size();
    const std::string line = dump.substr(start, end - start);
    if (line.rfind("#menu", 0) == 0) ++menu;
    std::vector<std::string> fields;  // depth position id flags text rect
    for (size_t from = 0, tab = 0; tab != std::string::npos; from = tab + 1) {
      tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
    }
    if (fields.size() != 6) continue;
    std::string shown;
    for (size_t i = 0; i < fields[4].size(); ++i) {
      if (fields[4][i] == '&' && i + 1 < fields[4].size()) ++i;
      shown += fields[4][i];
    }
    items.push_back({menu, fields[0], fields[3], shown, fields[5]});
  }
  return items;
}

LARGE_INTEGER g_menuReturn;  // when the last Return went to a menu

// Chooses the shown item TEXT of TITLE's open menus as the keyboard does: Down until it is
// highlighted, then Return (which opens a submenu with its first item highlighted), unless
// it is only to be highlighted. The menu loop reads the keys from its thread's queue.
int MenuPick(const char* title, int count, const char* const* texts, bool choose = true) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  for (int i = 0; i < count; ++i) {
    const DWORD deadline = GetTickCount() + 10000;
    for (std::string dump;; dump.clear(), Sleep(100)) {
      if (Expired(deadline)) {
        std::printf("win_tool: no shown menu item \"%s\"\n", texts[i]);
        return 1;
      }
      HWND menuWindow = nullptr;
      for (HWND candidate : VisibleWindows(thread))
        if (ClassOf(candidate) == "#32768") menuWindow = candidate;
      if (menuWindow == nullptr || !ProbeMenus(title, 0, dump)) continue;
      const std::vector<MenuItem> items = MenuItems(dump);
      int target = -1, highlighted = -1;
      for (size_t k = 0; k < items.size() && target < 0; ++k)
        if (items[k].depth == "0" && items[k].rect != "-" && items[k].shown == texts[i]) target = static_cast<int>(k);
      if (target < 0) continue;
      for (size_t k = 0; k < items.size(); ++k)
        if (items[k].menu == items[target].menu && items[k].depth == "0" &&
            items[k].flags.find('H') != std::string::npos)
          highlighted = static_cast<int>(k);
      if (highlighted == target && !choose) return 0;
      if (highlighted == target) {
        QueryPerformanceCounter(&g_menuReturn);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
        if (i + 1 < count) Sleep(100);
        break;
      }
      // Down steps over separators, from the highlighted item or, with none, onto the first.
      int steps = 0;
      for (int k = target; k >= 0 && k != highlighted && items[k].menu == items[target].menu; --k)
        if (items[k].depth == "0" && items[k].flags.find('S') == std::string::npos) ++steps;
      for (int k = 0; k < std::max(steps, 1); ++k) {
        PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        Sleep(50);
      }
    }
  }
  return 0;
}

// --- Timings of the front end (TESSEL32.EXE) and its hand-overs. ---

// The front value, read from the shared map store itself (the library maps the store only
// when it is loaded, and at a first start the store does not exist yet), under the store's
// mutex: Install writes the value first and holds the mutex until the hook is set.
bool ReadFrontValue(int& front) {
  static const volatile LONG* store = nullptr;
  static HANDLE mutex = nullptr;
  if (mutex == nullptr) mutex = OpenMutexA(SYNCHRONIZE, FALSE, "TESSEL32MUTEX");
  if (mutex == nullptr) return false;
  if (store == nullptr) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "TESSEL32SHAREDMEM");
    if (mapping == nullptr) return false;
    store = static_cast<const volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(LONG)));
    if (store == nullptr) {
      CloseHandle(mapping);
      return false;
    }
  }
  const DWORD wait = WaitForSingleObject(mutex, 5000);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
  front = static_cast<int>(*store);
  ReleaseMutex(mutex);
  return true;
}

HWND VisibleWindowOfClass(const char* className) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
       window = FindWindowExA(nullptr, window, className, nullptr))
    if (IsWindowVisible(window)) return window;
  return nullptr;
}

int TimeStart(const char* secondsText, const char* className, const char* commandLine) {
  const double limit = std::atof(secondsText) * 1000;
  std::string command = commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("win_tool: cannot start %s\n", commandLine);
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int front = 0; Milliseconds(start) < limit; Sleep(2)) {
    HWND window = VisibleWindowOfClass(className);
    if (window && ReadFrontValue(front) && front == static_cast<int>(reinterpret_cast<intptr_t>(window))) {
      std::printf("start_ms=%.0f\n", Milliseconds(start));
      return 0;
    }
  }
  std::printf("win_tool: no window of class %s holding the hook\n", className);
  return 1;
}

int TimeHide(const char* secondsText) {
  const double limit = std::atof(secondsText) * 1000;
  LARGE_INTEGER waiting, hiding = {};
  QueryPerformanceCounter(&waiting);
  std::printf("ready\n");
  for (; hiding.QuadPart == 0 && Milliseconds(waiting) < limit; Sleep(1)) {
    HWND window = VisibleWindowOfClass("TMain");
    HWND button = window ? FindWindowExA(window, nullptr, "Button", nullptr) : nullptr;
    if (button && WindowTitle(button) == "Hiding...") QueryPerformanceCounter(&hiding);  // the stored caption
  }
  if (hiding.QuadPart == 0) {
    std::printf("win_tool: no button read \"Hiding...\"\n");
    return 1;
  }
  for (int front = 0; Milliseconds(waiting) < limit; Sleep(2)) {
    if (ReadFrontValue(front) && front == -1) {
      std::printf("hide_ms=%.0f\n", Milliseconds(hiding));
      return 0;
    }
  }
  std::printf("win_tool: the host did not take the hook\n");
  return 1;
}

// Brings TITLE to the front and waits until the button window's caption reads CAPTION:
// "follow_ms=N" from SetForegroundWindow to the caption (exit 1 after SECS).
int TimeFront(const char* title, const char* caption, const char* secondsText) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  const double limit = std::atof(secondsText) * 1000;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  SetForegroundWindow(window);
  for (; Milliseconds(start) < limit; Sleep(1)) {
    HWND button = VisibleWindowOfClass("TMain");
    if (button && WindowTitle(button) == caption) {
      std::printf("follow_ms=%.0f\n", Milliseconds(start));
      return 0;
    }
  }
  std::printf("win_tool: the button did not show \"%s\"\n", caption);
  return 1;
}

// The host's threads (of the process IMAGE) with the probe's WH_GETMESSAGE hook: "ping
// COUNT" posts COUNT probe messages one at a time and tells how soon one of the threads took
// each ("handled=N of COUNT median_ms=X max_ms=Y"; not within 2 s: unhandled); "key VK SCAN"
// has a thread call KeyBoardHook for a key-down and a key-up of VK with scan code SCAN (hex):
// "handled=N of 2". Exit code 0 when every message was handled.
int HostProbe(const char* image, int args, char** arg) {
  constexpr UINT kProbeMessage = WM_APP + 0x3A1;
  DWORD pid = 0;
  ForEachProcess([&](const PROCESSENTRY32& entry) {
    if (lstrcmpiA(entry.szExeFile, image) == 0) pid = entry.th32ProcessID;
  });
  std::vector<DWORD> threads;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (pid && entry.th32OwnerProcessID == pid) threads.push_back(entry.th32ThreadID);
  CloseHandle(snapshot);
  std::vector<HHOOK> hooks;
  for (DWORD thread : threads)
    if (HHOOK hook = SetProbeHook(WH_GETMESSAGE, "ProbeGetMessage", thread)) hooks.push_back(hook);
  if (hooks.empty()) return std::printf("win_tool: no process %s to probe\n", image), 2;
  HANDLE answered = CreateEventA(nullptr, TRUE, FALSE, "TesselHostProbe");
  const auto postAndWait = [&](WPARAM wParam, LPARAM lParam) {  // ms until taken, or -1
    ResetEvent(answered);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (DWORD thread : threads) PostThreadMessageA(thread, kProbeMessage, wParam, lParam);
    return WaitForSingleObject(answered, 2000) == WAIT_OBJECT_0 ? Milliseconds(start) : -1.0;
  };
  int handled = 0, total = 0;
  if (args >= 2 && std::strcmp(arg[0], "ping") == 0) {
    total = std::atoi(arg[1]);
    std::vector<double> delays;
    for (int i = 0; i < total; ++i, Sleep(20))
      if (const double delay = postAndWait(0, 0); delay >= 0) delays.push_back(delay);
    handled = static_cast<int>(delays.size());
    std::sort(delays.begin(), delays.end());
    std::printf("handled=%d of %d median_ms=%.1f max_ms=%.1f\n", handled, total,
                delays.empty() ? -1.0 : delays[delays.size() / 2], delays.empty() ? -1.0 : delays.back());
  } else if (args >= 3 && std::strcmp(arg[0], "key") == 0) {
    const auto vk = static_cast<WPARAM>(std::strtoul(arg[1], nullptr, 16));
    const auto scan = static_cast<uint32_t>(std::strtoul(arg[2], nullptr, 16));
    total = 2;
    for (const uint32_t flags : {0u, 0xC0000000u}) {
      handled += postAndWait(vk, static_cast<LPARAM>(flags | (scan << 16) | 1)) >= 0;
      Sleep(50);
    }
    std::printf("handled=%d of %d\n", handled, total);
  } else {
    total = -1;
  }
  for (HHOOK hook : hooks) UnhookWindowsHookEx(hook);
  return total < 0 ? 2 : handled == total ? 0 : 1;
}

// Times the map editor of the running front end RUNS times: from the menu's Return on
// Controls > Edit Maps to the visible editor, and one Store click of an assignment row that
// is neither a selector nor a dead key; then the editor is closed and the button window
// holds the hook again.
int TimeEditor(int runs) {
  constexpr int kAssignments = 202, kTextBox = 210, kStore = 212;
  for (int run = 1; run <= runs; ++run) {
    HWND main = VisibleWindowOfClass("TMain");
    HWND button = main ? FindWindowExA(main, nullptr, "Button", nullptr) : nullptr;
    if (!button) return std::printf("win_tool: no button window\n"), 1;
    Click(button);
    const char* const entries[] = {"Controls", "Edit Maps"};
    if (MenuPick(WindowTitle(main).c_str(), 2, entries) != 0) return 1;
    HWND editor = nullptr;
    while (!(editor = VisibleWindowOfClass("TMapeditor")) && Milliseconds(g_menuReturn) < 20000) Sleep(1);
    const double openMs = Milliseconds(g_menuReturn);
    if (!editor) return std::printf("win_tool: the editor did not open\n"), 1;

    HWND list = GetDlgItem(editor, kAssignments);
    const int rows = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    int row = rows - 1;
    for (wchar_t text[2048]; row >= 0; --row) {
      if (SendMessageW(list, LB_GETTEXTLEN, row, 0) >= 2000) continue;
      SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
      if (!wcsstr(text, L"--> [") && !wcsstr(text, L"<-> [")) break;
    }
    if (row < 0) return std::printf("win_tool: no assignment row\n"), 1;
    SendMessageA(list, LB_SETCURSEL, row, 0);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kAssignments, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    SendMessageA(GetDlgItem(editor, kTextBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("stored by the benchmark {ENTER}"));
    LARGE_INTEGER store;
    QueryPerformanceCounter(&store);
    SendMessageA(GetDlgItem(editor, kStore), BM_CLICK, 0, 0);
    std::printf("run %d: open %.0f ms (%d rows), Store %.0f ms\n", run, openMs, rows, Milliseconds(store));

    PostMessageA(editor, WM_CLOSE, 0, 0);
    for (int front = 0, i = 0; i < 400 && (IsWindow(editor) || !ReadFrontValue(front) ||
                                           front != static_cast<int>(reinterpret_cast<intptr_t>(main)));
         ++i)
      Sleep(50);
    Sleep(200);
  }
  return 0;
}

void PrintStyle(HWND window) {
  std::printf("%08lx %08lx\n", static_cast<unsigned long>(GetWindowLongPtrA(window, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
}

int Usage() {
  std::printf("usage: win_tool.exe list|children|wait-window|wait-gone|fg|fgattach|getfg|focus|rect|style|"
              "close|text|settext|click|checked|items|select|setsel|menu|menu-pick|menu-highlight|menu-close|procs|kill|"
              "ping|hold-event|host-probe|time-start|time-hide|time-editor ...\n");
  return 2;
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  // The arguments as UTF-8, whatever the ANSI code page.
  int argc = 0;
  wchar_t** wideArgv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> utf8Args;
  for (int i = 0; i < argc; ++i) utf8Args.push_back(Utf8(wideArgv[i]));
  std::vector<char*> argvStore;
  for (std::string& a : utf8Args) argvStore.push_back(a.data());
  argvStore.push_back(nullptr);
  char** argv = argvStore.data();
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const int args = argc - 2;
  char** arg = argv + 2;

  if (command == "getfg") {
    HWND window = GetForegroundWindow();
    if (window == nullptr) return 1;
    std::printf("%s\n", WindowTitle(window).c_str());
    return 0;
  }
  if (command == "focus") return Focus();
  if (command == "list") return List();
  if (command == "procs") {
    ForEachProcess([](const PROCESSENTRY32& entry) { std::printf("%lu %s\n", entry.th32ProcessID, entry.szExeFile); });
    return 0;
  }
  if (args < 1) return Usage();
  if (command == "fg") return Fg(arg[0]);
  if (command == "children") return Children(arg[0]);
  if (command == "close") return Close(arg[0]);
  if (command == "kill") return Kill(arg[0]);
  if (command == "time-hide") return TimeHide(arg[0]);
  if (command == "time-editor") return TimeEditor(std::atoi(arg[0]));
  if (command == "host-probe") return HostProbe(arg[0], args - 1, arg + 1);
  if (command == "menu" || command == "menu-close") {
    std::string dump;
    if (!ProbeMenus(arg[0], command == "menu" ? 0 : 1, dump)) return 1;
    std::fwrite(dump.data(), 1, dump.size(), stdout);
    return 0;
  }
  if (command == "menu-pick") return MenuPick(arg[0], args - 1, arg + 1);
  if (command == "menu-highlight" && args == 2) return MenuPick(arg[0], 1, arg + 1, false);
  if (command == "rect" || (command == "style" && args == 1)) {
    HWND window = FindTopOrComplain(arg[0]);
    if (window == nullptr) return 1;
    if (command == "style") {
      PrintStyle(window);
    } else if (args >= 2 && std::strcmp(arg[1], "client") == 0) {
      RECT client = {};
      GetClientRect(window, &client);
      MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
      std::printf("%s\n", RectText(client).c_str());
    } else {
      std::printf("%s\n", WindowRect(window).c_str());
    }
    return 0;
  }
  if (args < 2) return Usage();
  if (command == "wait-window") return WaitFor(true, arg[0], arg[1]) ? 0 : 1;
  if (command == "wait-gone") return WaitFor(false, arg[0], arg[1]) ? 0 : 1;
  if (command == "ping") return Ping(arg[0], arg[1]);
  if (command == "hold-event") return HoldEvent(arg[0], arg[1]);
  if (command == "fgattach") return FgAttach(arg[0], arg[1]);
  if (command == "time-start" && args >= 3) return TimeStart(arg[0], arg[1], arg[2]);
  if (command == "time-front" && args >= 3) return TimeFront(arg[0], arg[1], arg[2]);

  // Commands on a control.
  HWND control = FindControl(arg[0], arg[1]);
  if (control == nullptr) return 1;
  if (command == "text") {
    std::printf("%s\n", ControlText(control).c_str());
  } else if (command == "settext" && args >= 3) {
    SendW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(arg[2]).c_str()));
  } else if (command == "click") {
    return Click(control);
  } else if (command == "checked") {
    std::printf("%d\n", Send(control, BM_GETCHECK) == BST_CHECKED ? 1 : 0);
  } else if (command == "items") {
    return Items(control);
  } else if (command == "select" && args >= 3) {
    Select(control, arg[2]);
  } else if (command == "setsel" && args >= 4) {
    Send(control, EM_SETSEL, std::strtoul(arg[2], nullptr, 10), std::strtol(arg[3], nullptr, 10));
  } else if (command == "style") {
    PrintStyle(control);
  } else {
    return Usage();
  }
  return 0;
}
