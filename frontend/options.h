// The options the user edits in the options dialog: what the dialog's fields turn into,
// the order in which they are stored, and the zoom of the dialogs.
#pragma once
#include "common/profile.h"

#include <cstdint>
#include <string>

namespace tessel {

constexpr int32_t kDefaultDuration = 300;
constexpr uint16_t kDefaultZoom = 100;

// The zoom read at start: stored values outside 100..1000 give 100.
uint16_t ZoomAtStart(int32_t stored);
// The "Duration" field as stored: 0..3000, else 300.
int32_t DurationFromField(const std::string& text);
// The "Zoom" field as stored: 90..1000, else 100. The whole number is checked, so a
// value whose low 16 bits happen to be in range is refused too.
uint16_t ZoomFromField(const std::string& text);

// The dialog's fields when it is closed with "Set".
struct OptionsFields {
  bool beep = true;
  std::string duration;
  std::string offTitle;
  bool onTop = true;
  std::string zoom;
};

// What the options change outside the file. StoreOptions updates it step by step, so
// that after a failed write it holds what had been applied before.
struct AppliedOptions {
  uint16_t zoom = kDefaultZoom;
  std::string offTitle;
  bool onTop = true;
  bool onTopChanged = false;  // OnTop has been written and is to be applied
};

// Writes DoBeep, MessageShowTime, Zoom (deleting EditorTop and EditorLeft when the zoom
// changes), TitleWhenOff and OnTop of [TESSEL32], in that order. applied.zoom holds the
// zoom in force when the dialog opened. A failing write throws ProfileWriteError; the
// writes after it are not made.
void StoreOptions(Profile& settings, const OptionsFields& fields, AppliedOptions& applied);

}  // namespace tessel
