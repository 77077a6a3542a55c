// Display scaling: design sizes are given at 96 DPI, and a window on a monitor of another
// DPI scales them.
#pragma once
#include <cstdint>

namespace tessel {

constexpr uint32_t kDesignDpi = 96;

// Design pixels at dpi, to the nearest pixel (halves away from zero, as MulDiv rounds).
constexpr int32_t PixelsAtDpi(int32_t designPixels, uint32_t dpi) {
  const int64_t product = static_cast<int64_t>(designPixels) * dpi;
  return static_cast<int32_t>((product + (product < 0 ? -1 : 1) * int64_t{kDesignDpi / 2}) / kDesignDpi);
}

// Pixels at dpi in design pixels, to the nearest one.
constexpr int32_t DesignPixels(int32_t pixels, uint32_t dpi) {
  if (dpi == 0) return pixels;
  const int64_t product = static_cast<int64_t>(pixels) * kDesignDpi;
  return static_cast<int32_t>((product + (product < 0 ? -1 : 1) * int64_t{dpi / 2}) / dpi);
}

}  // namespace tessel
