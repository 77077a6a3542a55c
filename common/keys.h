// Key vocabulary: key descriptors (physical keys with Shift/Control/Alt) and the
// key-name table (virtual keys that replacement text sends).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// Modifier bits of a state (0..7); state bytes in the store carry 0x80 as well.
constexpr uint8_t kStateShift = 1;
constexpr uint8_t kStateControl = 2;
constexpr uint8_t kStateAlt = 4;
constexpr uint8_t kStateByteMark = 0x80;

struct KeyNameRow {
  const char* name;
  uint8_t code;
};

constexpr int kKeyNameRowCount = 93;
// Fixed order: lookups take the first row whose name is a prefix of the text.
extern const KeyNameRow kKeyNameTable[kKeyNameRowCount];

// State codes as stored in files ("N", "S", "C", "CS", ...), indexed by state 0..7.
extern const char* const kStateCodes[8];
// State labels as shown in the front end ("", "(S)", "(C)", "(SC)", ...).
extern const char* const kStateLabels[8];
// The parser finds a state code by its position in this string.
constexpr std::string_view kStateLookup = "N..S..C..CS.A..AS.CA.CAS";

struct KeyDescriptor {
  uint8_t keyCode = 0;  // scan code, +128 for an extended key
  uint8_t state = 0;    // 0..7
};

// "30_CS" -> {30, 3}. False when the text is not a descriptor.
bool ParseKeyDescriptor(std::string_view text, KeyDescriptor& out);
// Key code and state byte (bit 7 ignored) -> "30_CS".
std::string FormatKeyDescriptor(uint8_t keyCode, uint8_t stateByte);

// Reads one key token of a brace group at cursor (never beyond end); returns the
// virtual-key code (0 = no key) and advances the cursor past what it consumed.
uint8_t ReadKeyToken(const char*& cursor, const char* end);

// Name of row 0..92 of the key-name table, nullptr outside.
const char* KeyNameByRow(int row);

// Text naming a virtual-key code that ReadKeyToken reads back as the same code.
std::string VirtualKeyText(uint8_t virtualKey);

}  // namespace tessel
