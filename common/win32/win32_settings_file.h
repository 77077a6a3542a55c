// The settings file and map files on the Windows file system.
#pragma once
#include "common/settings_file.h"

#include <string>

namespace tessel {

class Win32SettingsFileSystem : public SettingsFileSystem {
 public:
  static Win32SettingsFileSystem& Instance();
  ReadResult ReadBytes(const std::string& path, std::string& bytes) override;
  bool ReplaceBytes(const std::string& path, const std::string& bytes) override;
  bool AsOnlyWriter(const std::function<bool()>& update) override;
};

// A settings or map file named as the user gave it (UTF-8): a name without a folder lies
// in the Windows folder, as the profile functions place it.
class Win32SettingsFile : public SettingsFile {
 public:
  explicit Win32SettingsFile(std::string fileName)
      : SettingsFile(std::move(fileName), Win32SettingsFileSystem::Instance()) {}
};

// The path a file name stands for, as UTF-16.
std::wstring SettingsFilePath(const std::string& fileName);

}  // namespace tessel
