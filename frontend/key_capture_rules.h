// What the keystroke capture fields make of a key-down: the chosen key of the key field,
// the virtual-key text and the scan-code text, and which keys the dialog keeps for its
// focus navigation.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tessel {

// Key code of a key message's key data: scan code (bits 16-23), plus 128 when the
// extended flag (bit 24) is set.
uint8_t KeyCodeOfKeyData(uint32_t keyData);

struct ModifierKeys {
  bool shiftDown = false;
  bool capsLockOn = false;  // counts as Shift, as in the hook
  bool controlDown = false;
};

struct ChosenKey {
  uint8_t keyCode = 0;
  uint8_t stateByte = 0x80;
};
// The key field's choice; nothing for virtual-key codes 0 and 1. Alt is the key data's
// context flag (bit 29).
std::optional<ChosenKey> CaptureKey(unsigned virtualKey, uint32_t keyData,
                                    const ModifierKeys& modifiers);

// The virtual-key field's text; nothing for codes 0 to 3.
std::optional<std::string> VirtualKeyFieldText(unsigned virtualKey);
// The scan-code field's text: "&" and the key code.
std::string ScanCodeFieldText(uint32_t keyData);

// A click on a state check box with Tag 1, 2 or 4 (Shift, Control, Alt).
uint8_t StateByteAfterBox(uint8_t stateByte, uint8_t tag, bool ticked);

// Tab and Shift+Tab without Control or Alt move the focus; every other key belongs to the
// capture field.
bool KeyMovesFocus(unsigned virtualKey, bool controlDown, bool altDown);

}  // namespace tessel
