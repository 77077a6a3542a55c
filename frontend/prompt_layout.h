// What the prompt dialog shows, decided from its two texts: the description (caption,
// prompt and button captions separated by commas) and the answer text ("-" for no answer
// field, otherwise the initial answer followed by further choices, comma-separated).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

enum class PromptAnswerField { Hidden, Plain, DropDown };

struct PromptLayout {
  std::string caption;
  std::string prompt;      // may hold CR LF; "&" marks an accelerator
  bool twoButtons = false;
  std::string onlyButton;  // the single button (result 1) when !twoButtons
  std::string leftButton;  // result 1 when twoButtons
  std::string rightButton; // result 2 when twoButtons
  PromptAnswerField answerField = PromptAnswerField::Hidden;
  std::string initialAnswer;
  std::vector<std::string> choices;  // every field of the answer text, in order
};

constexpr std::string_view kNoAnswerField = "-";

PromptLayout LayoutPrompt(std::string_view description, std::string_view answer);

}  // namespace tessel
