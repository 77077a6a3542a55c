// win_tool.exe SUBCOMMAND ...: looks at and drives the windows of other programs for the
// end-to-end tests. A TITLE names a visible top-level window: the one with exactly that
// title, else the first whose title contains it. Output lines end in "\n" only.
//   fg TITLE                  make it the foreground window (exit 1 if that fails)
//   fgattach TITLE [INDEX]    fg, then give the focus to its child INDEX (default: first EDIT)
//   getfg                     print the foreground window's title
//   focus                     print "class|text" of the control with the keyboard focus
//   wait-window TITLE SECS    exit 0 as soon as the window exists, 1 after SECS
//   wait-gone TITLE SECS      exit 0 as soon as no such window exists, 1 after SECS
//   gettext TITLE             print the window's full title
//   list                      visible top-level windows: hwnd pid class [title] l,t,r,b
//   children TITLE            its descendants: index class id [text] l,t,r,b visible
//   ctltext TITLE INDEX       print the text of descendant INDEX (order of `children`)
//   settext TITLE INDEX TEXT  set the text of descendant INDEX
//   click TITLE BUTTONTEXT    BM_CLICK on the descendant button with that text ('&' ignored)
//   close TITLE               WM_CLOSE to every window matching TITLE
//   rect TITLE                print l,t,r,b of the window (screen coordinates)
//   procs                     running processes: pid image-name
//   list-processes            running processes: image-name pid
//   kill EXENAME              TerminateProcess every process with that image name
//   idtext TITLE ID           print the text of the descendant with control id ID
//   lbitems TITLE ID          items of that list box: index, "*" when selected, item data
//                             (hex), text with bytes below 32 and above 126 as \xHH
//   checked TITLE ID          print 1 when that check box is ticked, else 0
//   focusid                   print the control id of the control with the keyboard focus
//   menukeys VK...            post WM_KEYDOWN of each virtual key (hex) to the open menu
//   ping TITLE MS             SendMessageTimeout(WM_NULL) with MS ms: "answered=1 ms=N" or
//                             "answered=0" (exit 1): does the window's thread serve
//                             messages sent to it?
//   hold-event NAME SECS      creates an event named NAME, prints "holding=NAME", keeps it SECS
//   cbitems TITLE ID          items of that combo box: index, "*" when selected, text
//   cbselect TITLE ID INDEX   select item INDEX and notify the owner (CBN_SELCHANGE)
//   setsel TITLE ID START END select characters START..END of that edit control
//   clickid TITLE ID          post BM_CLICK to the button with control id ID (returns at
//                             once, also when the click opens a modal dialog)
//   clientrect TITLE          print l,t,r,b of the window's client area (screen coordinates)
//   combo TITLE INDEX         descendant INDEX as a combo box: "simple|dropdown|droplist N SEL",
//                             then its N list items, one a line
//   menu TITLE                the open popup menus of TITLE's thread (or its menu bar), as
//                             menu_probe.dll writes them: depth position id flags text rect
//   menu-pick TITLE TEXT      click the shown item TEXT ('&' as shown) of TITLE's open menu
//   menu-close TITLE          close the open menus of TITLE's thread
//   time-start SECS CLASS CMD start CMD, print start_ms=N once a window of CLASS shows and
//                             holds the hook (the front value is its handle)
//   style TITLE               print the window's style and extended style in hex
//   time-hide SECS            print ready, wait for a button reading "Hiding..." in a TMain
//                             window, then for the front value -1; print hide_ms=N between
#include <windows.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kMessageTimeoutMs = 3000;

