// Key descriptors: any text is either refused or parsed into a key code and a state that
// FormatKeyDescriptor writes back as a descriptor of the same keystroke.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tessel::KeyDescriptor parsed;
  if (!tessel::ParseKeyDescriptor(text, parsed)) return 0;
  if (text.size() > 7 || parsed.state > 7) std::abort();

  const std::string written = tessel::FormatKeyDescriptor(parsed.keyCode, parsed.state | 0x80);
  tessel::KeyDescriptor again;
  if (!tessel::ParseKeyDescriptor(written, again)) std::abort();
  if (again.keyCode != parsed.keyCode || again.state != parsed.state) std::abort();
  // The written form is canonical: writing it again changes nothing.
  if (tessel::FormatKeyDescriptor(again.keyCode, again.state) != written) std::abort();
  return 0;
}
