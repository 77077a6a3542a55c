#include "frontend/key_capture_rules.h"

#include "common/keys.h"

namespace tessel {
namespace {

constexpr unsigned kVirtualKeyTab = 9;
constexpr uint32_t kExtendedFlag = 1u << 24;
constexpr uint32_t kContextFlag = 1u << 29;

}  // namespace

uint8_t KeyCodeOfKeyData(uint32_t keyData) {
  const uint8_t scanCode = static_cast<uint8_t>(keyData >> 16 & 0xFF);
  return static_cast<uint8_t>((keyData & kExtendedFlag) ? scanCode + 128 : scanCode);
}

std::optional<ChosenKey> CaptureKey(unsigned virtualKey, uint32_t keyData,
                                    const ModifierKeys& modifiers) {
  if (virtualKey <= 1) return std::nullopt;
  ChosenKey key;
  key.keyCode = KeyCodeOfKeyData(keyData);
  if (modifiers.shiftDown || modifiers.capsLockOn) key.stateByte |= kStateShift;
  if (modifiers.controlDown) key.stateByte |= kStateControl;
  if (keyData & kContextFlag) key.stateByte |= kStateAlt;
  return key;
}

std::optional<std::string> VirtualKeyFieldText(unsigned virtualKey) {
  if (virtualKey <= 3 || virtualKey > 255) return std::nullopt;
  return VirtualKeyText(static_cast<uint8_t>(virtualKey));
}

std::string ScanCodeFieldText(uint32_t keyData) {
  return "&" + std::to_string(KeyCodeOfKeyData(keyData));
}

uint8_t StateByteAfterBox(uint8_t stateByte, uint8_t tag, bool ticked) {
  tag &= 7;
  return static_cast<uint8_t>((stateByte & (7 - tag)) | kStateByteMark | (ticked ? tag : 0));
}

bool KeyMovesFocus(unsigned virtualKey, bool controlDown, bool altDown) {
  return virtualKey == kVirtualKeyTab && !controlDown && !altDown;
}

}  // namespace tessel
