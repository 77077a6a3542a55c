// Cost of one keystroke decision, with map texts of 20 KB and 1 MB: the decision without
// the lock that lets an unmapped key pass (for a key byte that the map has in other
// states, and for one that no entry has), the full decision of an unmapped key (two full
// searches: the selectors and the active map) and of a mapped key (search, compile of a
// short text).
#include "hooklib/hook.h"
#include "support/silent_player_platform.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace tessel {
namespace {


class IdleHookPlatform : public HookPlatform {
 public:
  bool ShiftDown() override { return false; }
  bool ControlDown() override { return false; }
  bool CapsLockOn() override { return false; }
  void ShowInformation(const char*, int32_t) override {}
  bool StartPlayTimer() override { return false; }  // keeps the player empty between runs
};

void PutU32(std::vector<uint8_t>& block, size_t at, uint32_t v) { std::memcpy(&block[at], &v, 4); }

// A loaded store with one map of about mapBytes bytes of entries that never use state N,
// plus 30_N = "x" at its end, and an empty selector map.
std::vector<uint8_t> BuildStore(size_t mapBytes) {
  std::string text(1, '\x01');
  for (int i = 0; text.size() < mapBytes; ++i) {
    text += static_cast<char>(2 + i % 120);
    text += static_cast<char>(0x81 + i % 7);
    text += "filler text\x01";
  }
  text += "\x1F\x80x\x01";
  const std::string names[] = {"<off>", "Big"};
  const std::string texts[] = {"\x01", text};
  std::vector<uint8_t> block(304 + 16 + 16 + text.size() + 64 + 1024);
  const uint32_t path = 304, nameTable = path + 1, textTable = nameTable + 8;
  uint32_t at = textTable + 8;
  for (int i = 0; i < 2; ++i) {
    PutU32(block, nameTable + 4 * i, at);
    std::memcpy(&block[at], names[i].c_str(), names[i].size() + 1);
    at += static_cast<uint32_t>(names[i].size() + 1);
    PutU32(block, textTable + 4 * i, at);
    std::memcpy(&block[at], texts[i].c_str(), texts[i].size() + 1);
    at += static_cast<uint32_t>(texts[i].size() + 1);
  }
  PutU32(block, store::kBlockSize, static_cast<uint32_t>(block.size()));
  PutU32(block, store::kPathOffset, path);
  PutU32(block, store::kNameTableOffset, nameTable);
  PutU32(block, store::kTextTableOffset, textTable);
  PutU32(block, store::kLoadedCount, 1);
  PutU32(block, store::kSelectedMap, 1);
  PutU32(block, store::kDataEnd, at);
  return block;
}

void Decide(benchmark::State& state, uint32_t keyData) {
  std::vector<uint8_t> block = BuildStore(static_cast<size_t>(state.range(0)));
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  DeadKeyState deadKey;
  SilentPlayerPlatform playerPlatform;
  ReplacementPlayer player(playerPlatform);
  IdleHookPlatform hookPlatform;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecideKeystroke(view, deadKey, player, hookPlatform, 0x41, keyData));
  }
}

void Precheck(benchmark::State& state, uint32_t keyData) {
  std::vector<uint8_t> block = BuildStore(static_cast<size_t>(state.range(0)));
  const store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  const DeadKeyState deadKey;
  IdleHookPlatform hookPlatform;
  for (auto _ : state) {
    uint8_t stateByte = 0;
    const bool concerned = KeystrokeMayConcernMaps(view, deadKey, hookPlatform, keyData, stateByte);
    benchmark::DoNotOptimize(concerned);
    if (concerned) state.SkipWithError("an unmapped key was sent to the lock");
  }
}

// Scan 0x2C (key byte 0x2D) has filler entries in states S..CAS; scan 0x7A none at all.
void BM_PrecheckKeyInOtherStates(benchmark::State& state) { Precheck(state, 0x002C0001); }
void BM_PrecheckKeyNoMapHas(benchmark::State& state) { Precheck(state, 0x007A0001); }
BENCHMARK(BM_PrecheckKeyInOtherStates)->Arg(20 << 10)->Arg(1 << 20);
BENCHMARK(BM_PrecheckKeyNoMapHas)->Arg(20 << 10)->Arg(1 << 20);

void BM_HookUnmappedKey(benchmark::State& state) { Decide(state, 0x002C0001); }
void BM_HookMappedKey(benchmark::State& state) { Decide(state, 0x001E0001); }
BENCHMARK(BM_HookUnmappedKey)->Arg(20 << 10)->Arg(1 << 20);
BENCHMARK(BM_HookMappedKey)->Arg(20 << 10)->Arg(1 << 20);

}  // namespace
}  // namespace tessel
