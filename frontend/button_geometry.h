// Where the button window opens: its stored bounds, with fall-backs for values that no
// window can have, centred when it would be off the screen. The place is kept in the
// screen's pixels, the size in design pixels (96 DPI): the window keeps its visual size at
// any display scaling, and at 96 DPI both are plain pixels.
#pragma once
#include "common/display_scale.h"

#include <cstdint>

namespace tessel {

struct StoredBounds {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

constexpr StoredBounds kDesignBounds = {266, 201, 125, 28};

// The bounds to open with on a monitor of dpi, from the stored ones.
StoredBounds RestoreButtonBounds(const StoredBounds& stored, int32_t screenWidth,
                                 int32_t screenHeight, uint32_t dpi = kDesignDpi);

// The bounds to store for a window shown with these bounds at dpi.
StoredBounds BoundsToStore(const StoredBounds& shown, uint32_t dpi);

}  // namespace tessel
