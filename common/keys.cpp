#include "common/keys.h"
// Skeleton: filled in by the key vocabulary work.
namespace tessel {
const KeyNameRow kKeyNameTable[kKeyNameRowCount] = {};
const char* const kStateCodes[8] = {"N", "S", "C", "CS", "A", "AS", "CA", "CAS"};
const char* const kStateLabels[8] = {"", "(S)", "(C)", "(SC)", "(A)", "(SA)", "(CA)", "(SCA)"};
bool ParseKeyDescriptor(std::string_view, KeyDescriptor&) { return false; }
std::string FormatKeyDescriptor(uint8_t, uint8_t) { return {}; }
uint8_t ReadKeyToken(const char*&, const char*) { return 0; }
const char* KeyNameByRow(int) { return nullptr; }
std::string VirtualKeyText(uint8_t) { return {}; }
}  // namespace tessel
