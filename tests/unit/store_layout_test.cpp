// The store accessors over hand-made and hostile blocks: every answer stays inside the
// block whatever its header and tables say.
#include "hooklib/store_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tessel::store {
namespace {

// A block in its own heap allocation of exactly its size, so that AddressSanitizer
// reports any read past it.
class Block {
 public:
  explicit Block(uint32_t size, int32_t blockSize) : bytes_(size, 0) {
    View().Set(kBlockSize, blockSize);
  }
  StoreView View() { return StoreView(bytes_.data(), static_cast<uint32_t>(bytes_.size())); }
  void U32(uint32_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
  }
  void Text(uint32_t offset, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) bytes_.at(offset + i) = static_cast<uint8_t>(text[i]);
  }
  uint8_t* Data() { return bytes_.data(); }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

std::string AsString(Bytes bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.begin), bytes.size());
}

// A loaded block laid out by hand: maps "<off>" (selector 30_C -> B), "Abc" and "B".
// names at 400, texts at 420.
Block HandLoaded() {
  Block block(1024, 1024);
  const std::pair<uint32_t, uint32_t> fields[] = {
      {kPathOffset, 304}, {kLoadedCount, 2}, {kNameTableOffset, 400}, {kTextTableOffset, 420},
      {400, 500}, {404, 520}, {408, 540}, {420, 600}, {424, 620}, {428, 680}};
  for (const auto& [offset, value] : fields) block.U32(offset, value);
  block.Text(304, "x.ini");
  block.Text(500, "<off>");
  block.Text(520, "Abc");
  block.Text(540, "B");
  block.Text(600, "\x01\x1f\x82" "B\x01");
  block.Text(620, "\x01\x1f\x80" "alpha\x01\x20\x80" "beta\x01\x1f\x80" "second\x01");
  block.Text(680, "\x01");
  return block;
}

TEST(BlockSizeFor, FollowsTheAllocateRule) {
  struct Case {
    int32_t allocate;
    bool ok;
    int32_t size;
  };
  const Case cases[] = {
      {16, true, 20480}, {0, true, 4096}, {-3, true, 1024}, {-4, true, 320}, {-1000, true, 320},
      {INT32_MIN, true, 320}, {32, true, 36864}, {2097147, true, 2147482624}, {2097148, false, 0},
      {INT32_MAX, false, 0},
  };
  for (const Case& c : cases) {
    int32_t size = 0;
    EXPECT_EQ(BlockSizeFor(c.allocate, size), c.ok) << c.allocate;
    if (c.ok) {
      EXPECT_EQ(size, c.size) << c.allocate;
    }
  }
}

TEST(StoreView, NoStoreOrFreshStoreHasOnlyOff) {
  StoreView none;
  std::vector<uint8_t> small(303, 0);  // smaller than the header
  Block fresh(20480, 20480);
  for (StoreView view : {none, StoreView(small.data(), 303), fresh.View()}) {
    EXPECT_FALSE(view.HasLoadedData());
    EXPECT_EQ(view.LoadedCount(), 0);
    for (int32_t index : {-1, 0, 1, 5}) {
      EXPECT_EQ(view.MapName(index), "<off>");
      EXPECT_EQ(AsString(view.MapText(index)), "\x01\x01\x01");
    }
    EXPECT_EQ(view.IndexByName("<off>"), 0);
    EXPECT_FALSE(FindEntry(view, view.MapText(0), 0x01, 0x01).found);
  }
  EXPECT_FALSE(none.Present());
  EXPECT_FALSE(StoreView(small.data(), 303).Present());
  EXPECT_EQ(none.Get(kFront), 0);
  EXPECT_TRUE(none.SettingsPath().empty());
  EXPECT_EQ(none.KeyState(), nullptr);
  none.Set(kFront, 5);  // harmless
  EXPECT_FALSE(none.PutU32(304, 1));
}

TEST(StoreView, InitialiseClearsAndWritesBlockSize) {
  Block block(4096, 0);
  std::memset(block.Data(), 0xAB, block.Size());
  StoreView view = block.View();
  view.Initialise(4096);
  EXPECT_EQ(view.Get(kBlockSize), 4096);
  EXPECT_EQ(block.Data()[0], 0);
  for (size_t i = 8; i < block.Size(); ++i) ASSERT_EQ(block.Data()[i], 0) << i;
}

TEST(StoreView, LimitIsTheSmallerOfMappedSizeAndBlockSize) {
  const std::pair<int32_t, uint32_t> cases[] = {{320, 320}, {20480, 4096}, {0, 4096}, {-5, 4096}};
  for (const auto& [blockSize, limit] : cases) EXPECT_EQ(Block(4096, blockSize).View().Limit(), limit) << blockSize;
}

