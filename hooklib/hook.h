// The keystroke decision of the keyboard hook, with the store's mutex held: selectors,
// dead keys and the active map. The Win32 hook procedure wraps it.
#pragma once
#include "hooklib/player.h"
#include "hooklib/store_layout.h"

#include <cstdint>
#include <string>

namespace tessel {

constexpr int32_t kPass = 0;
constexpr int32_t kSwallow = -1;

// Per-process state of the hook.
struct DeadKeyState {
  bool pending = false;
  int32_t map = 0;             // map index of the pending dead-key map
  uint32_t defaultText = 0;    // store offset of the pending dead key's default text
};

class HookPlatform {
 public:
  virtual ~HookPlatform() = default;
  virtual bool ShiftDown() = 0;    // GetAsyncKeyState(VK_SHIFT) high bit
  virtual bool ControlDown() = 0;  // GetAsyncKeyState(VK_CONTROL) high bit
  virtual bool CapsLockOn() = 0;   // GetKeyState(VK_CAPITAL) low bit
  virtual void ShowInformation(const char* text, int32_t duration) = 0;
  // Starts this thread's 1 ms player timer; false when no timer could be set.
  virtual bool StartPlayTimer() = 0;
};

// Lookup key bytes of a keystroke from the hook's key data.
uint8_t KeyByteOf(uint32_t keyData);
uint8_t StateByteOf(uint32_t keyData, HookPlatform& platform);

// Steps after the store and Playing checks; the caller holds the mutex.
int32_t DecideKeystroke(store::StoreView& store, DeadKeyState& deadKey, ReplacementPlayer& player,
                        HookPlatform& platform, uint32_t virtualKey, uint32_t keyData);

}  // namespace tessel
