#include "hooklib/player.h"
namespace tessel {
WindowHandle FindWindowBySpec(PlayerPlatform&, const std::string&) { return 0; }
bool FocusWindowBySpec(PlayerPlatform&, const std::string&) { return false; }
}  // namespace tessel
