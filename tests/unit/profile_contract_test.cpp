// The settings-file contract against the in-memory double.
#include "contract/profile_contract.h"

#include "common/memory_profile.h"

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

}  // namespace
}  // namespace tessel::contract
