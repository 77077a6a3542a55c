#include "frontend/prompt_layout.h"

#include "common/comma_fields.h"

namespace tessel {

PromptLayout LayoutPrompt(std::string_view description, std::string_view answer) {
  PromptLayout layout;
  const int fields = FieldCount(description);
  // FieldAt gives the whole text for a field that does not exist: ask only for real ones.
  auto field = [&](int k) { return k <= fields ? FieldAt(description, k) : std::string(); };
  layout.caption = field(1);
  layout.prompt = field(2);
  if (fields >= 4) {
    // Fields beyond the fourth are never produced; they are ignored.
    layout.twoButtons = true;
    layout.leftButton = field(3);
    layout.rightButton = field(4);
  } else {
    layout.onlyButton = fields == 3 ? field(3) : "Ok";
  }

  if (answer == kNoAnswerField) return layout;
  const int choices = FieldCount(answer);
  layout.answerField = choices > 1 ? PromptAnswerField::DropDown : PromptAnswerField::Plain;
  layout.initialAnswer = choices >= 1 ? FieldAt(answer, 1) : std::string();
  for (int k = 1; k <= choices; ++k) layout.choices.push_back(FieldAt(answer, k));
  return layout;
}

}  // namespace tessel
