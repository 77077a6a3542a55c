#include "hooklib/program_rules.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tessel {
namespace {

// Table header fields.
constexpr uint32_t kMagicAt = 0, kSizeAt = 4, kCountAt = 8, kFrontPidAt = 12, kSwitchedAt = 16,
                   kRestoreAt = 20, kClientPidAt = 24;

uint8_t Folded(uint8_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c; }


uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void AppendU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(static_cast<uint8_t>(v >> (8 * i)));
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}


// The file name of a path as the system gives it.
std::string_view BaseName(std::string_view image) {
  const size_t cut = image.find_last_of("\\/:");
  return cut == std::string_view::npos ? image : image.substr(cut + 1);
}

bool IsOwnProgram(std::string_view fileName) {
  for (const std::string_view own : {std::string_view("tessel32.exe"), std::string_view("tesshide32.exe")}) {
    if (fileName.size() != own.size()) continue;
    bool same = true;
    for (size_t i = 0; i < own.size() && same; ++i)
      same = Folded(static_cast<uint8_t>(fileName[i])) == static_cast<uint8_t>(own[i]);
    if (same) return true;
  }
  return false;
}

// The table of a block, found only when every size in its header is consistent with the
// block; its rules' name offsets are checked one by one when read.
class Table {
 public:
  explicit Table(const store::StoreView& view) {
    if (!view.Present() || (view.Flags() & store::kFlagProgramRules) == 0) return;
    const uint32_t dataEnd = static_cast<uint32_t>(view.Get(store::kDataEnd));
    const uint64_t at = (static_cast<uint64_t>(dataEnd) + 3) & ~uint64_t{3};
    const uint64_t limit = view.Limit();
    if (dataEnd < store::kHeaderSize || at + kProgramTableHeaderSize > limit) return;
    const uint8_t* table = view.Base() + at;
    const uint32_t size = ReadU32(table + kSizeAt);
    const uint32_t count = ReadU32(table + kCountAt);
    if (ReadU32(table + kMagicAt) != kProgramTableMagic || size < kProgramTableHeaderSize ||
        at + size > limit || count > (size - kProgramTableHeaderSize) / kProgramRuleSize)
      return;
    at_ = view.Base() + at;
    size_ = size;
    count_ = count;
  }

  bool Exists() const { return at_ != nullptr; }
  uint32_t Get(uint32_t field) const { return ReadU32(at_ + field); }
  void Set(uint32_t field, uint32_t v) {
    for (int i = 0; i < 4; ++i) at_[field + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  // Binary search by (hash, folded name); the name need not be folded.
  ProgramRule Find(std::string_view name, int32_t loadedCount) const {
    const uint32_t hash = ProgramNameHash(name);
    uint32_t low = 0, high = count_;
    while (low < high) {
      const uint32_t middle = low + (high - low) / 2;
      const uint8_t* rule = at_ + kProgramTableHeaderSize + kProgramRuleSize * middle;
      int order = 0;
      const uint32_t ruleHash = ReadU32(rule);
      if (hash != ruleHash) {
        order = hash < ruleHash ? -1 : 1;
      } else if (!CompareName(name, ReadU32(rule + 4), order)) {
        return {};  // a damaged name offset: the order below it cannot be trusted
      }
      if (order == 0) {
        const int32_t map = static_cast<int32_t>(ReadU32(rule + 8));
        if (map < 0 || map > loadedCount) return {};
        return {true, map};
      }
      if (order < 0) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    return {};
  }

 private:
  // The order of the folded name against the name at offset, which ends at its zero byte
  // or at the table's end. False when offset is not in the name area.
  bool CompareName(std::string_view name, uint32_t offset, int& order) const {
    const uint64_t names = kProgramTableHeaderSize + uint64_t{kProgramRuleSize} * count_;
    if (offset < names || offset >= size_) return false;
    const uint8_t* stored = at_ + offset;
    const uint8_t* const end = at_ + size_;
    for (const char c : name) {
      if (stored == end || *stored == 0) {
        order = 1;
        return true;
      }
      const uint8_t folded = Folded(static_cast<uint8_t>(c));
      if (folded != *stored) {
        order = folded < *stored ? -1 : 1;
        return true;
      }
      ++stored;
    }
    order = (stored == end || *stored == 0) ? 0 : -1;
    return true;
  }

  uint8_t* at_ = nullptr;
  uint32_t size_ = 0;
  uint32_t count_ = 0;
};

}  // namespace

std::string_view TrimmedProgramKey(std::string_view key) {
  while (!key.empty() && IsBlank(key.front())) key.remove_prefix(1);
  while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
  return key;
}

bool IsProgramFileName(std::string_view trimmedKey) {
  return !trimmedKey.empty() &&
         trimmedKey.find_first_of(std::string_view("\\/:\0", 4)) == std::string_view::npos;
}

std::string FoldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(Folded(static_cast<uint8_t>(c)));
  return folded;
}

uint32_t ProgramNameHash(std::string_view name) {
  uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= Folded(static_cast<uint8_t>(c));
    hash *= 16777619u;
  }
  return hash;
}

const char* RuleProblemText(RuleProblem problem) {
  switch (problem) {
    case RuleProblem::NotAFileName:
      return "not a program's file name";
    case RuleProblem::NoSuchMap:
      return "names no map";
    case RuleProblem::Duplicate:
      return "an earlier rule names this program";
  }
  return "";
}

