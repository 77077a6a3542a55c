#include "hooklib/hook.h"

#include "common/keys.h"

#include <cstring>

namespace tessel {
namespace {

constexpr uint32_t kExtendedKeyBit = 1u << 24;
constexpr uint32_t kAltBit = 1u << 29;
constexpr uint32_t kVirtualShift = 16, kVirtualControl = 17, kVirtualAlt = 18;

bool IsModifierKey(uint32_t virtualKey) {
  return virtualKey == kVirtualShift || virtualKey == kVirtualControl || virtualKey == kVirtualAlt;
}

// One keystroke's pass through the maps, with the mutex held.
class Decision {
 public:
  Decision(store::StoreView& store, DeadKeyState& deadKey, ReplacementPlayer& player,
           HookPlatform& platform, uint8_t knownStateByte)
      : store_(store), deadKey_(deadKey), player_(player), platform_(platform),
        stateByte_(knownStateByte) {}

  int32_t Run(uint32_t virtualKey, uint32_t keyData) {
    // Another process may have started playing while this call waited for the mutex.
    if (store_.Playing()) return kSwallow;
    // The map index and text position of a dead key from an older load name other entries now.
    if (deadKey_.pending && deadKey_.generation != store_.LoadGeneration()) deadKey_ = DeadKeyState{};

    const bool keyDown = static_cast<int32_t>(keyData) > 0;
    keyData_ = keyData;
    keyByte_ = KeyByteOf(keyData);

    const store::EntryLookup selector = Find(0);
    if (selector.found) {
      if (keyDown) SwitchMap(selector.textOffset);
      return kSwallow;
    }

    const int32_t selected = store_.Get(store::kSelectedMap);
    if (selected == 0) return kPass;

    if (deadKey_.pending && !IsModifierKey(virtualKey)) {
      if (!keyDown) return kSwallow;
      deadKey_.pending = false;
      const store::EntryLookup entry = Find(deadKey_.map);
      if (entry.found) {
        HandleEntry(entry.textOffset);
      } else {
        // The default text, then the key that followed the dead key. The key goes out even
        // when the default text is empty.
        player_.Compile(store_, deadKey_.defaultText);
        player_.AddRecord(RecordKind::KeyDown, static_cast<uint16_t>(virtualKey & 0xFF), 0);
        StartTimer();
      }
      return kSwallow;
    }

    const store::EntryLookup entry = Find(selected);
    if (!entry.found) return kPass;
    if (keyDown) HandleEntry(entry.textOffset);
    return kSwallow;
  }

 private:
  // The entry for this keystroke in map index, if it has one.
  store::EntryLookup Find(int32_t index) {
    const store::Bytes text = store_.MapText(index);
    // Reading the modifier state costs system calls: only keys that the map mentions need it.
    if (!store::MentionsKey(text, keyByte_)) return {};
    if (stateByte_ == 0) stateByte_ = StateByteOf(keyData_, platform_);
    return store::FindEntry(store_, text, keyByte_, stateByte_);
  }

  // A text starting with "+" that names a loaded map makes a dead key; anything else plays.
  void HandleEntry(uint32_t textOffset) {
    const store::Bytes text = store_.EntryTextAt(textOffset);
    if (text.size() > 0 && text.begin[0] == '+') {
      const uint8_t* p = text.begin;
      while (p < text.end && *p != ',') ++p;
      const size_t nameLength = static_cast<size_t>(p - text.begin);
      // Map names have at most 15 characters: a longer name part names no map.
      const std::string_view name(reinterpret_cast<const char*>(text.begin), nameLength);
      const int32_t map = store::CharacterPrefixLength(name, store::kMapNameLimit) == nameLength
                              ? store_.IndexByName(name)
                              : 0;
      deadKey_.map = map;
      deadKey_.defaultText = store_.OffsetOf(p < text.end ? p + 1 : p);
      deadKey_.generation = store_.LoadGeneration();
      deadKey_.pending = map != 0;
    }
    if (!deadKey_.pending) StartPlayer(textOffset);
  }

