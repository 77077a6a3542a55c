// Arbitrary bytes as a store block: every accessor must stay inside the block, whatever
// its header, tables and strings say, and so must the hook's decisions, with and without
// the lock. AddressSanitizer reports any read outside.
#include "hooklib/hook.h"
#include "hooklib/store_layout.h"
#include "tests/support/silent_player_platform.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

using namespace tessel::store;

namespace {

class QuietHookPlatform : public tessel::HookPlatform {
 public:
  explicit QuietHookPlatform(uint8_t modifiers) : modifiers_(modifiers) {}
  bool ShiftDown() override { return modifiers_ & 1; }
  bool ControlDown() override { return modifiers_ & 2; }
  bool CapsLockOn() override { return modifiers_ & 8; }
  void ShowInformation(const char*, int32_t) override {}
  bool StartPlayTimer() override { return true; }

 private:
  uint8_t modifiers_;
};

// The hook's path for every key of the block's own choosing: the decision without the lock
// first, then the full one on the same block (which it may write), then a player tick.
void DecideKeys(StoreView& view, const uint8_t* data, size_t size) {
  tessel::SilentPlayerPlatform silent;
  tessel::ReplacementPlayer player(silent);
  tessel::DeadKeyState deadKey;
  for (size_t at = 40; at + 4 <= size && at < 80; at += 4) {
    uint32_t keyData;
    std::memcpy(&keyData, data + at, 4);
    QuietHookPlatform platform(data[at]);
    uint8_t stateByte = 0;
    tessel::KeystrokeMayConcernMaps(view, deadKey, platform, keyData, stateByte);
    tessel::DecideKeystroke(view, deadKey, player, platform, data[at + 1], keyData, stateByte);
    player.Play(view);
    view.SetPlaying(0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  // A heap copy of exactly the input's size: nothing lies behind the block.
  std::vector<uint8_t> bytes(data, data + size);
  StoreView view(bytes.data(), static_cast<uint32_t>(bytes.size()));
  const uint8_t keyByte = size > 48 ? data[48] : 0x1f;
  const uint8_t stateByte = size > 49 ? data[49] : 0x80;
  const std::string_view probe =
      size > 60 ? std::string_view(reinterpret_cast<const char*>(data) + 50, 10) : "<off>";

  const uint32_t limit = view.Limit();
  if (view.Present() && limit > bytes.size()) std::abort();
  view.Get(kFront);
  view.Playing();
  view.HasLoadedData();
  view.SettingsPath();
  view.IndexByName(probe);
  view.IndexByName("");
  const int32_t n = view.LoadedCount();
  for (int32_t i = -1; i <= n + 1 && i < 64; ++i) {
    const std::string_view name = view.MapName(i);
    if (name.empty() && name.data() == nullptr) std::abort();
    view.IndexByName(name);
    const Bytes text = view.MapText(i);
    if (text.begin == nullptr || text.end < text.begin) std::abort();
    const EntryLookup found = FindEntry(view, text, keyByte, stateByte);
    if (found.found) {
      const Bytes entry = view.EntryTextAt(found.textOffset);
      if (entry.begin != nullptr && entry.size() > limit) std::abort();
    }
    MapEntry entry;
    int steps = 0;
    for (const uint8_t* cursor = text.begin; NextEntry(text, cursor, entry) && steps < 4096; ++steps) {
      FindEntry(view, text, entry.keyByte, entry.stateByte);
    }
  }
  DecideKeys(view, data, size);
  // Offsets straight from the data, including ones past the end.
  for (size_t at = 0; at + 4 <= size && at < 64; at += 4) {
    uint32_t offset;
    std::memcpy(&offset, data + at, 4);
    view.EntryTextAt(offset);
  }
  return 0;
}
