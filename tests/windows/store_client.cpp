// store_client.exe COMMAND [ARGS] [COMMAND [ARGS]]...: calls the exports of TESSHOOK32.DLL
// in one process, command after command, for the end-to-end tests of the store. Queries
// print one line "name=value"; actions print nothing. Output is unbuffered.
//   install FRONT INI     Install(FRONT, INI)
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
//   hold-mutex SECONDS    takes "TESSEL32MUTEX", prints holding=1, keeps it SECONDS
//   exit-holding          takes the mutex and ends the process without releasing it
//   sleep MS              Sleep(MS)
//   touch PATH            creates the file PATH
//   wait-file PATH SECS   waits until PATH exists (exit 3 when it does not in time)
//   wait-stdin            waits for a line on stdin
//   lock-file PATH SECS   opens PATH without sharing and keeps it open SECS seconds
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

int Usage(const char* what) {
  std::fprintf(stderr, "store_client: %s\n", what);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  int i = 1;
  auto need = [&](int count) { return i + count < argc; };
  while (i < argc) {
    const std::string command = argv[i];
    if (command == "install") {
      if (!need(2)) return Usage("install FRONT INI");
      Install(std::atoi(argv[i + 1]), argv[i + 2]);
      i += 3;
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
      if (!need(1)) return Usage("hold-mutex SECONDS");
      HANDLE mutex = OpenStoreMutex();
      if (!mutex || !Take(mutex)) return 3;
      std::printf("holding=1\n");
      Sleep(static_cast<DWORD>(std::atoi(argv[i + 1])) * 1000);
      ReleaseMutex(mutex);
      CloseHandle(mutex);
      i += 2;
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
        Sleep(50);
      }
      i += 3;
    } else if (command == "wait-stdin") {
      char line[256];
      if (!std::fgets(line, sizeof line, stdin)) return 3;
      i += 1;
    } else if (command == "lock-file") {
      if (!need(2)) return Usage("lock-file PATH SECONDS");
      HANDLE file = CreateFileA(argv[i + 1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return 4;
      std::printf("locked=1\n");
      Sleep(static_cast<DWORD>(std::atoi(argv[i + 2])) * 1000);
      CloseHandle(file);
      i += 3;
    } else {
      return Usage(("unknown command " + command).c_str());
    }
  }
  return 0;
}
