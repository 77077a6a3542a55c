// The map editor window's sizes (design pixels, scaled by the zoom) and where it opens.
#pragma once

namespace tessel {

constexpr int kEditorClientWidth = 441;
constexpr int kEditorSmallHeight = 212;
constexpr int kEditorLargeHeight = 328;
constexpr int kEditorInfoHeight = 20;
constexpr int kEditorDefaultTop = -20;
constexpr int kEditorDefaultLeft = 130;  // the designed left position

// The stored place is used unless the window would start (nearly) off the screen; the
// default top always centres the first opening.
bool EditorOpensCentred(int top, int left, int windowWidth, int screenWidth, int screenHeight);

}  // namespace tessel
