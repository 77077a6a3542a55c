#include "common/memory_profile.h"
#include "frontend/options.h"
#include "frontend/startup.h"
#include "unit/writes_run_out_profile.h"

#include <gtest/gtest.h>

#include <string>

namespace tessel {
namespace {

TEST(DecideStart, FromGuardAndFrontValue) {
  struct Case {
    StartState state;
    StartDecision expected;
  };
  const Case cases[] = {
      {{true, 0, false}, StartDecision::Continue},
      {{true, -7, false}, StartDecision::Continue},      // no holder the front end knows
      {{true, -1, false}, StartDecision::Unhide},        // the host holds the hook
      {{true, 1, false}, StartDecision::Unhide},         // a take-over whose front end died
      {{true, 0x1234, true}, StartDecision::Refuse},     // a live front-end window
      {{true, 0x1234, false}, StartDecision::ClearStale},  // window of a front end that died
      {{false, 0, false}, StartDecision::Refuse},        // options dialog open, or a twin start
      {{false, -1, false}, StartDecision::Refuse},       // a front end is still hiding
      {{false, 0x1234, false}, StartDecision::Refuse},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideStart(c.state), c.expected)
        << c.state.guardHeld << " " << c.state.front << " " << c.state.frontIsLiveWindow;
  }
  EXPECT_TRUE(HostHasLetGo(0));
  EXPECT_TRUE(HostHasLetGo(-2));
  EXPECT_FALSE(HostHasLetGo(-1));
  EXPECT_FALSE(HostHasLetGo(1));
}

TEST(HostCommandLine, ReplacesTheProgramName) {
  struct Case {
    const char* line;
    const char* expected;  // nullptr: the host cannot be started
  };
  const Case cases[] = {
      {"TESSEL32.EXE /I:C:\\TESSEL\\X.INI /M:GREEK", "TESSHIDE32.EXE /I:C:\\TESSEL\\X.INI /M:GREEK"},
      {"\"c:\\program files\\tessel32.exe\" /m:cyr", "\"C:\\PROGRAM FILES\\TESSHIDE32.EXE\" /M:CYR"},
      {"C:\\T\\TESSEL32.EXE", "C:\\T\\TESSHIDE32.EXE"},
      {"tessel32.exe /i:tessel32.exe.ini", "TESSHIDE32.EXE /I:TESSEL32.EXE.INI"},  // first only
      {"C:\\T\\TESSEL.EXE /M:X", nullptr},  // started under another name
      {"C:\\T\\TESSEL32 /M:X", nullptr},    // without ".EXE"
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const auto line = HostCommandLine(c.line);
    if (c.expected) {
      ASSERT_TRUE(line.has_value()) << c.line;
      EXPECT_EQ(*line, c.expected);
    } else {
      EXPECT_FALSE(line.has_value()) << c.line;
    }
  }
  // Nothing is cut, however long the line.
  const std::string longLine = "TESSEL32.EXE /I:" + std::string(400, 'A');
  EXPECT_EQ(HostCommandLine(longLine)->size(), longLine.size() + 2);
}

TEST(OptionFields, FallBacks) {
  struct Case {
    const char* text;
    int32_t duration;
    uint16_t zoom;
  };
  const Case cases[] = {
      {"0", 0, 100},        {"3000", 3000, 100},   {"3001", 300, 100},   {"-1", 300, 100},
      {"", 300, 100},       {"abc", 300, 100},     {"90", 90, 90},       {"1000", 1000, 1000},
      {"89", 89, 100},      {"1001", 1001, 100},   {"  200", 200, 200},  {"200 ", 300, 100},
      {"+150", 150, 150},   {"$C8", 200, 200},     {"65626", 300, 100},  // low 16 bits are 90
      {"99999999999", 300, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DurationFromField(c.text), c.duration) << c.text;
    EXPECT_EQ(ZoomFromField(c.text), c.zoom) << c.text;
  }
  for (int32_t stored : {100, 150, 1000}) EXPECT_EQ(ZoomAtStart(stored), stored);
  for (int32_t stored : {0, 89, 90, 99, 1001, 65636, -100}) EXPECT_EQ(ZoomAtStart(stored), 100) << stored;
}

TEST(StoreOptions, WritesInOrderAndDeletesEditorPlaceOnZoomChange) {
  const std::string before =
      "[TESSEL32]\r\nEditorTop=5\r\nEditorLeft=6\r\nSelected=1\r\n[MAPS]\r\nA=\r\n";
  struct Case {
    OptionsFields fields;
    uint16_t openedZoom;
    std::string expectedSection;  // [TESSEL32] after Set
    uint16_t zoom;
  };
  const Case cases[] = {
      {{true, "abc", "Off", false, "89"}, 100,
       "EditorTop=5\r\nEditorLeft=6\r\nSelected=1\r\nDoBeep=1\r\nMessageShowTime=300\r\n"
       "Zoom=100\r\nTitleWhenOff=Off\r\nOnTop=0\r\n",
       100},
      {{false, "0", "", true, "200"}, 100,
       "Selected=1\r\nDoBeep=0\r\nMessageShowTime=0\r\nZoom=200\r\nTitleWhenOff=\r\nOnTop=1\r\n",
       200},
      {{true, "3000", "T & J", true, "89"}, 150,  // a fall-back that changes the zoom
       "Selected=1\r\nDoBeep=1\r\nMessageShowTime=3000\r\nZoom=100\r\nTitleWhenOff=T & J\r\n"
       "OnTop=1\r\n",
       100},
      // Written so that a read gives back blanks and quotes around the title.
      {{true, "300", " Off ", true, "100"}, 100,
       "EditorTop=5\r\nEditorLeft=6\r\nSelected=1\r\nDoBeep=1\r\nMessageShowTime=300\r\nZoom=100\r\n"
       "TitleWhenOff=\" Off \"\r\n"
       "OnTop=1\r\n",
       100},
      {{true, "300", "'q'", true, "100"}, 100,
       "EditorTop=5\r\nEditorLeft=6\r\nSelected=1\r\nDoBeep=1\r\nMessageShowTime=300\r\nZoom=100\r\n"
       "TitleWhenOff=\"'q'\"\r\n"
       "OnTop=1\r\n",
       100},
  };
  for (const Case& c : cases) {
    MemoryProfile settings("T.INI", before);
    AppliedOptions applied;
    applied.zoom = c.openedZoom;
    StoreOptions(settings, c.fields, applied);
    EXPECT_EQ(settings.Text(), "[TESSEL32]\r\n" + c.expectedSection + "[MAPS]\r\nA=\r\n");
    EXPECT_EQ(applied.zoom, c.zoom);
    EXPECT_EQ(applied.offTitle, c.fields.offTitle);
    EXPECT_EQ(settings.ReadString("TESSEL32", "TitleWhenOff", "-"), c.fields.offTitle);
    EXPECT_EQ(applied.onTop, c.fields.onTop);
    EXPECT_TRUE(applied.onTopChanged);
  }
}

TEST(StoreOptions, FailedWriteStopsTheWritesAndTellsWhatWasApplied) {
  MemoryProfile settings("C:\\NO\\T.INI", "[TESSEL32]\r\nZoom=100\r\n");
  settings.SetWritesFail(true);
  AppliedOptions applied;
  applied.offTitle = "Tessel+";
  try {
    StoreOptions(settings, {true, "1", "New", false, "120"}, applied);
    FAIL() << "no error";
  } catch (const ProfileWriteError& error) {
    EXPECT_STREQ(error.what(), "Unable to write to C:\\NO\\T.INI");
  }
  EXPECT_EQ(settings.Text(), "[TESSEL32]\r\nZoom=100\r\n");
  EXPECT_EQ(applied.zoom, 100);
  EXPECT_EQ(applied.offTitle, "Tessel+");
  EXPECT_FALSE(applied.onTopChanged);

  // Only the last write, OnTop, fails: the window keeps its always-on-top state.
  WritesRunOutProfile lastFails(4, "[TESSEL32]\r\nZoom=100\r\n");
  AppliedOptions before;
  EXPECT_THROW(StoreOptions(lastFails, {true, "1", "New", false, "100"}, before), ProfileWriteError);
  EXPECT_EQ(lastFails.ReadString("TESSEL32", "TitleWhenOff", ""), "New");
  EXPECT_FALSE(before.onTopChanged);
}

}  // namespace
}  // namespace tessel
