#include "dpi.h"

namespace tessel {
namespace {

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using GetDpiForSystemCall = UINT(WINAPI*)();
using SetThreadContextCall = HANDLE(WINAPI*)(HANDLE);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));

template <typename Call>
Call User32Call(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

SetThreadContextCall SetThreadContext() {
  static const auto call = User32Call<SetThreadContextCall>("SetThreadDpiAwarenessContext");
  return call;
}

UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : SystemDpi();
}

UINT SystemDpi() {
  static const auto getDpiForSystem = User32Call<GetDpiForSystemCall>("GetDpiForSystem");
  const UINT dpi = getDpiForSystem ? getDpiForSystem() : 0;
  return dpi != 0 ? dpi : ScreenDpi();
}

PerMonitorDpiScope::PerMonitorDpiScope() {
  if (const auto setContext = SetThreadContext()) previous_ = setContext(kPerMonitorAwareV2);
}

PerMonitorDpiScope::~PerMonitorDpiScope() {
  if (const auto setContext = SetThreadContext(); setContext && previous_) setContext(previous_);
}

}  // namespace tessel
