// Encoding of stored replacement texts ("\s" for blank, "\\" for backslash) and the
// number rules shared by every reader of the settings file.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// The stored text of a value: "\s" a blank, "\\" a backslash, a backslash and up to three
// digits the character of that code (modulo 256) in the ANSI code page, as UTF-8.
std::string DecodeValue(std::string_view stored);
// Blank -> "\s", backslash -> "\\"; control characters (line breaks included) and a
// leading quote -> backslash and three decimal digits ("\013"); characters 0 and 1, which
// end a text in the store, are left out. DecodeValue gives the text back.
std::string EncodeValue(std::string_view text);

// Whole text as a number: optional leading blanks, optional sign, then decimal digits
// or "$" and hexadecimal digits. Nothing may follow. False when the text holds none
// or the value does not fit 32 bits.
bool ParseSignedNumber(std::string_view text, int32_t& out);

// Settings-file integer: "0x"/"0X" plus at least one character is hexadecimal,
// otherwise ParseSignedNumber. False for an empty or invalid text.
bool ParseSettingsInteger(std::string_view text, int32_t& out);

}  // namespace tessel
