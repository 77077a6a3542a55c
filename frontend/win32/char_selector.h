// The character selector (class "TGridform"): a grid of the characters 32 to 255 of the ANSI
// code page, and of the Unicode blocks the font has glyphs for, chosen in its Block menu
// (or with Page Up and Page Down).
#pragma once
#include <windows.h>

namespace tessel {

// Runs the selector over owner, sized from font and not scaled by the zoom. The clicked
// character; 0 when the window was closed without a choice.
char32_t ChooseCharacter(HWND owner, HFONT font);

}  // namespace tessel
