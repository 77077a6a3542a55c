// Test double of the hook library and of the window system's steps of the front end's
// sequences. Every call goes to one log, "|"-separated in call order:
//   Install(100) Uninstall GetFront SetFront(1) SelectMap(3) GetSelected GetLoaded
//   MapByIndex(2) IndexByMap(Greek) LastErrorText
//   RunMapEditor(Greek) RunOptionsDialog StartHiddenHost ShowError(text) Inform(Unhiding..., 1000)
//   WaitFor(5000)
// Queries answer from plain fields that a test sets up.
#pragma once
#include "frontend/hook_handover.h"

#include <deque>
#include <string>
#include <vector>

namespace tessel::testing {

class RecordingHookLibrary : public HookLibrary, public FrontEndSteps {
 public:
  // --- what the tests set up ---
  std::vector<std::string> maps = {"<off>"};  // index -> name
  int32_t selected = 0;
  std::deque<int32_t> fronts;                 // GetFront answers, the last one repeated
  std::string installError;                   // LastErrorText after an Install
  std::string editorLeaves;                   // edited map when the editor closes ("": unchanged)
  bool windowSurvivesDialogs = true;
  bool hostStarts = true;

  // --- what the tests inspect ---
  std::string Log() const { return log_; }

  void Install(int32_t front, const std::string&) override {
    Record("Install(" + std::to_string(front) + ")");
    lastError_ = installError;
  }
  void Uninstall() override {
    Record("Uninstall");
    lastError_.clear();
  }
  int32_t GetFront() override {
    Record("GetFront");
    const int32_t front = fronts.empty() ? 0 : fronts.front();
    if (fronts.size() > 1) fronts.pop_front();
    return front;
  }
  void SetFront(int32_t value) override { Record("SetFront(" + std::to_string(value) + ")"); }
  void SelectMap(int32_t index) override {
    Record("SelectMap(" + std::to_string(index) + ")");
    selected = index;
  }
  int32_t GetSelected() override {
    Record("GetSelected");
    return selected;
  }
  int32_t GetLoaded() override {
    Record("GetLoaded");
    return static_cast<int32_t>(maps.size()) - 1;
  }
  std::string MapByIndex(int32_t index) override {
    Record("MapByIndex(" + std::to_string(index) + ")");
    return index > 0 && index < static_cast<int32_t>(maps.size()) ? maps[index] : maps[0];
  }
  int32_t IndexByMap(const std::string& name) override {
    Record("IndexByMap(" + name + ")");
    for (size_t i = maps.size(); i-- > 1;)
      if (maps[i] == name) return static_cast<int32_t>(i);
    return 0;
  }
  std::string LastErrorText() override {
    Record("LastErrorText");
    return lastError_;
  }

  bool RunMapEditor(std::string& edited) override {
    Record("RunMapEditor(" + edited + ")");
    if (!editorLeaves.empty()) edited = editorLeaves;
    return windowSurvivesDialogs;
  }
  bool RunOptionsDialog() override {
    Record("RunOptionsDialog");
    return windowSurvivesDialogs;
  }
  bool StartHiddenHost() override {
    Record("StartHiddenHost");
    return hostStarts;
  }
  void ShowError(const std::string& text) override { Record("ShowError(" + text + ")"); }
  void Inform(const std::string& text, int32_t duration) override {
    Record("Inform(" + text + ", " + std::to_string(duration) + ")");
  }
  // Asks done() at most three times, as if time passed between the looks.
  bool WaitFor(const std::function<bool()>& done, uint32_t milliseconds) override {
    Record("WaitFor(" + std::to_string(milliseconds) + ")");
    for (int look = 0; look < 3; ++look)
      if (done()) return true;
    return false;
  }

 private:
  void Record(const std::string& call) { log_ += (log_.empty() ? "" : " | ") + call; }
  std::string log_;
  std::string lastError_;
};

}  // namespace tessel::testing
