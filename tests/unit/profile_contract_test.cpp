// The settings-file contract against the in-memory double and the settings-file layer.
#include "contract/profile_contract.h"

#include "common/memory_profile.h"
#include "common/settings_file.h"
#include "unit/fake_file_system.h"

namespace tessel::contract {
namespace {

class MemoryWorld : public ProfileWorld {
 public:
  std::unique_ptr<Profile> NewProfile() override {
    return std::make_unique<MemoryProfile>("C:\\tessel\\contract" + std::to_string(++count_) + ".ini");
  }
  void SetFileText(Profile& profile, const std::string& text) override {
    static_cast<MemoryProfile&>(profile).SetText(text);
  }
  std::optional<std::string> FileText(Profile& profile) override {
    const std::string text = static_cast<MemoryProfile&>(profile).Text();
    if (text.empty()) return std::nullopt;
    return text;
  }
  std::vector<std::unique_ptr<Profile>> UnwritableProfiles() override {
    std::vector<std::unique_ptr<Profile>> profiles;
    auto missing = std::make_unique<MemoryProfile>("C:\\no\\such\\dir\\x.ini");
    missing->SetWritesFail(true);
    profiles.push_back(std::move(missing));
    auto existing = std::make_unique<MemoryProfile>("TESSEL32.INI", "[TESSEL32]\r\nEditorTop=1\r\n");
    existing->SetWritesFail(true);
    profiles.push_back(std::move(existing));
    return profiles;
  }

 private:
  int count_ = 0;
};

std::unique_ptr<ProfileWorld> MakeMemoryWorld() { return std::make_unique<MemoryWorld>(); }

INSTANTIATE_TEST_SUITE_P(Memory, ProfileContract, ::testing::Values(&MakeMemoryWorld));

// The settings-file layer over files in memory.
class SettingsFileWorld : public ProfileWorld {
 public:
  std::unique_ptr<Profile> NewProfile() override {
    return std::make_unique<SettingsFile>("C:\\contract" + std::to_string(++count_) + ".ini", fileSystem_);
  }
  void SetFileText(Profile& profile, const std::string& text) override {
    fileSystem_.files[profile.FileName()] = text;
  }
  std::optional<std::string> FileText(Profile& profile) override {
    const auto found = fileSystem_.files.find(profile.FileName());
    if (found == fileSystem_.files.end()) return std::nullopt;
    return found->second;
  }
  std::vector<std::unique_ptr<Profile>> UnwritableProfiles() override {
    std::vector<std::unique_ptr<Profile>> profiles;
    locked_.files["C:\\locked.ini"] = "[TESSEL32]\r\nEditorTop=1\r\n";
    locked_.unreadable = "C:\\locked.ini";
    profiles.push_back(std::make_unique<SettingsFile>("C:\\locked.ini", locked_));
    readOnly_.files["C:\\read-only.ini"] = "[TESSEL32]\r\nEditorTop=1\r\n";
    readOnly_.replaceFails = true;
    profiles.push_back(std::make_unique<SettingsFile>("C:\\read-only.ini", readOnly_));
    return profiles;
  }

 private:
  testing::FakeFileSystem fileSystem_, locked_, readOnly_;
  int count_ = 0;
};

std::unique_ptr<ProfileWorld> MakeSettingsFileWorld() {
  return std::make_unique<SettingsFileWorld>();
}

INSTANTIATE_TEST_SUITE_P(SettingsFile, ProfileContract, ::testing::Values(&MakeSettingsFileWorld));

}  // namespace
}  // namespace tessel::contract