std::string WindowTitle(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// Controls of other processes answer WM_GETTEXT; GetWindowText would not ask them.
std::string ControlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
    return WindowTitle(control);
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
    return WindowTitle(control);
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::string RectText(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  char text[64];
  std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
  return text;
}

std::vector<HWND> VisibleTopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> MatchingWindows(const char* title) {
  std::vector<HWND> exact, partial;
  for (HWND window : VisibleTopLevelWindows()) {
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

HWND DescendantAt(const char* title, const char* indexText) {
  HWND parent = FindTopOrComplain(title);
  if (parent == nullptr) return nullptr;
  const std::vector<HWND> children = Descendants(parent);
  const unsigned long index = std::strtoul(indexText, nullptr, 10);
  if (index >= children.size()) {
    std::printf("win_tool: \"%s\" has %zu child windows, no index %lu\n", title, children.size(), index);
    return nullptr;
  }
  return children[index];
}

std::string WithoutAmpersands(const std::string& text) {
  std::string result;
  for (char c : text)
    if (c != '&') result += c;
  return result;
}

bool WaitFor(bool wanted, const char* title, const char* secondsText) {
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(std::atof(secondsText) * 1000);
  for (;;) {
    if ((FindTop(title) != nullptr) == wanted) return true;
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return false;
    Sleep(100);
  }
}

bool MakeForeground(HWND window) {
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    Sleep(50);
  }
  return GetForegroundWindow() == window;
}

int Fg(const char* title) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  if (!MakeForeground(window)) {
    std::printf("win_tool: \"%s\" did not become the foreground window\n", title);
    return 1;
  }
  return 0;
}

// SetFocus works across processes only with the target thread's input attached.
int FgAttach(const char* title, const char* indexText) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr || Fg(title) != 0) return 1;
  HWND control = nullptr;
  if (indexText != nullptr) {
    control = DescendantAt(title, indexText);
  } else {
    control = FindWindowExA(window, nullptr, "EDIT", nullptr);
  }
  if (control == nullptr) return 1;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  SetFocus(control);
  const bool ok = GetFocus() == control;
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  return ok ? 0 : 1;
}

int Focus() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(0, &info) || info.hwndFocus == nullptr) return 1;
  std::printf("%s|%s\n", ClassOf(info.hwndFocus).c_str(), ControlText(info.hwndFocus).c_str());
  return 0;
}

int List() {
  for (HWND window : VisibleTopLevelWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::printf("%p %lu %s [%s] %s\n", static_cast<void*>(window), pid, ClassOf(window).c_str(),
                WindowTitle(window).c_str(), RectText(window).c_str());
  }
  return 0;
}

int Children(const char* title) {
  HWND parent = FindTopOrComplain(title);
  if (parent == nullptr) return 1;
  const std::vector<HWND> children = Descendants(parent);
  for (size_t i = 0; i < children.size(); ++i) {
    std::printf("%zu %s %d [%s] %s %d\n", i, ClassOf(children[i]).c_str(), GetDlgCtrlID(children[i]),
                ControlText(children[i]).c_str(), RectText(children[i]).c_str(),
                IsWindowVisible(children[i]) ? 1 : 0);
  }
  return 0;
}

int Click(const char* title, const char* buttonText) {
  HWND parent = FindTopOrComplain(title);
  if (parent == nullptr) return 1;
  const std::string wanted = WithoutAmpersands(buttonText);
  for (HWND child : Descendants(parent)) {
    if (lstrcmpiA(ClassOf(child).c_str(), "Button") != 0) continue;
    if (lstrcmpiA(WithoutAmpersands(ControlText(child)).c_str(), wanted.c_str()) != 0) continue;
    // A click that opens a modal dialog does not return until it closes: do not wait for it.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(child, BM_CLICK, 0, 0, SMTO_NORMAL, kMessageTimeoutMs, &result);
    return 0;
  }
  std::printf("win_tool: \"%s\" has no button \"%s\"\n", title, buttonText);
  return 1;
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

int Procs(bool nameFirst) {
  ForEachProcess([nameFirst](const PROCESSENTRY32& entry) {
    if (nameFirst) {
      std::printf("%s %lu\n", entry.szExeFile, entry.th32ProcessID);
    } else {
      std::printf("%lu %s\n", entry.th32ProcessID, entry.szExeFile);
    }
  });
  return 0;
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

HWND DescendantWithId(const char* title, const char* idText) {
  HWND parent = FindTopOrComplain(title);
  if (parent == nullptr) return nullptr;
  const int id = std::atoi(idText);
  for (HWND child : Descendants(parent))
    if (GetDlgCtrlID(child) == id) return child;
  std::printf("win_tool: \"%s\" has no control %d\n", title, id);
  return nullptr;
}

int IdText(const char* title, const char* idText) {
  HWND control = DescendantWithId(title, idText);
  if (control == nullptr) return 1;
  std::printf("%s\n", ControlText(control).c_str());
  return 0;
}

// LB_GETTEXT across processes works only in the W form (wine); the text is turned back
// into the ANSI code page.
int ListItems(const char* title, const char* idText) {
  HWND list = DescendantWithId(title, idText);
  if (list == nullptr) return 1;
  DWORD_PTR count = 0, selected = 0;
  SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &count);
  for (int i = 0; i < static_cast<int>(count); ++i) {
    DWORD_PTR length = 0, data = 0;
    SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length);
    std::wstring wide(length + 1, L'\0');
    SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &length);
    SendMessageTimeoutA(list, LB_GETITEMDATA, i, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &data);
    SendMessageTimeoutA(list, LB_GETSEL, i, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &selected);
    std::string text(length * 2 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(length), text.data(),
                                          static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(bytes > 0 ? bytes : 0);
    std::string shown;
    for (unsigned char c : text) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += (c < 32 || c > 126 || c == '\\') ? std::string(hex) : std::string(1, static_cast<char>(c));
    }
    std::printf("%d %s %lx %s\n", i, static_cast<int>(selected) > 0 ? "*" : "-", static_cast<unsigned long>(data),
                shown.c_str());
  }
  return 0;
}

