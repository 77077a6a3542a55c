// The map loader over an in-memory settings file with 100 to 10000 entries, and the hook's
// lookup of a three-byte key in map texts of 1 KB, 20 KB and 1 MB (key absent: the whole
// text is searched, the worst case of every unmapped keystroke).
#include "common/memory_profile.h"
#include "hooklib/loader.h"
#include "hooklib/program_rules.h"
#include "hooklib/store_layout.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessel {
namespace {

constexpr int kEntriesPerMap = 500;

// Maps of at most 500 entries (a section's key list holds about 1000 short names).
std::string SettingsWithEntries(int entries) {
  static const char* const kCodes[8] = {"N", "S", "C", "CS", "A", "AS", "CA", "CAS"};
  const int maps = (entries + kEntriesPerMap - 1) / kEntriesPerMap;
  std::string text = "[MAPS]\n";
  for (int m = 1; m <= maps; ++m) text += "MAP" + std::to_string(m) + "=\n";
  for (int m = 1; m <= maps; ++m) {
    text += "[MAP" + std::to_string(m) + "]\n";
    const int count = std::min(kEntriesPerMap, entries - (m - 1) * kEntriesPerMap);
    for (int e = 0; e < count; ++e)
      text += std::to_string(1 + e / 8) + "_" + kCodes[e % 8] + "=entry\\s" + std::to_string(e) +
              "{ENTER}\n";
  }
  return text;
}

void BM_LoadMaps(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  MemoryProfile profile("C:\\tessel\\bench.ini", SettingsWithEntries(entries));
  std::vector<uint8_t> block(4 << 20);
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Set(store::kBlockSize, static_cast<int32_t>(block.size()));
  for (auto _ : state) {
    const LoadResult result = LoadMaps(profile, view);
    benchmark::DoNotOptimize(result);
    if (!result.fits) state.SkipWithError("maps do not fit");
  }
  state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_LoadMaps)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A loaded block whose map 1 has a text of about `size` bytes of entries with varied key
// and state bytes, none of them key 0x1F with state 0x87.
struct LookupBlock {
  explicit LookupBlock(size_t size) : bytes(size + 4096, 0) {
    store::StoreView view = View();
    view.Set(store::kBlockSize, static_cast<int32_t>(bytes.size()));
    const uint32_t names = 304, texts = 312, offName = 320, offText = 326, mapName = 328,
                   mapText = 330;
    view.Set(store::kLoadedCount, 1);
    view.Set(store::kNameTableOffset, names);
    view.Set(store::kTextTableOffset, texts);
    view.PutU32(names, offName);
    view.PutU32(names + 4, mapName);
    view.PutU32(texts, offText);
    view.PutU32(texts + 4, mapText);
    view.PutBytes(offName, "<off>", 6);
    view.PutBytes(offText, "\x01", 2);
    view.PutBytes(mapName, "M", 2);
    std::string text = "\x01";
    for (uint32_t i = 0; text.size() + 16 < size; ++i) {
      text += static_cast<char>(2 + i % 250);
      text += static_cast<char>(0x80 + i % 7);
      text += "text " + std::to_string(i % 1000);
      text += '\x01';
    }
    view.PutBytes(mapText, text.c_str(), text.size() + 1);
  }
  store::StoreView View() { return store::StoreView(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  std::vector<uint8_t> bytes;
};

void BM_FindEntryAbsent(benchmark::State& state) {
  LookupBlock block(static_cast<size_t>(state.range(0)));
  const store::StoreView view = block.View();
  for (auto _ : state) {
    const store::Bytes text = view.MapText(1);
    const store::EntryLookup found = store::FindEntry(view, text, 0x1F, 0x87);
    benchmark::DoNotOptimize(found);
    if (found.found) state.SkipWithError("the absent key was found");
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindEntryAbsent)->Arg(1 << 10)->Arg(20 << 10)->Arg(1 << 20);

void BM_FindEntryFirst(benchmark::State& state) {
  LookupBlock block(static_cast<size_t>(state.range(0)));
  const store::StoreView view = block.View();
  for (auto _ : state) {
    const store::EntryLookup found = store::FindEntry(view, view.MapText(1), 2, 0x80);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_FindEntryFirst)->Arg(1 << 10)->Arg(20 << 10)->Arg(1 << 20);

// [Programs] with 100 to 10000 rules: the load, the lookup of a program as it comes to the
// front, and the keyboard hook's check for the program already seen.
MemoryProfile ProfileWithRules(int rules) {
  std::string text = "[MAPS]\nGREEK=\n[Programs]\n";
  for (int i = 0; i < rules; ++i) text += "Program" + std::to_string(i) + ".exe=GREEK\n";
  return MemoryProfile("C:\\tessel\\bench.ini", text);
}

void BM_LoadProgramRules(benchmark::State& state) {
  MemoryProfile profile = ProfileWithRules(static_cast<int>(state.range(0)));
  std::vector<uint8_t> block(4 << 20);
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Set(store::kBlockSize, static_cast<int32_t>(block.size()));
  for (auto _ : state) {
    if (!LoadMaps(profile, view).fits) state.SkipWithError("rules do not fit");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadProgramRules)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ProgramInFront(benchmark::State& state) {
  MemoryProfile profile = ProfileWithRules(static_cast<int>(state.range(0)));
  std::vector<uint8_t> block(4 << 20);
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Set(store::kBlockSize, static_cast<int32_t>(block.size()));
  LoadMaps(profile, view);
  uint32_t pid = 1;
  for (auto _ : state) {
    // Alternating pids: every call looks the name up.
    benchmark::DoNotOptimize(OnProgramInFront(view, pid ^= 3, "C:\\Apps\\PROGRAM77.EXE"));
  }
}
BENCHMARK(BM_ProgramInFront)->Arg(100)->Arg(10000);

void BM_ProgramCheckDue(benchmark::State& state) {
  MemoryProfile profile = ProfileWithRules(100);
  std::vector<uint8_t> block(1 << 20);
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Set(store::kBlockSize, static_cast<int32_t>(block.size()));
  LoadMaps(profile, view);
  StartProgramRules(view, 1, 2, "program7.exe");
  for (auto _ : state) {
    const bool due = ProgramCheckDue(view, 2);
    benchmark::DoNotOptimize(due);
    if (due) state.SkipWithError("the program in front was checked again");
  }
}
BENCHMARK(BM_ProgramCheckDue);

}  // namespace
}  // namespace tessel
