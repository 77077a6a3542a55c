// host_probe.dll: a WH_GETMESSAGE hook that host_probe.exe sets on the threads of another
// process. It runs whenever such a thread takes a message from its queue, so it sees
// whether (and when) that thread serves its messages at all.
//   kProbeMessage, wParam 0        answers by setting the event "TesselHostProbe"
//   kProbeMessage, wParam VK       calls TESSHOOK32's KeyBoardHook there with the key data
//                                  in lParam, as the system does for a process of the
//                                  other word size, then sets the event
#include <windows.h>

namespace {

constexpr UINT kProbeMessage = WM_APP + 0x3A1;

using HookProc = LRESULT(WINAPI*)(int, WPARAM, LPARAM);

void Answer() {
  if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, "TesselHostProbe")) {
    SetEvent(event);
    CloseHandle(event);
  }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeGetMessage(int code, WPARAM wParam,
                                                                  LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kProbeMessage) {
    if (message->wParam != 0) {
      const auto keyboardHook = reinterpret_cast<HookProc>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("TESSHOOK32.DLL"), "KeyBoardHook")));
      if (keyboardHook) keyboardHook(HC_ACTION, message->wParam, message->lParam);
    }
    Answer();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
