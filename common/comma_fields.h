// Comma-separated fields without escapes, used by the window finder, the prompt
// dialog and the map editor; and the integer reading of macro arguments.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// Number of commas + 1; 0 for an empty text.
int FieldCount(std::string_view text);
// Field k (1-based); a k outside 1..FieldCount gives the whole text.
std::string FieldAt(std::string_view text, int k);
// The integer the whole text holds (ParseSignedNumber), 0 if none.
int32_t IntOrZero(std::string_view text);

}  // namespace tessel
