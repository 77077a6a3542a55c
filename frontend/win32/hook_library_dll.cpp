#include "hook_library_dll.h"

#include "tesshook32.h"

namespace tessel {

void HookLibraryDll::Install(int32_t front, const std::string& settingsFile) {
  ::Install(front, settingsFile.c_str());
}

void HookLibraryDll::Uninstall() { ::Uninstall(); }
int32_t HookLibraryDll::GetFront() { return ::GetFront(); }
void HookLibraryDll::SetFront(int32_t value) { ::SetFront(value); }
void HookLibraryDll::SelectMap(int32_t index) { ::SelectMap(index); }
int32_t HookLibraryDll::GetSelected() { return ::GetSelected(); }
int32_t HookLibraryDll::GetLoaded() { return ::GetLoaded(); }

std::string HookLibraryDll::MapByIndex(int32_t index) {
  const char* name = ::MapByIndex(index);
  return name ? name : "";
}

int32_t HookLibraryDll::IndexByMap(const std::string& name) { return ::IndexByMap(name.c_str()); }

std::string HookLibraryDll::LastErrorText() {
  const char* text = ::GetLastErrorText();
  return text ? text : "";
}

}  // namespace tessel
