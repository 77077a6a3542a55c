#include "hooklib/hook.h"
namespace tessel {
uint8_t KeyByteOf(uint32_t) { return 0; }
uint8_t StateByteOf(uint32_t, HookPlatform&) { return 0x80; }
int32_t DecideKeystroke(store::StoreView&, DeadKeyState&, ReplacementPlayer&, HookPlatform&, uint32_t, uint32_t) { return kPass; }
}  // namespace tessel