  // The selector's value names the map by its first 15 characters (UTF-8, so up to 60 bytes).
  void SwitchMap(uint32_t textOffset) {
    const store::Bytes text = store_.EntryTextAt(textOffset);
    char name[4 * store::kMapNameLimit + 1] = {};
    const size_t length = store::CharacterPrefixLength(
        {reinterpret_cast<const char*>(text.begin), text.size()}, store::kMapNameLimit);
    std::memcpy(name, text.begin, length);
    store_.Set(store::kSelectedMap, store_.IndexByName({name, length}));
    platform_.ShowInformation(name, store_.Get(store::kMessageTime));
  }

  void StartPlayer(uint32_t textOffset) {
    if (!player_.Compile(store_, textOffset)) return;
    StartTimer();
  }

  void StartTimer() {
    if (player_.Idle()) return;
    if (platform_.StartPlayTimer()) {
      store_.SetPlaying(1);
    } else {
      player_.Reset();  // nothing plays now, and nothing stale plays at a later start
    }
  }

  store::StoreView& store_;
  DeadKeyState& deadKey_;
  ReplacementPlayer& player_;
  HookPlatform& platform_;
  uint8_t stateByte_ = 0;  // read on first need; 0 until then
  uint32_t keyData_ = 0;
  uint8_t keyByte_ = 0;
};

}  // namespace

uint8_t KeyByteOf(uint32_t keyData) {
  uint8_t keyCode = static_cast<uint8_t>(keyData >> 16);
  if (keyData & kExtendedKeyBit) keyCode |= 0x80;
  return static_cast<uint8_t>(keyCode + 1);
}

uint8_t StateByteOf(uint32_t keyData, HookPlatform& platform) {
  uint8_t state = kStateByteMark;
  if (platform.ShiftDown() || platform.CapsLockOn()) state |= kStateShift;
  if (platform.ControlDown()) state |= kStateControl;
  if (keyData & kAltBit) state |= kStateAlt;
  return state;
}

bool KeystrokeMayConcernMaps(const store::StoreView& store, const DeadKeyState& deadKey,
                             HookPlatform& platform, uint32_t keyData, uint8_t& stateByte) {
  if (deadKey.pending) return true;
  const uint16_t generation = store.BeginRead();
  if (generation & 1) return true;
  const uint8_t keyByte = KeyByteOf(keyData);
  const store::Bytes selectors = store.MapText(0);
  const int32_t selected = store.Get(store::kSelectedMap);
  const store::Bytes active = selected != 0 ? store.MapText(selected) : store::Bytes{};
  bool concerned = store::MentionsKey(selectors, keyByte) ||
                   (selected != 0 && store::MentionsKey(active, keyByte));
  if (concerned) {
    // Only keys that a map mentions cost the modifier state.
    stateByte = StateByteOf(keyData, platform);
    concerned = store::FindEntry(store, selectors, keyByte, stateByte).found ||
                (selected != 0 && store::FindEntry(store, active, keyByte, stateByte).found);
  }
  return concerned || !store.EndRead(generation);
}

int32_t DecideKeystroke(store::StoreView& store, DeadKeyState& deadKey, ReplacementPlayer& player,
                        HookPlatform& platform, uint32_t virtualKey, uint32_t keyData,
                        uint8_t knownStateByte) {
  return Decision(store, deadKey, player, platform, knownStateByte).Run(virtualKey, keyData);
}

uint32_t HookLockWaitMs(const store::StoreView& store) {
  const int64_t messageTime = store.Get(store::kMessageTime);
  const int64_t display = messageTime < 0 ? -messageTime : messageTime;
  return kHookWaitMarginMs +
         static_cast<uint32_t>(display < kHookWaitDisplayCapMs ? display : kHookWaitDisplayCapMs);
}

}  // namespace tessel
