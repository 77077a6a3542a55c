// host_probe.exe IMAGE COMMAND...: sets host_probe.dll's message hook on every thread of
// the running process IMAGE (e.g. TESSHIDE32.EXE) and posts messages to those threads.
//   ping COUNT        posts COUNT probe messages, one at a time, and prints how soon the
//                     process took each from its queue:
//                     "handled=N of COUNT median_ms=X max_ms=Y" (a message not taken within
//                     2 s counts as unhandled)
//   key VK SCAN       has the process call KeyBoardHook on its own thread for a key-down
//                     and a key-up of VK (hex) with scan code SCAN (hex): "handled=N of 2"
// Exit codes: 0 every message handled, 1 some were not, 2 usage or setup failed.
#include <windows.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kProbeMessage = WM_APP + 0x3A1;
constexpr DWORD kAnswerWaitMs = 2000;

DWORD ProcessId(const char* image) {
  DWORD pid = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, image) == 0) pid = entry.th32ProcessID;
  CloseHandle(snapshot);
  return pid;
}

std::vector<DWORD> Threads(DWORD pid) {
  std::vector<DWORD> threads;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == pid) threads.push_back(entry.th32ThreadID);
  CloseHandle(snapshot);
  return threads;
}

double NowMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Posts one message to every thread; the delay until one of them took it, or -1.
double PostAndWait(const std::vector<DWORD>& threads, HANDLE answered, WPARAM wParam, LPARAM lParam) {
  ResetEvent(answered);
  const double start = NowMs();
  for (DWORD thread : threads) PostThreadMessageA(thread, kProbeMessage, wParam, lParam);
  if (WaitForSingleObject(answered, kAnswerWaitMs) != WAIT_OBJECT_0) return -1;
  return NowMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 3) {
    std::printf("usage: host_probe.exe IMAGE ping COUNT | IMAGE key VK SCAN\n");
    return 2;
  }
  const DWORD pid = ProcessId(argv[1]);
  HMODULE dll = LoadLibraryA("host_probe.dll");
  const auto proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(dll, "ProbeGetMessage")));
  const std::vector<DWORD> threads = pid ? Threads(pid) : std::vector<DWORD>{};
  if (threads.empty() || !proc) {
    std::printf("host_probe: no process %s or no probe\n", argv[1]);
    return 2;
  }
  std::vector<HHOOK> hooks;
  for (DWORD thread : threads)
    if (HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, proc, dll, thread)) hooks.push_back(hook);
  HANDLE answered = CreateEventA(nullptr, TRUE, FALSE, "TesselHostProbe");

  int handled = 0, total = 0;
  std::vector<double> delays;
  if (std::strcmp(argv[2], "ping") == 0 && argc >= 4) {
    total = std::atoi(argv[3]);
    for (int i = 0; i < total; ++i) {
      const double delay = PostAndWait(threads, answered, 0, 0);
      if (delay >= 0) {
        ++handled;
        delays.push_back(delay);
      }
      Sleep(20);
    }
    std::sort(delays.begin(), delays.end());
    std::printf("handled=%d of %d median_ms=%.1f max_ms=%.1f\n", handled, total,
                delays.empty() ? -1.0 : delays[delays.size() / 2],
                delays.empty() ? -1.0 : delays.back());
  } else if (std::strcmp(argv[2], "key") == 0 && argc >= 5) {
    const auto vk = static_cast<WPARAM>(std::strtoul(argv[3], nullptr, 16));
    const auto scan = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 16));
    total = 2;
    for (const uint32_t flags : {0u, 0xC0000000u}) {
      if (PostAndWait(threads, answered, vk, static_cast<LPARAM>(flags | (scan << 16) | 1)) >= 0)
        ++handled;
      Sleep(50);
    }
    std::printf("handled=%d of %d\n", handled, total);
  } else {
    std::printf("host_probe: unknown command %s\n", argv[2]);
    return 2;
  }
  for (HHOOK hook : hooks) UnhookWindowsHookEx(hook);
  return handled == total ? 0 : 1;
}
