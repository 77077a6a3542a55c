#pragma once
#include "front_end.h"

namespace tessel {

// "About : Tessel+" with the versions of the front end and the hook library.
void RunAboutBox(HWND owner, const FrontEnd& app);

}  // namespace tessel
