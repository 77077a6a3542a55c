// The front end's hand-overs of the hook as golden call lists. To add a case: write the
// action, run the test, check the printed log against what the front end must do, paste it.
#include "common/memory_profile.h"
#include "frontend/hook_handover.h"
#include "unit/recording_hook_library.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tessel {
namespace {

using testing::RecordingHookLibrary;

constexpr int32_t kWindow = 100;
constexpr int32_t kEditor = 200;

struct Sequence {
  const char* name;
  std::function<void(RecordingHookLibrary&)> setUp;
  std::function<std::string(const HookHolder&, Profile&)> run;  // the error it reports
  const char* calls;
  const char* error;
  const char* fileAfter;  // the settings file afterwards
};

TEST(HookHandOver, GoldenCallLists) {
  const auto none = [](RecordingHookLibrary&) {};
  const auto greekSelected = [](RecordingHookLibrary& r) {
    r.maps = {"<off>", "Greek", "Cyrillic"};
    r.selected = 1;
  };
  const Sequence sequences[] = {
      {"Edit Maps: off while editing, on with the map last edited", [&](RecordingHookLibrary& r) {
         greekSelected(r);
         r.editorLeaves = "Cyrillic";
       },
       [](const HookHolder& h, Profile&) { return EditMaps(h, kWindow); },
       "GetSelected | MapByIndex(1) | Uninstall | RunMapEditor(Greek) | Install(100) | "
       "LastErrorText | IndexByMap(Cyrillic) | SelectMap(2)",
       "", ""},
      {"Edit Maps: the window closed meanwhile, its closing gave the hook back",
       [&](RecordingHookLibrary& r) {
         greekSelected(r);
         r.windowSurvivesDialogs = false;
       },
       [](const HookHolder& h, Profile&) { return EditMaps(h, kWindow); },
       "GetSelected | MapByIndex(1) | Uninstall | RunMapEditor(Greek)", "", ""},
      {"Edit Maps: a failed Install is reported", [&](RecordingHookLibrary& r) {
         greekSelected(r);
         r.installError = "Unable to write to X.INI";
       },
       [](const HookHolder& h, Profile&) { return EditMaps(h, kWindow); },
       "GetSelected | MapByIndex(1) | Uninstall | RunMapEditor(Greek) | Install(100) | "
       "LastErrorText | IndexByMap(Greek) | SelectMap(1)",
       "Unable to write to X.INI", ""},
      {"Editor hand-over: another application active, then the front end again, then Close",
       greekSelected,
       [](const HookHolder& h, Profile&) {
         bool holds = false;
         std::string error = OnEditorActivation(h, false, kEditor, "Greek", holds);
         if (!holds) return std::string("not held");
         OnEditorActivation(h, true, kEditor, "Greek", holds);
         OnEditorActivation(h, false, kEditor, "Greek", holds);
         OnEditorClose(h, holds);
         OnEditorClose(h, holds);  // a second close gives nothing back
         return error;
       },
       "Install(200) | LastErrorText | IndexByMap(Greek) | SelectMap(1) | Uninstall | "
       "Install(200) | LastErrorText | IndexByMap(Greek) | SelectMap(1) | Uninstall",
       "", ""},
      {"Options: off while the dialog runs", none,
       [](const HookHolder& h, Profile&) { return RunOptions(h, kWindow); },
       "Uninstall | RunOptionsDialog | Install(100) | LastErrorText", "", ""},
      {"Options: the window closed meanwhile", [](RecordingHookLibrary& r) { r.windowSurvivesDialogs = false; },
       [](const HookHolder& h, Profile&) { return RunOptions(h, kWindow); },
       "Uninstall | RunOptionsDialog", "", ""},
      {"Close: bounds saved, then the hook given back", none,
       [](const HookHolder& h, Profile& settings) {
         return CloseFrontEnd(h, settings, {10, 20, 125, 28});
       },
       "Uninstall | LastErrorText", "",
       "[TESSEL32]\r\nWidth=125\r\nHeight=28\r\nTop=20\r\nLeft=10\r\n"},
      {"Hide: ShowWindow 0, the host, then Close", none,
       [](const HookHolder& h, Profile& settings) {
         std::string closingError;
         if (!HideFrontEnd(h, settings, {10, 20, 125, 28}, closingError)) return std::string("stays");
         return closingError;
       },
       "StartHiddenHost | Uninstall | LastErrorText", "",
       "[TESSEL32]\r\nShowWindow=0\r\nWidth=125\r\nHeight=28\r\nTop=20\r\nLeft=10\r\n"},
      {"Hide: a host that does not start leaves the window and the hook", [](RecordingHookLibrary& r) { r.hostStarts = false; },
       [](const HookHolder& h, Profile& settings) {
         std::string closingError;
         return std::string(HideFrontEnd(h, settings, {}, closingError) ? "hidden" : "stays");
       },
       "StartHiddenHost", "stays", "[TESSEL32]\r\nShowWindow=0\r\n"},
      {"Unhide: the host lets go", [](RecordingHookLibrary& r) { r.fronts = {1, 0}; },
       [](const HookHolder& h, Profile& settings) {
         Unhide(h, settings);
         return std::string();
       },
       "SetFront(1) | Inform(Unhiding..., 1000) | WaitFor(5000) | GetFront | GetFront", "",
       "[TESSEL32]\r\nShowWindow=1\r\n"},
      {"Unhide: a host that never answers is cleared", [](RecordingHookLibrary& r) { r.fronts = {-1}; },
       [](const HookHolder& h, Profile& settings) {
         Unhide(h, settings);
         return std::string();
       },
       "SetFront(1) | Inform(Unhiding..., 1000) | WaitFor(5000) | GetFront | GetFront | GetFront | "
       "Uninstall",
       "", "[TESSEL32]\r\nShowWindow=1\r\n"},
  };
  for (const Sequence& s : sequences) {
    SCOPED_TRACE(s.name);
    RecordingHookLibrary recorder;
    s.setUp(recorder);
    MemoryProfile settings("X.INI");
    const std::string error = s.run({recorder, recorder, "X.INI"}, settings);
    EXPECT_EQ(recorder.Log(), s.calls);
    EXPECT_EQ(error, s.error);
    EXPECT_EQ(settings.Text(), s.fileAfter);
  }
}

TEST(HookHandOver, FailedWritesAreReportedAndTheHookStillChangesHands) {
  RecordingHookLibrary recorder;
  MemoryProfile settings("X.INI");
  settings.SetWritesFail(true);
  const HookHolder holder{recorder, recorder, "X.INI"};
  EXPECT_EQ(CloseFrontEnd(holder, settings, {}), "Unable to write to X.INI");
  // Hide and Unhide show the failure at once and go on.
  std::string closingError;
  EXPECT_TRUE(HideFrontEnd(holder, settings, {}, closingError));
  EXPECT_EQ(closingError, "Unable to write to X.INI");
  Unhide(holder, settings);
  EXPECT_EQ(recorder.Log(),
            "Uninstall | LastErrorText | ShowError(Unable to write to X.INI) | StartHiddenHost | "
            "Uninstall | LastErrorText | SetFront(1) | ShowError(Unable to write to X.INI) | "
            "Inform(Unhiding..., 1000) | WaitFor(5000) | GetFront");
}

}  // namespace
}  // namespace tessel
