#include "frontend/version.h"

#include <cstdint>

namespace tessel {

std::string VersionText(int version) {
  const int64_t v = version < 0 ? -static_cast<int64_t>(version) : version;
  return std::to_string(v / 10000 % 100) + "." + std::to_string(v / 100 % 100) + "." +
         std::to_string(v % 100);
}

bool LibraryCompatible(int libraryVersion, int frontEndVersion) {
  const int64_t difference = static_cast<int64_t>(libraryVersion) - frontEndVersion;
  return difference > -100 && difference < 100;
}

}  // namespace tessel
