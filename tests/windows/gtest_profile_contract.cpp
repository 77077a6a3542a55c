// The settings-file contract against the private-profile functions and against the
// program's own settings-file layer (run under Wine).
#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <type_traits>

#include "contract/profile_contract.h"
#include "win32_profile.h"
#include "win32_settings_file.h"

namespace tessel::contract {
namespace {

std::string TempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length > MAX_PATH) return ".\\";
  return std::string(path, length);
}

// Files in the temporary folder, removed at the end; P reads and writes them.
template <typename P>
class FileWorld : public ProfileWorld {
 public:
  ~FileWorld() override {
    for (HANDLE handle : held_) CloseHandle(handle);
    for (const std::string& name : files_) {
      SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(name.c_str());
    }
  }

  std::unique_ptr<Profile> NewProfile() override {
    const std::string name = NewFileName();
    DeleteFileA(name.c_str());
    return std::make_unique<P>(name);
  }
  void SetFileText(Profile& profile, const std::string& text) override {
    std::ofstream file(profile.FileName(), std::ios::binary | std::ios::trunc);
    file << text;
  }
  std::optional<std::string> FileText(Profile& profile) override {
    std::ifstream file(profile.FileName(), std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  // A missing folder, and a file that another program holds open without sharing; the
  // settings-file layer also refuses a read-only file (root ignores the attribute for the
  // private-profile functions under Wine).
  std::vector<std::unique_ptr<Profile>> UnwritableProfiles() override {
    std::vector<std::unique_ptr<Profile>> profiles;
    profiles.push_back(std::make_unique<P>("C:\\no\\such\\dir\\x.ini"));
    const std::string locked = ExistingFile();
    HANDLE handle = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "could not hold " << locked << " open";
    held_.push_back(handle);
    profiles.push_back(std::make_unique<P>(locked));
    if (std::is_same_v<P, Win32SettingsFile>) {
      const std::string readOnly = ExistingFile();
      SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
      profiles.push_back(std::make_unique<P>(readOnly));
    }
    return profiles;
  }

 private:
  std::string NewFileName() {
    std::ostringstream name;
    name << TempFolder() << "tessel_contract_" << GetCurrentProcessId() << "_" << ++count_ << ".ini";
    files_.push_back(name.str());
    return name.str();
  }
  std::string ExistingFile() {
    const std::string name = NewFileName();
    std::ofstream(name, std::ios::binary) << "[TESSEL32]\r\nEditorTop=1\r\n";
    return name;
  }

  std::vector<std::string> files_;
  std::vector<HANDLE> held_;
  int count_ = 0;
};

std::unique_ptr<ProfileWorld> MakeWin32World() { return std::make_unique<FileWorld<Win32Profile>>(); }
std::unique_ptr<ProfileWorld> MakeSettingsFileWorld() {
  return std::make_unique<FileWorld<Win32SettingsFile>>();
}

INSTANTIATE_TEST_SUITE_P(Win32, ProfileContract, ::testing::Values(&MakeWin32World));
INSTANTIATE_TEST_SUITE_P(SettingsFile, ProfileContract, ::testing::Values(&MakeSettingsFileWorld));

}  // namespace
}  // namespace tessel::contract
