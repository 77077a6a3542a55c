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
  uint16_t generation = 0;     // load generation that map and defaultText belong to
};

class HookPlatform {
 public:
  virtual ~HookPlatform() = default;
  virtual bool ShiftDown() = 0;    // GetAsyncKeyState(VK_SHIFT) high bit
  virtual bool ControlDown() = 0;  // GetAsyncKeyState(VK_CONTROL) high bit
  virtual bool CapsLockOn() = 0;   // GetKeyState(VK_CAPITAL) low bit
  virtual void ShowInformation(const char* text, int32_t duration) = 0;
  // Starts this thread's 1 ms player timer and makes this thread the owner of Playing;
  // false (and nothing started) when either cannot be had.
  virtual bool StartPlayTimer() = 0;
};

// Lookup key bytes of a keystroke from the hook's key data.
uint8_t KeyByteOf(uint32_t keyData);
uint8_t StateByteOf(uint32_t keyData, HookPlatform& platform);

// Without the mutex: false only when a consistent snapshot of the store shows that the
// keystroke concerns no map (no selector, no entry in the selected map) and no dead key is
// pending in this process; the keystroke then passes. Any doubt (a load running or ending
// meanwhile) answers true. stateByte is set when the state had to be read, else left 0.
bool KeystrokeMayConcernMaps(const store::StoreView& store, const DeadKeyState& deadKey,
                             HookPlatform& platform, uint32_t keyData, uint8_t& stateByte);

// Steps after the store and Playing checks; the caller holds the mutex. knownStateByte is
// the state byte already read for this keystroke, or 0.
int32_t DecideKeystroke(store::StoreView& store, DeadKeyState& deadKey, ReplacementPlayer& player,
                        HookPlatform& platform, uint32_t virtualKey, uint32_t keyData,
                        uint8_t knownStateByte = 0);

// How long the hook waits for the mutex before it lets the keystroke pass: the map-name
// display may hold the mutex for |MessageTime| ms (counted up to 4 s), plus a margin for
// showing and hiding its window (docs/platform-notes.md).
constexpr uint32_t kHookWaitMarginMs = 3000;
constexpr uint32_t kHookWaitDisplayCapMs = 4000;
uint32_t HookLockWaitMs(const store::StoreView& store);

}  // namespace tessel
