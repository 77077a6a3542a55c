#include "common/value_codec.h"
namespace tessel {
std::string DecodeValue(std::string_view s) { return std::string(s); }
std::string EncodeValue(std::string_view s) { return std::string(s); }
bool ParseSignedNumber(std::string_view, int32_t&) { return false; }
bool ParseSettingsInteger(std::string_view, int32_t&) { return false; }
}  // namespace tessel
