#include "info_window.h"
namespace tessel {
void ShowInformation(HINSTANCE, const char*, int32_t duration) {
  if (duration == 0) return;
  Sleep(duration < 0 ? -duration : duration);
}
}  // namespace tessel
