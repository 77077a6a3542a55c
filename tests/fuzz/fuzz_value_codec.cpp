// Stored-value decoding and the number readers over arbitrary bytes: no crash, decoding
// never lengthens a text, decoding undoes encoding (but for the characters 0 and 1, which
// are left out), and every accepted number reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/comma_fields.h"
#include "common/value_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::string decoded = tessel::DecodeValue(text);
  if (decoded.size() > text.size()) std::abort();

  // Encoding leaves out characters 0 and 1 and keeps the value on one line of the file
  // with nothing the profile functions would trim or unquote.
  const std::string encoded = tessel::EncodeValue(text);
  for (const char c : encoded)
    if (static_cast<unsigned char>(c) <= ' ' || c == 127) std::abort();
  if (!encoded.empty() && (encoded.front() == '"' || encoded.front() == '\'')) std::abort();
  std::string storable;
  for (const char c : text)
    if (c != 0 && c != 1) storable += c;
  if (tessel::DecodeValue(encoded) != storable) std::abort();

  int32_t value = 0;
  if (tessel::ParseSignedNumber(text, value)) {
    int32_t again = 1;
    if (!tessel::ParseSignedNumber(std::to_string(value), again) || again != value) std::abort();
    if (tessel::IntOrZero(text) != value) std::abort();
  }
  if (tessel::ParseSettingsInteger(text, value)) {
    int32_t again = 1;
    if (!tessel::ParseSettingsInteger(std::to_string(value), again) || again != value) std::abort();
  }

  // Comma fields cover the text exactly (each field is found from the start: keep it short).
  if (text.size() > 512) return 0;
  std::string joined;
  const int count = tessel::FieldCount(text);
  for (int k = 1; k <= count; ++k) joined += (k > 1 ? "," : "") + tessel::FieldAt(text, k);
  if (joined != text) std::abort();
  return 0;
}
