// empty_hook.dll: a keyboard hook procedure that does nothing and lets every key pass, the
// floor that the system's own dispatch of a hook costs (time_keys.exe --empty-hook).
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK EmptyKeyboardHook(int, WPARAM, LPARAM) {
  return 0;
}
