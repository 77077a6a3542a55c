// The settings-file contract against the private-profile functions (run under Wine).
#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "contract/profile_contract.h"
#include "common/win32/win32_profile.h"

namespace tessel::contract {
namespace {

std::string TempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length > MAX_PATH) return ".\\";
  return std::string(path, length);
}

// A settings file that another program holds open without sharing.
class LockedProfile : public Win32Profile {
 public:
  explicit LockedProfile(const std::string& fileName) : Win32Profile(fileName) {
    std::ofstream(fileName, std::ios::binary) << "[TESSEL32]\r\nEditorTop=1\r\n";
    handle_ = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~LockedProfile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    DeleteFileA(FileName().c_str());
  }
  bool Locked() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class Win32World : public ProfileWorld {
 public:
  ~Win32World() override {
    for (const std::string& name : files_) DeleteFileA(name.c_str());
  }

  std::unique_ptr<Profile> NewProfile() override {
    const std::string name = NewFileName();
    DeleteFileA(name.c_str());
    return std::make_unique<Win32Profile>(name);
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
  std::vector<std::unique_ptr<Profile>> UnwritableProfiles() override {
    std::vector<std::unique_ptr<Profile>> profiles;
    profiles.push_back(std::make_unique<Win32Profile>("C:\\no\\such\\dir\\x.ini"));
    auto locked = std::make_unique<LockedProfile>(NewFileName());
    EXPECT_TRUE(locked->Locked()) << "could not hold " << locked->FileName() << " open";
    profiles.push_back(std::move(locked));
    return profiles;
  }

 private:
  std::string NewFileName() {
    std::ostringstream name;
    name << TempFolder() << "tessel_contract_" << GetCurrentProcessId() << "_" << ++count_ << ".ini";
    files_.push_back(name.str());
    return name.str();
  }

  std::vector<std::string> files_;
  int count_ = 0;
};

std::unique_ptr<ProfileWorld> MakeWin32World() { return std::make_unique<Win32World>(); }

INSTANTIATE_TEST_SUITE_P(Win32, ProfileContract, ::testing::Values(&MakeWin32World));

}  // namespace
}  // namespace tessel::contract
