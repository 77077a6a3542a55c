// Per-program maps on Windows: the program of a window, and watching the foreground from
// the thread that holds the hook.
#pragma once
#include "hooklib/client.h"
#include "tesshook32.h"

#include <windows.h>

namespace tessel {

// Sent to the window holding the hook when the program in front has switched the map (see
// tesshook32.h): the front end shows the map at once instead of at its next poll.
constexpr const wchar_t* kMapChangedMessage = TESSHOOK32_MAP_CHANGED_MESSAGE;

// The process and file name of the program a window belongs to; for a window of the frame
// host of packaged applications, the hosted application's.
ClientPlatform::Program ProgramOfWindow(HWND window);

// Sets (or removes) this thread's WinEvent hook for foreground changes.
void WatchForeground(bool on);

}  // namespace tessel
