#include "frontend/options.h"

#include "common/value_codec.h"

namespace tessel {
namespace {

constexpr const char* kSection = "TESSEL32";

bool FieldInRange(const std::string& text, int32_t low, int32_t high, int32_t& value) {
  return ParseSignedNumber(text, value) && value >= low && value <= high;
}

}  // namespace

uint16_t ZoomAtStart(int32_t stored) {
  return stored >= 100 && stored <= 1000 ? static_cast<uint16_t>(stored) : kDefaultZoom;
}

int32_t DurationFromField(const std::string& text) {
  int32_t value = 0;
  return FieldInRange(text, 0, 3000, value) ? value : kDefaultDuration;
}

uint16_t ZoomFromField(const std::string& text) {
  int32_t value = 0;
  return FieldInRange(text, 90, 1000, value) ? static_cast<uint16_t>(value) : kDefaultZoom;
}

void StoreOptions(Profile& settings, const OptionsFields& fields, AppliedOptions& applied) {
  settings.WriteBool(kSection, "DoBeep", fields.beep);
  settings.WriteInteger(kSection, "MessageShowTime", DurationFromField(fields.duration));
  const uint16_t openedWith = applied.zoom;
  applied.zoom = ZoomFromField(fields.zoom);
  settings.WriteInteger(kSection, "Zoom", applied.zoom);
  if (applied.zoom != openedWith) {
    // The map editor's stored place was measured at the old size.
    settings.DeleteKey(kSection, "EditorTop");
    settings.DeleteKey(kSection, "EditorLeft");
  }
  applied.offTitle = fields.offTitle;
  // Stored as typed: blanks and quotes around it come back.
  settings.WriteString(kSection, "TitleWhenOff", ProfileValueFor(fields.offTitle));
  settings.WriteBool(kSection, "OnTop", fields.onTop);
  applied.onTop = fields.onTop;
  applied.onTopChanged = true;
}

}  // namespace tessel
