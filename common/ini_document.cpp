#include "common/ini_document.h"

#include "common/text_encoding.h"

#include <algorithm>
#include <unordered_map>

namespace tessel {

namespace {

constexpr size_t kReadBufferSize = kProfileStringLimit + 1;

// White space as the platform trims it around lines, names and values (Ctrl-Z included).
bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

// Names are compared with ASCII letters folded only, as the platform does.
unsigned char FoldCase(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(static_cast<unsigned char>(x)) == FoldCase(static_cast<unsigned char>(y));
         });
}

// A value as the platform copies it into a read buffer: one pair of matching quotes
// around it is removed, and at most kProfileStringLimit characters are returned. When the
// value is cut, the closing quote is not removed; the last copied character is dropped
// instead only if the quoted text fills the buffer exactly.
// Characters are counted, not bytes, so that a cut never splits one.
std::string CopyEntry(std::string_view value) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string_view copy = Utf8Prefix(value, kReadBufferSize - 1);
  if (quoted && !copy.empty() && Utf8Length(value) <= kReadBufferSize)
    copy = Utf8Prefix(copy, Utf8Length(copy) - 1);
  return std::string(copy);
}

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
  return folded;
}

}  // namespace

IniDocument::IniDocument(std::string_view text) { Parse(text); }

void IniDocument::Parse(std::string_view text) {
  text_ = std::string(text);
  sections_.assign(1, Section{});
  Section* current = &sections_.back();
  bool previousNameEmpty = false;
  bool havePrevious = false;

  size_t next = 0;
  while (next < text.size()) {
    const size_t lineEnd = std::min(text.find_first_of("\r\n", next), text.size());
    std::string_view line = text.substr(next, lineEnd - next);
    // What the platform's string reads see of a line with a NUL byte: the text before it.
    line = Trim(line.substr(0, line.find('\0')));
    next = std::min(text.find_first_not_of("\r\n", lineEnd), text.size());
    if (line.empty()) continue;

    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        sections_.push_back(Section{std::string(Trim(line.substr(1, close - 1))), {}});
        current = &sections_.back();
        havePrevious = false;
        continue;
      }
    }

    Entry entry;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      entry.name = std::string(line);
    } else {
      entry.name = std::string(TrimRight(line.substr(0, equals)));
      entry.value = std::string(TrimLeft(line.substr(equals + 1)));
    }
    // Runs of nameless lines ("=x" after "=y") are kept once.
    if (!entry.name.empty() || !havePrevious || !previousNameEmpty) {
      previousNameEmpty = entry.name.empty();
      havePrevious = true;
      current->entries.push_back(std::move(entry));
    }
  }
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
  const std::string_view wanted = Trim(name);
  for (const Section& section : sections_)
    if (SameName(section.name, wanted)) return &section;
  return nullptr;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name) {
  return const_cast<Section*>(static_cast<const IniDocument*>(this)->FindSection(name));
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
  // Trailing blanks of the default are dropped, all but its first character.
  std::string_view fallback = defaultValue;
  while (fallback.size() > 1 && fallback.back() == ' ') fallback.remove_suffix(1);

  if (const Section* found = FindSection(section)) {
    const std::string_view wanted = Trim(key);
    for (const Entry& entry : found->entries) {
      if (!SameName(entry.name, wanted)) continue;
      if (entry.value) return CopyEntry(*entry.value);
      break;
    }
  }
  return CopyEntry(fallback);
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const Section* found = FindSection(section);
  if (found == nullptr) return keys;
  for (const Entry& entry : found->entries) {
    if (!entry.value || (!entry.name.empty() && entry.name.front() == ';')) continue;
    if (entry.name.empty()) break;  // an empty name ends the zero-separated list
    keys.push_back(entry.name);
  }
  return keys;
}

