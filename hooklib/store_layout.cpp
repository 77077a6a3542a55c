#include "hooklib/store_layout.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessel::store {
namespace {

constexpr uint8_t kEmptyMapText[] = {kEntryMark, kEntryMark, kEntryMark};

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

char FoldAsciiLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

// The C library's memchr may be a plain byte loop (Wine's msvcrt is), and the hook scans
// whole map texts for every keystroke: 16 bytes at a time with SSE2, else one word at a
// time. Reads never pass end.
const uint8_t* FindByte(const uint8_t* p, const uint8_t* end, uint8_t value) {
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi8(static_cast<char>(value));
  const auto equal = [&](const uint8_t* at) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), needle);
  };
  for (; end - p >= 64; p += 64) {
    const __m128i any = _mm_or_si128(_mm_or_si128(equal(p), equal(p + 16)),
                                     _mm_or_si128(equal(p + 32), equal(p + 48)));
    if (_mm_movemask_epi8(any) != 0) break;  // the 16-byte steps below find it
  }
  for (; end - p >= 16; p += 16) {
    const int found = _mm_movemask_epi8(equal(p));
    if (found != 0) return p + __builtin_ctz(static_cast<unsigned>(found));
  }
#else
  using Word = uintptr_t;
  constexpr Word kOnes = ~Word{0} / 0xFF;
  constexpr Word kHighs = kOnes * 0x80;
  const Word pattern = kOnes * value;
  for (; end - p >= static_cast<ptrdiff_t>(sizeof(Word)); p += sizeof(Word)) {
    Word word;
    std::memcpy(&word, p, sizeof word);
    const Word x = word ^ pattern;
    if (((x - kOnes) & ~x & kHighs) != 0) break;  // the value is in this word
  }
#endif
  for (; p < end; ++p)
    if (*p == value) return p;
  return nullptr;
}

size_t CharacterPrefixLength(std::string_view text, size_t characters) {
  size_t at = 0;
  for (size_t started = 0; at < text.size(); ++at) {
    const bool continuation = (static_cast<uint8_t>(text[at]) & 0xC0) == 0x80;
    if (!continuation && started++ == characters) break;
  }
  return at;
}

bool BlockSizeFor(int32_t allocateKilobytes, int32_t& blockSize) {
  const int64_t size = (static_cast<int64_t>(allocateKilobytes) + 4) * 1024;
  if (size > INT32_MAX) return false;
  blockSize = size < static_cast<int64_t>(kHeaderSize) ? static_cast<int32_t>(kMinimumBlockSize)
                                                       : static_cast<int32_t>(size);
  return true;
}

uint32_t StoreView::Limit() const {
  if (!Present()) return 0;
  const int32_t declared = Get(kBlockSize);
  if (declared <= 0) return mapped_;
  return static_cast<uint32_t>(declared) < mapped_ ? static_cast<uint32_t>(declared) : mapped_;
}

int32_t StoreView::Get(Field field) const {
  if (!Present()) return 0;
  return static_cast<int32_t>(ReadU32(base_ + field));
}

void StoreView::Set(Field field, int32_t value) {
  if (Present()) WriteU32(base_ + field, static_cast<uint32_t>(value));
}

uint8_t StoreView::Playing() const { return Present() ? base_[kPlayingOffset] : 0; }

void StoreView::SetPlaying(uint8_t value) {
  if (Present()) base_[kPlayingOffset] = value;
}

uint8_t StoreView::Flags() const { return Present() ? base_[kFlagsOffset] : 0; }

void StoreView::SetFlags(uint8_t value) {
  if (Present()) base_[kFlagsOffset] = value;
}

uint8_t* StoreView::KeyState() { return Present() ? base_ + kKeyStateOffset : nullptr; }

// The generation is one aligned 16-bit word (views start on a page, test blocks on the
// allocator's alignment), read and written whole so that no reader sees half of a change.
namespace {
uint16_t* GenerationWord(uint8_t* base) {
  return reinterpret_cast<uint16_t*>(base + kLoadGenerationOffset);
}
}  // namespace

uint16_t StoreView::LoadGeneration() const {
  return Present() ? __atomic_load_n(GenerationWord(base_), __ATOMIC_ACQUIRE) : 0;
}

