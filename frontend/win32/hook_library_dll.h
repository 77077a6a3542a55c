// The hook library interface over the exports of TESSHOOK32.DLL.
#pragma once
#include "frontend/hook_library.h"

namespace tessel {

class HookLibraryDll : public HookLibrary {
 public:
  void Install(int32_t front, const std::string& settingsFile) override;
  void Uninstall() override;
  int32_t GetFront() override;
  void SetFront(int32_t value) override;
  void SelectMap(int32_t index) override;
  int32_t GetSelected() override;
  int32_t GetLoaded() override;
  std::string MapByIndex(int32_t index) override;
  int32_t IndexByMap(const std::string& name) override;
  std::string LastErrorText() override;
};

}  // namespace tessel
