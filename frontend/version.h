// Version numbers of the front end and the hook library: major * 10000 + minor * 100 +
// release, shown as "major.minor.release".
#pragma once
#include <string>

#include "tessel_version.h"

namespace tessel {

constexpr int kFrontEndVersion = TESSEL_VERSION_NUMBER;

// "4.1.9" for 40109.
std::string VersionText(int version);
// Front end and library work together when their numbers differ by less than 100.
bool LibraryCompatible(int libraryVersion, int frontEndVersion = kFrontEndVersion);

}  // namespace tessel
