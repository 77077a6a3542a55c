// The exports of TESSHOOK32.DLL: stdcall, exported by undecorated name (tesshook32.def).
// Clients include this header and link the import library.
#pragma once
#include <windows.h>

#include "tessel_version.h"

#ifdef TESSHOOK32_BUILDING
#define TESSHOOK_API extern "C"
#else
#define TESSHOOK_API extern "C" __declspec(dllimport)
#endif

#ifdef TESSHOOK32_STAND_IN_VERSION
// Stand-in libraries of the front end's version tests report another number.
constexpr int kTesselVersion = TESSHOOK32_STAND_IN_VERSION;
#else
constexpr int kTesselVersion = TESSEL_VERSION_NUMBER;
#endif

// Texts: the store keeps map names, replacement texts and the settings file's path in
// UTF-8. The exports below without "W" take and give text in the ANSI code page (what it
// cannot spell comes out as "?"); the "W" exports take and give UTF-16.
//
// When the program that comes to the front switches the map ([Programs] of the settings
// file), the library sends the window that holds the hook, if it belongs to the thread that
// set the hook, this registered message (RegisterWindowMessage) before the map's name shows.
#define TESSHOOK32_MAP_CHANGED_MESSAGE L"TESSEL32MAPCHANGED"

// Exported as "GetVersion"; the C++ name differs because kernel32 has a GetVersion too.
// Clients that need it look it up with GetProcAddress(module, "GetVersion").
TESSHOOK_API int WINAPI TesselGetVersion();
TESSHOOK_API void WINAPI Install(int front, const char* iniFile);
TESSHOOK_API void WINAPI Uninstall();
TESSHOOK_API int WINAPI GetFront();
TESSHOOK_API void WINAPI SetFront(int value);
TESSHOOK_API void WINAPI SelectMap(int index);
TESSHOOK_API int WINAPI GetSelected();
TESSHOOK_API int WINAPI GetLoaded();
TESSHOOK_API const char* WINAPI MapByIndex(int index);
TESSHOOK_API int WINAPI IndexByMap(const char* name);
TESSHOOK_API const char* WINAPI TesselInfo(int kind, int index);
TESSHOOK_API LRESULT WINAPI KeyBoardHook(int code, WPARAM wParam, LPARAM lParam);
// Install with the settings file's path in UTF-16, for folders whose names no ANSI code page
// spells.
TESSHOOK_API void WINAPI InstallW(int front, const wchar_t* iniFile);
// The name of map index, at most 15 characters, in UTF-16; valid until the next call of
// MapByIndexW in this process.
TESSHOOK_API const wchar_t* WINAPI MapByIndexW(int index);
// The index of the map of that name (UTF-16), 0 when none.
TESSHOOK_API int WINAPI IndexByMapW(const wchar_t* name);
// Text of the failure of the last Install or Uninstall of this process, empty when it
// succeeded: the settings file could not be written ("Unable to write to TESSEL32.INI"),
// the store could not be created, the maps did not fit, the hook could not be set, or the
// store's mutex could not be opened. Failures reach the caller without an exception
// crossing the library boundary.
TESSHOOK_API const char* WINAPI GetLastErrorText();
// The same text in UTF-16.
TESSHOOK_API const wchar_t* WINAPI GetLastErrorTextW();
