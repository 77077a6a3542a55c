#include "frontend/map_management.h"

#include "frontend/assignment_rows.h"
#include "frontend/captions.h"
#include "frontend/editor_messages.h"
#include "frontend/map_names.h"
#include "frontend/program_rules_edit.h"
#include "hooklib/program_rules.h"

#include <unordered_map>

namespace tessel {
namespace {

// Names compare as the profile functions compare them: ASCII letters without case.
std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return folded;
}

bool SameName(std::string_view a, std::string_view b) { return FoldName(a) == FoldName(b); }

// The first line of every key, as a read by name finds it.
std::vector<ProfileEntry> FirstOfEachKey(std::vector<ProfileEntry> entries) {
  std::unordered_map<std::string, bool> seen;
  std::vector<ProfileEntry> first;
  first.reserve(entries.size());
  for (ProfileEntry& entry : entries)
    if (seen.emplace(FoldName(entry.key), true).second) first.push_back(std::move(entry));
  return first;
}

}  // namespace

MapCopyError::MapCopyError(const std::string& source, const std::string& fileName)
    : std::runtime_error("Map " + source + " could not be copied whole into " + fileName +
                         "; nothing was removed") {}

void CopyMap(Profile& from, const std::string& source, Profile& to, const std::string& target) {
  to.WriteString("MAPS", target, "");
  const std::vector<ProfileEntry> entries = FirstOfEachKey(from.ReadSection(source));
  if (entries.empty()) return;
  // The target keeps every line the source does not replace, comments included.
  to.WriteEntries(target, entries);

  // Read back: every key must hold its value whole before a caller may erase the source.
  std::unordered_map<std::string, std::string> written;
  for (ProfileEntry& entry : FirstOfEachKey(to.ReadSection(target)))
    written.emplace(FoldName(entry.key), std::move(entry.value));
  for (const ProfileEntry& entry : entries) {
    const auto found = written.find(FoldName(entry.key));
    if (found == written.end() || found->second != entry.value)
      throw MapCopyError(source, to.FileName());
  }
}

std::string SelectorKeyOf(Profile& settings, const std::string& mapName) {
  return MapSelectorKey(settings.ReadSection("Selectors"), mapName).value_or("");
}

void DeleteMap(Profile& settings, const std::string& name) {
  // The selector is looked up first: once the map is gone nothing else changes it.
  const std::string selector = SelectorKeyOf(settings, name);
  settings.EraseSection(name);
  settings.DeleteKey("MAPS", name);
  if (!selector.empty()) settings.DeleteKey("Selectors", selector);
  std::vector<ProfileEntry> programs = settings.ReadSection(kProgramsSection);
  const size_t before = programs.size();
  RemoveProgramRules(programs, name);
  if (programs.size() != before) settings.WriteSection(kProgramsSection, programs);
}

void RenameMap(Profile& settings, const std::string& oldName, const std::string& newName) {
  if (SameName(oldName, newName)) return;  // erasing the old map would erase the copy
  const std::string selector = SelectorKeyOf(settings, oldName);
  CopyMap(settings, oldName, settings, newName);
  if (!selector.empty()) settings.WriteString("Selectors", selector, newName);
  std::vector<ProfileEntry> programs = settings.ReadSection(kProgramsSection);
  if (RenameProgramRules(programs, oldName, newName)) settings.WriteSection(kProgramsSection, programs);
  DeleteMap(settings, oldName);
}

const char* NameProblem(Profile& settings, std::string_view typed, NameUse use) {
  const std::string name = TrimName(typed);
  if (!IsValidMapName(name)) return editor_message::kBadName;
  if (use == NameUse::NewMap && MapExists(settings, name)) return editor_message::kNameTaken;
  return nullptr;
}

std::string MapChoices(Profile& mapFile) {
  std::string choices;
  for (const ProfileEntry& entry : mapFile.ReadSection("MAPS")) {
    if (!choices.empty()) choices += ',';
    choices += entry.key;
  }
  return choices;
}

std::string DeletePrompt(const std::string& name) {
  return "Tessel+ : Question,do you really want to\r\npermanently remove map\r\n" +
         DoubleAmpersands(name) + " ?,<-Back,Yes";
}

std::string RenamePrompt(const std::string& name) {
  return "Tessel+,Specify a new name for " + DoubleAmpersands(name) + ",<-Back,Ok";
}

// The name stands in the caption, which shows "&" as it is.
std::string ExportPrompt(const std::string& name) {
  return "Tessel+ : Exporting " + name +
         ",Specify a name for the exported map\r\n(if it exists the maps will be merged),<-Back,Ok";
}

}  // namespace tessel