int Checked(const char* title, const char* idText) {
  HWND box = DescendantWithId(title, idText);
  if (box == nullptr) return 1;
  DWORD_PTR state = 0;
  SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &state);
  std::printf("%d\n", state == BST_CHECKED ? 1 : 0);
  return 0;
}

int FocusId() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(0, &info) || info.hwndFocus == nullptr) return 1;
  std::printf("%d\n", GetDlgCtrlID(info.hwndFocus));
  return 0;
}

// The open pop-up menu is a top-level window of class #32768; it takes keys by message.
int MenuKeys(int count, char** keys) {
  HWND menu = nullptr;
  for (int attempt = 0; attempt < 50 && menu == nullptr; ++attempt) {
    menu = FindWindowA("#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu)) {
      menu = nullptr;
      Sleep(100);
    }
  }
  if (menu == nullptr) {
    std::printf("win_tool: no open menu\n");
    return 1;
  }
  for (int i = 0; i < count; ++i) {
    PostMessageA(menu, WM_KEYDOWN, std::strtoul(keys[i], nullptr, 16), 0);
    Sleep(150);
  }
  return 0;
}

int Ping(const char* title, const char* msText) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  LARGE_INTEGER start, end, frequency;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL,
                                            static_cast<UINT>(std::atoi(msText)), &result) != 0;
  QueryPerformanceCounter(&end);
  if (!answered) {
    std::printf("answered=0\n");
    return 1;
  }
  std::printf("answered=1 ms=%.0f\n",
              1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
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

// CB_GETLBTEXT across processes works only in the W form (wine).
int ComboItems(const char* title, const char* idText) {
  HWND combo = DescendantWithId(title, idText);
  if (combo == nullptr) return 1;
  DWORD_PTR count = 0, selected = 0;
  SendMessageTimeoutA(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &count);
  SendMessageTimeoutA(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &selected);
  for (int i = 0; i < static_cast<int>(count); ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length);
    std::wstring wide(length + 1, L'\0');
    SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &length);
    std::string text(length * 2 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(length), text.data(),
                                          static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(bytes > 0 ? bytes : 0);
    std::printf("%d %s %s\n", i, static_cast<int>(selected) == i ? "*" : "-", text.c_str());
  }
  return 0;
}

// What a choice in the drop-down list does: the selection, then the owner's notification.
int ComboSelect(const char* title, const char* idText, const char* indexText) {
  HWND combo = DescendantWithId(title, idText);
  if (combo == nullptr) return 1;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(combo, CB_SETCURSEL, std::strtoul(indexText, nullptr, 10), 0, SMTO_ABORTIFHUNG,
                      kMessageTimeoutMs, &result);
  const WPARAM command = MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE);
  SendMessageTimeoutA(GetParent(combo), WM_COMMAND, command, reinterpret_cast<LPARAM>(combo), SMTO_NORMAL,
                      kMessageTimeoutMs, &result);
  return 0;
}

int SetSelection(const char* title, const char* idText, const char* startText, const char* endText) {
  HWND edit = DescendantWithId(title, idText);
  if (edit == nullptr) return 1;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(edit, EM_SETSEL, std::strtoul(startText, nullptr, 10), std::strtol(endText, nullptr, 10),
                      SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
  return 0;
}

int ClickId(const char* title, const char* idText) {
  HWND button = DescendantWithId(title, idText);
  if (button == nullptr) return 1;
  return PostMessageA(button, BM_CLICK, 0, 0) ? 0 : 1;
}

int ClientRect(const char* title) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  RECT client = {};
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  std::printf("%ld,%ld,%ld,%ld\n", origin.x, origin.y, origin.x + client.right, origin.y + client.bottom);
  return 0;
}

