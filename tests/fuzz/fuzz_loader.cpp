// Settings text -> in-memory settings file -> map loader into a default-sized store; then
// every map and entry is walked through the store's accessors and checked against what
// the loader compiled.
#include "common/memory_profile.h"
#include "hooklib/loader.h"
#include "hooklib/store_layout.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace tessel;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  // The first byte picks the store size, so tiny and exact-fit stores are reached too.
  int32_t blockSize = 20480;
  if (size > 0) {
    const int32_t allocate = static_cast<int32_t>(data[0]) - 8;  // -8..247 kilobytes
    Check(store::BlockSizeFor(allocate, blockSize));
    ++data;
    --size;
  }
  // A settings file read through the platform holds no zero bytes.
  std::string text(reinterpret_cast<const char*>(data), size);
  for (char& c : text) {
    if (c == '\0') c = '\n';
  }
  MemoryProfile profile("C:\\tessel\\fuzz.ini", text);
  const CompiledMaps compiled = CompileMaps(profile);

  std::vector<uint8_t> block(static_cast<size_t>(blockSize), 0);
  store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
  view.Set(store::kBlockSize, blockSize);
  LoadResult result;
  try {
    result = LoadMaps(profile, view);
  } catch (const ProfileWriteError&) {
    std::abort();  // an in-memory file takes every write
  }
  Check(result.neededSize == compiled.neededSize);
  Check(result.fits == (compiled.neededSize < blockSize));
  Check(view.Get(store::kNeededSize) == compiled.neededSize);

  const int32_t n = view.LoadedCount();
  if (!result.fits) {
    Check(n == 0);
    Check(view.MapName(0) == store::kOffName);
    return 0;
  }
  Check(n == static_cast<int32_t>(compiled.names.size()) - 1);
  // A program-rule table, if any, starts at DataEnd rounded up to 4 and ends the data.
  const int64_t tableSize = static_cast<int64_t>(compiled.programRules.table.size());
  const int64_t dataEnd = view.Get(store::kDataEnd);
  Check(tableSize == 0 ? dataEnd == compiled.neededSize
                       : ((dataEnd + 3) & ~int64_t{3}) + tableSize == compiled.neededSize);
  Check(view.SettingsPath() == profile.FileName());
  for (int32_t i = 0; i <= n; ++i) {
    Check(view.MapName(i) == compiled.names[static_cast<size_t>(i)]);
    const store::Bytes text = view.MapText(i);
    const std::string& expected = compiled.texts[static_cast<size_t>(i)];
    Check(text.size() == expected.size() && std::memcmp(text.begin, expected.data(), text.size()) == 0);
    Check(text.size() >= 1 && text.begin[0] == store::kEntryMark);
    store::MapEntry entry;
    for (const uint8_t* cursor = text.begin; store::NextEntry(text, cursor, entry);) {
      Check(entry.keyByte != 0);
      Check(entry.stateByte >= 0x80 && entry.stateByte <= 0x87);
      const store::EntryLookup found = store::FindEntry(view, text, entry.keyByte, entry.stateByte);
      Check(found.found);
      // The first entry with this key comes no later than this one.
      Check(view.Base() + found.textOffset <= entry.text.begin);
    }
    // The last map of a name (a-z folded) is found; index 0 is never compared.
    if (i > 0) Check(view.IndexByName(view.MapName(i)) >= i);
  }
  return 0;
}
