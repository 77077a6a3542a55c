#include "common/keys.h"

#include "common/value_codec.h"

namespace tessel {

// Longer names stand before the names that are their prefixes: lookups take the first
// row whose name begins the text.
const KeyNameRow kKeyNameTable[kKeyNameRowCount] = {
    {"CANCEL", 3},      {"BACKSPACE", 8},   {"TAB", 9},         {"CLEAR", 12},
    {"ENTER", 13},      {"RETURN", 13},     {"~", 13},          {"SHIFT", 16},
    {"CONTROL", 17},    {"CTRL", 17},       {"ALT", 18},        {"PAUSE", 19},
    {"CAPSLOCK", 20},   {"ESCAPE", 27},     {"ESC", 27},        {"SPACE", 32},
    {"_", 32},          {"PGUP", 33},       {"PGDOWN", 34},     {"END", 35},
    {"HOME", 36},       {"LEFT", 37},       {"UP", 38},         {"RIGHT", 39},
    {"DOWN", 40},       {"SELECT", 41},     {"PRINT", 42},      {"EXECUTE", 43},
    {"PRTSC", 44},      {"INSERT", 45},     {"DELETE", 46},     {"DEL", 46},
    {"HELP", 47},       {"LWIN", 91},       {"RWIN", 92},       {"APPS", 93},
    {"NUMPAD0", 96},    {"NUMPAD1", 97},    {"NUMPAD2", 98},    {"NUMPAD3", 99},
    {"NUMPAD4", 100},   {"NUMPAD5", 101},   {"NUMPAD6", 102},   {"NUMPAD7", 103},
    {"NUMPAD8", 104},   {"NUMPAD9", 105},   {"MULTIPLY", 106},  {"ADD", 107},
    {"SEPARATOR", 108}, {"SUBTRACT", 109},  {"DECIMAL", 110},   {"DIVIDE", 111},
    {"F10", 121},       {"F11", 122},       {"F12", 123},       {"F13", 124},
    {"F14", 125},       {"F15", 126},       {"F16", 127},       {"F17", 128},
    {"F18", 129},       {"F19", 130},       {"F20", 131},       {"F21", 132},
    {"F22", 133},       {"F23", 134},       {"F24", 135},       {"F1", 112},
    {"F2", 113},        {"F3", 114},        {"F4", 115},        {"F5", 116},
    {"F6", 117},        {"F7", 118},        {"F8", 119},        {"F9", 120},
    {"NUMLOCK", 144},   {"SCROLLOCK", 145}, {"LSHIFT", 160},    {"RSHIFT", 161},
    {"LCONTROL", 162},  {"RCONTROL", 163},  {"LALT", 164},      {"RALT", 165},
    {"PROCESSKEY", 229}, {"ATTN", 246},     {"CRSEL", 247},     {"EXSEL", 248},
    {"EREOF", 249},     {"PLAY", 250},      {"ZOOM", 251},      {"PA1", 253},
    {"OEMCLEAR", 254},
};

const char* const kStateCodes[8] = {"N", "S", "C", "CS", "A", "AS", "CA", "CAS"};
const char* const kStateLabels[8] = {"", "(S)", "(C)", "(SC)", "(A)", "(SA)", "(CA)", "(SCA)"};

namespace {

constexpr size_t kDescriptorMaxLength = 7;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
char ToUpper(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

// True when [cursor, end) begins with name, ASCII letters compared without case.
bool StartsWithName(const char* cursor, const char* end, const char* name) {
  for (; *name != '\0'; ++name, ++cursor) {
    if (cursor == end || ToUpper(*cursor) != *name) return false;
  }
  return true;
}

}  // namespace

bool ParseKeyDescriptor(std::string_view text, KeyDescriptor& out) {
  if (text.size() > kDescriptorMaxLength) return false;
  const size_t underscore = text.find('_');
  if (underscore == std::string_view::npos) return false;

  int32_t number = 0;
  if (!ParseSignedNumber(text.substr(0, underscore), number)) return false;

  // The code is found by its place in the lookup string. A text holding the padding "."
  // would be found too ("S." gives Shift); no state is written that way, so it is refused.
  const std::string_view code = text.substr(underscore + 1);
  if (code.empty() || code.find('.') != std::string_view::npos) return false;
  const size_t position = kStateLookup.find(code);
  if (position == std::string_view::npos) return false;

  out.keyCode = static_cast<uint8_t>(static_cast<uint32_t>(number) & 0xFF);
  out.state = static_cast<uint8_t>((position + 1) / 3);
  return true;
}

std::string FormatKeyDescriptor(uint8_t keyCode, uint8_t stateByte) {
  // Only states 0..7 exist; masking to three bits keeps a stray byte inside the table.
  const int state = stateByte & 0x7F & 0x07;
  return std::to_string(keyCode) + "_" + kStateCodes[state];
}

uint8_t ReadKeyToken(const char*& cursor, const char* end) {
  if (cursor == nullptr || cursor >= end) return 0;

  if (*cursor == '#') {
    const char* p = cursor + 1;
    uint32_t value = 0;
    for (; p < end && IsDigit(*p); ++p) {
      if (value < 256) value = value * 10 + static_cast<uint32_t>(*p - '0');
    }
    cursor = p;
    if (value < 256) return static_cast<uint8_t>(value);
    if (cursor >= end) return 0;
  }

  for (const KeyNameRow& row : kKeyNameTable) {
    if (StartsWithName(cursor, end, row.name)) {
      cursor += std::char_traits<char>::length(row.name);
      return row.code;
    }
  }

  const char c = *cursor;
  if (IsDigit(c) || IsUpper(c) || IsLower(c)) {
    ++cursor;
    return static_cast<uint8_t>(ToUpper(c));
  }
  return 0;
}

const char* KeyNameByRow(int row) {
  if (row < 0 || row >= kKeyNameRowCount) return nullptr;
  return kKeyNameTable[row].name;
}

std::string VirtualKeyText(uint8_t virtualKey) {
  const char c = static_cast<char>(virtualKey);
  if (IsDigit(c) || IsUpper(c)) return std::string(1, c);
  for (const KeyNameRow& row : kKeyNameTable) {
    if (row.code == virtualKey) return row.name;
  }
  return "#" + std::to_string(virtualKey);
}

}  // namespace tessel
