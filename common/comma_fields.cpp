#include "common/comma_fields.h"

#include <algorithm>

#include "common/value_codec.h"

namespace tessel {

int FieldCount(std::string_view text) {
  if (text.empty()) return 0;
  return static_cast<int>(std::count(text.begin(), text.end(), ',')) + 1;
}

std::string FieldAt(std::string_view text, int k) {
  if (k < 1) return std::string(text);
  // Step over k - 1 commas; running out of them first gives the whole text.
  size_t start = 0;
  for (int seen = 0; seen < k - 1; ++seen) {
    const size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) return std::string(text);
    start = comma + 1;
  }
  const size_t end = text.find(',', start);
  return std::string(text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
}

int32_t IntOrZero(std::string_view text) {
  int32_t value = 0;
  return ParseSignedNumber(text, value) ? value : 0;
}

}  // namespace tessel
