// Macro commands (Run, Wait, Focus) played over the recording double, and the window finder.
#include <gtest/gtest.h>

#include "common/memory_profile.h"
#include "hooklib/loader.h"
#include "hooklib/player.h"
#include "unit/recording_platform.h"

#include <string>

namespace tessel {
namespace {

using testing::FakeWindow;
using testing::RecordingPlatform;
using testing::TestStore;

constexpr WindowHandle kEdit = 5;
const std::vector<std::string> kQuiet = {"GetKeyState", "SetKeyState"};

struct Session {
  TestStore store;
  RecordingPlatform platform;
  ReplacementPlayer player{platform};

  Session() { platform.focus = kEdit; }

  void Load(const std::string& text, uint32_t offset = 400) {
    ASSERT_TRUE(player.Compile(store.View(), store.Put(offset, text)));
    platform.log.clear();
  }
  std::string Tick() {
    player.Play(store.View());
    return platform.Take(kQuiet);
  }
  // Ticks every `step` ms until idle; the log of each tick, ticks separated by " | ".
  std::string PlayAll(uint32_t step = 10) {
    std::string out;
    for (int tick = 0; tick < 1000 && !player.Idle(); ++tick) {
      if (tick > 0) out += " | ";
      out += Tick();
      platform.now += step;
    }
    return out;
  }
};

// --- Maps loaded again while a text plays ---

// The records of a text point into the store. After a reload the same positions lie in
// another entry ({!Run calc} of key 31): the rest of the old text is dropped instead.
TEST(Reload, DuringAWaitDropsTheRestOfTheText) {
  Session s;
  store::StoreView& view = s.store.View();
  MemoryProfile before("TESSEL32.INI", "[MAPS]\nM=\n[M]\n30_N=a{!Wait\\s5000}{!Run\\snotepad}\n");
  MemoryProfile after("TESSEL32.INI", "[MAPS]\nM=\n[M]\n31_N=a{!Wait\\s5000}{!Run\\scalc}\n");
  ASSERT_TRUE(LoadMaps(before, view).fits);
  const store::EntryLookup entry = store::FindEntry(view, view.MapText(1), 31, 0x80);
  ASSERT_TRUE(entry.found);
  ASSERT_TRUE(s.player.Compile(view, entry.textOffset));
  EXPECT_EQ(s.Tick(), "CHAR 97 00000001");  // and the Wait begins
  s.platform.now += 1000;
  EXPECT_EQ(s.Tick(), "");
  ASSERT_TRUE(LoadMaps(after, view).fits);
  ASSERT_TRUE(store::FindEntry(view, view.MapText(1), 32, 0x80).found);
  s.platform.now += 5000;
  EXPECT_EQ(s.PlayAll(), "");
  EXPECT_TRUE(s.player.Idle());
}

// --- Run ---

struct RunCase {
  const char* text;
  uint32_t startResult;
  const char* expected;
};

TEST(RunCommand, StartsTheProgramAndEndsTheTick) {
  const RunCase cases[] = {
      {"a{!Run notepad readme.txt}b", 33,
          "CHAR 97 00000001 Run notepad readme.txt | CHAR 98 00000001"},
      {"{!run notepad}", 32, "Run notepad | "},
      // A failed start drops the rest of the text.
      {"a{!Run notepad readme.txt}b", 2,
          "CHAR 97 00000001 Run notepad readme.txt "
          "Info -2000 Could not start program: \"notepad readme.txt\""},
      {"{!Run nosuch}b", 31, "Run nosuch Info -2000 Could not start program: \"nosuch\""},
      // The argument as written: trailing blanks kept, up to the first "}".
      {"{!Run nosuch  }", 0, "Run nosuch   Info -2000 Could not start program: \"nosuch  \""},
      {"{!Run {x}}", 0, "Run {x Info -2000 Could not start program: \"{x\""},
      {"{!Run {x}}", 33, "Run {x | CHAR 125 00000001"},
      // Format directives are plain text.
      {"{!Run %s%n%x}", 0, "Run %s%n%x Info -2000 Could not start program: \"%s%n%x\""},
      // The argument ends at the entry mark when the "}" is missing.
      {"{!Run cmd", 0, "Run cmd Info -2000 Could not start program: \"cmd\""}};
  for (const RunCase& c : cases) {
    Session s;
    s.platform.startResult = c.startResult;
    s.Load(c.text);
    EXPECT_EQ(s.PlayAll(), c.expected) << c.text;
    EXPECT_TRUE(s.player.Idle());
  }
}

TEST(Run, FailureShowsTheMessageBeforeTheReset) {
  Session s;
  s.platform.focus = 0;
  s.platform.foreground = 9;
  s.platform.windowThreads[9] = 77;
  s.platform.threadFocus[77] = 90;
  s.platform.startResult = 2;
  s.Load("{!Run x}y");
  EXPECT_EQ(s.Tick(), "Attach 1->77 on Run x Info -2000 Could not start program: \"x\" Attach 1->77 off");
}

// --- Wait ---

TEST(Wait, TextAfterTheWaitComesAtTheFirstTickAtOrAfterTheDeadline) {
  Session s;
  s.platform.now = 5000;
  s.Load("a{!Wait 500}b");
  EXPECT_EQ(s.Tick(), "CHAR 97 00000001");
  EXPECT_EQ(s.player.Deadline(), 5500u);
  for (uint32_t t = 5010; t < 5500; t += 10) {
    s.platform.now = t;
    EXPECT_EQ(s.Tick(), "") << t;
    EXPECT_FALSE(s.player.Idle());
  }
  s.platform.now = 5503;
  EXPECT_EQ(s.Tick(), "CHAR 98 00000001");
  EXPECT_TRUE(s.player.Idle());
  EXPECT_EQ(s.player.Deadline(), 0u);
}

struct WaitCase {
  const char* text;
  uint32_t milliseconds;  // 0: invalid
  const char* message;
};

TEST(WaitArgument, WaitsOrComplains) {
  const WaitCase cases[] = {
      {"{!Wait 500}", 500, ""}, {"{!wait 500}", 500, ""},
      {"{!WAIT 500}", 500, ""}, {"{!Wait   500}", 500, ""},
      {"{!Wait $1F4}", 500, ""}, {"{!Wait 1}", 1, ""},
      {"{!Wait 500 }", 0, "Invalid time value for Wait: \"500 \""},
      {"{!Wait 0}", 0, "Invalid time value for Wait: \"0\""},
      {"{!Wait -5}", 0, "Invalid time value for Wait: \"-5\""},
      {"{!Wait}", 0, "Invalid time value for Wait: \"\""},
      {"{!Wait soon}", 0, "Invalid time value for Wait: \"soon\""}};
  for (const WaitCase& c : cases) {
    Session s;
    s.platform.now = 100;
    s.Load(std::string(c.text) + "x");
    const std::string first = s.Tick();
    if (c.milliseconds == 0) {
      // The message, and the rest of the text in the same tick.
      EXPECT_EQ(first, std::string("Info -2000 ") + c.message + " CHAR 120 00000001");
      EXPECT_TRUE(s.player.Idle());
      continue;
    }
    EXPECT_EQ(first, "");
    s.platform.now = 100 + c.milliseconds - 1;
    EXPECT_EQ(s.Tick(), "");
    s.platform.now = 100 + c.milliseconds;
    EXPECT_EQ(s.Tick(), "CHAR 120 00000001");
  }
}

struct WrapCase {
  uint32_t start;
  uint32_t length;
};

TEST(WaitAcrossTheWrap, LastsItsMilliseconds) {
  const WrapCase cases[] = {
      {0xFFFFFF00u, 500},    // deadline after the wrap
      {0xFFFFFE0Cu, 500},    // deadline exactly 0
      {0xFFFFFFFFu, 2},      // wraps on the next tick
      {0x7FFFFFF0u, 100},    // sign boundary
      {10u, 0x7FFFFFFFu}};
  for (const WrapCase& c : cases) {
    const auto [start, length] = c;
    Session s;
    s.platform.now = start;
    s.Load("{!Wait " + std::to_string(length) + "}x");
    EXPECT_EQ(s.Tick(), "");
    for (const uint32_t elapsed : {1u, length / 2, length - 1}) {
      s.platform.now = start + elapsed;
      EXPECT_EQ(s.Tick(), "") << "elapsed " << elapsed;
    }
    s.platform.now = start + length;
    EXPECT_EQ(s.Tick(), "CHAR 120 00000001");
    EXPECT_TRUE(s.player.Idle());
  }
}

