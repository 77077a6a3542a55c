// The font dialog of the editor's Font command.
#pragma once
#include <windows.h>

#include <string>

namespace tessel {

// The standard font dialog preset with face and charSet (height -19, existing fonts only),
// captioned for the display font. True when the user confirmed; face and charSet then hold
// the choice.
bool ChooseDisplayFont(HWND owner, std::string& face, BYTE& charSet);

}  // namespace tessel
