// The timed information window: a captionless window centred on the screen that shows a
// text for a number of milliseconds and blocks the caller meanwhile.
#pragma once
#include <windows.h>

#include <cstdint>

namespace tessel {

// text is UTF-8; duration 0 shows nothing; negative beeps first and uses the absolute
// value. module holds the "INFORMDLG" dialog resource.
void ShowInformation(HINSTANCE module, const char* text, int32_t duration);

}  // namespace tessel
