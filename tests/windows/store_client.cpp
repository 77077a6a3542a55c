// store_client.exe COMMAND [ARGS] [COMMAND [ARGS]]...: calls the exports of TESSHOOK32.DLL
// in one process, command after command, for the end-to-end tests of the store. Queries
// print one line "name=value"; actions print nothing. Output is unbuffered.
//   install FRONT INI     Install(FRONT, INI); FRONT "window" is the handle of `window`
//   window TITLE          creates a visible top-level window TITLE (a front-end stand-in)
//   uninstall             Uninstall()
//   getfront              front=N
//   setfront V            SetFront(V)
//   select N              SelectMap(N)
//   selected              selected=N
//   loaded                loaded=N
//   mapbyindex N          map=NAME (also checks that the result has at most 15 characters)
//   indexbymap NAME       index=N ("-" passes a null pointer)
//   info KIND INDEX       info=TEXT, or info=(null)
//   lasterror             lasterror=TEXT
//   version               version=N, through GetProcAddress(module, "GetVersion")
//   hold-mutex SECONDS [NAME]  takes the mutex NAME (default "TESSEL32MUTEX"; created when
//                         missing), prints holding=1, keeps it SECONDS
//   hook VK SCAN [up]     calls KeyBoardHook on this thread with that key (hex values):
//                         verdict=swallow|pass
//   pump MS               serves this thread's messages for MS ms: timers=N dispatched
//   poke OFFSET VALUE     writes one byte of the store directly (another process's write)
//   peek OFFSET           byte=N, one byte of the store read directly
//   exit-holding          takes the mutex and ends the process without releasing it
//   sleep MS              Sleep(MS)
//   touch PATH            creates the file PATH
//   wait-file PATH SECS   waits until PATH exists (exit 3 when it does not in time), serving
//                         this thread's messages meanwhile
//   lock-file PATH SECS   opens PATH without sharing and keeps it open SECS seconds
//   wait-front V SECS     waits until GetFront() is V (a slow hidden-mode host: exit 3 late)
// Exit codes: 0 done, 2 usage, 3 a wait ran out, 4 a check failed.
#include "tesshook32.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HANDLE OpenStoreMutex() { return OpenMutexA(SYNCHRONIZE, FALSE, "TESSEL32MUTEX"); }

bool Take(HANDLE mutex) {
  const DWORD wait = WaitForSingleObject(mutex, 60000);
  return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Serves this thread's messages for ms milliseconds; the number of WM_TIMER messages.
int Pump(DWORD ms) {
  int timers = 0;
  const DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_TIMER) ++timers;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const auto left = static_cast<LONG>(end - GetTickCount());
    if (left <= 0) return timers;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
  }
}

// The store, mapped directly, for writes that another process might make.
uint8_t* RawStore() {
  static uint8_t* view = [] {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "TESSEL32SHAREDMEM");
    return mapping ? static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
  }();
  return view;
}

int Usage(const char* what) {
  std::fprintf(stderr, "store_client: %s\n", what);
  return 2;
}

