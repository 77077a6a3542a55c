#include "common/memory_profile.h"

#include <algorithm>

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
std::string CopyEntry(std::string_view value) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string copy(value.substr(0, kReadBufferSize - 1));
  if (quoted && kReadBufferSize >= value.size() && !copy.empty()) copy.pop_back();
  return copy;
}

}  // namespace

MemoryProfile::MemoryProfile(std::string fileName, std::string text)
    : fileName_(std::move(fileName)) {
  SetText(text);
}

std::string MemoryProfile::Text() const { return text_; }

void MemoryProfile::SetText(const std::string& text) {
  text_ = text;
  sections_.assign(1, Section{});
  Section* current = &sections_.back();
  bool previousNameEmpty = false;
  bool havePrevious = false;

  size_t next = 0;
  while (next < text.size()) {
    const size_t lineEnd = std::min(text.find_first_of("\r\n", next), text.size());
    std::string_view line = Trim(std::string_view(text).substr(next, lineEnd - next));
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

MemoryProfile::Section* MemoryProfile::FindSection(const std::string& name) {
  const std::string_view wanted = Trim(name);
  for (Section& section : sections_) {
    if (SameName(section.name, wanted)) return &section;
  }
  return nullptr;
}

std::string MemoryProfile::RawGetString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
  // Trailing blanks of the default are dropped, all but its first character.
  std::string_view fallback = defaultValue;
  while (fallback.size() > 1 && fallback.back() == ' ') fallback.remove_suffix(1);

  if (Section* found = FindSection(section)) {
    const std::string_view wanted = Trim(key);
    for (const Entry& entry : found->entries) {
      if (!SameName(entry.name, wanted)) continue;
      if (entry.value) return CopyEntry(*entry.value);
      break;
    }
  }
  return CopyEntry(fallback);
}

std::vector<std::string> MemoryProfile::RawGetKeys(const std::string& section) {
  std::vector<std::string> keys;
  Section* found = FindSection(section);
  if (found == nullptr) return keys;
  for (const Entry& entry : found->entries) {
    if (!entry.value || (!entry.name.empty() && entry.name.front() == ';')) continue;
    if (entry.name.empty()) break;  // an empty name ends the zero-separated list
    keys.push_back(entry.name);
  }
  return keys;
}

bool MemoryProfile::RawWrite(const std::string& section, const char* key, const char* value) {
  if (writesFail_) return false;
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
  return true;
}

std::vector<ProfileEntry> MemoryProfile::RawGetSection(const std::string& section) {
  std::vector<ProfileEntry> entries;
  Section* found = FindSection(section);
  if (found == nullptr) return entries;
  for (const Entry& entry : found->entries) {
    if (!entry.value || entry.name.empty() || entry.name.front() == ';') continue;
    entries.push_back({entry.name, *entry.value});
  }
  return entries;
}

bool MemoryProfile::RawWriteSection(const std::string& section,
                                    const std::vector<ProfileEntry>& entries) {
  if (writesFail_) return false;
  std::vector<Entry> lines;
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
  SetText(text_);
  return true;
}

void MemoryProfile::Rewrite() {
  std::string text;
  for (const Section& section : sections_) {
    if (!section.name.empty()) text += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) {
      text += entry.name;
      if (entry.value) text += "=" + *entry.value;
      text += "\r\n";
    }
  }
  text_ = std::move(text);
  ++rewrites_;
}

}  // namespace tessel
