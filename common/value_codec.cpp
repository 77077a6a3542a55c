#include "common/value_codec.h"

#include "common/text_encoding.h"

namespace tessel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hexadecimal digits only, at least one; values up to 32 bits, taken as a signed 32-bit
// pattern (FFFFFFFF is -1).
bool ParseHexDigits(std::string_view digits, uint32_t& out) {
  if (digits.empty()) return false;
  uint64_t value = 0;
  for (char c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0) return false;
    value = value * 16 + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) return false;
  }
  out = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

std::string DecodeValue(std::string_view stored) {
  std::string text;
  text.reserve(stored.size());
  size_t p = 0;
  while (p < stored.size()) {
    const char c = stored[p];
    if (c != '\\' || p + 1 == stored.size()) {
      text += c;
      ++p;
      continue;
    }
    const char next = stored[p + 1];
    if (IsDigit(next)) {
      // Up to three digits after the backslash, all of which must be digits.
      const std::string_view digits = stored.substr(p + 1, 3);
      unsigned value = 0;
      bool allDigits = true;
      for (char d : digits) {
        if (!IsDigit(d)) {
          allDigits = false;
          break;
        }
        value = value * 10 + static_cast<unsigned>(d - '0');
      }
      if (allDigits) {
        // The character of that code in the ANSI code page, whatever the file's encoding.
        const char code = static_cast<char>(value % 256);
        if (value % 256 < 128) {
          text += code;
        } else {
          text += AnsiToUtf8(std::string_view(&code, 1));
        }
        p += 1 + digits.size();
      } else {
        text += c;
        ++p;
      }
    } else if (next == '\\') {
      text += '\\';
      p += 2;  // the second backslash is not looked at again
    } else if (next == 's') {
      text += ' ';
      p += 2;
    } else {
      text += c;
      ++p;
    }
  }
  return text;
}

std::string EncodeValue(std::string_view text) {
  std::string stored;
  stored.reserve(text.size() + text.size() / 4);
  for (const char character : text) {
    const unsigned char c = static_cast<unsigned char>(character);
    if (c == ' ') {
      stored += "\\s";
    } else if (c == '\\') {
      stored += "\\\\";
    } else if (c == 0 || c == 1) {
      // The store ends a text at either; they cannot be stored.
    } else if (c < 32 || c == 127 || (stored.empty() && (c == '"' || c == '\''))) {
      // Line breaks would end the file's line, other control characters are trimmed or
      // lost by the profile functions, and a leading quote would be stripped together with
      // a trailing one: all of them are written as a backslash and three digits.
      const char digits[] = {'\\', static_cast<char>('0' + c / 100),
                             static_cast<char>('0' + c / 10 % 10), static_cast<char>('0' + c % 10)};
      stored.append(digits, sizeof digits);
    } else {
      stored += static_cast<char>(c);
    }
  }
  return stored;
}

bool ParseSignedNumber(std::string_view text, int32_t& out) {
  size_t p = 0;
  while (p < text.size() && text[p] == ' ') ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
    negative = text[p] == '-';
    ++p;
  }
  if (p == text.size()) return false;

  if (text[p] == '$') {
    uint32_t value = 0;
    if (!ParseHexDigits(text.substr(p + 1), value)) return false;
    out = static_cast<int32_t>(negative ? 0u - value : value);
    return true;
  }

  // Decimal: the magnitude may reach 2^31 only for a negative number.
  const uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  uint64_t value = 0;
  for (; p < text.size(); ++p) {
    if (!IsDigit(text[p])) return false;
    value = value * 10 + static_cast<uint64_t>(text[p] - '0');
    if (value > limit) return false;
  }
  out = static_cast<int32_t>(negative ? 0u - static_cast<uint32_t>(value)
                                      : static_cast<uint32_t>(value));
  return true;
}

bool ParseSettingsInteger(std::string_view text, int32_t& out) {
  if (text.empty()) return false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    uint32_t value = 0;
    if (!ParseHexDigits(text.substr(2), value)) return false;
    out = static_cast<int32_t>(value);
    return true;
  }
  return ParseSignedNumber(text, out);
}

}  // namespace tessel
