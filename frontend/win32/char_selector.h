// The character selector: a grid of the characters 32 to 255 in the given font.
#pragma once
#include <windows.h>

#include <cstdint>

namespace tessel {

// Runs the selector (class "TGridform") over owner, sized from font and not scaled by the
// zoom. The clicked character's code; 0 when the window was closed without a choice.
uint8_t ChooseCharacter(HWND owner, HFONT font);

}  // namespace tessel
