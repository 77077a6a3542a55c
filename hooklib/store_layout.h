// The shared map store: one flat block addressed by offsets, the same in every process
// whatever address its view has. Every offset and length read from the block is checked
// against the mapped size and BlockSize before use, because any process of the session
// can write the block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessel::store {

constexpr const char* kMappingName = "TESSEL32SHAREDMEM";
constexpr const char* kMutexName = "TESSEL32MUTEX";
constexpr uint32_t kHeaderSize = 304;
constexpr uint32_t kMinimumBlockSize = 320;

// Header fields: 32-bit little-endian integers, except Playing (one byte) and KeyState.
enum Field : uint32_t {
  kFront = 0,
  kBlockSize = 4,
  kNeededSize = 8,
  kDataEnd = 12,
  kPathOffset = 16,
  kTextTableOffset = 20,
  kNameTableOffset = 24,
  kLoadedCount = 28,
  kSelectedMap = 32,
  kMessageTime = 40,
  kHookHandle = 44,
};
constexpr uint32_t kPlayingOffset = 36;
// Flags: one byte at 37, written by the loader with the loaded data. Libraries that
// predate it ignore the byte, and what it announces lies behind DataEnd, so they keep
// working on a block that has it.
constexpr uint32_t kFlagsOffset = 37;
// A program-rule table follows the loaded data, at DataEnd rounded up to a multiple of 4;
// its layout is described in program_rules.h. NeededSize includes it.
constexpr uint8_t kFlagProgramRules = 0x01;
// Load generation: 16 bits at 38. The loader makes it odd before it
// writes the loaded data and even again after, so readers without the mutex can tell
// whether a load ran meanwhile, and positions kept between calls can tell their load.
constexpr uint32_t kLoadGenerationOffset = 38;
constexpr uint32_t kKeyStateOffset = 48;
constexpr uint32_t kKeyStateSize = 256;

constexpr uint8_t kEntryMark = 0x01;
constexpr std::string_view kOffName = "<off>";
constexpr size_t kMapNameLimit = 15;  // characters (not bytes) of a name that MapByIndex and switches use

// (allocate + 4) * 1024, or 320 when that is below 304. False when the size does not fit
// a signed 32-bit integer (no store may be created then).
bool BlockSizeFor(int32_t allocateKilobytes, int32_t& blockSize);

// A bounded piece of the block: [begin, end).
struct Bytes {
  const uint8_t* begin = nullptr;
  const uint8_t* end = nullptr;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

class StoreView {
 public:
  StoreView() = default;
  StoreView(uint8_t* base, uint32_t mappedSize) : base_(base), mapped_(mappedSize) {}

  bool Present() const { return base_ != nullptr && mapped_ >= kHeaderSize; }
  uint8_t* Base() const { return base_; }
  uint32_t MappedSize() const { return mapped_; }
  // Bytes that offsets may address: the smaller of the mapped size and BlockSize.
  uint32_t Limit() const;

  int32_t Get(Field field) const;
  void Set(Field field, int32_t value);
  uint8_t Playing() const;
  void SetPlaying(uint8_t value);
  uint8_t Flags() const;
  void SetFlags(uint8_t value);
  uint8_t* KeyState();

  uint16_t LoadGeneration() const;
  // Around the writes of a load (mutex held): odd from BeginLoad to EndLoad.
  void BeginLoad();
  void EndLoad();
  // Reads without the mutex: a snapshot is consistent when EndRead(BeginRead()) holds,
  // that is no load began or ended in between.
  uint16_t BeginRead() const;
  bool EndRead(uint16_t generation) const;

  // Fills the whole mapped block with zeros and writes BlockSize (a fresh store).
  void Initialise(int32_t blockSize);

  // LoadedCount when the name and text tables lie inside the block, else 0.
  int32_t LoadedCount() const;
  // True when a load has succeeded in this block and its tables are readable.
  bool HasLoadedData() const;
  // Map index rule: below 0 or above LoadedCount is taken as 0.
  int32_t ClampIndex(int32_t index) const;
  // Name of map index (clamped); "<off>" when nothing readable is loaded. Ends at the
  // name's zero byte or at Limit().
  std::string_view MapName(int32_t index) const;
  // Map text of index (clamped), from its first entry mark up to its zero byte or
  // Limit(); the three bytes 01 01 01 when nothing readable is loaded.
  Bytes MapText(int32_t index) const;
  // The settings-file path kept at PathOffset, empty when none was stored.
  std::string_view SettingsPath() const;

  // Last map among 1..LoadedCount whose name equals name, comparing a-z without case;
  // 0 when none.
  int32_t IndexByName(std::string_view name) const;

  // Offset of a pointer into this block (for positions that must survive between calls).
  uint32_t OffsetOf(const uint8_t* p) const { return static_cast<uint32_t>(p - base_); }
  // True when [bytes.begin, bytes.end) lies inside the addressable part of this block.
  bool Contains(Bytes bytes) const;
  // Bytes from offset up to the next entry mark or zero byte, bounded by Limit().
  Bytes EntryTextAt(uint32_t offset) const;

  // Bounded writes for the loader: false (and nothing written) when the bytes would not
  // lie inside Limit().
  bool PutBytes(uint32_t offset, const void* data, size_t size);
  bool PutU32(uint32_t offset, uint32_t value);

 private:
  std::string_view BoundedString(uint32_t offset) const;
  bool TableSlot(int32_t tableField, int32_t index, uint32_t& value) const;

  uint8_t* base_ = nullptr;
  uint32_t mapped_ = 0;
};

// Bytes of the first `characters` characters of a UTF-8 text (every byte that does not
// continue a sequence starts a character); no allocation, for the hook.
size_t CharacterPrefixLength(std::string_view text, size_t characters);

// First byte equal to value in [p, end), or null.
const uint8_t* FindByte(const uint8_t* p, const uint8_t* end, uint8_t value);

// Text of the entry for a three-byte lookup key (01, key byte, state byte) in a map text:
// found = false when there is none. A key byte of 0 is never found.
struct EntryLookup {
  bool found = false;
  uint32_t textOffset = 0;  // store offset of the text behind the key
};
EntryLookup FindEntry(const StoreView& store, Bytes mapText, uint8_t keyByte, uint8_t stateByte);
// True when the map text has an entry for the key byte in any state (0x80..0x87).
bool MentionsKey(Bytes mapText, uint8_t keyByte);

// One entry of a map text, as the walk below sees it.
struct MapEntry {
  uint8_t keyByte = 0;    // key code + 1
  uint8_t stateByte = 0;  // 0x80 + state
  Bytes text;             // up to the next entry mark or the end of the map text
};
// Steps through a map text entry by entry. cursor starts at mapText.begin; each call
// reads the entry at the next entry mark at or after cursor and leaves cursor on the
// mark that ends it. False when no complete entry (mark, key byte, state byte) is left.
bool NextEntry(Bytes mapText, const uint8_t*& cursor, MapEntry& entry);

}  // namespace tessel::store
