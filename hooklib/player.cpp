// Compiler and player of replacement text. The compiler runs inside the keyboard hook and
// reads only between the text's start and its bounded end in the store; the player runs
// one timer tick at a time and never sends two key-downs in one tick.
#include "hooklib/player.h"

#include "common/keys.h"
#include "common/text_encoding.h"

#include <algorithm>
#include <new>

namespace tessel {
namespace {

constexpr uint8_t kVkShift = 16;
constexpr uint8_t kVkControl = 17;
constexpr uint8_t kVkAlt = 18;
constexpr uint8_t kVkNumpad0 = 96;
constexpr uint8_t kDown = 0x80;
constexpr uint8_t kToggled = 0x01;

constexpr uint32_t kMapScanToVirtualEx = 3;  // scan code -> virtual key, left/right told apart
constexpr uint32_t kMapVirtualToScan = 0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Virtual keys whose state the target thread must see for the keys that follow.
bool IsModifierKey(uint8_t vk) {
  return vk == kVkShift || vk == kVkControl || vk == kVkAlt || (vk >= 160 && vk <= 165);
}

struct CommandName {
  const char* name;
  size_t length;
  RecordKind kind;
};
// Searched in this order; a text matching none of them is no command.
constexpr CommandName kCommands[] = {
    {"Run", 3, RecordKind::Run},
    {"Wait", 4, RecordKind::Wait},
    {"Focus", 5, RecordKind::Focus},
};

bool StartsWithNoCase(const char* at, const char* end, const char* name, size_t length) {
  if (static_cast<size_t>(end - at) < length) return false;
  for (size_t i = 0; i < length; ++i)
    if (UpperAscii(at[i]) != UpperAscii(name[i])) return false;
  return true;
}

enum class ScanState { Text, Open, Group, AltDigits, Command };

}  // namespace

ReplacementPlayer::ReplacementPlayer(PlayerPlatform& platform) : platform_(platform) { Reset(); }

bool ReplacementPlayer::Compile(const store::StoreView& store, uint32_t textOffset) {
  // Records appended after a failed compile (a dead key's key-down) belong to this load too.
  if (count_ == 0 && store.Present()) generation_ = store.LoadGeneration();
  if (textOffset == 0 || !store.Present()) return false;
  const store::Bytes text = store.EntryTextAt(textOffset);
  if (text.begin == nullptr || textOffset >= store.Limit()) return false;
  // Only a zero byte makes a text empty. A text that ends at once at an entry mark still
  // counts as something to play: a dead key's empty default text is followed by the
  // key-down the hook appends.
  if (store.Base()[textOffset] == 0) return false;

  const char* const begin = reinterpret_cast<const char*>(text.begin);
  const char* const end = reinterpret_cast<const char*>(text.end);  // at the 0 or 1 byte, or Limit
  const char* p = begin;
  const auto positionOf = [&](const char* at) {
    return textOffset + static_cast<uint32_t>(at - begin);
  };

  ScanState state = ScanState::Text;
  bool firstGroup = true;
  while (p < end && count_ < kMaxRecords) {
    const char c = *p;
    switch (state) {
      case ScanState::Text:
        if (c == '{') {
          ++p;
          state = ScanState::Open;
        } else {
          AddCharacter(p, end);
        }
        break;

      case ScanState::Open:
        if (c == '!') {
          ++p;
          state = ScanState::Command;
        } else if (c == '{') {
          ++p;
          AddRecord(RecordKind::Char, '{', 0);
          state = ScanState::Text;
        } else {
          if (firstGroup) AddRecord(RecordKind::ReleaseModifiers, 0, 0);
          firstGroup = false;
          state = ScanState::Group;
        }
        break;

      case ScanState::Group:
        if (c == ' ' || c == ',') {
          ++p;
        } else if (c == '+') {
          ++p;
          AddRecord(RecordKind::KeyDown, kVkShift, 0);
        } else if (c == '^') {
          ++p;
          AddRecord(RecordKind::KeyDown, kVkControl, 0);
        } else if (c == '%') {
          ++p;
          AddRecord(RecordKind::KeyDown, kVkAlt, 0);
        } else if (c == '.') {
          ++p;
          AddRecord(RecordKind::ReleaseModifiers, 0, 0);
        } else if (c == '@') {
          ++p;
          AddRecord(RecordKind::ReleaseModifiers, 0, 0);
          AddRecord(RecordKind::KeyDown, kVkAlt, 0);
          state = ScanState::AltDigits;
        } else if (c == '&') {
          ++p;
          uint32_t n = 0;
          // Saturates at 256: any longer number is out of range as well.
          for (; p < end && IsDigit(*p); ++p)
            n = std::min<uint32_t>(n * 10 + static_cast<uint32_t>(*p - '0'), 256);
          if (n >= 1 && n <= 255) {
            const uint16_t value = static_cast<uint16_t>(n | kKeyCodeValue);
            AddRecord(RecordKind::KeyDown, value, 0);
            AddRecord(RecordKind::KeyUp, value, 0);
          }
        } else if (c == '}') {
          ++p;
          AddRecord(RecordKind::ReleaseModifiers, 0, 0);
          state = ScanState::Text;
        } else {
          const uint8_t vk = ReadKeyToken(p, end);
          if (vk > 0) {
            AddRecord(RecordKind::KeyDown, vk, 0);
            AddRecord(RecordKind::KeyUp, vk, 0);
          } else if (p < end) {
            ++p;
          }
        }
        break;

      case ScanState::AltDigits:
        if (IsDigit(c)) {
          ++p;
          const uint16_t vk = static_cast<uint16_t>(kVkNumpad0 + (c - '0'));
          AddRecord(RecordKind::KeyDown, vk, 0);
          AddRecord(RecordKind::KeyUp, vk, 0);
        } else {
          AddRecord(RecordKind::KeyUp, kVkAlt, 0);
          state = ScanState::Group;
        }
        break;

      case ScanState::Command:
        for (const CommandName& command : kCommands) {
          if (!StartsWithNoCase(p, end, command.name, command.length)) continue;
          p += command.length;
          while (p < end && *p == ' ') ++p;
          AddRecord(command.kind, 0, positionOf(p));
          break;
        }
        while (p < end && *p != '}') ++p;
        state = ScanState::Group;
        break;
    }
  }
  return true;
}

// Texts are UTF-8: one character record per UTF-16 code unit, a surrogate pair for a
// character beyond the Basic Multilingual Plane. A byte that starts no valid sequence (only
// a damaged store has one) gives U+FFFD.
void ReplacementPlayer::AddCharacter(const char*& p, const char* end) {
  const std::string_view rest(p, static_cast<size_t>(end - p));
  const size_t length = Utf8SequenceLength(rest, 0);
  if (length == 0) {
    AddRecord(RecordKind::Char, static_cast<uint16_t>(kReplacementCharacter), 0);
    ++p;
    return;
  }
  const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(p[i])); };
  uint32_t c = byte(0);
  if (length == 2) c = (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
  if (length == 3) c = (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
  if (length == 4) c = (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
  p += length;
  if (c < 0x10000) {
    AddRecord(RecordKind::Char, static_cast<uint16_t>(c), 0);
  } else {
    c -= 0x10000;
    AddRecord(RecordKind::Char, static_cast<uint16_t>(0xD800 + (c >> 10)), 0);
    AddRecord(RecordKind::Char, static_cast<uint16_t>(0xDC00 + (c & 0x3FF)), 0);
  }
}

void ReplacementPlayer::AddRecord(RecordKind kind, uint16_t value, uint32_t position) {
  if (!EnsureRoom()) return;
  Record record{kind, 0, 0};
  switch (kind) {
    case RecordKind::Run:
    case RecordKind::Wait:
    case RecordKind::Focus:
      record.position = position;
      break;
    case RecordKind::KeyDown:
    case RecordKind::KeyUp:
    case RecordKind::Char:
      record.value = value;
      break;
    case RecordKind::ReleaseModifiers:
      break;
  }
  records_.push_back(record);  // EnsureRoom reserved the space: no allocation here
  ++count_;
  idle_ = false;
}

bool ReplacementPlayer::EnsureRoom() {
  if (capacity_ != count_) return true;
  if (capacity_ >= kMaxRecords) return false;  // count and index are 16-bit
  const size_t grown = std::min<size_t>(static_cast<size_t>(capacity_) + growStep_, kMaxRecords);
  try {
    // The block grows by the grow step; the vector underneath grows geometrically so
    // that a long text does not copy its records again every 16 of them.
    if (records_.capacity() < grown) records_.reserve(std::max(grown, 2 * records_.capacity()));
  } catch (const std::bad_alloc&) {
    return false;
  }
  capacity_ = static_cast<uint16_t>(grown);
  return true;
}

void ReplacementPlayer::EndAttachment() {
  if (attachedThread_ != 0) platform_.AttachInput(platform_.CurrentThread(), attachedThread_, false);
  attachedThread_ = 0;
}

void ReplacementPlayer::Reset() {
  std::vector<Record>().swap(records_);
  EndAttachment();
  capacity_ = 0;
  count_ = 0;
  index_ = 0;
  deadline_ = 0;
  waiting_ = false;
  waitStart_ = 0;
  waitLength_ = 0;
  idle_ = true;
  yield_ = true;
  busy_ = false;
}

void ReplacementPlayer::Inform(const std::string& text) { platform_.ShowInformation(text, -2000); }

void ReplacementPlayer::Advance() {
  if (idle_) return;
  ++index_;
  if (index_ >= count_) Reset();
}

void ReplacementPlayer::Play(store::StoreView& store) {
  if (idle_ || busy_) return;
  if (!store.Present() || store.LoadGeneration() != generation_) {
    // Nothing can be played without the key state and the texts the records point into,
    // nor after the maps were loaded again: the rest of the text is dropped.
    Reset();
    return;
  }
  busy_ = true;
  yield_ = false;
  store_ = &store;
  keyState_ = store.KeyState();

  target_ = platform_.FocusWindow();
  if (target_ == 0) {
    // The focus belongs to another thread: share the input of the foreground window's
    // thread so that its focus window becomes visible here.
    const WindowHandle foreground = platform_.ForegroundWindow();
    if (foreground != 0) {
      EndAttachment();
      attachedThread_ = platform_.WindowThread(foreground);
      platform_.AttachInput(platform_.CurrentThread(), attachedThread_, true);
      target_ = platform_.FocusWindow();
      if (target_ != 0) platform_.ReadKeyboardState(keyState_);
    }
  }

  while (!yield_ && !idle_) Step();

  busy_ = false;
  store_ = nullptr;
  keyState_ = nullptr;
}

void ReplacementPlayer::Step() {
  if (idle_) return;
  if (index_ == 0) platform_.ReadKeyboardState(keyState_);  // includes modifiers still held
  const Record record = records_[index_];
  switch (record.kind) {
    case RecordKind::Run:
      StepRun();
      break;
    case RecordKind::Wait:
      StepWait();
      break;
    case RecordKind::Focus:
      StepFocus();
      break;
    case RecordKind::KeyDown:
      SendKeyDown(record.value);
      Advance();
      break;
    case RecordKind::KeyUp:
      SendKeyUp(record.value);
      Advance();
      break;
    case RecordKind::Char:
      if (target_ != 0) platform_.Post(target_, kMsgChar, record.value, 1);
      Advance();
      break;
    case RecordKind::ReleaseModifiers:
      ReleaseModifiers();
      Advance();
      break;
    default:
      Advance();
      break;
  }
}

void ReplacementPlayer::ReleaseModifiers() {
  for (const uint8_t vk : {kVkAlt, kVkControl, kVkShift})
    if (keyState_[vk] & kDown) SendKeyUp(vk);
}

void ReplacementPlayer::KeyOf(uint16_t value, uint8_t& virtualKey, uint32_t& flags) {
  if (value & kKeyCodeValue) {
    virtualKey = static_cast<uint8_t>(platform_.MapKey(value & 0x7F, kMapScanToVirtualEx));
    flags = (value & 0x7Fu) | ((value & 0x80u) ? 0x100u : 0u);
  } else {
    virtualKey = static_cast<uint8_t>(value & 0xFF);
    flags = platform_.MapKey(virtualKey, kMapVirtualToScan) & 0xFFFFu;
  }
}

void ReplacementPlayer::PostKey(uint32_t message, uint8_t virtualKey, uint32_t flags) {
  if (target_ != 0) platform_.Post(target_, message, virtualKey, ((flags & 0xFFFFu) << 16) | 1u);
}

void ReplacementPlayer::SendKeyDown(uint16_t value) {
  uint8_t vk;
  uint32_t flags;
  KeyOf(value, vk, flags);
  keyState_[vk] = static_cast<uint8_t>((keyState_[vk] | kDown) ^ kToggled);
  const bool alt = keyState_[kVkAlt] & kDown;
  const bool control = keyState_[kVkControl] & kDown;
  const uint32_t message = (alt && !control) ? kMsgSysKeyDown : kMsgKeyDown;
  if (alt) flags |= 0x2000;
  PostKey(message, vk, flags);
  if (IsModifierKey(vk)) platform_.WriteKeyboardState(keyState_);
  yield_ = true;
}

void ReplacementPlayer::SendKeyUp(uint16_t value) {
  uint8_t vk;
  uint32_t flags;
  KeyOf(value, vk, flags);
  keyState_[vk] = static_cast<uint8_t>(keyState_[vk] & kToggled);
  const bool alt = keyState_[kVkAlt] & kDown;
  const bool control = keyState_[kVkControl] & kDown;
  const uint32_t message = (alt && !control) ? kMsgSysKeyUp : kMsgKeyUp;
  flags |= 0xC000;
  if (alt) flags |= 0x2000;
  PostKey(message, vk, flags);
  if (IsModifierKey(vk)) {
    platform_.WriteKeyboardState(keyState_);
    yield_ = true;
  }
}

}  // namespace tessel
