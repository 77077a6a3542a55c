// The player over the recording double: which messages go out, with which key data, and
// where the ticks end.
#include <gtest/gtest.h>

#include "hooklib/player.h"
#include "unit/recording_platform.h"

#include <string>

namespace tessel {
namespace {

using testing::RecordingPlatform;
using testing::TestStore;

constexpr WindowHandle kEdit = 5;

struct Session {
  TestStore store;
  RecordingPlatform platform;
  ReplacementPlayer player{platform};

  Session() { platform.focus = kEdit; }

  void Load(const std::string& text) {
    ASSERT_TRUE(player.Compile(store.View(), store.Put(text)));
    platform.log.clear();
  }
  // Plays tick after tick until idle; the log of each tick, ticks separated by " | ".
  std::string PlayAll(const std::vector<std::string>& skip = {"GetKeyState"}) {
    std::string out;
    for (int tick = 0; tick < 1000 && !player.Idle(); ++tick) {
      player.Play(store.View());
      if (tick > 0) out += " | ";
      out += platform.Take(skip);
      platform.now += 10;
    }
    return out;
  }
};

struct PlayCase {
  const char* text;
  std::vector<uint8_t> held;  // virtual keys down in the thread's state as the text starts
  const char* expected;
};

TEST(PlayGolden, MessagesPerTick) {
  const PlayCase cases[] = {
      {"abc", {}, "CHAR 97 00000001 CHAR 98 00000001 CHAR 99 00000001"},
      // UTF-16 code units, a character beyond the plane as its pair, high unit first.
      {"\xC3\xA9\xE2\x86\x92\xF0\x9F\x98\x80", {},
          "CHAR 233 00000001 CHAR 8594 00000001 CHAR 55357 00000001 CHAR 56832 00000001"},
      {"{{}", {}, "CHAR 123 00000001 CHAR 125 00000001"},
      {"{^c}", {},
          "KEYDOWN 17 001D0001 SetKeyState 17 | KEYDOWN 67 002E0001 | "
          "KEYUP 67 C02E0001 KEYUP 17 C01D0001 SetKeyState none"},
      // The user still holds Alt from the mapped keystroke: released first, on its own tick.
      {"{^c}", {18},
          "KEYUP 18 C0380001 SetKeyState none | KEYDOWN 17 001D0001 SetKeyState 17 | "
          "KEYDOWN 67 002E0001 | KEYUP 67 C02E0001 KEYUP 17 C01D0001 SetKeyState none"},
      // Alt, then Control, then Shift, all in one record.
      {"{x}", {16, 17, 18},
          "KEYUP 18 C0380001 SetKeyState 16,17 KEYUP 17 C01D0001 SetKeyState 16 "
          "KEYUP 16 C02A0001 SetKeyState none | KEYDOWN 88 002D0001 | KEYUP 88 C02D0001"},
      // Only the first group releases what the user holds.
      {"x{a}{b}", {16},
          "CHAR 120 00000001 KEYUP 16 C02A0001 SetKeyState none | KEYDOWN 65 001E0001 | "
          "KEYUP 65 C01E0001 KEYDOWN 66 00300001 | KEYUP 66 C0300001"},
      {"{+a b}", {},
          "KEYDOWN 16 002A0001 SetKeyState 16 | KEYDOWN 65 001E0001 | "
          "KEYUP 65 C01E0001 KEYDOWN 66 00300001 | KEYUP 66 C0300001 KEYUP 16 C02A0001 SetKeyState none"},
      {"{+a.b}", {},
          "KEYDOWN 16 002A0001 SetKeyState 16 | KEYDOWN 65 001E0001 | "
          "KEYUP 65 C01E0001 KEYUP 16 C02A0001 SetKeyState none | KEYDOWN 66 00300001 | "
          "KEYUP 66 C0300001"},
      // Alt and the keypad: system messages with the Alt bit; Alt's own key-up is WM_KEYUP.
      {"{@0233}", {},
          "SYSKEYDOWN 18 20380001 SetKeyState 18 | SYSKEYDOWN 96 20520001 | "
          "SYSKEYUP 96 E0520001 SYSKEYDOWN 98 20500001 | SYSKEYUP 98 E0500001 SYSKEYDOWN 99 20510001 | "
          "SYSKEYUP 99 E0510001 SYSKEYDOWN 99 20510001 | "
          "SYSKEYUP 99 E0510001 KEYUP 18 C0380001 SetKeyState none | "},
      {"{%x}", {},
          "SYSKEYDOWN 18 20380001 SetKeyState 18 | SYSKEYDOWN 88 202D0001 | "
          "SYSKEYUP 88 E02D0001 KEYUP 18 C0380001 SetKeyState none"},
      // With Control down as well, Alt keys are ordinary key messages (still with the Alt bit).
      {"{^%x}", {},
          "KEYDOWN 17 001D0001 SetKeyState 17 | KEYDOWN 18 20380001 SetKeyState 17,18 | "
          "KEYDOWN 88 202D0001 | KEYUP 88 E02D0001 KEYUP 18 C0380001 SetKeyState 17 "
          "KEYUP 17 C01D0001 SetKeyState none"},
      // Key codes: the virtual key from the scan code, the key flags from the key code.
      {"{&30}", {}, "KEYDOWN 65 001E0001 | KEYUP 65 C01E0001"},
      {"{&200}", {}, "KEYDOWN 38 01480001 | KEYUP 38 C1480001"},
      {"{&0}", {}, ""},
      // Left and right modifier keys update the thread's state too.
      {"{LSHIFT}", {},
          "KEYDOWN 160 002A0001 SetKeyState 160 | KEYUP 160 C02A0001 SetKeyState none | "},
      {"{F1}", {}, "KEYDOWN 112 003B0001 | KEYUP 112 C03B0001"},
      {"{~}", {}, "KEYDOWN 13 001C0001 | KEYUP 13 C01C0001"}};
  for (const PlayCase& c : cases) {
    Session s;
    for (const uint8_t vk : c.held) s.platform.keyboard[vk] = 0x80;
    s.Load(c.text);
    EXPECT_EQ(s.PlayAll(), c.expected) << "text: " << c.text;
    EXPECT_TRUE(s.player.Idle());
    for (const auto& post : s.platform.posts) EXPECT_EQ(post.window, kEdit);
  }
}

TEST(Play, TwoKeyDownsNeverGoOutInOneTick) {
  for (const char* text : {"{abc}", "{^c}", "{@0233}", "{+a b}", "{&30&31&32}", "{F1F2F3}", "{^%+abc}",
                           "{a}{b}{c}", "x{a}y{b}z"}) {
    Session s;
    s.Load(text);
    int keys = 0;
    int ticks = 0;
    while (!s.player.Idle() && ticks < 1000) {
      const size_t before = s.platform.posts.size();
      s.player.Play(s.store.View());
      ++ticks;
      int downs = 0;
      for (size_t i = before; i < s.platform.posts.size(); ++i) {
        const uint32_t m = s.platform.posts[i].message;
        downs += (m == kMsgKeyDown || m == kMsgSysKeyDown);
      }
      EXPECT_LE(downs, 1) << text << " tick " << ticks;
      keys += downs;
    }
    EXPECT_GE(ticks, keys) << text;
    EXPECT_TRUE(s.player.Idle()) << text;
  }
}

TEST(Play, TargetIsReadAgainAtEveryTick) {
  Session s;
  s.Load("{a}x");
  s.player.Play(s.store.View());  // RelMods, KeyDown A to the edit
  s.platform.focus = 6;
  while (!s.player.Idle()) s.player.Play(s.store.View());
  ASSERT_EQ(s.platform.posts.size(), 3u);
  EXPECT_EQ(s.platform.posts[0].window, kEdit);
  EXPECT_EQ(s.platform.posts[1].window, 6u);
  EXPECT_EQ(s.platform.posts[2].window, 6u);
}

TEST(Play, WithoutFocusAttachesToTheForegroundThread) {
  Session s;
  s.platform.focus = 0;
  s.platform.foreground = 9;
  s.platform.windowThreads[9] = 77;
  s.platform.threadFocus[77] = 90;
  s.platform.keyboard[16] = 0x80;
  s.Load("ab{a}");
  // Keyboard state read after attaching, then for the first record.
  EXPECT_EQ(s.PlayAll({}),
            "Attach 1->77 on GetKeyState GetKeyState CHAR 97 00000001 CHAR 98 00000001 "
            "KEYUP 16 C02A0001 SetKeyState none | KEYDOWN 65 001E0001 | "
            "KEYUP 65 C01E0001 Attach 1->77 off");
  for (const auto& post : s.platform.posts) EXPECT_EQ(post.window, 90u);
}

TEST(Play, FollowsTheForegroundToAnotherThread) {
  Session s;
  s.platform.focus = 0;
  s.platform.foreground = 9;
  s.platform.windowThreads[9] = 77;
  s.platform.windowThreads[8] = 88;
  s.platform.threadFocus[77] = 90;
  s.platform.threadFocus[88] = 80;
  s.Load("{a}");
  s.player.Play(s.store.View());
  EXPECT_EQ(s.platform.Take(), "Attach 1->77 on KEYDOWN 65 001E0001");
  s.platform.foreground = 8;
  s.player.Play(s.store.View());
  EXPECT_EQ(s.platform.Take(), "Attach 1->77 off Attach 1->88 on KEYUP 65 C01E0001 Attach 1->88 off");
  EXPECT_EQ(s.platform.posts.back().window, 80u);
}

TEST(Play, WithNoWindowAtAllTheTextIsUsedUpSilently) {
  Session s;
  s.platform.focus = 0;
  s.Load("{+a}x");
  EXPECT_EQ(s.PlayAll(), "SetKeyState 16 |  | SetKeyState none | ");
  EXPECT_TRUE(s.platform.posts.empty());
  EXPECT_TRUE(s.player.Idle());
}

TEST(Play, ForegroundWithoutFocusPostsNothing) {
  Session s;
  s.platform.focus = 0;
  s.platform.foreground = 9;
  s.platform.windowThreads[9] = 77;
  s.Load("ab");
  EXPECT_EQ(s.PlayAll({}), "Attach 1->77 on GetKeyState Attach 1->77 off");
  EXPECT_TRUE(s.platform.posts.empty());
}

TEST(Play, WorksOnTheStoresKeyState) {
  Session s;
  s.platform.keyboard[20] = 0x01;  // Caps Lock toggled on
  s.platform.keyboard[18] = 0x80;
  s.Load("{CAPSLOCK}");
  s.PlayAll();
  const uint8_t* keyState = s.store.KeyState();
  EXPECT_EQ(keyState[20], 0x00);  // pressed and released: toggle bit flipped once
  EXPECT_EQ(keyState[18], 0x00);  // released by the first group
  EXPECT_EQ(s.platform.keyboard[18], 0x00);
}

TEST(Play, KeyDownFlipsTheToggleBitAndKeyUpKeepsIt) {
  Session s;
  s.Load("{+}");
  s.player.Play(s.store.View());
  EXPECT_EQ(s.store.KeyState()[16], 0x81);
  s.player.Play(s.store.View());
  EXPECT_EQ(s.store.KeyState()[16], 0x01);
  EXPECT_TRUE(s.player.Idle());
}

TEST(Play, IdlePlayerDoesNothing) {
  Session s;
  s.player.Play(s.store.View());
  EXPECT_TRUE(s.platform.log.empty());
}

TEST(Play, WithoutStoreThePlayerIsReset) {
  Session s;
  s.Load("abc");
  store::StoreView none;
  s.player.Play(none);
  EXPECT_TRUE(s.player.Idle());
  EXPECT_TRUE(s.platform.posts.empty());
}

TEST(Play, LastRecordResetsThePlayer) {
  Session s;
  s.Load("{a}");
  s.PlayAll();
  EXPECT_TRUE(s.player.Idle());
  EXPECT_TRUE(s.player.Records().empty());
  EXPECT_EQ(s.player.Index(), 0);
  // A new text starts from the beginning and reads the keyboard state again.
  s.Load("b");
  EXPECT_EQ(s.PlayAll({}), "GetKeyState CHAR 98 00000001");
}

TEST(Play, KeyDownAppendedAfterADeadKeysDefaultText) {
  Session s;
  ASSERT_TRUE(s.player.Compile(s.store.View(), s.store.Put("'")));
  s.player.AddRecord(RecordKind::KeyDown, 65, 0);
  s.platform.log.clear();
  EXPECT_EQ(s.PlayAll(), "CHAR 39 00000001 KEYDOWN 65 001E0001");
}

}  // namespace
}  // namespace tessel