int Usage() {
  std::printf("usage: win_tool.exe fg|fgattach|getfg|focus|wait-window|wait-gone|gettext|list|children|"
              "ctltext|settext|click|close|rect|procs|list-processes|kill|ping|hold-event|menu|"
              "menu-pick|menu-close|time-start|time-hide|style ...\n");
  return 2;
}

// The list items of another process's combo box: CB_GETLBTEXT sent as W (the A form
// returns UTF-16 across processes).
int ComboInfo(const char* title, const char* indexText) {
  HWND combo = DescendantAt(title, indexText);
  if (combo == nullptr) return 1;
  const LONG_PTR style = GetWindowLongPtrA(combo, GWL_STYLE) & 3;
  const char* kind = style == CBS_SIMPLE ? "simple" : style == CBS_DROPDOWN ? "dropdown" : "droplist";
  DWORD_PTR count = 0, selected = 0;
  SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &count);
  SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &selected);
  std::printf("%s %d %d\n", kind, static_cast<int>(count), static_cast<int>(selected));
  for (DWORD_PTR i = 0; i < count && i < 1000; ++i) {
    wchar_t item[1024] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &length);
    char text[2048] = "";
    WideCharToMultiByte(CP_ACP, 0, item, -1, text, sizeof text, nullptr, nullptr);
    std::printf("%s\n", text);
  }
  return 0;
}

// --- Menus, read inside their process by menu_probe.dll (see there). ---

std::string ProbeLibraryPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.resize(folder.find_last_of("\\/") + 1);
  return folder + "menu_probe.dll";
}

// Asks menu_probe.dll, hooked into the thread of window TITLE, for command (0 dump, 1 close);
// the dump is returned.
bool ProbeMenus(const char* title, WPARAM command, std::string& dump) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return false;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  HWND target = window;
  for (HWND candidate = FindWindowExA(nullptr, nullptr, "#32768", nullptr); candidate;
       candidate = FindWindowExA(nullptr, candidate, "#32768", nullptr)) {
    if (IsWindowVisible(candidate) && GetWindowThreadProcessId(candidate, nullptr) == thread) {
      target = candidate;
      break;
    }
  }
  const std::string library = ProbeLibraryPath();
  HMODULE probe = LoadLibraryA(library.c_str());
  FARPROC hookProcedure = probe ? GetProcAddress(probe, "MenuProbeHook") : nullptr;
  if (hookProcedure == nullptr) {
    std::printf("win_tool: cannot load %s\n", library.c_str());
    return false;
  }
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(hookProcedure)),
                                 probe, thread);
  if (hook == nullptr) {
    std::printf("win_tool: cannot hook the thread of \"%s\"\n", title);
    return false;
  }
  const std::string output = library + ".txt";
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

int Menu(const char* title) {
  std::string dump;
  if (!ProbeMenus(title, 0, dump)) return 1;
  std::fwrite(dump.data(), 1, dump.size(), stdout);
  return 0;
}

// A menu text as shown: "&&" is a literal "&", a single "&" marks the accelerator.
std::string ShownMenuText(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

void ClickAt(int x, int y) {
  SetCursorPos(x, y);
  Sleep(50);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &clicks[0], sizeof(INPUT));
  Sleep(50);
  SendInput(1, &clicks[1], sizeof(INPUT));
}

