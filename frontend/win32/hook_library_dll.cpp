#include "hook_library_dll.h"

#include "tesshook32.h"
#include "wide_text.h"

namespace tessel {

// Texts are UTF-8 here and UTF-16 at the library's wide exports.
void HookLibraryDll::Install(int32_t front, const std::string& settingsFile) {
  ::InstallW(front, Wide(settingsFile).c_str());
}

void HookLibraryDll::Uninstall() { ::Uninstall(); }
int32_t HookLibraryDll::GetFront() { return ::GetFront(); }
void HookLibraryDll::SetFront(int32_t value) { ::SetFront(value); }
void HookLibraryDll::SelectMap(int32_t index) { ::SelectMap(index); }
int32_t HookLibraryDll::GetSelected() { return ::GetSelected(); }
int32_t HookLibraryDll::GetLoaded() { return ::GetLoaded(); }

std::string HookLibraryDll::MapByIndex(int32_t index) {
  const wchar_t* name = ::MapByIndexW(index);
  return name ? Utf8(name) : "";
}

int32_t HookLibraryDll::IndexByMap(const std::string& name) { return ::IndexByMapW(Wide(name).c_str()); }

std::string HookLibraryDll::LastErrorText() {
  const wchar_t* text = ::GetLastErrorTextW();
  return text ? Utf8(text) : "";
}

}  // namespace tessel