void StoreView::BeginLoad() {
  if (!Present()) return;
  const uint16_t generation = LoadGeneration();
  // Already odd when a loader died half-way: it stays odd until this load ends.
  __atomic_store_n(GenerationWord(base_), static_cast<uint16_t>(generation | 1), __ATOMIC_RELAXED);
  __atomic_thread_fence(__ATOMIC_RELEASE);
}

void StoreView::EndLoad() {
  if (!Present()) return;
  const uint16_t generation = LoadGeneration();
  __atomic_store_n(GenerationWord(base_), static_cast<uint16_t>((generation | 1) + 1),
                   __ATOMIC_RELEASE);
}

uint16_t StoreView::BeginRead() const { return LoadGeneration(); }

bool StoreView::EndRead(uint16_t generation) const {
  if (!Present() || (generation & 1) != 0) return false;
  __atomic_thread_fence(__ATOMIC_ACQUIRE);
  return __atomic_load_n(GenerationWord(base_), __ATOMIC_RELAXED) == generation;
}

void StoreView::Initialise(int32_t blockSize) {
  if (!Present()) return;
  std::memset(base_, 0, mapped_);
  Set(kBlockSize, blockSize);
}

bool StoreView::TableSlot(int32_t tableField, int32_t index, uint32_t& value) const {
  const uint32_t limit = Limit();
  const uint32_t table = static_cast<uint32_t>(Get(static_cast<Field>(tableField)));
  const uint64_t slot = static_cast<uint64_t>(table) + 4ull * static_cast<uint32_t>(index);
  if (table < kHeaderSize || slot + 4 > limit) return false;
  value = ReadU32(base_ + slot);
  return true;
}

int32_t StoreView::LoadedCount() const {
  if (!Present()) return 0;
  const int32_t n = Get(kLoadedCount);
  const uint32_t limit = Limit();
  const uint32_t names = static_cast<uint32_t>(Get(kNameTableOffset));
  const uint32_t texts = static_cast<uint32_t>(Get(kTextTableOffset));
  if (n < 0 || names < kHeaderSize || texts < kHeaderSize) return 0;
  const uint64_t tableBytes = 4ull * (static_cast<uint64_t>(n) + 1);
  if (names + tableBytes > limit || texts + tableBytes > limit) return 0;
  return n;
}

bool StoreView::HasLoadedData() const {
  if (!Present()) return false;
  uint32_t ignored;
  return Get(kLoadedCount) >= 0 && LoadedCount() == Get(kLoadedCount) &&
         TableSlot(kNameTableOffset, 0, ignored) && TableSlot(kTextTableOffset, 0, ignored);
}

int32_t StoreView::ClampIndex(int32_t index) const {
  return (index < 0 || index > LoadedCount()) ? 0 : index;
}

std::string_view StoreView::BoundedString(uint32_t offset) const {
  const uint32_t limit = Limit();
  if (offset < kHeaderSize || offset >= limit) return {};
  const uint8_t* begin = base_ + offset;
  const uint8_t* zero = FindByte(begin, base_ + limit, 0);
  const size_t length = zero ? static_cast<size_t>(zero - begin) : limit - offset;
  return {reinterpret_cast<const char*>(begin), length};
}

std::string_view StoreView::MapName(int32_t index) const {
  uint32_t offset;
  if (!HasLoadedData() || !TableSlot(kNameTableOffset, ClampIndex(index), offset)) return kOffName;
  const std::string_view name = BoundedString(offset);
  return name.data() ? name : kOffName;
}

Bytes StoreView::MapText(int32_t index) const {
  uint32_t offset;
  if (HasLoadedData() && TableSlot(kTextTableOffset, ClampIndex(index), offset)) {
    const std::string_view text = BoundedString(offset);
    if (text.data()) {
      const auto* begin = reinterpret_cast<const uint8_t*>(text.data());
      return {begin, begin + text.size()};
    }
  }
  return {kEmptyMapText, kEmptyMapText + sizeof kEmptyMapText};
}

std::string_view StoreView::SettingsPath() const {
  const int32_t offset = Get(kPathOffset);
  if (offset <= 0) return {};
  const std::string_view path = BoundedString(static_cast<uint32_t>(offset));
  return path.data() ? path : std::string_view{};
}

