// target_app.exe TITLE [--second-edit] [--unicode]
//
// A window titled TITLE with a multi-line EDIT control (two with --second-edit, the second
// one holding the text "second edit") that the end-to-end tests type into: an ANSI window,
// or a Unicode one with --unicode. TITLE may be in any script. It records what arrives:
//   C:\tessel\TITLE.txt    the text of the first edit (C:\tessel\TITLE.2.txt: the second one),
//                          in the ANSI code page, or in UTF-8 for a Unicode window;
//                          rewritten atomically on every change and every 100 ms
//   C:\tessel\TITLE.msg    one line per keyboard message an edit receives:
//                          "<ms> <edit 1|2> <message> <wParam> <lParam>"
//                          e.g. "1234567 1 WM_KEYDOWN 0x41 0x001E0001"
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr UINT_PTR kSaveTimer = 1;
constexpr int kFirstEditId = 101;

std::wstring g_title = L"TargetApp";
bool g_secondEdit = false;
bool g_unicode = false;
HWND g_edits[2] = {};
WNDPROC g_editProcs[2] = {};
HWND g_lastFocus = nullptr;
FILE* g_messageLog = nullptr;

std::wstring WorkPath(const wchar_t* suffix) { return L"C:\\tessel\\" + g_title + suffix; }

const char* MessageName(UINT message) {
  switch (message) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    case WM_SYSCHAR: return "WM_SYSCHAR";
    default: return nullptr;
  }
}

int EditIndex(HWND edit) { return edit == g_edits[1] ? 1 : 0; }

LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = EditIndex(edit);
  if (const char* name = MessageName(message); name != nullptr && g_messageLog != nullptr) {
    std::fprintf(g_messageLog, "%lu %d %s 0x%02X 0x%08lX\n", GetTickCount(), index + 1, name,
                 static_cast<unsigned>(wParam), static_cast<unsigned long>(lParam));
    std::fflush(g_messageLog);
  }
  if (message == WM_SETFOCUS) g_lastFocus = edit;
  return g_unicode ? CallWindowProcW(g_editProcs[index], edit, message, wParam, lParam)
                   : CallWindowProcA(g_editProcs[index], edit, message, wParam, lParam);
}

std::string EditText(HWND edit) {
  if (g_unicode) {
    std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(edit, wide.data(), static_cast<int>(wide.size()))));
    std::string text(wide.size() * 3 + 1, '\0');
    text.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                                        text.data(), static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
  }
  std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Readers poll the file from outside Wine: never let them see a half-written one.
void SaveText(HWND edit, const std::wstring& path) {
  const std::wstring temp = path + L".tmp";
  FILE* file = _wfopen(temp.c_str(), L"wb");
  if (file == nullptr) return;
  const std::string text = EditText(edit);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void SaveAll() {
  SaveText(g_edits[0], WorkPath(L".txt"));
  if (g_edits[1] != nullptr) SaveText(g_edits[1], WorkPath(L".2.txt"));
}

HWND CreateEdit(HWND parent, int index, int top, int height) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;
  const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstEditId + index));
  HWND edit = g_unicode ? CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 5, top, 380, height,
                                          parent, id, GetModuleHandleW(nullptr), nullptr)
                        : CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", style, 5, top, 380, height,
                                          parent, id, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(edit, EM_LIMITTEXT, 0x7FFFFFFE, 0);
  g_edits[index] = edit;
  const auto procedure = reinterpret_cast<LONG_PTR>(EditProc);
  g_editProcs[index] = reinterpret_cast<WNDPROC>(g_unicode ? SetWindowLongPtrW(edit, GWLP_WNDPROC, procedure)
                                                           : SetWindowLongPtrA(edit, GWLP_WNDPROC, procedure));
  return edit;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (g_secondEdit) {
        CreateEdit(window, 0, 5, 80);
        // Text that the window finder can look for in a child window. Another process reads
        // a window's caption, which an edit control does not keep: set it directly too.
        HWND second = CreateEdit(window, 1, 90, 80);
        SetWindowTextA(second, "second edit");
        DefWindowProcA(second, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("second edit"));
      } else {
        CreateEdit(window, 0, 5, 165);
      }
      g_lastFocus = g_edits[0];
      SetTimer(window, kSaveTimer, 100, nullptr);
      return 0;
    case WM_SETFOCUS:
      SetFocus(g_lastFocus);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE) SaveAll();
      return 0;
    case WM_TIMER:
      if (wParam == kSaveTimer) SaveAll();
      return 0;
    case WM_DESTROY:
      KillTimer(window, kSaveTimer);
      SaveAll();
      PostQuitMessage(0);
      return 0;
    default:
      return g_unicode ? DefWindowProcW(window, message, wParam, lParam)
                       : DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--second-edit") == 0) {
      g_secondEdit = true;
    } else if (std::wcscmp(argv[i], L"--unicode") == 0) {
      g_unicode = true;
    } else {
      g_title = argv[i];
    }
  }
  CreateDirectoryA("C:\\tessel", nullptr);
  g_messageLog = _wfopen(WorkPath(L".msg").c_str(), L"wb");

  const HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window = nullptr;
  if (g_unicode) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"TesselTargetAppW";
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, L"TesselTargetAppW", g_title.c_str(), WS_OVERLAPPEDWINDOW, 20, 20, 400,
                             210, nullptr, nullptr, instance, nullptr);
  } else {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "TesselTargetApp";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, "TesselTargetApp", "", WS_OVERLAPPEDWINDOW, 20, 20, 400, 210, nullptr,
                             nullptr, instance, nullptr);
    SetWindowTextW(window, g_title.c_str());
  }
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SaveAll();

  MSG message;
  while ((g_unicode ? GetMessageW(&message, nullptr, 0, 0) : GetMessageA(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    if (g_unicode) {
      DispatchMessageW(&message);
    } else {
      DispatchMessageA(&message);
    }
  }
  if (g_messageLog != nullptr) std::fclose(g_messageLog);
  return 0;
}
