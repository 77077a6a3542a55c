// The settings file's file system in memory: files by path, and switches for a file that
// cannot be read and for replacements that fail.
#pragma once
#include "common/settings_file.h"

#include <functional>
#include <map>
#include <string>

namespace tessel::testing {

class FakeFileSystem : public SettingsFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::string unreadable;  // this path exists but cannot be read
  bool replaceFails = false;
  int replacements = 0;
  int reads = 0;

  ReadResult ReadBytes(const std::string& path, std::string& bytes) override {
    ++reads;
    if (path == unreadable) return ReadResult::Failed;
    const auto found = files.find(path);
    if (found == files.end()) return ReadResult::Missing;
    bytes = found->second;
    return ReadResult::Read;
  }
  bool ReplaceBytes(const std::string& path, const std::string& bytes) override {
    if (replaceFails) return false;
    files[path] = bytes;
    ++replacements;
    return true;
  }
  bool AsOnlyWriter(const std::function<bool()>& update) override { return update(); }
};

}  // namespace tessel::testing
