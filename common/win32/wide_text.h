// UTF-8 inside the program, UTF-16 at the Windows API.
#pragma once
#include "common/text_encoding.h"

#include <string>
#include <string_view>

namespace tessel {

inline std::wstring Wide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

inline std::string Utf8(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace tessel
