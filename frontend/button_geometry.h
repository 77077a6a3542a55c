// Where the button window opens: its stored bounds, with fall-backs for values that no
// window can have, centred when it would be off the screen.
#pragma once
#include <cstdint>

namespace tessel {

struct StoredBounds {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

constexpr StoredBounds kDesignBounds = {266, 201, 125, 28};

StoredBounds RestoreButtonBounds(const StoredBounds& stored, int32_t screenWidth,
                                 int32_t screenHeight);

}  // namespace tessel
