#include "frontend/editor_layout.h"

#include <cstdint>

namespace tessel {

bool EditorOpensCentred(int top, int left, int windowWidth, int screenWidth, int screenHeight) {
  // Stored numbers may be anything: no overflow.
  const int64_t t = top, l = left;
  return t + 10 < 0 || t + 10 > screenHeight || l + windowWidth - 10 < 0 || l + 10 > screenWidth;
}

}  // namespace tessel
