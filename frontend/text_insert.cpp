#include "frontend/text_insert.h"

namespace tessel {

bool CaretInBraceGroup(std::string_view textBeforeCaret) {
  bool inGroup = false;
  for (size_t i = 0; i < textBeforeCaret.size(); ++i) {
    const char c = textBeforeCaret[i];
    if (c == '{')
      inGroup = !(i > 0 && textBeforeCaret[i - 1] == '{');
    else if (c == '}')
      inGroup = false;
  }
  return inGroup;
}

std::string BraceInsertion(std::string_view textBeforeCaret, std::string_view reference) {
  if (reference.empty()) return {};
  if (CaretInBraceGroup(textBeforeCaret)) return " " + std::string(reference);
  return "{" + std::string(reference) + "}";
}

}  // namespace tessel
