#include "prompt_dialog.h"

#include "form.h"
#include "frontend/prompt_layout.h"

#include <algorithm>

namespace tessel {
namespace {

// No control may have the ids IDOK and IDCANCEL: Enter and Escape send those and must
// not press anything.
enum ControlId { kLeftButton = 101, kRightButton, kOnlyButton, kAnswer, kSay };

constexpr int kAnswerHeight = 21;     // design pixels of the closed answer field
constexpr int kAnswerRowHeight = 13;  // of one row of the open list
constexpr int kDroppedRows = 8;

const ui::FormSpec kForm = {"", 203, 103, nullptr, 0};

struct Prompt {
  int zoom = 100;
  PromptLayout layout;
  int result = 0;
  std::string finalAnswer;
  // Created in tab order (left, right, only button, answer), the prompt last so that it
  // lies beneath the answer field, which overlaps its lower part. The answer field's style
  // and height depend on the answer text.
  ui::ControlSpec controls[5] = {
      {kLeftButton, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 8, 72, 75, 20, "1", nullptr},
      {kRightButton, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 120, 72, 75, 20, "2", nullptr},
      {kOnlyButton, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 64, 72, 75, 20, "1", nullptr},
      {kAnswer, "COMBOBOX", CBS_SIMPLE | CBS_AUTOHSCROLL | WS_TABSTOP, 8, 40, 185, kAnswerHeight, "",
       nullptr},
      // Clipped by its siblings: it must not paint over the answer field above it.
      {kSay, "STATIC", SS_CENTER | WS_CLIPSIBLINGS, 0, 8, 203, 49, "?", nullptr},
  };
  ui::Form form;
};

HWND Item(const Prompt& prompt, int id) { return prompt.form.Item(id); }

void Show(const Prompt& prompt, int id, bool shown) {
  ShowWindow(Item(prompt, id), shown ? SW_SHOWNA : SW_HIDE);
}

std::string AnswerText(const Prompt& prompt) {
  HWND answer = Item(prompt, kAnswer);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(answer)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(answer, text.data(), static_cast<int>(text.size()))));
  return text;
}

void OnInitDialog(HWND dialog, Prompt& prompt) {
  const PromptLayout& layout = prompt.layout;
  if (layout.answerField == PromptAnswerField::DropDown) {
    // A drop-down combo box is created as high as its open list.
    const int rows = std::min(static_cast<int>(layout.choices.size()), kDroppedRows);
    prompt.controls[3].style = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
    prompt.controls[3].height = kAnswerHeight + rows * kAnswerRowHeight + 2;
  }
  prompt.form.Build(dialog, kForm, prompt.controls, sizeof prompt.controls / sizeof prompt.controls[0],
                    prompt.zoom);
  prompt.form.CentreOnScreen();
  SetWindowTextA(dialog, layout.caption.c_str());
  SetWindowTextA(Item(prompt, kSay), layout.prompt.c_str());

  SetWindowTextA(Item(prompt, kLeftButton), layout.leftButton.c_str());
  SetWindowTextA(Item(prompt, kRightButton), layout.rightButton.c_str());
  SetWindowTextA(Item(prompt, kOnlyButton), layout.onlyButton.c_str());
  Show(prompt, kLeftButton, layout.twoButtons);
  Show(prompt, kRightButton, layout.twoButtons);
  Show(prompt, kOnlyButton, !layout.twoButtons);

  HWND answer = Item(prompt, kAnswer);
  if (layout.answerField == PromptAnswerField::Hidden) {
    Show(prompt, kAnswer, false);
  } else {
    for (const std::string& choice : layout.choices)
      SendMessageA(answer, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    if (layout.answerField == PromptAnswerField::DropDown) {
      SendMessageA(answer, CB_SETCURSEL, 0, 0);
    } else {
      // A simple combo box keeps a list below its edit field; the plain field shows none.
      COMBOBOXINFO parts = {};
      parts.cbSize = sizeof parts;
      if (GetComboBoxInfo(answer, &parts) && parts.hwndList) ShowWindow(parts.hwndList, SW_HIDE);
    }
    SetWindowTextA(answer, layout.initialAnswer.c_str());
  }
  // The first visible control in tab order: the left button of two, else the only one.
  // Given through the dialog manager, so that Enter presses the focused button (and only
  // that one) as it does after a Tab.
  SendMessageA(dialog, WM_NEXTDLGCTL,
               reinterpret_cast<WPARAM>(Item(prompt, layout.twoButtons ? kLeftButton : kOnlyButton)),
               TRUE);
}

void Finish(HWND dialog, Prompt& prompt, int result) {
  prompt.result = result;
  if (prompt.layout.answerField != PromptAnswerField::Hidden) prompt.finalAnswer = AnswerText(prompt);
  EndDialog(dialog, result);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    OnInitDialog(dialog, *reinterpret_cast<Prompt*>(lParam));
    return FALSE;  // the focus is set
  }
  Prompt* prompt = reinterpret_cast<Prompt*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (prompt == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
          case kLeftButton:
          case kOnlyButton:
            Finish(dialog, *prompt, 1);
            return TRUE;
          case kRightButton:
            Finish(dialog, *prompt, 2);
            return TRUE;
          case IDOK:      // Enter outside a button
          case IDCANCEL:  // Escape
            return TRUE;
        }
      }
      return FALSE;
    case WM_CLOSE:  // the close box
      Finish(dialog, *prompt, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int RunPrompt(HWND owner, int zoom, const std::string& description, std::string& answer) {
  Prompt prompt;
  prompt.zoom = zoom;
  prompt.layout = LayoutPrompt(description, answer);
  ui::RunModalDialog(owner, "TAsk", DialogProcedure, reinterpret_cast<LPARAM>(&prompt));
  if (prompt.layout.answerField != PromptAnswerField::Hidden) answer = prompt.finalAnswer;
  return prompt.result;
}

}  // namespace tessel
