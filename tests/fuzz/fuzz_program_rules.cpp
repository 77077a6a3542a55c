// Arbitrary [Programs] text loaded behind three maps: every program is found as the
// compiled rules say and every switch names a loaded map. Then arbitrary bytes are laid
// over the header and the table and everything runs again: no crash, and
// AddressSanitizer reports any read outside the block, which ends where the table ends.
#include "common/memory_profile.h"
#include "hooklib/loader.h"
#include "hooklib/program_rules.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace tessel;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Folded(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

void Run(store::StoreView& view, const std::vector<ProfileEntry>& entries) {
  const int32_t loaded = view.LoadedCount();
  uint32_t pid = 1;
  for (const ProfileEntry& entry : entries) {
    const ProgramRule rule = FindProgramRule(view, entry.key);
    Check(!rule.found || (rule.map >= 0 && rule.map <= loaded));
    ProgramCheckDue(view, pid);
    const ProgramSwitch result = OnProgramInFront(view, pid++ % 5, entry.value);
    if (result.changed) Check(result.map >= 0 && result.map <= loaded);
    OnProgramInFront(view, pid++, "C:\\dir\\" + entry.key);
    SelectionToSave(view);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 64 * 1024) return 0;
  // The first byte splits the input: settings text, then damage triples.
  const size_t split = 1 + (size - 1) * data[0] / 256;
  std::string text(reinterpret_cast<const char*>(data) + 1, split - 1);
  for (char& c : text)
    if (c == '\0') c = '\n';
  MemoryProfile profile("t.ini", "[MAPS]\nLATIN=\nGREEK=\nRUSSIAN=\nGreek=\n[Programs]\n" + text);
  const std::vector<ProfileEntry> entries = profile.ReadSection(kProgramsSection);
  const CompiledMaps compiled = CompileMaps(profile);
  const CompiledProgramRules& rules = compiled.programRules;
  Check(rules.ruleCount + rules.ignored.size() == entries.size());
  Check(rules.table.empty() == (rules.ruleCount == 0));

  std::vector<uint8_t> loading(static_cast<size_t>(compiled.neededSize) + 1);
  store::StoreView view(loading.data(), static_cast<uint32_t>(loading.size()));
  view.Set(store::kBlockSize, static_cast<int32_t>(loading.size()));
  Check(LoadMaps(profile, view).fits);
  std::vector<uint8_t> block(loading.begin(), loading.end() - 1);
  view = store::StoreView(block.data(), static_cast<uint32_t>(block.size()));
  view.Set(store::kBlockSize, compiled.neededSize);

  // A program has a rule unless the first entry of its name named no map.
  std::set<std::string> noMap;
  for (const IgnoredRule& ignored : rules.ignored)
    if (ignored.problem == RuleProblem::NoSuchMap) noMap.insert(Folded(ignored.key));
  for (const ProfileEntry& entry : entries) {
    if (entry.key.find_first_of(std::string("\\/:\0", 4)) != std::string::npos) continue;
    Check(FindProgramRule(view, entry.key).found == (noMap.count(Folded(entry.key)) == 0));
  }
  StartProgramRules(view, 1, 2, entries.empty() ? "" : entries.front().key);
  Run(view, entries);

  // Damage: each triple writes a byte near the table's start or anywhere in the block.
  const uint32_t table = (static_cast<uint32_t>(view.Get(store::kDataEnd)) + 3) & ~3u;
  for (size_t at = split; at + 3 <= size; at += 3) {
    const size_t position = (data[at] & 1) ? table + data[at + 1] - 16u
                                           : (data[at] << 8 | data[at + 1]) % block.size();
    if (position < block.size()) block[position] = data[at + 2];
  }
  Run(view, entries);
  StartProgramRules(view, 1, 2, "x");
  Run(view, entries);
  return 0;
}
