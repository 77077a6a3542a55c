#include "frontend/button_geometry.h"

namespace tessel {
namespace {

// Windows parks minimised windows at -32000; a place stored then is no place to open at.
constexpr int32_t kMinimisedPosition = -32000;

}  // namespace

StoredBounds RestoreButtonBounds(const StoredBounds& stored, int32_t screenWidth,
                                 int32_t screenHeight, uint32_t dpi) {
  StoredBounds bounds = stored;
  if (bounds.width < 1 || bounds.width > DesignPixels(screenWidth, dpi) * 4LL) bounds.width = kDesignBounds.width;
  if (bounds.height < 1 || bounds.height > DesignPixels(screenHeight, dpi) * 4LL)
    bounds.height = kDesignBounds.height;
  bounds.width = PixelsAtDpi(bounds.width, dpi);
  bounds.height = PixelsAtDpi(bounds.height, dpi);
  if (bounds.left <= kMinimisedPosition || bounds.top <= kMinimisedPosition) {
    bounds.left = kDesignBounds.left;
    bounds.top = kDesignBounds.top;
  }
  const int64_t top = bounds.top, left = bounds.left;
  const bool offScreen = top + bounds.height < 0 || top > screenHeight ||
                         left + bounds.width < 0 || left > screenWidth;
  if (offScreen) {
    bounds.left = static_cast<int32_t>((static_cast<int64_t>(screenWidth) - bounds.width) / 2);
    bounds.top = static_cast<int32_t>((static_cast<int64_t>(screenHeight) - bounds.height) / 2);
  }
  return bounds;
}

StoredBounds BoundsToStore(const StoredBounds& shown, uint32_t dpi) {
  return {shown.left, shown.top, DesignPixels(shown.width, dpi), DesignPixels(shown.height, dpi)};
}

}  // namespace tessel
