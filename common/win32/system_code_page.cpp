// The ANSI code page of the system, through MultiByteToWideChar and WideCharToMultiByte.
#include "common/text_encoding.h"

#include <windows.h>

namespace tessel {
namespace {

class Win32AnsiCodePage : public AnsiCodePage {
 public:
  std::u16string ToUtf16(std::string_view ansi) const override {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::u16string text(static_cast<size_t>(length > 0 ? length : 0), u'\0');
    if (length > 0)
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
  }
  bool FromUtf16(std::u16string_view utf16, std::string& ansi) const override {
    ansi.clear();
    if (utf16.empty()) return true;
    const auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
    const int size = static_cast<int>(utf16.size());
    // No best fit: "α" must not come back as "a".
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return false;
    ansi.assign(static_cast<size_t>(length), '\0');
    BOOL defaulted = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, ansi.data(), length, nullptr, &defaulted);
    return !defaulted;
  }
};

}  // namespace

const AnsiCodePage& SystemAnsiCodePage() {
  static const Win32AnsiCodePage codePage;
  return codePage;
}

}  // namespace tessel
