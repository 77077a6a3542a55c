// A settings file whose writes succeed until a given number of them have been made: a
// disk that fills, or a file another program locks, in the middle of a command.
#pragma once
#include "common/memory_profile.h"

namespace tessel {

class WritesRunOutProfile : public MemoryProfile {
 public:
  WritesRunOutProfile(int left, const std::string& text) : MemoryProfile("T.INI", text), left_(left) {}
  bool RawWrite(const std::string& section, const char* key, const char* value) override {
    return left_-- > 0 && MemoryProfile::RawWrite(section, key, value);
  }

 private:
  int left_;
};

}  // namespace tessel
