// Names of physical keys from the operating system, for the editor's lists.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// GetKeyNameText of the key code (UTF-8); "?" + code when the system has no name; an apostrophe
// appended for an extended key.
std::string KeyCodeName(uint8_t keyCode);

enum class DescriptorStyle { List, LabelFirst };
// "name<TAB>label" or "label name"; "?" when the text is not a descriptor.
std::string KeyDescriptorText(std::string_view descriptor, DescriptorStyle style);

}  // namespace tessel