CompiledProgramRules CompileProgramRules(const std::vector<ProfileEntry>& entries,
                                         const std::vector<std::string>& mapNames) {
  CompiledProgramRules result;
  // The last map of a name wins, as in IndexByName.
  std::unordered_map<std::string, int32_t> mapIndex;
  for (size_t i = 1; i < mapNames.size(); ++i)
    mapIndex[FoldedName(mapNames[i])] = static_cast<int32_t>(i);
  const std::string off = FoldedName(store::kOffName);

  struct Rule {
    uint32_t hash;
    std::string name;
    int32_t map;
  };
  std::vector<Rule> rules;
  std::unordered_set<std::string> seen;
  for (const ProfileEntry& entry : entries) {
    std::string value = ValueAsRead(entry.value);
    const std::string_view key = TrimmedProgramKey(entry.key);
    auto ignore = [&](RuleProblem problem) {
      result.ignored.push_back({entry.key, std::move(value), problem});
    };
    if (!IsProgramFileName(key)) {
      ignore(RuleProblem::NotAFileName);
      continue;
    }
    std::string name = FoldedName(key);
    // The profile functions read the first entry of a name, valid or not.
    if (!seen.insert(name).second) {
      ignore(RuleProblem::Duplicate);
      continue;
    }
    const std::string target = FoldedName(value);
    int32_t map = 0;
    if (target != off) {
      const auto found = mapIndex.find(target);
      if (found == mapIndex.end()) {
        ignore(RuleProblem::NoSuchMap);
        continue;
      }
      map = found->second;
    }
    const uint32_t hash = ProgramNameHash(name);
    rules.push_back({hash, std::move(name), map});
  }
  if (rules.empty()) return result;

  std::sort(rules.begin(), rules.end(), [](const Rule& a, const Rule& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.name < b.name;
  });
  const uint32_t count = static_cast<uint32_t>(rules.size());
  size_t size = kProgramTableHeaderSize + size_t{kProgramRuleSize} * count;
  for (const Rule& rule : rules) size += rule.name.size() + 1;

  std::string& table = result.table;
  table.reserve(size);
  const uint32_t header[] = {kProgramTableMagic, static_cast<uint32_t>(size), count, 0, 0, 0, 0, 0};
  for (const uint32_t v : header) AppendU32(table, v);
  uint32_t name = kProgramTableHeaderSize + kProgramRuleSize * count;
  for (const Rule& rule : rules) {
    AppendU32(table, rule.hash);
    AppendU32(table, name);
    AppendU32(table, static_cast<uint32_t>(rule.map));
    name += static_cast<uint32_t>(rule.name.size()) + 1;
  }
  for (const Rule& rule : rules) table.append(rule.name.c_str(), rule.name.size() + 1);
  result.ruleCount = count;
  return result;
}

ProgramRule FindProgramRule(const store::StoreView& view, std::string_view fileName) {
  const Table table(view);
  return table.Exists() ? table.Find(fileName, view.LoadedCount()) : ProgramRule{};
}

ProgramSwitch OnProgramInFront(store::StoreView& view, uint32_t pid, std::string_view image) {
  const int32_t selected = view.Get(store::kSelectedMap);
  ProgramSwitch result{false, selected};
  Table table(view);
  if (!table.Exists() || pid == 0 || pid == table.Get(kFrontPidAt) ||
      pid == table.Get(kClientPidAt) || IsOwnProgram(BaseName(image)))
    return result;
  table.Set(kFrontPidAt, pid);

  const ProgramRule rule = table.Find(BaseName(image), view.LoadedCount());
  int32_t target = rule.map;
  if (rule.found) {
    if (table.Get(kSwitchedAt) == 0) {
      table.Set(kRestoreAt, static_cast<uint32_t>(selected));
      table.Set(kSwitchedAt, 1);
    }
  } else {
    if (table.Get(kSwitchedAt) == 0) return result;
    table.Set(kSwitchedAt, 0);
    target = view.ClampIndex(static_cast<int32_t>(table.Get(kRestoreAt)));
  }
  if (target != selected) {
    view.Set(store::kSelectedMap, target);
    result = {true, target};
  }
  return result;
}

ProgramSwitch StartProgramRules(store::StoreView& view, uint32_t clientPid, uint32_t frontPid,
                                std::string_view frontImage) {
  Table table(view);
  if (!table.Exists()) return {false, view.Get(store::kSelectedMap)};
  table.Set(kFrontPidAt, 0);
  table.Set(kSwitchedAt, 0);
  table.Set(kRestoreAt, 0);
  table.Set(kClientPidAt, clientPid);
  return OnProgramInFront(view, frontPid, frontImage);
}

int32_t SelectionToSave(const store::StoreView& view) {
  const Table table(view);
  if (table.Exists() && table.Get(kSwitchedAt) != 0)
    return view.ClampIndex(static_cast<int32_t>(table.Get(kRestoreAt)));
  return view.Get(store::kSelectedMap);
}

bool ProgramCheckDue(const store::StoreView& view, uint32_t pid) {
  const Table table(view);
  return pid != 0 && table.Exists() && pid != table.Get(kFrontPidAt) &&
         pid != table.Get(kClientPidAt);
}

}  // namespace tessel