TEST(StoreView, ReadsHandLoadedMaps) {
  Block block = HandLoaded();
  StoreView view = block.View();
  EXPECT_TRUE(view.HasLoadedData());
  EXPECT_EQ(view.LoadedCount(), 2);
  EXPECT_EQ(view.SettingsPath(), "x.ini");
  const std::pair<int32_t, std::string> names[] = {
      {-5, "<off>"}, {0, "<off>"}, {1, "Abc"}, {2, "B"}, {3, "<off>"}, {INT32_MAX, "<off>"}};
  for (const auto& [index, name] : names) EXPECT_EQ(view.MapName(index), name) << index;
  EXPECT_EQ(AsString(view.MapText(2)), "\x01");
  EXPECT_EQ(AsString(view.MapText(7)), AsString(view.MapText(0)));
}

TEST(StoreView, IndexByNameFoldsOnlyAsciiLetters) {
  Block block = HandLoaded();
  block.Text(540, "abc");  // map 2 now shares map 1's name up to case
  StoreView view = block.View();
  const std::pair<std::string, int32_t> cases[] = {
      {"abc", 2}, {"ABC", 2}, {"aBc", 2}, {"<off>", 0}, {"ab", 0}, {"abcd", 0}, {"", 0}};
  for (const auto& [name, index] : cases) EXPECT_EQ(view.IndexByName(name), index) << name;

  // Bytes that differ by the case bit outside a-z do not match.
  block.Text(520, "[\xE1]");
  block.Text(540, "@@@");
  EXPECT_EQ(view.IndexByName("{\xC1}"), 0);
  EXPECT_EQ(view.IndexByName("[\xE1]"), 1);
  EXPECT_EQ(view.IndexByName("```"), 0);
}

TEST(FindEntry, FirstMatchingEntryWins) {
  Block block = HandLoaded();
  StoreView view = block.View();
  const Bytes greek = view.MapText(1);
  struct Case {
    uint8_t key, state;
    bool found;
    std::string text;
  };
  const Case cases[] = {{0x1f, 0x80, true, "alpha"}, {0x20, 0x80, true, "beta"}, {0x1f, 0x81, false, ""},
                        {0x21, 0x80, false, ""}, {0x00, 0x80, false, ""}};
  for (const Case& c : cases) {
    const EntryLookup lookup = FindEntry(view, greek, c.key, c.state);
    ASSERT_EQ(lookup.found, c.found) << int(c.key) << " " << int(c.state);
    if (c.found) {
      EXPECT_EQ(AsString(view.EntryTextAt(lookup.textOffset)), c.text);
    }
  }
}

TEST(FindEntry, TextAtTheVeryEndOfTheBlock) {
  // A map text that runs into the end of the block without terminator.
  Block block(320, 320);
  block.U32(kLoadedCount, 0);
  block.U32(kNameTableOffset, 304);
  block.U32(kTextTableOffset, 308);
  block.U32(304, 312);
  block.U32(308, 314);
  block.Text(312, "N");
  block.Text(314, "\x01\x1f\x80xyz");
  StoreView view = block.View();
  const Bytes text = view.MapText(0);
  EXPECT_EQ(text.size(), 6u);
  const EntryLookup lookup = FindEntry(view, text, 0x1f, 0x80);
  ASSERT_TRUE(lookup.found);
  EXPECT_EQ(AsString(view.EntryTextAt(lookup.textOffset)), "xyz");
  EXPECT_FALSE(FindEntry(view, {text.begin, text.begin + 2}, 0x1f, 0x80).found);
}

TEST(NextEntry, WalksEveryEntryInOrder) {
  Block block = HandLoaded();
  StoreView view = block.View();
  const Bytes text = view.MapText(1);
  std::string walked;
  MapEntry entry;
  for (const uint8_t* cursor = text.begin; NextEntry(text, cursor, entry);) {
    walked += std::to_string(entry.keyByte) + "/" + std::to_string(entry.stateByte) + "=" +
              AsString(entry.text) + ";";
  }
  EXPECT_EQ(walked, "31/128=alpha;32/128=beta;31/128=second;");

  const Bytes empty = view.MapText(2);
  const uint8_t* cursor = empty.begin;
  EXPECT_FALSE(NextEntry(empty, cursor, entry));
}

TEST(StoreView, HostileHeadersStayInsideTheBlock) {
  struct Case {
    const char* what;
    uint32_t field;
    uint32_t value;
  };
  const Case cases[] = {
      {"name table beyond the block", kNameTableOffset, 1020},
      {"text table beyond the block", kTextTableOffset, 0xFFFFFFF0u},
      {"name table in the header", kNameTableOffset, 40},
      {"huge count", kLoadedCount, 0x7FFFFFFF},
      {"negative count", kLoadedCount, 0xFFFFFFFFu},
      {"count past the tables", kLoadedCount, 3},
      {"block size beyond the mapping", kBlockSize, 0x7FFFFFFF},
      {"block size inside the header", kBlockSize, 200},
      {"path beyond the block", kPathOffset, 5000},
      {"negative path", kPathOffset, 0x80000000u},
  };
  for (const Case& c : cases) {
    Block block = HandLoaded();
    block.U32(c.field, c.value);
    StoreView view = block.View();
    for (int32_t i = -2; i < 6; ++i) {
      const std::string_view name = view.MapName(i);
      EXPECT_FALSE(name.empty()) << c.what;
      const Bytes text = view.MapText(i);
      EXPECT_GE(text.size(), 1u) << c.what;
      FindEntry(view, text, 0x1f, 0x80);
    }
    view.IndexByName("abc");
    view.SettingsPath();
  }
}

