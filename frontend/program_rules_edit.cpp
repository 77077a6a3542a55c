#include "frontend/program_rules_edit.h"

#include "hooklib/program_rules.h"

#include <unordered_set>

namespace tessel {
namespace {

bool NamesMap(const ProfileEntry& rule, std::string_view mapName) {
  return FoldedName(ValueAsRead(rule.value)) == FoldedName(mapName);
}

}  // namespace

std::vector<std::string> ProgramsOfMap(const std::vector<ProfileEntry>& programs, std::string_view mapName) {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const ProfileEntry& rule : programs) {
    const std::string program(TrimmedProgramKey(rule.key));
    // The first rule of a program counts, as a string read finds it.
    if (!seen.insert(FoldedName(program)).second) continue;
    if (IsProgramFileName(program) && NamesMap(rule, mapName)) names.push_back(program);
  }
  return names;
}

bool EditedPrograms(std::vector<ProfileEntry>& programs, std::string_view mapName,
                    std::string_view wanted, std::string& problem) {
  std::vector<std::string> names;
  std::unordered_set<std::string> listed;
  for (size_t start = 0; start <= wanted.size();) {
    const size_t end = std::min(wanted.find('\n', start), wanted.size());
    const std::string_view line = TrimmedProgramKey(wanted.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (!IsProgramFileName(line)) {
      problem = std::string(line);
      return false;
    }
    if (listed.insert(FoldedName(line)).second) names.emplace_back(line);
  }
  std::vector<ProfileEntry> edited;
  std::unordered_set<std::string> placed;
  for (const ProfileEntry& rule : programs) {
    const std::string_view key = TrimmedProgramKey(rule.key);
    const std::string folded = FoldedName(key);
    if (listed.count(folded)) {
      // The program's first rule now names the map; later ones would not count anyway.
      if (placed.insert(folded).second) edited.push_back({std::string(key), std::string(mapName)});
      continue;
    }
    // Rules the hook ignores are not in the list the user edited: they stay as they are.
    if (!NamesMap(rule, mapName) || !IsProgramFileName(key)) edited.push_back(rule);
  }
  for (const std::string& name : names)
    if (placed.insert(FoldedName(name)).second) edited.push_back({name, std::string(mapName)});
  programs = std::move(edited);
  return true;
}

bool RenameProgramRules(std::vector<ProfileEntry>& programs, std::string_view oldName,
                        const std::string& newName) {
  bool renamed = false;
  for (ProfileEntry& rule : programs)
    if (NamesMap(rule, oldName)) {
      rule.value = newName;
      renamed = true;
    }
  return renamed;
}

void RemoveProgramRules(std::vector<ProfileEntry>& programs, std::string_view mapName) {
  std::vector<ProfileEntry> kept;
  for (ProfileEntry& rule : programs)
    if (!NamesMap(rule, mapName)) kept.push_back(std::move(rule));
  programs = std::move(kept);
}

void CopyProgramRules(Profile& from, const std::string& source, Profile& to, const std::string& target) {
  const std::vector<std::string> programs = ProgramsOfMap(from.ReadSection(kProgramsSection), source);
  if (programs.empty()) return;
  std::vector<ProfileEntry> rules;
  for (const std::string& program : programs) rules.push_back({program, target});
  to.WriteEntries(kProgramsSection, rules);
}

std::string IgnoredRulesText(const std::vector<ProfileEntry>& programs,
                             const std::vector<std::string>& mapNames) {
  std::vector<std::string> names = mapNames;
  names.insert(names.begin(), "<off>");
  std::string text;
  for (const IgnoredRule& rule : CompileProgramRules(programs, names).ignored) {
    if (!text.empty()) text += "\r\n";
    text += rule.key + "=" + rule.value + ": " + RuleProblemText(rule.problem);
  }
  return text;
}

}  // namespace tessel
