// time_keys.exe MODE [COUNT] [--empty-hook | --tessel INI]: times keystrokes typed into its
// own window under Wine.
//   --empty-hook    sets a global keyboard hook that does nothing (empty_hook.dll) first
//   --tessel INI    calls TESSHOOK32's Install(-1, INI) first (and Uninstall at the end)
//   unmapped COUNT  sends COUNT presses of Z (scan 0x2C) at once; prints the time until all
//                   their characters arrived (run with and without the hook installed)
//   latency COUNT   presses A (scan 0x1E) COUNT times, one at a time; prints the median and
//                   95th percentile from the press to the first character of its text
//   throughput      presses S (scan 0x1F) once; prints the characters per second of its text
//                   (the settings file maps S to a 1000-character text)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

LARGE_INTEGER frequency;

double NowMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Press(WORD virtualKey, WORD scan, int times) {
  std::vector<INPUT> inputs;
  for (int i = 0; i < times; ++i) {
    for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT in = {};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = virtualKey;
      in.ki.wScan = scan;
      in.ki.dwFlags = flags;
      inputs.push_back(in);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Pumps messages until count characters arrived or the deadline passed; returns how many.
int PumpCharacters(int count, double deadlineMs) {
  int seen = 0;
  MSG message;
  while (seen < count && NowMs() < deadlineMs) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      continue;
    }
    if (message.message == WM_CHAR) ++seen;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return seen;
}

HWND CreateTarget() {
  HWND window = CreateWindowA("EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE, 10, 10,
                              300, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowTextA(window, "");
  SetForegroundWindow(window);
  SetFocus(window);
  PumpCharacters(1, NowMs() + 500);  // let the window settle
  return window;
}

}  // namespace

// The hook of the run: none, the empty one, or Tessel's. Undone when the run ends.
class RunHook {
 public:
  RunHook(int argc, char** argv) {
    for (int i = 3; i < argc; ++i) {
      if (std::strcmp(argv[i], "--empty-hook") == 0) {
        HMODULE dll = LoadLibraryA("empty_hook.dll");
        const auto proc = reinterpret_cast<HOOKPROC>(
            reinterpret_cast<void*>(GetProcAddress(dll, "EmptyKeyboardHook")));
        if (proc) emptyHook_ = SetWindowsHookExA(WH_KEYBOARD, proc, dll, 0);
        ok_ = emptyHook_ != nullptr;
      } else if (std::strcmp(argv[i], "--tessel") == 0 && i + 1 < argc) {
        HMODULE library = LoadLibraryA("TESSHOOK32.DLL");
        using InstallProc = void(WINAPI*)(int, const char*);
        const auto install = reinterpret_cast<InstallProc>(
            reinterpret_cast<void*>(GetProcAddress(library, "Install")));
        uninstall_ = reinterpret_cast<void(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(library, "Uninstall")));
        if (install) install(-1, argv[++i]);
        ok_ = install && uninstall_;
      }
    }
  }
  ~RunHook() {
    if (emptyHook_) UnhookWindowsHookEx(emptyHook_);
    if (uninstall_) uninstall_();
  }
  bool Ok() const { return ok_; }

 private:
  HHOOK emptyHook_ = nullptr;
  void(WINAPI* uninstall_)() = nullptr;
  bool ok_ = true;
};

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  QueryPerformanceFrequency(&frequency);
  const char* mode = argc > 1 ? argv[1] : "unmapped";
  const int count = argc > 2 ? std::atoi(argv[2]) : 2000;
  const RunHook hook(argc, argv);
  if (!hook.Ok()) {
    std::fprintf(stderr, "time_keys: the hook of the run could not be set\n");
    return 2;
  }
  CreateTarget();

  if (std::strcmp(mode, "unmapped") == 0) {
    const double start = NowMs();
    Press('Z', 0x2C, count);
    const int seen = PumpCharacters(count, start + 120000);
    std::printf("unmapped keystrokes=%d characters=%d total_ms=%.1f per_key_us=%.1f\n", count, seen,
                NowMs() - start, 1000.0 * (NowMs() - start) / count);
    return seen == count ? 0 : 1;
  }
  if (std::strcmp(mode, "latency") == 0) {
    std::vector<double> delays;
    for (int i = 0; i < count; ++i) {
      const double start = NowMs();
      Press('A', 0x1E, 1);
      if (PumpCharacters(1, start + 5000) != 1) break;
      delays.push_back(NowMs() - start);
      PumpCharacters(1000, NowMs() + 50);  // let the player stop its timer
    }
    if (delays.empty()) return 1;
    std::sort(delays.begin(), delays.end());
    std::printf("latency presses=%zu median_ms=%.2f p95_ms=%.2f max_ms=%.2f\n", delays.size(),
                delays[delays.size() / 2], delays[delays.size() * 95 / 100], delays.back());
    return 0;
  }
  if (std::strcmp(mode, "throughput") == 0) {
    const double start = NowMs();
    Press('S', 0x1F, 1);
    const int seen = PumpCharacters(1000, start + 60000);
    const double elapsed = NowMs() - start;
    std::printf("throughput characters=%d total_ms=%.1f chars_per_s=%.0f\n", seen, elapsed,
                seen / (elapsed / 1000.0));
    return seen == 1000 ? 0 : 1;
  }
  std::fprintf(stderr, "unknown mode %s\n", mode);
  return 2;
}