int MenuPick(const char* title, const char* text) {
  std::string dump;
  if (!ProbeMenus(title, 0, dump)) return 1;
  size_t start = 0;
  while (start < dump.size()) {
    size_t end = dump.find('\n', start);
    if (end == std::string::npos) end = dump.size();
    const std::string line = dump.substr(start, end - start);
    start = end + 1;
    // depth position id flags text rect
    std::vector<std::string> fields;
    for (size_t from = 0;;) {
      const size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    if (fields.size() != 6 || fields[5] == "-" || ShownMenuText(fields[4]) != text) continue;
    long l = 0, t = 0, r = 0, b = 0;
    if (std::sscanf(fields[5].c_str(), "%ld,%ld,%ld,%ld", &l, &t, &r, &b) != 4) continue;
    ClickAt(static_cast<int>((l + r) / 2), static_cast<int>((t + b) / 2));
    return 0;
  }
  std::printf("win_tool: no shown menu item \"%s\"\n", text);
  return 1;
}

int MenuClose(const char* title) {
  std::string unused;
  return ProbeMenus(title, 1, unused) ? 0 : 1;
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

double Milliseconds(const LARGE_INTEGER& from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
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
  while (Milliseconds(start) < limit) {
    HWND window = VisibleWindowOfClass(className);
    int front = 0;
    if (window && ReadFrontValue(front) && front == static_cast<int>(reinterpret_cast<intptr_t>(window))) {
      std::printf("start_ms=%.0f\n", Milliseconds(start));
      return 0;
    }
    Sleep(2);
  }
  std::printf("win_tool: no window of class %s holding the hook\n", className);
  return 1;
}

int TimeHide(const char* secondsText) {
  const double limit = std::atof(secondsText) * 1000;
  LARGE_INTEGER waiting;
  QueryPerformanceCounter(&waiting);
  std::printf("ready\n");
  LARGE_INTEGER hiding = {};
  while (Milliseconds(waiting) < limit) {
    HWND window = VisibleWindowOfClass("TMain");
    HWND button = window ? FindWindowExA(window, nullptr, "Button", nullptr) : nullptr;
    if (button && WindowTitle(button) == "Hiding...") {  // the stored caption, no message
      QueryPerformanceCounter(&hiding);
      break;
    }
    Sleep(1);
  }
  if (hiding.QuadPart == 0) {
    std::printf("win_tool: no button read \"Hiding...\"\n");
    return 1;
  }
  while (Milliseconds(waiting) < limit) {
    int front = 0;
    if (ReadFrontValue(front) && front == -1) {
      std::printf("hide_ms=%.0f\n", Milliseconds(hiding));
      return 0;
    }
    Sleep(2);
  }
  std::printf("win_tool: the host did not take the hook\n");
  return 1;
}

int Style(const char* title) {
  HWND window = FindTopOrComplain(title);
  if (window == nullptr) return 1;
  std::printf("%08lx %08lx\n", static_cast<unsigned long>(GetWindowLongPtrA(window, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
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
  if (command == "procs") return Procs(false);
  if (command == "list-processes") return Procs(true);
  if (command == "focusid") return FocusId();
  if (command == "menukeys") return MenuKeys(args, arg);
  if (args < 1) return Usage();
  if (command == "fg") return Fg(arg[0]);
  if (command == "fgattach") return FgAttach(arg[0], args >= 2 ? arg[1] : nullptr);
  if (command == "clientrect") return ClientRect(arg[0]);
  if (command == "gettext" || command == "rect") {
    HWND window = FindTopOrComplain(arg[0]);
    if (window == nullptr) return 1;
    std::printf("%s\n", command == "rect" ? RectText(window).c_str() : WindowTitle(window).c_str());
    return 0;
  }
  if (command == "children") return Children(arg[0]);
  if (command == "close") return Close(arg[0]);
  if (command == "kill") return Kill(arg[0]);
  if (command == "menu") return Menu(arg[0]);
  if (command == "menu-close") return MenuClose(arg[0]);
  if (command == "time-hide") return TimeHide(arg[0]);
  if (command == "style") return Style(arg[0]);
  if (args < 2) return Usage();
  if (command == "wait-window") return WaitFor(true, arg[0], arg[1]) ? 0 : 1;
  if (command == "wait-gone") return WaitFor(false, arg[0], arg[1]) ? 0 : 1;
  if (command == "click") return Click(arg[0], arg[1]);
  if (command == "idtext") return IdText(arg[0], arg[1]);
  if (command == "lbitems") return ListItems(arg[0], arg[1]);
  if (command == "checked") return Checked(arg[0], arg[1]);
  if (command == "ping") return Ping(arg[0], arg[1]);
  if (command == "hold-event") return HoldEvent(arg[0], arg[1]);
  if (command == "cbitems") return ComboItems(arg[0], arg[1]);
  if (command == "clickid") return ClickId(arg[0], arg[1]);
  if (command == "cbselect" && args >= 3) return ComboSelect(arg[0], arg[1], arg[2]);
  if (command == "setsel" && args >= 4) return SetSelection(arg[0], arg[1], arg[2], arg[3]);
  if (command == "combo") return ComboInfo(arg[0], arg[1]);
  if (command == "menu-pick") return MenuPick(arg[0], arg[1]);
  if (command == "time-start" && args >= 3) return TimeStart(arg[0], arg[1], arg[2]);
  if (command == "ctltext") {
    HWND control = DescendantAt(arg[0], arg[1]);
    if (control == nullptr) return 1;
    std::printf("%s\n", ControlText(control).c_str());
    return 0;
  }
  if (command == "settext" && args >= 3) {
    HWND control = DescendantAt(arg[0], arg[1]);
    if (control == nullptr) return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg[2]), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &result);
    return 0;
  }
  return Usage();
}
