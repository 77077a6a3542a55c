#include "frontend/prompt_layout.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(PromptLayout, ButtonsAndAnswerField) {
  using F = PromptAnswerField;
  struct Case {
    const char* description;
    const char* answer;
    const char* caption;
    const char* prompt;
    // "only" or "left|right"
    const char* buttons;
    F field;
    const char* initial;
    std::vector<std::string> choices;
  };
  const Case cases[] = {
      {"Tessel+,Specify a name for the new map,<-Back,Ok", "", "Tessel+",
       "Specify a name for the new map", "<-Back|Ok", F::Plain, "", {}},
      {"Tessel+ : Question,do you really want to\r\npermanently remove map\r\nA & B ?,<-Back,Yes", "-",
       "Tessel+ : Question", "do you really want to\r\npermanently remove map\r\nA & B ?", "<-Back|Yes",
       F::Hidden, "", {}},
      {"T,Pick one,<-Back,Ok", "alpha,beta,gamma", "T", "Pick one", "<-Back|Ok", F::DropDown, "alpha",
       {"alpha", "beta", "gamma"}},
      {"T,Name,<-Back,Ok", "Greek", "T", "Name", "<-Back|Ok", F::Plain, "Greek", {"Greek"}},
      {"T,Name,<-Back,Ok", ",second", "T", "Name", "<-Back|Ok", F::DropDown, "", {"", "second"}},
      {"Info,Done", "-", "Info", "Done", "Ok", F::Hidden, "", {}},
      {"Info,Done,Close", "-", "Info", "Done", "Close", F::Hidden, "", {}},
      // A comma in the prompt cuts it; the rest moves into the buttons.
      {"T,one, two,<-Back,Ok", "-", "T", "one", " two|<-Back", F::Hidden, "", {}},
      // Shapes that callers never build still give a usable dialog.
      {"Only", "-", "Only", "", "Ok", F::Hidden, "", {}},
      {"", "-", "", "", "Ok", F::Hidden, "", {}},
      {"a,b,c,d,e", "-", "a", "b", "c|d", F::Hidden, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.description) + " / " + c.answer);
    const PromptLayout layout = LayoutPrompt(c.description, c.answer);
    EXPECT_EQ(layout.caption, c.caption);
    EXPECT_EQ(layout.prompt, c.prompt);
    EXPECT_EQ(layout.twoButtons ? layout.leftButton + "|" + layout.rightButton : layout.onlyButton,
              c.buttons);
    EXPECT_EQ(layout.answerField, c.field);
    EXPECT_EQ(layout.initialAnswer, c.initial);
    EXPECT_EQ(layout.choices, c.choices);
  }
}

}  // namespace
}  // namespace tessel
