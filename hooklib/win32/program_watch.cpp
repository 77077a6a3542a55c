// Per-program maps on Windows: which program a window belongs to, and the foreground
// changes that the thread holding the hook watches (an out-of-context WinEvent hook, which
// also sees programs of the other word size). Focus events are watched too: some systems
// (Wine among them) announce a new front only by the focus moving.
#include "program_watch.h"

#include "common/win32/wide_text.h"
#include "hooklib/program_rules.h"
#include "info_window.h"
#include "library_state.h"

#include <string>

namespace tessel {
namespace {

constexpr const wchar_t* kFrameHost = L"APPLICATIONFRAMEHOST.EXE";

std::wstring ImageOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  wchar_t path[MAX_PATH * 4] = L"";
  DWORD length = MAX_PATH * 4;
  const bool known = QueryFullProcessImageNameW(process, 0, path, &length) != FALSE;
  CloseHandle(process);
  return known ? std::wstring(path, length) : std::wstring();
}

bool IsFrameHost(const std::wstring& image) {
  const size_t slash = image.find_last_of(L"\\/");
  const std::wstring name = slash == std::wstring::npos ? image : image.substr(slash + 1);
  return lstrcmpiW(name.c_str(), kFrameHost) == 0;
}

struct HostedSearch {
  DWORD framePid;
  DWORD hostedPid = 0;
};

BOOL CALLBACK FindHosted(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<HostedSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(child, &pid);
  if (pid != 0 && pid != search->framePid) {
    search->hostedPid = pid;
    return FALSE;
  }
  return TRUE;
}

// Called by the system on the thread that set the hook: the front has moved. The map's name
// shows once the store is free again, and a window of this thread that holds the hook (the
// button window) hears of the change first, so it shows the map within the switch.
void CALLBACK ForegroundChanged(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) noexcept {
  try {
    LibraryState& lib = Library();
    HWND window = GetForegroundWindow();
    DWORD pid = 0;
    if (!lib.view.Present() || !window || !GetWindowThreadProcessId(window, &pid) ||
        !ProgramCheckDue(lib.view, pid))
      return;
    const ClientPlatform::Program program = ProgramOfWindow(window);
    ProgramSwitch result;
    int32_t messageTime = 0, front = 0;
    char name[4 * store::kMapNameLimit + 1] = {};
    {
      StoreLock lock;
      result = OnProgramInFront(lib.view, program.pid, program.image);
      if (!result.changed) return;
      const std::string_view mapName = lib.view.MapName(result.map);
      const size_t length = store::CharacterPrefixLength(mapName, store::kMapNameLimit);
      mapName.copy(name, length);
      messageTime = lib.view.Get(store::kMessageTime);
      front = lib.view.Get(store::kFront);
      lib.deadKey = DeadKeyState{};
    }
    HWND frontWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(front));
    if (front > 1 && IsWindow(frontWindow) &&
        GetWindowThreadProcessId(frontWindow, nullptr) == GetCurrentThreadId()) {
      static const UINT changed = RegisterWindowMessageW(kMapChangedMessage);
      SendMessageW(frontWindow, changed, 0, 0);
    }
    ShowInformation(lib.module, name, messageTime);
  } catch (...) {
  }
}

}  // namespace

ClientPlatform::Program ProgramOfWindow(HWND window) {
  ClientPlatform::Program program;
  DWORD pid = 0;
  if (!window || !GetWindowThreadProcessId(window, &pid) || pid == 0) return program;
  std::wstring image = ImageOf(pid);
  // A packaged application's window belongs to the frame host; its own process owns a child.
  if (IsFrameHost(image)) {
    HostedSearch search{pid};
    EnumChildWindows(window, FindHosted, reinterpret_cast<LPARAM>(&search));
    if (search.hostedPid != 0) {
      pid = search.hostedPid;
      image = ImageOf(pid);
    }
  }
  program.pid = pid;
  program.image = Utf8(image);
  return program;
}

void WatchForeground(bool on) {
  LibraryState& lib = Library();
  for (HWINEVENTHOOK& hook : lib.frontHooks)
    if (hook) {
      UnhookWinEvent(hook);
      hook = nullptr;
    }
  if (on) {
    const DWORD events[] = {EVENT_SYSTEM_FOREGROUND, EVENT_OBJECT_FOCUS};
    for (int i = 0; i < 2; ++i)
      lib.frontHooks[i] = SetWinEventHook(events[i], events[i], nullptr, ForegroundChanged, 0, 0,
                                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  }
}

}  // namespace tessel
