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
//   direct COUNT    calls TESSHOOK32's KeyBoardHook itself COUNT times for the key-down and
//                   the key-up of Z: the procedure's own cost, without the system's dispatch
//                   (with --tessel)
//   calls           the cost of the system calls the hook makes for every keystroke
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

LARGE_INTEGER frequency;

// CPU time of this process (user and kernel), in ms: much less disturbed by other load
// than the elapsed time.
double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 10000.0;
}

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
    const double cpuStart = CpuMs();
    Press('Z', 0x2C, count);
    const int seen = PumpCharacters(count, start + 120000);
    const double elapsed = NowMs() - start;
    std::printf("unmapped keystrokes=%d characters=%d total_ms=%.1f per_key_us=%.1f cpu_per_key_us=%.1f\n",
                count, seen, elapsed, 1000.0 * elapsed / count, 1000.0 * (CpuMs() - cpuStart) / count);
    return seen == count ? 0 : 1;
  }
  if (std::strcmp(mode, "direct") == 0) {
    using HookProc = LRESULT(WINAPI*)(int, WPARAM, LPARAM);
    const auto proc = reinterpret_cast<HookProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("TESSHOOK32.DLL"), "KeyBoardHook")));
    if (!proc) return 3;
    int passed = 0;
    const double start = NowMs();
    for (int i = 0; i < count; ++i) {
      passed += proc(HC_ACTION, 'Z', 0x002C0001) == 0;
      passed += proc(HC_ACTION, 'Z', static_cast<LPARAM>(0xC02C0001u)) == 0;
    }
    std::printf("direct calls=%d passed=%d per_call_us=%.3f\n", 2 * count, passed,
                1000.0 * (NowMs() - start) / (2 * count));
    return passed == 2 * count ? 0 : 1;
  }
  if (std::strcmp(mode, "calls") == 0) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "TESSEL32TIMINGMUTEX");
    const auto time = [](const char* name, auto call) {
      const double start = NowMs();
      for (int i = 0; i < 20000; ++i) call();
      std::printf("%-34s %8.2f us\n", name, 1000.0 * (NowMs() - start) / 20000);
    };
    time("WaitForSingleObject+ReleaseMutex", [&] {
      WaitForSingleObject(mutex, INFINITE);
      ReleaseMutex(mutex);
    });
    time("GetAsyncKeyState", [] { GetAsyncKeyState(VK_SHIFT); });
    time("GetKeyState", [] { GetKeyState(VK_CAPITAL); });
    return 0;
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