std::vector<ProfileEntry> IniDocument::Entries(std::string_view section) const {
  std::vector<ProfileEntry> entries;
  const Section* found = FindSection(section);
  if (found == nullptr) return entries;
  for (const Entry& entry : found->entries) {
    if (!entry.value || entry.name.empty() || entry.name.front() == ';') continue;
    entries.push_back({entry.name, *entry.value});
  }
  return entries;
}

bool IniDocument::Write(std::string_view section, const char* key, const char* value) {
  bool changed = false;
  if (key == nullptr) {
    auto it = std::find_if(sections_.begin(), sections_.end(),
                           [&](const Section& s) { return SameName(s.name, section); });
    if (it != sections_.end()) {
      sections_.erase(it);
      changed = true;
    }
  } else if (value == nullptr) {
    for (Section& s : sections_) {
      if (!SameName(s.name, section)) continue;
      auto it = std::find_if(s.entries.begin(), s.entries.end(),
                             [&](const Entry& e) { return SameName(e.name, key); });
      if (it != s.entries.end()) {
        s.entries.erase(it);
        changed = true;
        break;
      }
    }
  } else {
    Section* target = FindSection(section);
    if (target == nullptr) {
      sections_.push_back(Section{std::string(TrimLeft(section)), {}});
      target = &sections_.back();
    }
    const std::string_view wanted = Trim(key);
    auto it = std::find_if(target->entries.begin(), target->entries.end(),
                           [&](const Entry& e) { return SameName(e.name, wanted); });
    if (it == target->entries.end()) {
      target->entries.push_back(Entry{std::string(TrimLeft(key)), std::nullopt});
      it = target->entries.end() - 1;
    }
    const std::string newValue(TrimLeft(value));
    if (!it->value || *it->value != newValue) {
      it->value = newValue;
      changed = true;
    }
  }
  if (changed) Rewrite();
  return changed;
}

bool IniDocument::WriteSection(std::string_view section, const std::vector<ProfileEntry>& entries) {
  std::vector<Entry> lines;
  lines.reserve(entries.size());
  for (const ProfileEntry& entry : entries)
    lines.push_back(Entry{std::string(TrimLeft(entry.key)), std::string(TrimLeft(entry.value))});
  bool first = true;
  for (Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    s.entries = first ? lines : std::vector<Entry>{};
    first = false;
  }
  if (first && !lines.empty()) sections_.push_back(Section{std::string(TrimLeft(section)), lines});
  Rewrite();
  // The platform reads the file anew: values lose the blanks a write kept at their end.
  Parse(std::string(text_));
  return true;
}

bool IniDocument::WriteEntries(std::string_view section, const std::vector<ProfileEntry>& entries) {
  if (entries.empty()) return false;
  Section* target = FindSection(section);
  if (target == nullptr) {
    sections_.push_back(Section{std::string(TrimLeft(section)), {}});
    target = &sections_.back();
  }
  std::unordered_map<std::string, size_t> firstLine;  // folded name -> its first line
  for (size_t i = 0; i < target->entries.size(); ++i)
    if (target->entries[i].value) firstLine.emplace(Folded(target->entries[i].name), i);
  bool changed = false;
  for (const ProfileEntry& entry : entries) {
    const std::string value(TrimLeft(entry.value));
    const std::string folded = Folded(Trim(entry.key));
    const auto found = firstLine.find(folded);
    if (found != firstLine.end()) {
      Entry& line = target->entries[found->second];
      if (*line.value == value) continue;
      line.value = value;
    } else {
      firstLine.emplace(folded, target->entries.size());
      target->entries.push_back(Entry{std::string(TrimLeft(entry.key)), value});
    }
    changed = true;
  }
  if (changed) Rewrite();
  return changed;
}

void IniDocument::Rewrite() {
  std::string text;
  for (const Section& section : sections_) {
    // Every section but the lines before the first header has its header, "[]" too: without
    // it, its lines would join the section before it at the next read.
    if (&section != &sections_.front()) text += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) {
      text += entry.name;
      if (entry.value) text += "=" + *entry.value;
      text += "\r\n";
    }
  }
  text_ = std::move(text);
}

}  // namespace tessel
