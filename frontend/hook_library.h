// The hook library's exports as the front end calls them. Every call of the front end into
// TESSHOOK32 goes through this interface, so that the sequences of hand-overs can be
// tested against a recording double (tests/unit/recording_hook_library.h).
#pragma once
#include <cstdint>
#include <string>

namespace tessel {

class HookLibrary {
 public:
  virtual ~HookLibrary() = default;
  // front: the window that holds the hook (its handle as a 32-bit value), or -1.
  virtual void Install(int32_t front, const std::string& settingsFile) = 0;
  virtual void Uninstall() = 0;
  virtual int32_t GetFront() = 0;
  virtual void SetFront(int32_t value) = 0;
  virtual void SelectMap(int32_t index) = 0;
  virtual int32_t GetSelected() = 0;
  virtual int32_t GetLoaded() = 0;
  // The name of map index (at most 15 characters), "<off>" for index 0 and out of range.
  virtual std::string MapByIndex(int32_t index) = 0;
  // The index of the map of that name, 0 when none.
  virtual int32_t IndexByMap(const std::string& name) = 0;
  // Why the last Install or Uninstall failed; empty when it did not.
  virtual std::string LastErrorText() = 0;
};

}  // namespace tessel
