// The key-token reader over arbitrary bytes, walked as the compiler walks a brace group:
// the cursor never leaves [begin, end] and every call either advances or reports no key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that reading one byte too far is caught.
  const std::vector<char> text(data, data + size);
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* cursor = begin;
  while (cursor < end) {
    const char* const before = cursor;
    const uint8_t code = tessel::ReadKeyToken(cursor, end);
    if (cursor < before || cursor > end) std::abort();
    if (cursor == before) {
      if (code != 0) std::abort();
      ++cursor;  // the compiler steps over a character that gave no key
    }
  }
  // The reader is also safe at the very end and with an empty range.
  const char* atEnd = end;
  if (tessel::ReadKeyToken(atEnd, end) != 0 || atEnd != end) std::abort();
  return 0;
}
