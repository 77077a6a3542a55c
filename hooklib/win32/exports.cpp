// Skeleton exports; filled in by the store work.
#include "tesshook32.h"

TESSHOOK_API int WINAPI TesselGetVersion() { return kTesselVersion; }
TESSHOOK_API void WINAPI Install(int, const char*) {}
TESSHOOK_API void WINAPI Uninstall() {}
TESSHOOK_API int WINAPI GetFront() { return 0; }
TESSHOOK_API void WINAPI SetFront(int) {}
TESSHOOK_API void WINAPI SelectMap(int) {}
TESSHOOK_API int WINAPI GetSelected() { return 0; }
TESSHOOK_API int WINAPI GetLoaded() { return 0; }
TESSHOOK_API const char* WINAPI MapByIndex(int) { return "<off>"; }
TESSHOOK_API int WINAPI IndexByMap(const char*) { return 0; }
TESSHOOK_API const char* WINAPI TesselInfo(int, int) { return nullptr; }
TESSHOOK_API const char* WINAPI GetLastErrorText() { return ""; }
