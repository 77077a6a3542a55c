#include "win32_profile.h"
#include <windows.h>
namespace tessel {
std::string Win32Profile::RawGetString(const std::string&, const std::string&, const std::string& d) { return d; }
std::vector<std::string> Win32Profile::RawGetKeys(const std::string&) { return {}; }
bool Win32Profile::RawWrite(const std::string&, const char*, const char*) { return false; }
}  // namespace tessel
