// Per-program maps: the [Programs] section of the settings file names, for a program's
// file name, the map that becomes active while a window of that program is in front.
//
//   [Programs]
//   WINWORD.EXE=GREEK      ; compared without case (ASCII letters only)
//   mstsc.exe=<off>        ; no mapping while it is in front
//
// The loader compiles the rules into a table behind the loaded data of the store; the
// table's header also holds the switching state, shared by every process. Layout (all
// integers 32-bit little-endian, offsets relative to the table's first byte):
//
//   The table starts at DataEnd rounded up to a multiple of 4, and only when bit 0 of the
//   store's flags byte (offset 37) is set. It is damaged, and counts as no rule at all,
//   unless it lies inside Limit(), starts with the magic, its size covers its header and
//   rules, and its rules' name offsets lie in its name area.
//
//   +0   magic  'T' 'P' 'R' '1'
//   +4   size of the table in bytes (header, rules and names)
//   +8   rule count n
//   +12  process id of the program last seen in front (0: none yet)
//   +16  1 while an automatic switch is in force, else 0
//   +20  map index to restore when the front moves to a program without a rule
//   +24  process id of the client that holds the hook (its windows are ignored)
//   +28  0 (reserved)
//   +32  n rules of 12 bytes, sorted by hash, then by folded name (bytes unsigned):
//          +0 hash of the folded name (ProgramNameHash), +4 offset of the folded name,
//          +8 map index (0 = "<off>")
//   +32+12n  the folded names, each ending with a zero byte
//
// A folded name is the file name with the ASCII letters A-Z made lower case; other bytes
// (UTF-8 included) are kept as they are.
//
// The state functions run with the store's mutex held, never allocate and read nothing
// outside the block; ProgramCheckDue runs without the mutex.
#pragma once
#include "common/profile.h"
#include "hooklib/store_layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

constexpr const char* kProgramsSection = "Programs";
constexpr uint32_t kProgramTableMagic = 0x31525054;  // "TPR1"
constexpr uint32_t kProgramTableHeaderSize = 32;
constexpr uint32_t kProgramRuleSize = 12;

// FNV-1a over the name with A-Z folded to a-z: the hash the table is sorted by.
uint32_t ProgramNameHash(std::string_view name);

// The rules' reading of a [Programs] key, shared with the editor: the key without its
// blanks, whether that is a program's file name, and the folded form names compare in
// (also used for map names, which compare the same way).
std::string_view TrimmedProgramKey(std::string_view key);
bool IsProgramFileName(std::string_view trimmedKey);
std::string FoldedName(std::string_view name);

// ---- Compilation (loader and editor) ----

enum class RuleProblem {
  NotAFileName,  // empty after trimming blanks, or holds \ / : (or a zero byte)
  NoSuchMap,     // the value names no loaded map and is not "<off>"
  Duplicate,     // an earlier entry names the same program (the first one counts)
};
// Short English text for the editor, e.g. "names no map".
const char* RuleProblemText(RuleProblem problem);

struct IgnoredRule {
  std::string key;    // as in the file
  std::string value;  // as a string read returns it
  RuleProblem problem = RuleProblem::NotAFileName;
};

struct CompiledProgramRules {
  std::string table;                 // the table's bytes; empty when no rule is valid
  uint32_t ruleCount = 0;
  std::vector<IgnoredRule> ignored;  // in file order
};

// entries: the [Programs] section as Profile::ReadSection returns it (keys and values as
// in the file). mapNames: the loaded map names in index order, "<off>" at 0. A value is
// taken as a string read of its key returns it (one pair of matching quotes removed, cut
// to 1023 characters) and names the last map of that name (A-Z without case), as
// IndexByName does; "<off>" is map 0. Keys are trimmed of blanks. O(n log n).
CompiledProgramRules CompileProgramRules(const std::vector<ProfileEntry>& entries,
                                         const std::vector<std::string>& mapNames);

// ---- Lookup and switching (mutex held) ----

struct ProgramRule {
  bool found = false;
  int32_t map = 0;
};
// The rule for a file name (compared without case; it need not be folded). A rule whose
// map index is above LoadedCount counts as none.
ProgramRule FindProgramRule(const store::StoreView& view, std::string_view fileName);

struct ProgramSwitch {
  bool changed = false;  // SelectedMap was written with a different value
  int32_t map = 0;       // SelectedMap afterwards
};

// A window of process pid has come to the front. image is the program's file name or its
// full path as the system gives it (the part after the last \ / or : is used; the case
// does not matter). Nothing happens for pid 0, for the client's pid, for the pid last
// seen in front, for this system's own programs (TESSEL32.EXE, TESSHIDE32.EXE: a front end
// whose windows show while the host holds the hook), or without a table. Otherwise pid
// becomes the one last seen, and:
// - a program with a rule makes the rule's map the SelectedMap; the first such switch
//   remembers the SelectedMap it replaces;
// - a program without a rule (or an empty image) brings the remembered map back, if an
//   automatic switch is in force.
// Any SelectedMap written meanwhile by other code (a selector, a menu) is left alone
// until the front moves to another process. When changed is set, the caller shows the
// map's name and beeps, as for a selector.
ProgramSwitch OnProgramInFront(store::StoreView& view, uint32_t pid, std::string_view image);

// Right after a load and the selection of Selected (Install): clears the state, records
// the client's pid and evaluates the program now in front (pass 0 and "" when unknown).
// The result is for the caller's information only; no message is due at Install.
ProgramSwitch StartProgramRules(store::StoreView& view, uint32_t clientPid, uint32_t frontPid,
                                std::string_view frontImage);

// The selection to write as Selected at Uninstall: the map to restore while an automatic
// switch is in force, else SelectedMap.
int32_t SelectionToSave(const store::StoreView& view);

// Without the mutex, for the keyboard hook's pre-check: true when a table exists and pid
// is neither the program last seen in front nor the client. The hook then takes the
// mutex and calls OnProgramInFront for its own process, which makes this false again.
// A few reads of the store's header and of the table's header; no scan.
bool ProgramCheckDue(const store::StoreView& view, uint32_t pid);

}  // namespace tessel
