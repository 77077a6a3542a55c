#include "key_display.h"

#include <windows.h>

#include "common/keys.h"
#include "wide_text.h"

namespace tessel {

std::string KeyCodeName(uint8_t keyCode) {
  // Scan code in bits 16-22, extended flag in bit 24; bit 25 stays clear so that left and
  // right keys keep their own names.
  const LONG keyData = static_cast<LONG>(((keyCode & 0x7Fu) << 16) | ((keyCode & 0x80u) ? 1u << 24 : 0u));
  wchar_t name[20] = {};
  const int length = GetKeyNameTextW(keyData, name, 20);
  std::string text = length > 0 ? Utf8(std::wstring_view(name, static_cast<size_t>(length < 20 ? length : 19)))
                                : "?" + std::to_string(keyCode);
  if (keyCode & 0x80) text += '\'';
  return text;
}

std::string KeyDescriptorText(std::string_view descriptor, DescriptorStyle style) {
  KeyDescriptor parsed;
  if (!ParseKeyDescriptor(descriptor, parsed)) return "?";
  const std::string name = KeyCodeName(parsed.keyCode);
  const std::string label = kStateLabels[parsed.state & 0x07];
  return style == DescriptorStyle::List ? name + "\t" + label : label + " " + name;
}

}  // namespace tessel