bool WaitForFront(int value, int seconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (GetFront() != value) {
    if (static_cast<int32_t>(GetTickCount() - end) >= 0) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  int i = 1;
  HWND window = nullptr;
  auto need = [&](int count) { return i + count < argc; };
  while (i < argc) {
    const std::string command = argv[i];
    if (command == "install") {
      if (!need(2)) return Usage("install FRONT INI");
      const bool useWindow = std::strcmp(argv[i + 1], "window") == 0;
      if (useWindow && !window) return Usage("install window: no window yet");
      Install(useWindow ? static_cast<int>(reinterpret_cast<intptr_t>(window)) : std::atoi(argv[i + 1]),
              argv[i + 2]);
      i += 3;
    } else if (command == "window") {
      if (!need(1)) return Usage("window TITLE");
      window = CreateWindowExA(0, "STATIC", argv[i + 1], WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400,
                               200, 80, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      if (!window) return 4;
      Pump(50);
      i += 2;
    } else if (command == "hook") {
      if (!need(2)) return Usage("hook VK SCAN [up]");
      const bool up = need(3) && std::strcmp(argv[i + 3], "up") == 0;
      const auto vk = static_cast<WPARAM>(std::strtoul(argv[i + 1], nullptr, 16));
      const auto scan = static_cast<uint32_t>(std::strtoul(argv[i + 2], nullptr, 16));
      const uint32_t data = (scan << 16) | 1 | (up ? 0xC0000000u : 0u);
      const LRESULT verdict = KeyBoardHook(HC_ACTION, vk, static_cast<LPARAM>(static_cast<int32_t>(data)));
      std::printf("verdict=%s\n", verdict != 0 ? "swallow" : "pass");
      i += up ? 4 : 3;
    } else if (command == "pump") {
      if (!need(1)) return Usage("pump MS");
      std::printf("timers=%d\n", Pump(static_cast<DWORD>(std::atoi(argv[i + 1]))));
      i += 2;
    } else if (command == "poke" || command == "peek") {
      const bool poke = command == "poke";
      if (!need(poke ? 2 : 1)) return Usage("poke OFFSET VALUE | peek OFFSET");
      uint8_t* store = RawStore();
      if (!store) return 4;
      const int offset = std::atoi(argv[i + 1]);
      if (poke) {
        store[offset] = static_cast<uint8_t>(std::atoi(argv[i + 2]));
      } else {
        std::printf("byte=%u\n", static_cast<unsigned>(store[offset]));
      }
      i += poke ? 3 : 2;
    } else if (command == "uninstall") {
      Uninstall();
      i += 1;
    } else if (command == "getfront") {
      std::printf("front=%d\n", GetFront());
      i += 1;
    } else if (command == "setfront") {
      if (!need(1)) return Usage("setfront V");
      SetFront(std::atoi(argv[i + 1]));
      i += 2;
    } else if (command == "select") {
      if (!need(1)) return Usage("select N");
      SelectMap(std::atoi(argv[i + 1]));
      i += 2;
    } else if (command == "selected") {
      std::printf("selected=%d\n", GetSelected());
      i += 1;
    } else if (command == "loaded") {
      std::printf("loaded=%d\n", GetLoaded());
      i += 1;
    } else if (command == "mapbyindex") {
      if (!need(1)) return Usage("mapbyindex N");
      const char* name = MapByIndex(std::atoi(argv[i + 1]));
      if (!name || std::strlen(name) > 15) return 4;
      std::printf("map=%s\n", name);
      i += 2;
    } else if (command == "indexbymap") {
      if (!need(1)) return Usage("indexbymap NAME");
      const char* name = std::strcmp(argv[i + 1], "-") == 0 ? nullptr : argv[i + 1];
      std::printf("index=%d\n", IndexByMap(name));
      i += 2;
    } else if (command == "info") {
      if (!need(2)) return Usage("info KIND INDEX");
      const char* text = TesselInfo(std::atoi(argv[i + 1]), std::atoi(argv[i + 2]));
      std::printf("info=%s\n", text ? text : "(null)");
      i += 3;
    } else if (command == "lasterror") {
      const char* text = GetLastErrorText();
      std::printf("lasterror=%s\n", text ? text : "(null)");
      i += 1;
    } else if (command == "version") {
      using VersionProc = int(WINAPI*)();
      const auto proc = reinterpret_cast<VersionProc>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("TESSHOOK32.DLL"), "GetVersion")));
      if (!proc) return 4;
      std::printf("version=%d\n", proc());
      i += 1;
    } else if (command == "hold-mutex") {
      if (!need(1)) return Usage("hold-mutex SECONDS [NAME]");
      const bool named = need(2) && std::strncmp(argv[i + 2], "TESSEL32", 8) == 0;
      HANDLE mutex = named ? CreateMutexA(nullptr, FALSE, argv[i + 2]) : OpenStoreMutex();
      if (!mutex || !Take(mutex)) return 3;
      std::printf("holding=1\n");
      Sleep(static_cast<DWORD>(std::atoi(argv[i + 1])) * 1000);
      ReleaseMutex(mutex);
      CloseHandle(mutex);
      i += named ? 3 : 2;
    } else if (command == "exit-holding") {
      HANDLE mutex = OpenStoreMutex();
      if (!mutex || !Take(mutex)) return 3;
      std::printf("holding=1\n");
      ExitProcess(0);
    } else if (command == "sleep") {
      if (!need(1)) return Usage("sleep MS");
      Sleep(static_cast<DWORD>(std::atoi(argv[i + 1])));
      i += 2;
    } else if (command == "touch") {
      if (!need(1)) return Usage("touch PATH");
      HANDLE file = CreateFileA(argv[i + 1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return 4;
      CloseHandle(file);
      i += 2;
    } else if (command == "wait-file") {
      if (!need(2)) return Usage("wait-file PATH SECONDS");
      const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(argv[i + 2])) * 1000;
      while (!FileExists(argv[i + 1])) {
        if (static_cast<int32_t>(GetTickCount() - end) >= 0) return 3;
        Pump(50);
      }
      i += 3;
    } else if (command == "lock-file") {
      if (!need(2)) return Usage("lock-file PATH SECONDS");
      HANDLE file = CreateFileA(argv[i + 1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return 4;
      std::printf("locked=1\n");
      Sleep(static_cast<DWORD>(std::atoi(argv[i + 2])) * 1000);
      CloseHandle(file);
      i += 3;
    } else if (command == "wait-front") {
      if (!need(2)) return Usage("wait-front V SECONDS");
      if (!WaitForFront(std::atoi(argv[i + 1]), std::atoi(argv[i + 2]))) return 3;
      i += 3;
    } else {
      return Usage(("unknown command " + command).c_str());
    }
  }
  return 0;
}
