// time_editor.exe RUNS: times the map editor of a running front end (not a test; prints
// figures). Each run opens the editor from the button's menu (Controls > Edit Maps) and
// measures from the menu's Enter to the visible editor window, then stores one
// assignment and measures the Store button's click, then closes the editor.
#include <windows.h>

#include "tesshook32.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kAssignmentList = 202;
constexpr int kReplacementTextBox = 210;
constexpr int kStoreButton = 212;

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Found>
HWND WaitFor(Found found, int milliseconds) {
  const double end = Now() + milliseconds;
  while (Now() < end) {
    if (HWND window = found()) return window;
    Sleep(1);
  }
  return nullptr;
}

HWND Visible(HWND window) { return window && IsWindowVisible(window) ? window : nullptr; }

// A row that is neither a selector nor a dead key, so that Store accepts its key.
int AssignmentRow(HWND list) {
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = count - 1; i >= 0; --i) {
    wchar_t text[2048] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, i, 0) >= 2000) continue;
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (!wcsstr(text, L"--> [") && !wcsstr(text, L"<-> [")) return i;
  }
  return -1;
}

bool OneRun(double& openMs, double& storeMs, int& rows) {
  HWND main = FindWindowA("TMain", nullptr);
  HWND button = main ? FindWindowExA(main, nullptr, "Button", nullptr) : nullptr;
  if (!button) return std::printf("no button window\n"), false;
  PostMessageA(button, BM_CLICK, 0, 0);
  HWND menu = WaitFor([] { return Visible(FindWindowA("#32768", nullptr)); }, 5000);
  if (!menu) return std::printf("the menu did not open\n"), false;
  for (WPARAM key : {VK_UP, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN}) {
    PostMessageA(menu, WM_KEYDOWN, key, 0);
    Sleep(100);
  }
  const double start = Now();
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  HWND editor = WaitFor([] { return Visible(FindWindowA("TMapeditor", nullptr)); }, 20000);
  if (!editor) return std::printf("the editor did not open\n"), false;
  openMs = Now() - start;

  HWND list = GetDlgItem(editor, kAssignmentList);
  rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  const int row = AssignmentRow(list);
  if (row < 0) return std::printf("no assignment row\n"), false;
  SendMessageA(list, LB_SETCURSEL, row, 0);
  SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kAssignmentList, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  SendMessageA(GetDlgItem(editor, kReplacementTextBox), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("stored by the benchmark {ENTER}"));
  const double storeStart = Now();
  SendMessageA(GetDlgItem(editor, kStoreButton), BM_CLICK, 0, 0);
  storeMs = Now() - storeStart;

  PostMessageA(editor, WM_CLOSE, 0, 0);
  WaitFor([] { return FindWindowA("TMapeditor", nullptr) ? nullptr : reinterpret_cast<HWND>(1); },
          10000);
  // The button window installs the hook again (GetFront waits for the store's mutex).
  const int front = static_cast<int>(reinterpret_cast<intptr_t>(main));
  for (int i = 0; i < 200 && GetFront() != front; ++i) Sleep(50);
  Sleep(200);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  for (int i = 0; i < runs; ++i) {
    double openMs = 0, storeMs = 0;
    int rows = 0;
    if (!OneRun(openMs, storeMs, rows)) return 1;
    std::printf("run %d: open %.0f ms (%d rows), Store %.0f ms\n", i + 1, openMs, rows, storeMs);
  }
  return 0;
}
