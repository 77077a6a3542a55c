#include "prompt_dialog.h"

#include "form.h"
#include "frontend/prompt_layout.h"

#include <algorithm>

namespace tessel {
namespace {

// No control may have the ids IDOK and IDCANCEL: Enter and Escape send those and must
// not press anything.
enum ControlId {
  kLeftButton = 101,  // first of two buttons ("<-Back"): result 1
  kRightButton,       // second of two ("Ok", "Yes"): result 2
  kOnlyButton,        // a single button: result 1
  kAnswer,            // the answer field
  kSay,               // the prompt
};

constexpr int kAnswerHeight = 21;     // design pixels of the closed answer field
constexpr int kAnswerRowHeight = 13;  // of one row of the open list
constexpr int kDroppedRows = 8;

const ui::FormSpec kForm = {"", 203, 103, nullptr, 0};

class PromptDialog : public ui::Window {
 public:
  PromptDialog(int zoom, PromptLayout layout) : zoom_(zoom), layout_(std::move(layout)) {}

  // 0 for the close box, 1 or 2 for the buttons; the answer field's last text in answer.
  int Run(HWND owner, std::string& answer) {
    RunModal(owner, "TAsk");
    if (layout_.answerField != PromptAnswerField::Hidden) answer = finalAnswer_;
    return result_;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      TESSEL_DIALOG_MESSAGE(WM_INITDIALOG, OnInitDialog);
      TESSEL_DIALOG_MESSAGE(WM_COMMAND, OnCommand);
      TESSEL_DIALOG_MESSAGE(WM_CLOSE, OnClose);
      default:
        return FALSE;
    }
  }

 private:
  HWND Item(int id) const { return form_.Item(id); }
  void Show(int id, bool shown) const { ShowWindow(Item(id), shown ? SW_SHOWNA : SW_HIDE); }

  BOOL OnInitDialog(HWND, LPARAM) {
    if (layout_.answerField == PromptAnswerField::DropDown) {
      // A drop-down combo box is created as high as its open list.
      const int rows = std::min(static_cast<int>(layout_.choices.size()), kDroppedRows);
      controls_[3].style = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      controls_[3].height = kAnswerHeight + rows * kAnswerRowHeight + 2;
    }
    form_.Build(Handle(), kForm, controls_, zoom_);
    form_.CentreOnScreen();
    ui::SetText(Handle(), layout_.caption);
    ui::SetText(Item(kSay), layout_.prompt);

    ui::SetText(Item(kLeftButton), layout_.leftButton);
    ui::SetText(Item(kRightButton), layout_.rightButton);
    ui::SetText(Item(kOnlyButton), layout_.onlyButton);
    Show(kLeftButton, layout_.twoButtons);
    Show(kRightButton, layout_.twoButtons);
    Show(kOnlyButton, !layout_.twoButtons);

    HWND answer = Item(kAnswer);
    if (layout_.answerField == PromptAnswerField::Hidden) {
      Show(kAnswer, false);
    } else {
      for (const std::string& choice : layout_.choices) ui::AddComboItem(answer, choice);
      if (layout_.answerField == PromptAnswerField::DropDown) {
        SendMessageA(answer, CB_SETCURSEL, 0, 0);
      } else {
        // A simple combo box keeps a list below its edit field; the plain field shows none.
        COMBOBOXINFO parts = {};
        parts.cbSize = sizeof parts;
        if (GetComboBoxInfo(answer, &parts) && parts.hwndList) ShowWindow(parts.hwndList, SW_HIDE);
      }
      ui::SetText(answer, layout_.initialAnswer);
    }
    // The first visible control in tab order: the left button of two, else the only one.
    // Given through the dialog manager, so that Enter presses the focused button (and only
    // that one) as it does after a Tab.
    SendMessageA(Handle(), WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(Item(layout_.twoButtons ? kLeftButton : kOnlyButton)), TRUE);
    return FALSE;  // the focus is set
  }

  // Enter outside a button (IDOK) and Escape (IDCANCEL) press nothing.
  void OnCommand(int id, HWND, UINT code) {
    if (code != BN_CLICKED) return;
    if (id == kLeftButton || id == kOnlyButton) Finish(1);
    if (id == kRightButton) Finish(2);
  }

  void OnClose() { Finish(0); }

  void Finish(int result) {
    result_ = result;
    if (layout_.answerField != PromptAnswerField::Hidden) finalAnswer_ = ui::Text(Item(kAnswer));
    EndDialog(Handle(), result);
  }

  int zoom_;
  PromptLayout layout_;
  int result_ = 0;
  std::string finalAnswer_;
  // Created in tab order (left, right, only button, answer), the prompt last so that it
  // lies beneath the answer field, which overlaps its lower part. The answer field's style
  // and height depend on the answer text.
  ui::ControlSpec controls_[5] = {
      {kLeftButton, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 8, 72, 75, 20, "1", nullptr},
      {kRightButton, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 120, 72, 75, 20, "2", nullptr},
      {kOnlyButton, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 64, 72, 75, 20, "1", nullptr},
      {kAnswer, "COMBOBOX", CBS_SIMPLE | CBS_AUTOHSCROLL | WS_TABSTOP, 8, 40, 185, kAnswerHeight, "",
       nullptr},
      // Clipped by its siblings: it must not paint over the answer field above it.
      {kSay, "STATIC", SS_CENTER | WS_CLIPSIBLINGS, 0, 8, 203, 49, "?", nullptr},
  };
  ui::Form form_;
};

}  // namespace

int RunPrompt(HWND owner, int zoom, const std::string& description, std::string& answer) {
  return PromptDialog(zoom, LayoutPrompt(description, answer)).Run(owner, answer);
}

}  // namespace tessel
