// Display scaling: the DPI of the monitor a window is on, for windows that scale themselves.
// The calls for it exist from Windows 10 1607 on and are looked up when first needed; on
// older systems every window has the system's DPI.
#pragma once
#include "common/display_scale.h"

#include <windows.h>

namespace tessel {

// The DPI of the window's monitor as the window sees it.
UINT WindowDpi(HWND window);
// The DPI the system's stock fonts and metrics are made for.
UINT SystemDpi();

// While it lives, the windows this thread creates scale per monitor whatever the process
// declared: the information window is made inside other programs, aware of DPI or not.
class PerMonitorDpiScope {
 public:
  PerMonitorDpiScope();
  ~PerMonitorDpiScope();
  PerMonitorDpiScope(const PerMonitorDpiScope&) = delete;
  PerMonitorDpiScope& operator=(const PerMonitorDpiScope&) = delete;

 private:
  HANDLE previous_ = nullptr;
};

}  // namespace tessel