TEST(StoreView, SlotsPointingAnywhereStayInsideTheBlock) {
  const uint32_t targets[] = {0, 1, 303, 304, 1019, 1020, 1023, 1024, 1025, 0x7FFFFFFF, 0xFFFFFFFF};
  for (uint32_t target : targets) {
    for (uint32_t slot : {400u, 404u, 420u, 424u}) {
      Block block = HandLoaded();
      block.U32(slot, target);
      block.Text(1016, "UNTERMIN");  // last bytes of the block without zero
      StoreView view = block.View();
      for (int32_t i = 0; i <= 2; ++i) {
        view.MapName(i);
        const Bytes text = view.MapText(i);
        FindEntry(view, text, 0x1f, 0x80);
        MapEntry entry;
        for (const uint8_t* cursor = text.begin; NextEntry(text, cursor, entry);) {
        }
      }
      if (target >= 304 && target < 1024 && (slot == 400 || slot == 404)) {
        const int32_t index = slot == 400 ? 0 : 1;
        EXPECT_LE(view.MapName(index).size(), 1024u - target);
      }
    }
  }
}

TEST(StoreView, RandomBlocksNeverReadOutside) {
  std::mt19937 random(1234);
  for (int round = 0; round < 2000; ++round) {
    const uint32_t size = 304 + random() % 800;
    Block block(size, 0);
    for (size_t i = 0; i < size; ++i) block.Data()[i] = static_cast<uint8_t>(random());
    // Bias the header towards offsets near the end, where overruns would happen.
    for (uint32_t field : {4u, 12u, 16u, 20u, 24u}) {
      if (random() % 2) block.U32(field, size - random() % 16);
    }
    if (random() % 2) block.U32(kLoadedCount, random() % 8);
    StoreView view = block.View();
    const int32_t n = view.LoadedCount();
    for (int32_t i = -1; i <= n + 1 && i < 10; ++i) {
      view.MapName(i);
      const Bytes text = view.MapText(i);
      const EntryLookup lookup = FindEntry(view, text, static_cast<uint8_t>(random()), 0x80);
      if (lookup.found) view.EntryTextAt(lookup.textOffset);
    }
    view.IndexByName("ab");
    view.SettingsPath();
    view.EntryTextAt(static_cast<uint32_t>(random()));
  }
}

TEST(StoreView, PutBytesRefusesWritesPastTheLimit) {
  Block block(1024, 512);
  StoreView view = block.View();
  EXPECT_TRUE(view.PutBytes(508, "abcd", 4));
  EXPECT_FALSE(view.PutBytes(509, "abcd", 4));
  EXPECT_FALSE(view.PutU32(0xFFFFFFFE, 1));
  EXPECT_TRUE(view.PutU32(508, 0x01020304));
  EXPECT_EQ(block.Data()[508], 4);
  EXPECT_EQ(block.Data()[512], 0);
}

}  // namespace
}  // namespace tessel::store

namespace tessel::store {
namespace {

// Every length and alignment, against a byte-by-byte search.
TEST(FindByte, AgreesWithAPlainSearch) {
  std::mt19937 random(7);
  for (int size = 0; size < 200; ++size) {
    for (int trial = 0; trial < 50; ++trial) {
      std::vector<uint8_t> bytes(size + 16);
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % 6);
      const uint8_t* begin = bytes.data() + random() % 16;
      const uint8_t* end = begin + size;
      const auto value = static_cast<uint8_t>(random() % 7);
      const uint8_t* expected = std::find(begin, end, value);
      EXPECT_EQ(FindByte(begin, end, value), expected == end ? nullptr : expected);
    }
  }
}

TEST(LoadGeneration, OddWhileALoadWritesAndReadsSpanningItFail) {
  Block block(512, 512);
  StoreView view = block.View();
  const uint16_t before = view.BeginRead();
  EXPECT_TRUE(view.EndRead(before));
  view.BeginLoad();
  EXPECT_FALSE(view.EndRead(before));
  EXPECT_FALSE(view.EndRead(view.BeginRead()));  // a read that starts during the load
  view.EndLoad();
  EXPECT_TRUE(view.EndRead(view.BeginRead()));
  // 16 bits at 38, behind Playing and a zero byte; a loader that died half-way left it odd.
  EXPECT_EQ(block.Data()[37] + 256 * block.Data()[39], 0);
  EXPECT_EQ(block.Data()[38], 2);
  view.BeginLoad();
  view.BeginLoad();
  view.EndLoad();
  EXPECT_EQ(view.LoadGeneration(), 4);
}

}  // namespace
}  // namespace tessel::store
