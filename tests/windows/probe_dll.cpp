// probe.dll: hooks that win_tool.exe sets on the threads of another process, to look from
// inside it.
//
// MenuProbeHook (WH_CALLWNDPROC) reads menus, which GetMenuItemCount and friends cannot do
// across processes. win_tool sends the registered message "TesselMenuProbe":
//   to an open popup menu window (#32768), wParam 0: writes every open popup menu of that
//     thread, each with its submenus;
//   to any other window, wParam 0: writes that window's menu bar;
//   wParam 1: closes the thread's open menus (EndMenu).
// The text goes to "<path of this DLL>.txt", one line per item:
//   depth TAB position TAB id TAB flags TAB text TAB rect
// flags: C checked, P submenu, S separator, G grayed or disabled, H highlighted, "-" none;
// text as stored ("&&" for a literal "&"); rect "l,t,r,b" on the screen while the item
// shows, else "-". Each open popup menu starts with a line "#menu N".
//
// ProbeGetMessage (WH_GETMESSAGE) runs whenever the thread takes a message from its queue,
// so it sees whether (and when) the thread serves its messages at all. For the thread
// message kProbeMessage it sets the event "TesselHostProbe"; with wParam VK it first calls
// TESSHOOK32's KeyBoardHook there with the key data in lParam, as the system does for a
// process of the other word size.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
constexpr UINT kProbeMessage = WM_APP + 0x3A1;
HMODULE self = nullptr;

void WriteItems(FILE* out, HWND owner, HMENU menu, int depth) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    wchar_t wide[256] = L"";
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    item.dwTypeData = wide;
    item.cch = 255;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) continue;
    char text[1024] = "";  // UTF-8, as win_tool prints it
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    std::string flags;
    if (item.fState & MFS_CHECKED) flags += 'C';
    if (item.hSubMenu) flags += 'P';
    if (item.fType & MFT_SEPARATOR) flags += 'S';
    if (item.fState & (MFS_GRAYED | MFS_DISABLED)) flags += 'G';
    if (item.fState & MFS_HILITE) flags += 'H';
    if (flags.empty()) flags = "-";
    RECT rect = {};
    char where[64] = "-";
    if (GetMenuItemRect(owner, menu, static_cast<UINT>(position), &rect) && rect.right > rect.left)
      std::snprintf(where, sizeof where, "%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
    std::fprintf(out, "%d\t%d\t%u\t%s\t%s\t%s\n", depth, position, item.wID, flags.c_str(),
                 (item.fType & MFT_SEPARATOR) ? "" : text, where);
    if (item.hSubMenu) WriteItems(out, owner, item.hSubMenu, depth + 1);
  }
}

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM param) {
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32768") == 0 && IsWindowVisible(window))
    reinterpret_cast<std::basic_string<HWND>*>(param)->push_back(window);
  return TRUE;
}

void Dump(HWND target) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(self, path, MAX_PATH - 8);
  const std::string done = std::string(path) + ".txt";
  const std::string partial = done + ".part";
  FILE* out = std::fopen(partial.c_str(), "wb");
  if (!out) return;
  char name[32] = "";
  GetClassNameA(target, name, sizeof name);
  if (lstrcmpA(name, "#32768") == 0) {
    std::basic_string<HWND> menus;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&menus));
    int n = 0;
    for (HWND window : menus) {
      HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, kGetMenuHandle, 0, 0));
      if (!menu) continue;
      std::fprintf(out, "#menu %d\n", n++);
      WriteItems(out, nullptr, menu, 0);
    }
  } else if (HMENU bar = GetMenu(target)) {
    WriteItems(out, target, bar, 0);
  }
  std::fclose(out);
  MoveFileExA(partial.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT probe = RegisterWindowMessageA("TesselMenuProbe");
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call && call->message == probe) {
    if (call->wParam == 1) {
      EndMenu();
    } else {
      Dump(call->hwnd);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kProbeMessage) {
    using HookProc = LRESULT(WINAPI*)(int, WPARAM, LPARAM);
    const auto keyboardHook = reinterpret_cast<HookProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("TESSHOOK32.DLL"), "KeyBoardHook")));
    if (message->wParam != 0 && keyboardHook) keyboardHook(HC_ACTION, message->wParam, message->lParam);
    if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, "TesselHostProbe")) {
      SetEvent(event);
      CloseHandle(event);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}
