// Putting a command or key reference into replacement text: a blank and the text inside an
// open brace group, the text in braces outside one.
#pragma once
#include <string>
#include <string_view>

namespace tessel {

// Whether a caret after textBeforeCaret stands inside a brace group: "{" opens one unless
// the character before it is also "{" (a doubled brace is a literal brace and leaves no
// group open); "}" closes it.
bool CaretInBraceGroup(std::string_view textBeforeCaret);

// What to insert at the caret for reference: " " + reference inside a group, "{" +
// reference + "}" outside; nothing for an empty reference.
std::string BraceInsertion(std::string_view textBeforeCaret, std::string_view reference);

}  // namespace tessel
