// The front end's one question box (class "TAsk"): a caption, a prompt, one or two buttons
// and an optional answer field, all described by two comma-separated texts.
#pragma once
#include <windows.h>

#include <string>

namespace tessel {

// description: caption, prompt, and one or two button captions ("Ok" when none).
// answer: "-" for no answer field; otherwise the initial answer, then further choices, which
// make the field a drop-down. Returns 0 for the close box, 1 for the only or the left
// button, 2 for the right one; with an answer field, answer is replaced by its final text
// whatever the result.
int RunPrompt(HWND owner, int zoom, const std::string& description, std::string& answer);

}  // namespace tessel
