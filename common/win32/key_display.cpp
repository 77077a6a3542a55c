#include "key_display.h"
#include <windows.h>
namespace tessel {
std::string KeyCodeName(uint8_t) { return "?"; }
std::string KeyDescriptorText(std::string_view, DescriptorStyle) { return "?"; }
}  // namespace tessel
