#include "hooklib/loader.h"

#include "common/keys.h"
#include "common/value_codec.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tessel {
namespace {

constexpr const char* kSettingsSection = "TESSEL32";
constexpr const char* kMapsSection = "MAPS";
constexpr const char* kSelectorsSection = "Selectors";
constexpr int32_t kDefaultMessageShowTime = 300;

// Byte counts only grow; a file large enough to pass 2 GiB must not wrap into a size
// that "fits".
int32_t Saturated(int64_t bytes) {
  return static_cast<int32_t>(std::min<int64_t>(bytes, std::numeric_limits<int32_t>::max()));
}

bool Storable(const KeyDescriptor& key, const std::string& text) {
  // Key code 255 would give the key byte 0, which ends the map text; codes 0 and 1 in a
  // text would end it early or forge an entry mark.
  return key.keyCode != 255 && text.find_first_of(std::string_view("\0\1", 2)) == std::string::npos;
}

// The compiled map text of one section: 01, then key byte, state byte, text, 01 per entry.
std::string CompileSection(Profile& profile, const std::string& section, int32_t& skipped) {
  std::string text(1, static_cast<char>(store::kEntryMark));
  for (const std::string& name : profile.ReadKeys(section)) {
    KeyDescriptor key;
    if (!ParseKeyDescriptor(name, key)) continue;
    const std::string value = DecodeValue(profile.ReadString(section, name, ""));
    if (!Storable(key, value)) {
      ++skipped;
      continue;
    }
    text += static_cast<char>(static_cast<uint8_t>(key.keyCode + 1));
    text += static_cast<char>(kStateByteMark | (key.state & 7));
    text += value;
    text += static_cast<char>(store::kEntryMark);
  }
  return text;
}

// Writes the names, tables and texts behind the header; the caller has checked that
// NeededSize bytes fit the block.
void WriteLoadedData(const CompiledMaps& maps, const std::string& path, store::StoreView& view) {
  const uint32_t n = static_cast<uint32_t>(maps.names.size() - 1);
  view.Set(store::kLoadedCount, static_cast<int32_t>(n));
  view.PutBytes(store::kHeaderSize, path.c_str(), path.size() + 1);
  view.Set(store::kPathOffset, static_cast<int32_t>(store::kHeaderSize));

  const uint32_t nameTable = store::kHeaderSize + static_cast<uint32_t>(path.size()) + 1;
  const uint32_t textTable = nameTable + 4 * (n + 1);
  view.Set(store::kNameTableOffset, static_cast<int32_t>(nameTable));
  view.Set(store::kTextTableOffset, static_cast<int32_t>(textTable));

  uint32_t at = textTable + 4 * (n + 1);
  for (uint32_t i = 0; i <= n; ++i) {
    const std::string& name = maps.names[i];
    const std::string& text = maps.texts[i];
    view.PutU32(nameTable + 4 * i, at);
    view.PutBytes(at, name.c_str(), name.size() + 1);
    at += static_cast<uint32_t>(name.size()) + 1;
    view.PutU32(textTable + 4 * i, at);
    view.PutBytes(at, text.c_str(), text.size() + 1);
    at += static_cast<uint32_t>(text.size()) + 1;
  }
  view.Set(store::kDataEnd, static_cast<int32_t>(at));

  const std::string& rules = maps.programRules.table;
  if (!rules.empty()) {
    const uint32_t table = (at + 3) & ~3u;
    view.PutBytes(at, "\0\0\0", table - at);
    view.PutBytes(table, rules.data(), rules.size());
  }
  const uint8_t flags = static_cast<uint8_t>(view.Flags() & ~store::kFlagProgramRules);
  view.SetFlags(rules.empty() ? flags : static_cast<uint8_t>(flags | store::kFlagProgramRules));
}

}  // namespace

CompiledMaps CompileMaps(Profile& profile) {
  const Profile::Snapshot snapshot(profile);  // every section from one read of the file
  CompiledMaps maps;
  int64_t needed = store::kHeaderSize + static_cast<int64_t>(profile.FileName().size()) + 1;

  maps.names = profile.ReadKeys(kMapsSection);
  maps.names.insert(maps.names.begin(), std::string(store::kOffName));
  maps.texts.reserve(maps.names.size());
  for (size_t i = 0; i < maps.names.size(); ++i) {
    needed += static_cast<int64_t>(maps.names[i].size()) + 1;
    const std::string& section = i == 0 ? std::string(kSelectorsSection) : maps.names[i];
    maps.texts.push_back(CompileSection(profile, section, maps.skippedEntries));
    needed += static_cast<int64_t>(maps.texts.back().size()) + 1;
  }
  needed += 8 * static_cast<int64_t>(maps.names.size());  // the two offset tables
  maps.programRules = CompileProgramRules(profile.ReadSection(kProgramsSection), maps.names);
  if (!maps.programRules.table.empty())
    needed = ((needed + 3) & ~int64_t{3}) + static_cast<int64_t>(maps.programRules.table.size());
  maps.neededSize = Saturated(needed);
  return maps;
}

LoadResult LoadMaps(Profile& profile, store::StoreView& view) {
  const CompiledMaps maps = CompileMaps(profile);
  LoadResult result;
  result.neededSize = maps.neededSize;
  result.skippedEntries = maps.skippedEntries;
  view.Set(store::kNeededSize, maps.neededSize);

  // Strictly less than BlockSize; the mapped size bounds it too, whatever BlockSize says.
  result.fits = maps.neededSize < view.Get(store::kBlockSize) &&
                static_cast<uint32_t>(maps.neededSize) <= view.Limit();

  // Sizes the next new store; throws before anything of the loaded data changes.
  profile.WriteInteger(kSettingsSection, "Allocate", maps.neededSize / 1024);

  int32_t messageTime =
      profile.ReadInteger(kSettingsSection, "MessageShowTime", kDefaultMessageShowTime);
  if (profile.ReadBool(kSettingsSection, "DoBeep", true))
    messageTime = static_cast<int32_t>(0u - static_cast<uint32_t>(messageTime));
  view.Set(store::kMessageTime, messageTime);

  if (result.fits) {
    view.BeginLoad();
    WriteLoadedData(maps, profile.FileName(), view);
    view.EndLoad();
  }
  return result;
}

}  // namespace tessel
