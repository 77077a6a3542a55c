// The macro commands of replacement text (Run, Wait, Focus) and the window finder that
// Focus uses. Messages are passed on as plain text, never as a format.
#include "common/comma_fields.h"
#include "common/text_encoding.h"
#include "hooklib/player.h"

namespace tessel {
namespace {

constexpr int32_t kTitleShowTime = 1000;
constexpr size_t kMaxWindowText = 253;  // characters of GetWindowText with a maximum count of 254
constexpr uint32_t kProgramStarted = 32;  // WinExec results below this are failures

std::string Quoted(const char* prefix, const std::string& argument) {
  std::string text(prefix);
  text += '"';
  text += argument;
  text += '"';
  return text;
}

// The first window of the list that is visible, has a text and holds field in it.
WindowHandle MatchWindow(PlayerPlatform& platform, const std::vector<WindowHandle>& windows,
                         const std::string& field) {
  const bool listTitles = !field.empty() && field[0] == '?';
  for (const WindowHandle window : windows) {
    if (!platform.Visible(window)) continue;
    std::string text = platform.WindowText(window);
    text = std::string(Utf8Prefix(text, kMaxWindowText));
    if (text.empty()) continue;
    if (listTitles) platform.ShowInformation(text, kTitleShowTime);
    if (!field.empty() && text.find(field) != std::string::npos) return window;
  }
  return 0;
}

}  // namespace

WindowHandle FindWindowBySpec(PlayerPlatform& platform, const std::string& spec) {
  const int n = FieldCount(spec);
  WindowHandle window = MatchWindow(platform, platform.TopLevelWindows(), FieldAt(spec, 1));
  for (int k = 2; k <= n && window != 0; ++k)
    window = MatchWindow(platform, platform.ChildWindows(window), FieldAt(spec, k));
  return window;
}

bool FocusWindowBySpec(PlayerPlatform& platform, const std::string& spec) {
  if (spec.empty()) return false;
  const WindowHandle topLevel = FindWindowBySpec(platform, FieldAt(spec, 1));
  if (topLevel == 0) return false;
  if (platform.Minimised(topLevel)) platform.Restore(topLevel);
  const WindowHandle window = FindWindowBySpec(platform, spec);
  if (window == 0) return false;
  platform.BringToForeground(window);
  platform.GiveFocus(window);
  return true;
}

std::string ReplacementPlayer::CommandArgument() const {
  if (store_ == nullptr || index_ >= records_.size()) return {};
  // The entry text stops at 0 or the entry mark and never passes the store's limit.
  const store::Bytes text = store_->EntryTextAt(records_[index_].position);
  const uint8_t* end = text.begin;
  while (end != nullptr && end < text.end && *end != '}') ++end;
  if (text.begin == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text.begin), static_cast<size_t>(end - text.begin));
}

void ReplacementPlayer::StepRun() {
  const std::string argument = CommandArgument();
  if (platform_.StartProgram(argument) < kProgramStarted) {
    Inform(Quoted("Could not start program: ", argument));
    Reset();
  }
  yield_ = true;
  Advance();
}

void ReplacementPlayer::StepWait() {
  const uint32_t now = platform_.TickCount();
  if (!waiting_) {
    const std::string argument = CommandArgument();
    const int32_t n = IntOrZero(argument);
    if (n > 0) {
      waiting_ = true;
      waitStart_ = now;
      waitLength_ = static_cast<uint32_t>(n);
      deadline_ = now + waitLength_;
    } else {
      Inform(Quoted("Invalid time value for Wait: ", argument));
      Advance();
    }
  } else if (now - waitStart_ >= waitLength_) {
    // Elapsed time as an unsigned difference: right across the wrap of the tick count.
    waiting_ = false;
    deadline_ = 0;
    Advance();
  }
  if (waiting_) yield_ = true;
}

void ReplacementPlayer::StepFocus() {
  const std::string argument = CommandArgument();
  if (!FocusWindowBySpec(platform_, argument)) {
    Reset();
    Inform(Quoted("Cannot find window with: ", argument));
  }
  Advance();
  yield_ = true;
}

}  // namespace tessel
