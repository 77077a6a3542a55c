#include "frontend/startup.h"

namespace tessel {

StartDecision DecideStart(const StartState& state) {
  if (!state.guardHeld) return StartDecision::Refuse;
  if (state.front > 1) return state.frontIsLiveWindow ? StartDecision::Refuse : StartDecision::ClearStale;
  if (state.front == 1 || state.front == -1) return StartDecision::Unhide;
  return StartDecision::Continue;
}

std::optional<std::string> HostCommandLine(std::string_view commandLine) {
  constexpr std::string_view kFrontEnd = "TESSEL32.EXE";
  constexpr std::string_view kHost = "TESSHIDE32.EXE";
  std::string line(commandLine);
  for (char& c : line)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const size_t at = line.find(kFrontEnd);
  if (at == std::string::npos) return std::nullopt;
  return line.replace(at, kFrontEnd.size(), kHost);
}

}  // namespace tessel