  // longest wait

TEST(Wait, ARunningWaitIsNotStartedAgain) {
  Session s;
  s.platform.now = 0xFFFFFE0Cu;
  s.Load("{!Wait 500}x");
  s.Tick();
  EXPECT_EQ(s.player.Deadline(), 0u);  // the deadline wrapped to 0, the wait still runs
  s.platform.now = 0xFFFFFFF0u;
  EXPECT_EQ(s.Tick(), "");
  EXPECT_FALSE(s.player.Idle());
  s.platform.now = 0;
  EXPECT_EQ(s.Tick(), "CHAR 120 00000001");
}

TEST(Wait, ResetEndsAWait) {
  Session s;
  s.Load("{!Wait 500}x");
  s.Tick();
  s.player.Reset();
  EXPECT_EQ(s.player.Deadline(), 0u);
  s.Load("{!Wait 100}y");
  s.platform.now += 600;  // a stale wait would have ended by now
  EXPECT_EQ(s.Tick(), "");
  EXPECT_FALSE(s.player.Idle());
}

TEST(Wait, MessageWhileBusyDoesNotPlayNestedTicks) {
  // The information window runs inside the tick; a timer tick dispatched meanwhile must not
  // play records.
  Session s;
  int nested = 0;
  s.platform.onInformation = [&] {
    ++nested;
    s.player.Play(s.store.View());
  };
  s.Load("{!Wait x}abc");
  EXPECT_EQ(s.Tick(), "Info -2000 Invalid time value for Wait: \"x\" CHAR 97 00000001 "
                      "CHAR 98 00000001 CHAR 99 00000001");
  EXPECT_EQ(nested, 1);
}

// --- Focus and the window finder ---

// Top level: 10 "Untitled - Notepad", 11 "Setup Wizard" (minimised, thread 2) with
// 12 "Back", 13 "Panel" > 14 "Next >" and the hidden 15 "Next hidden"; 16 hidden "Notepad
// hidden"; 17 with no text; 18 "Notepad" shown later in the order.
std::vector<FakeWindow> Desktop() {
  return {
      {10, 0, "Untitled - Notepad", true, false, 1}, {17, 0, "", true, false, 1},
      {11, 0, "Setup Wizard", true, true, 2},        {12, 11, "Back", true, false, 2},
      {13, 11, "Panel", true, false, 2},             {14, 13, "Next >", true, false, 2},
      {15, 11, "Next hidden", false, false, 2},      {16, 0, "Notepad hidden", false, false, 1},
      {18, 0, "Notepad", true, false, 1},
  };
}

struct FindCase {
  const char* spec;
  WindowHandle expected;
};

TEST(FindWindow, BySpec) {
  const FindCase cases[] = {
      {"Notepad", 10},          // first match in enumeration order
      {"notepad", 0},           // case-sensitive
      {"Notepad hidden", 0},    // invisible windows are skipped
      {"", 0},                  // an empty field matches nothing
      {"Setup", 11},
      {"Setup,Next", 14},       // a grandchild
      {"Setup,Panel,Next", 14},
      {"Setup,Next hidden", 0},
      {"Setup,Back,Next", 0},   // 12 has no children
      {"Setup,,Next", 0},
      {"Setup,", 0},
      {"Wizard,a", 12},         // "Back" is the first child holding "a"
      {" Wizard", 11},          // blanks belong to the field
      {"Wizard ", 0}};
  for (const FindCase& c : cases) {
    RecordingPlatform platform;
    platform.windows = Desktop();
    EXPECT_EQ(FindWindowBySpec(platform, c.spec), c.expected) << c.spec;
  }
}

TEST(FindWindow, QuestionMarkShowsEachTitleUntilTheFirstMatch) {
  RecordingPlatform platform;
  platform.windows = Desktop();
  platform.windows.push_back({19, 0, "What?", true, false, 1});
  platform.windows.push_back({21, 0, "After", true, false, 1});
  EXPECT_EQ(FindWindowBySpec(platform, "?"), 19u);
  EXPECT_EQ(platform.Take(), "Info 1000 Untitled - Notepad Info 1000 Setup Wizard Info 1000 Notepad "
                             "Info 1000 What?");
}

TEST(Focus, MovesTheFocusAndTheRestOfTheTextFollows) {
  Session s;
  s.platform.windows = Desktop();
  s.Load("{!Focus Setup,Next}ab");
  EXPECT_EQ(s.Tick(), "Restore 11 Foreground 14 Focus 14");
  // Next tick: the focus is in thread 2; the player attaches to it.
  EXPECT_EQ(s.Tick(), "Attach 1->2 on CHAR 97 00000001 CHAR 98 00000001 Attach 1->2 off");
  EXPECT_EQ(s.platform.posts.back().window, 14u);
}

TEST(Focus, TopLevelWindowOfTheSameThread) {
  Session s;
  s.platform.windows = Desktop();
  s.Load("{!Focus Notepad}x");
  EXPECT_EQ(s.PlayAll(), "Foreground 10 Focus 10 | CHAR 120 00000001");
  EXPECT_EQ(s.platform.posts.back().window, 10u);
}

struct FocusFailure {
  const char* text;
  const char* argument;
};

TEST(FocusFails, ResetsThenInforms) {
  const FocusFailure cases[] = {
      {"{!Focus notepad}", "notepad"},
      {"{!Focus }", ""},
      {"{!focus Notepad,Finish}", "Notepad,Finish"},
      {"{!FOCUS Nothing here }", "Nothing here "}};
  for (const FocusFailure& c : cases) {
    Session s;
    s.platform.windows = Desktop();
    s.platform.focus = 0;
    s.platform.foreground = 9;
    s.platform.windowThreads[9] = 77;
    s.platform.threadFocus[77] = 90;
    s.Load(std::string(c.text) + "x");
    EXPECT_EQ(s.Tick(), std::string("Attach 1->77 on Attach 1->77 off Info -2000 Cannot find window with: \"") +
                            c.argument + "\"");
    EXPECT_TRUE(s.player.Idle());
    EXPECT_TRUE(s.platform.posts.empty());
  }
}

TEST(Focus, MinimisedWindowIsRestoredEvenWhenAFurtherFieldFails) {
  Session s;
  s.platform.windows = Desktop();
  s.Load("{!Focus Setup,Finish}");
  EXPECT_EQ(s.Tick(), "Restore 11 Info -2000 Cannot find window with: \"Setup,Finish\"");
  EXPECT_FALSE(s.platform.Find(11)->minimised);
}

TEST(Focus, QuestionMarkListsTheTitlesThenFails) {
  Session s;
  s.platform.windows = Desktop();
  s.Load("{!Focus ?}");
  EXPECT_EQ(s.Tick(), "Info 1000 Untitled - Notepad Info 1000 Setup Wizard Info 1000 Notepad "
                      "Info -2000 Cannot find window with: \"?\"");
}

}  // namespace
}  // namespace tessel
