// Keystroke decisions over a store loaded from settings text: what passes, what is
// swallowed, which maps switch, and what the player is given.
#include "common/memory_profile.h"
#include "hooklib/hook.h"
#include "hooklib/loader.h"
#include "support/silent_player_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessel {
namespace {

class FakeHookPlatform : public HookPlatform {
 public:
  bool ShiftDown() override { return shift; }
  bool ControlDown() override { return control; }
  bool CapsLockOn() override {
    ++capsLockReads;
    return capsLock;
  }
  void ShowInformation(const char* text, int32_t duration) override {
    shown.push_back(std::string(text) + " " + std::to_string(duration));
  }
  bool StartPlayTimer() override {
    ++timersStarted;
    return timerWorks;
  }

  bool shift = false, control = false, capsLock = false, timerWorks = true;
  int timersStarted = 0;
  int capsLockReads = 0;
  std::vector<std::string> shown;
};

constexpr uint32_t kUp = 0xC0000000u;
constexpr uint32_t kAlt = 1u << 29;

// Compact record listing of the player, e.g. "Char97 Char98".
std::string Describe(const ReplacementPlayer& player) {
  std::string out;
  for (const Record& r : player.Records()) {
    if (!out.empty()) out += ' ';
    switch (r.kind) {
      case RecordKind::Char: out += "Char" + std::to_string(r.value); break;
      case RecordKind::KeyDown: out += "Down" + std::to_string(r.value); break;
      case RecordKind::KeyUp: out += "Up" + std::to_string(r.value); break;
      case RecordKind::ReleaseModifiers: out += "RelMods"; break;
      default: out += "Cmd"; break;
    }
  }
  return out;
}

class HookSession : public ::testing::Test {
 protected:
  void Load(const std::string& settings, int32_t selected) {
    MemoryProfile profile("TESSEL32.INI", settings);
    view_.Initialise(20480);
    ASSERT_TRUE(LoadMaps(profile, view_).fits);
    view_.Set(store::kSelectedMap, selected);
  }

  // Key-down then key-up of a scan code; returns "swallow/pass" for each.
  std::string Press(uint32_t scan, uint32_t virtualKey = 0x41, uint32_t flags = 0) {
    return Verdict(Down(scan, virtualKey, flags)) + "/" + Verdict(Up(scan, virtualKey, flags));
  }
  int32_t Down(uint32_t scan, uint32_t virtualKey = 0x41, uint32_t flags = 0) {
    return DecideKeystroke(view_, deadKey_, player_, hook_, virtualKey, (scan << 16) | 1 | flags);
  }
  int32_t Up(uint32_t scan, uint32_t virtualKey = 0x41, uint32_t flags = 0) {
    return DecideKeystroke(view_, deadKey_, player_, hook_, virtualKey, (scan << 16) | 1 | flags | kUp);
  }
  static std::string Verdict(int32_t v) { return v == kSwallow ? "swallow" : "pass"; }
  // Ends the current text as the timer would.
  void FinishPlaying() {
    player_.Reset();
    view_.SetPlaying(0);
  }