int32_t StoreView::IndexByName(std::string_view name) const {
  int32_t found = 0;
  if (!HasLoadedData()) return 0;
  const int32_t n = LoadedCount();
  for (int32_t i = 1; i <= n; ++i) {
    const std::string_view candidate = MapName(i);
    if (candidate.size() != name.size()) continue;
    bool equal = true;
    for (size_t k = 0; k < name.size() && equal; ++k)
      equal = FoldAsciiLetter(candidate[k]) == FoldAsciiLetter(name[k]);
    if (equal) found = i;
  }
  return found;
}

Bytes StoreView::EntryTextAt(uint32_t offset) const {
  const uint32_t limit = Limit();
  if (offset < kHeaderSize || offset > limit) return {};
  const uint8_t* begin = base_ + offset;
  const uint8_t* end = begin;
  const uint8_t* stop = base_ + limit;
  while (end < stop && *end != 0 && *end != kEntryMark) ++end;
  return {begin, end};
}

bool StoreView::Contains(Bytes bytes) const {
  if (!Present() || bytes.begin == nullptr || bytes.end < bytes.begin) return false;
  const auto begin = reinterpret_cast<uintptr_t>(bytes.begin);
  const auto end = reinterpret_cast<uintptr_t>(bytes.end);
  const auto base = reinterpret_cast<uintptr_t>(base_);
  return begin >= base && end <= base + Limit();
}

bool StoreView::PutBytes(uint32_t offset, const void* data, size_t size) {
  if (!Present() || static_cast<uint64_t>(offset) + size > Limit()) return false;
  if (size != 0) std::memcpy(base_ + offset, data, size);
  return true;
}

bool StoreView::PutU32(uint32_t offset, uint32_t value) {
  if (!Present() || static_cast<uint64_t>(offset) + 4 > Limit()) return false;
  WriteU32(base_ + offset, value);
  return true;
}

namespace {

// First occurrence of 01, keyByte, s in the text with s == stateByte, or with s any state byte
// when anyState is set. The key byte is rarer in map texts than the entry mark, so the scan
// looks for it and checks its neighbours.
const uint8_t* FindLookupKey(Bytes mapText, uint8_t keyByte, uint8_t stateByte, bool anyState) {
  if (keyByte == 0 || mapText.size() < 3) return nullptr;
  const uint8_t* last = mapText.end - 2;  // a key byte needs its state byte behind it
  for (const uint8_t* p = mapText.begin + 1; p <= last; ++p) {
    p = FindByte(p, last + 1, keyByte);
    if (!p) return nullptr;
    if (p[-1] != kEntryMark) continue;
    if (anyState ? (p[1] & 0xF8) == 0x80 : p[1] == stateByte) return p - 1;
  }
  return nullptr;
}

}  // namespace

EntryLookup FindEntry(const StoreView& store, Bytes mapText, uint8_t keyByte, uint8_t stateByte) {
  EntryLookup result;
  // Texts outside the block (the stand-in of an unloaded store) have no entries whose
  // offset could be handed on.
  if (!store.Contains(mapText)) return result;
  if (const uint8_t* match = FindLookupKey(mapText, keyByte, stateByte, false)) {
    result.found = true;
    result.textOffset = store.OffsetOf(match + 3);
  }
  return result;
}

bool MentionsKey(Bytes mapText, uint8_t keyByte) {
  return FindLookupKey(mapText, keyByte, 0, true) != nullptr;
}

bool NextEntry(Bytes mapText, const uint8_t*& cursor, MapEntry& entry) {
  if (cursor < mapText.begin || cursor >= mapText.end) return false;
  const auto* mark = static_cast<const uint8_t*>(
      std::memchr(cursor, kEntryMark, static_cast<size_t>(mapText.end - cursor)));
  if (!mark || mapText.end - mark < 3) {
    cursor = mapText.end;
    return false;
  }
  entry.keyByte = mark[1];
  entry.stateByte = mark[2];
  const uint8_t* text = mark + 3;
  const auto* next = static_cast<const uint8_t*>(
      std::memchr(text, kEntryMark, static_cast<size_t>(mapText.end - text)));
  entry.text = {text, next ? next : mapText.end};
  cursor = entry.text.end;
  return true;
}

}  // namespace tessel::store