  std::vector<uint8_t> block_ = std::vector<uint8_t>(20480);
  store::StoreView view_{block_.data(), static_cast<uint32_t>(block_.size())};
  DeadKeyState deadKey_;
  SilentPlayerPlatform silent_;
  ReplacementPlayer player_{silent_};
  FakeHookPlatform hook_;
};

const char* const kSettings =
    "[MAPS]\nGreek=\n+acute=\nOther=\n"
    "[Selectors]\n59_C=Greek\n60_C=<off>\n61_C=Nosuchmap\n"
    "[Greek]\n30_N=alpha\n30_S=Alpha\n48_N=+acute,\n49_N=+acute,def\n50_N=+nomap,x\n"
    "51_N=+abcdefghijklmnopqrstuvwxyz,x\n200_N=up\n42_N=shift\n"
    "[+acute]\n30_N=a-acute\n"
    "[Other]\n30_N=other\n";

TEST_F(HookSession, SelectorsWorkWithMappingOffAndOtherKeysPass) {
  Load(kSettings, 0);
  EXPECT_EQ(Press(30), "pass/pass");
  hook_.control = true;
  EXPECT_EQ(Press(59), "swallow/swallow");
  EXPECT_EQ(view_.Get(store::kSelectedMap), 1);
  EXPECT_EQ(hook_.shown, (std::vector<std::string>{"Greek -300"}));
  EXPECT_EQ(Press(60), "swallow/swallow");
  EXPECT_EQ(view_.Get(store::kSelectedMap), 0);
  EXPECT_EQ(hook_.shown.back(), "<off> -300");
  // A selector naming no loaded map switches off and still shows its text.
  view_.Set(store::kSelectedMap, 1);
  EXPECT_EQ(Press(61), "swallow/swallow");
  EXPECT_EQ(view_.Get(store::kSelectedMap), 0);
  EXPECT_EQ(hook_.shown.back(), "Nosuchmap -300");
  EXPECT_EQ(hook_.timersStarted, 0);
}

// Names are UTF-8 and hold at most 15 characters, whatever their length in bytes: a selector
// names its map by its first 15 characters, a dead key's map name may not have more.
TEST_F(HookSession, MapNamesCountCharactersNotBytes) {
  const std::string greek15 = "\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5\xCE\xB6\xCE\xB7\xCE\xB8"
                              "\xCE\xB9\xCE\xBA\xCE\xBB\xCE\xBC\xCE\xBD\xCE\xBE\xCE\xBF";  // 15 letters
  Load("[MAPS]\n" + greek15 + "=\n+" + greek15.substr(2) + "=\n[Selectors]\n59_C=" + greek15 +
           "\xCF\x80\xCF\x81\n[" + greek15 + "]\n48_N=+" + greek15.substr(2) + ",x\n30_N=\xE2\x86\x92\n[+" +
           greek15.substr(2) + "]\n30_N=y\n",
       0);
  hook_.control = true;
  EXPECT_EQ(Press(59), "swallow/swallow");
  EXPECT_EQ(view_.Get(store::kSelectedMap), 1);
  EXPECT_EQ(hook_.shown, (std::vector<std::string>{greek15 + " -300"}));
  hook_.control = false;
  EXPECT_EQ(Press(30), "swallow/swallow");
  EXPECT_EQ(Describe(player_), "Char8594");
  FinishPlaying();
  EXPECT_EQ(Press(48), "swallow/swallow");  // a dead key of a 15-character "+" map
  EXPECT_EQ(Press(30), "swallow/swallow");
  EXPECT_EQ(Describe(player_), "Char121");
}

TEST_F(HookSession, MapSwitchShowsForMessageTimeWithoutBeepWhenSetSo) {
  Load(std::string(kSettings) + "[TESSEL32]\nMessageShowTime=0\n", 0);
  hook_.control = true;
  Press(59);
  EXPECT_EQ(hook_.shown, (std::vector<std::string>{"Greek 0"}));
}

TEST_F(HookSession, MappedKeyIsSwallowedAndPlayed) {
  Load(kSettings, 1);
  EXPECT_EQ(Verdict(Down(30)), "swallow");
  EXPECT_EQ(Describe(player_), "Char97 Char108 Char112 Char104 Char97");
  EXPECT_EQ(view_.Playing(), 1);
  EXPECT_EQ(hook_.timersStarted, 1);
  // While it plays every key is swallowed, mapped or not.
  EXPECT_EQ(Press(31), "swallow/swallow");
  FinishPlaying();
  EXPECT_EQ(Verdict(Up(30)), "swallow");
  EXPECT_EQ(Press(31), "pass/pass");
}

TEST_F(HookSession, NoActiveMapForNegativeSelection) {
  Load(kSettings, -1);
  EXPECT_EQ(Press(30), "pass/pass");
}

TEST_F(HookSession, ExtendedKeyCodesAndStates) {
  Load(kSettings, 1);
  EXPECT_EQ(Verdict(Down(0x7F, 0x41, 1u << 24)), "pass");  // key code 255 is never found
  // Key code 200 is scan code 72 with the extended flag; plain scan code 72 is another key.
  EXPECT_EQ(Verdict(Down(72, 0x68)), "pass");
  EXPECT_EQ(Verdict(Down(72, 0x26, 1u << 24)), "swallow");
  EXPECT_EQ(Describe(player_), "Char117 Char112");
}

TEST_F(HookSession, ShiftStateIsReadAtEachMomentAndCapsLockCountsAsShift) {
  Load(kSettings, 1);
  hook_.shift = true;
  EXPECT_EQ(Verdict(Down(30)), "swallow");
  EXPECT_EQ(Describe(player_), "Char65 Char108 Char112 Char104 Char97");
  FinishPlaying();
  hook_.shift = false;
  hook_.capsLock = true;
  EXPECT_EQ(Verdict(Up(30)), "swallow");  // looked up as 30_S
  hook_.capsLock = false;
  EXPECT_EQ(Verdict(Up(30)), "swallow");  // 30_N is mapped too
  EXPECT_EQ(Verdict(Down(30, 0x41, kAlt)), "pass");  // 30_A is not
}

TEST_F(HookSession, DeadKeyWithEntryInDeadKeyMap) {
  Load(kSettings, 1);
  EXPECT_EQ(Press(48), "swallow/swallow");
  EXPECT_TRUE(deadKey_.pending);
  EXPECT_EQ(hook_.timersStarted, 0);
  // Shift neither uses nor cancels the pending dead key.
  EXPECT_EQ(Press(42, 16), "swallow/swallow");  // Shift has an entry: swallowed, nothing played
  EXPECT_TRUE(player_.Records().empty());
  EXPECT_TRUE(deadKey_.pending);
  EXPECT_EQ(Verdict(Down(30)), "swallow");
  EXPECT_FALSE(deadKey_.pending);
  EXPECT_EQ(Describe(player_), "Char97 Char45 Char97 Char99 Char117 Char116 Char101");
}

TEST_F(HookSession, DeadKeyFollowedByUnmappedKeyPlaysDefaultThenTheKey) {
  Load(kSettings, 1);
  EXPECT_EQ(Press(49), "swallow/swallow");
  EXPECT_EQ(Verdict(Down(31, 0x53)), "swallow");
  EXPECT_EQ(Describe(player_), "Char100 Char101 Char102 Down83");
  EXPECT_EQ(view_.Playing(), 1);
  FinishPlaying();
  EXPECT_EQ(Verdict(Up(31, 0x53)), "pass");
}

TEST_F(HookSession, DeadKeyWithEmptyDefaultStillSendsTheKey) {
  Load(kSettings, 1);
  Press(48);
  EXPECT_EQ(Verdict(Down(31, 0x53)), "swallow");
  EXPECT_EQ(Describe(player_), "Down83");
  EXPECT_EQ(hook_.timersStarted, 1);
}

TEST_F(HookSession, DeadKeyStateIsUntouchedByKeyUpsAndSurvivesMappingOff) {
  Load(kSettings, 1);
  EXPECT_EQ(Verdict(Down(48)), "swallow");
  EXPECT_EQ(Verdict(Up(31)), "swallow");  // key-ups are swallowed while pending
  EXPECT_TRUE(deadKey_.pending);
  view_.Set(store::kSelectedMap, 0);
  EXPECT_EQ(Press(30), "pass/pass");
  EXPECT_TRUE(deadKey_.pending);
}

TEST_F(HookSession, PlusTextsThatNameNoMapArePlayedAsText) {
  Load(kSettings, 1);
  EXPECT_EQ(Verdict(Down(50)), "swallow");
  EXPECT_FALSE(deadKey_.pending);
  EXPECT_EQ(Describe(player_), "Char43 Char110 Char111 Char109 Char97 Char112 Char44 Char120");
  FinishPlaying();
  // A name part longer than any map name is text as well.
  EXPECT_EQ(Verdict(Down(51)), "swallow");
  EXPECT_FALSE(deadKey_.pending);
  EXPECT_EQ(player_.Records().size(), 29u);  // every character of the text
}

TEST_F(HookSession, KeysNoMapMentionsCostNoKeyStateReads) {
  Load(kSettings, 1);
  EXPECT_EQ(Press(31), "pass/pass");
  EXPECT_EQ(hook_.capsLockReads, 0);
  EXPECT_EQ(Verdict(Down(30)), "swallow");
  EXPECT_EQ(hook_.capsLockReads, 1);
}

TEST_F(HookSession, TimerFailureLeavesNothingPlaying) {
  Load(kSettings, 1);
  hook_.timerWorks = false;
  EXPECT_EQ(Verdict(Down(30)), "swallow");
  EXPECT_EQ(view_.Playing(), 0);
  EXPECT_TRUE(player_.Idle());
  EXPECT_TRUE(player_.Records().empty());
}

// --- Deciding without the lock ---

struct PrecheckCase {
  const char* what;
  int32_t selected;
  uint32_t scan;
  uint32_t flags;
  bool control;
  bool expected;     // the keystroke may concern a map: take the lock
  int stateReads;    // reads of the modifier state it cost
};

TEST_F(HookSession, PrecheckPassesOnlyKeysNoMapHas) {
  const PrecheckCase cases[] = {
      {"no map mentions the key", 1, 31, 0, false, false, 0},
      {"active map has the entry", 1, 30, 0, false, true, 1},
      {"key mentioned, but not in this state", 1, 30, kAlt, false, false, 1},
      {"selector", 1, 59, 0, true, true, 1},
      {"selector key in another state", 0, 59, 0, false, false, 1},
      {"mapping off: only selectors count", 0, 30, 0, false, false, 0},
      {"negative selection finds no active map", -1, 30, 0, false, false, 0},
      {"extended key code 200", 1, 72, 1u << 24, false, true, 1},
  };
  Load(kSettings, 1);
  for (const PrecheckCase& c : cases) {
    view_.Set(store::kSelectedMap, c.selected);
    hook_.control = c.control;
    hook_.capsLockReads = 0;
    uint8_t state = 0;
    EXPECT_EQ(KeystrokeMayConcernMaps(view_, deadKey_, hook_, (c.scan << 16) | 1 | c.flags, state),
              c.expected)
        << c.what;
    EXPECT_EQ(hook_.capsLockReads, c.stateReads) << c.what;
  }
}

TEST_F(HookSession, PrecheckTakesTheLockForPendingDeadKeysAndRunningLoads) {
  Load(kSettings, 1);
  uint8_t state = 0;
  const uint32_t unmapped = (31 << 16) | 1;
  Down(48);  // dead key
  ASSERT_TRUE(deadKey_.pending);
  EXPECT_TRUE(KeystrokeMayConcernMaps(view_, deadKey_, hook_, unmapped, state));
  deadKey_ = DeadKeyState{};
  view_.BeginLoad();
  EXPECT_TRUE(KeystrokeMayConcernMaps(view_, deadKey_, hook_, unmapped, state));
  view_.EndLoad();
  EXPECT_FALSE(KeystrokeMayConcernMaps(view_, deadKey_, hook_, unmapped, state));
}

// Every key code in every state, mapping on and off: whatever the locked decision would
// swallow, play or switch, the pre-check must send to the lock.
TEST_F(HookSession, PrecheckNeverPassesWhatTheDecisionWouldTake) {
  Load(kSettings, 1);
  for (int32_t selected : {0, 1, 2, 3}) {
    for (uint32_t code = 0; code < 256; ++code) {
      for (uint32_t state = 0; state < 8; ++state) {
        view_.Set(store::kSelectedMap, selected);
        hook_.shift = state & 1;
        hook_.control = state & 2;
        const uint32_t keyData = ((code & 0x7F) << 16) | ((code & 0x80) ? 1u << 24 : 0) |
                                 ((state & 4) ? kAlt : 0) | 1;
        uint8_t stateByte = 0;
        const bool concerned = KeystrokeMayConcernMaps(view_, deadKey_, hook_, keyData, stateByte);
        const int32_t verdict = DecideKeystroke(view_, deadKey_, player_, hook_, 0x41, keyData);
        const bool touched = verdict == kSwallow || !player_.Idle() || deadKey_.pending ||
                             view_.Get(store::kSelectedMap) != selected;
        EXPECT_TRUE(concerned || !touched) << "key code " << code << " state " << state
                                           << " selected " << selected;
        FinishPlaying();
        deadKey_ = DeadKeyState{};
      }
    }
  }
}

// A text byte equal to a key byte, followed by a state-like byte, is no entry unless the
// entry mark stands before it: "10€" is 31 30 80, and key code 0x2F has the key byte 0x30.
TEST_F(HookSession, TextBytesThatLookLikeAKeyAreNoEntry) {
  Load("[MAPS]\nM=\n[Selectors]\n6_C=10\x80\n[M]\n5_N=10\x80\n7_N=\x30\x87\n", 1);
  for (const uint32_t state : {0u, 2u}) {
    hook_.control = state == 2;
    uint8_t stateByte = 0;
    EXPECT_FALSE(KeystrokeMayConcernMaps(view_, deadKey_, hook_, (0x2F << 16) | 1, stateByte));
    EXPECT_EQ(Press(0x2F, 0x56), "pass/pass");
  }
  EXPECT_TRUE(player_.Idle());
  EXPECT_EQ(view_.Get(store::kSelectedMap), 1);
  hook_.control = false;
  EXPECT_EQ(Press(5), "swallow/swallow");  // the real entry is still found
}

// A dead key pressed before the maps were loaded again names a map index and a text
// position of the old load: it is dropped, and the next key is decided on its own.
TEST_F(HookSession, DeadKeyFromAnOlderLoadIsDropped) {
  Load(kSettings, 1);
  EXPECT_EQ(Press(49), "swallow/swallow");  // +acute,def
  ASSERT_TRUE(deadKey_.pending);
  MemoryProfile reloaded("TESSEL32.INI",
                         "[MAPS]\n+acute=\nGreek=\n[+acute]\n31_N=wrong\n[Greek]\n31_N=fresh\n");
  ASSERT_TRUE(LoadMaps(reloaded, view_).fits);
  view_.Set(store::kSelectedMap, 2);
  EXPECT_EQ(Verdict(Down(31, 0x53)), "swallow");
  EXPECT_FALSE(deadKey_.pending);
  EXPECT_EQ(Describe(player_), "Char102 Char114 Char101 Char115 Char104");  // "fresh"
}

TEST(HookKeyBytes, LookupKeyFromKeyData) {
  FakeHookPlatform platform;
  EXPECT_EQ(KeyByteOf(0x001E0001), 31);
  EXPECT_EQ(KeyByteOf(0x01480001), 0x80 + 0x48 + 1);
  EXPECT_EQ(KeyByteOf(0x017F0001), 0);  // key code 255
  EXPECT_EQ(StateByteOf(0x001E0001, platform), 0x80);
  platform.control = true;
  EXPECT_EQ(StateByteOf(0x201E0001, platform), 0x86);
  platform.capsLock = true;
  EXPECT_EQ(StateByteOf(0x001E0001, platform), 0x83);
}

}  // namespace
}  // namespace tessel
