// The replacement-text compiler: texts to record lists, written as golden strings.
#include <gtest/gtest.h>

#include "hooklib/player.h"
#include "unit/recording_platform.h"

#include <string>

namespace tessel {
namespace {

using testing::RecordingPlatform;
using testing::TestStore;

// "RelMods Down17 Down67 Up67 RelMods"; key-code values as Down&30, characters as Char'a'
// (Char#233 outside printable ASCII), commands with their operand relative to the text.
std::string Golden(const ReplacementPlayer& player, uint32_t textOffset) {
  std::string out;
  for (const Record& r : player.Records()) {
    std::string item;
    const auto keyValue = [&](const char* name) {
      item = name;
      if (r.value & kKeyCodeValue) item += "&";
      item += std::to_string(r.value & 0x7FFF);
    };
    switch (r.kind) {
      case RecordKind::Run: item = "Run@" + std::to_string(r.position - textOffset); break;
      case RecordKind::Wait: item = "Wait@" + std::to_string(r.position - textOffset); break;
      case RecordKind::Focus: item = "Focus@" + std::to_string(r.position - textOffset); break;
      case RecordKind::KeyDown: keyValue("Down"); break;
      case RecordKind::KeyUp: keyValue("Up"); break;
      case RecordKind::Char:
        item = (r.value > 32 && r.value < 127) ? "Char'" + std::string(1, static_cast<char>(r.value)) + "'"
                                              : "Char#" + std::to_string(r.value);
        break;
      case RecordKind::ReleaseModifiers: item = "RelMods"; break;
    }
    if (!out.empty()) out += ' ';
    out += item;
  }
  return out;
}

struct CompileCase {
  const char* text;
  const char* expected;
};

class CompileGolden : public ::testing::TestWithParam<CompileCase> {};

TEST_P(CompileGolden, Records) {
  TestStore store;
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  const uint32_t at = store.Put(GetParam().text);
  EXPECT_TRUE(player.Compile(store.View(), at));
  EXPECT_EQ(Golden(player, at), GetParam().expected) << "text: " << GetParam().text;
  EXPECT_EQ(player.Idle(), player.Records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CompileGolden,
    ::testing::Values(
        // Plain characters and literal braces.
        CompileCase{"abc", "Char'a' Char'b' Char'c'"},
        CompileCase{"{{}", "Char'{' Char'}'"},
        CompileCase{"}", "Char'}'"},
        CompileCase{"a b", "Char'a' Char#32 Char'b'"},
        CompileCase{"\xE9\x7F", "Char#233 Char#127"},
        // Groups: the first one releases the held modifiers, later ones do not.
        CompileCase{"{^c}", "RelMods Down17 Down67 Up67 RelMods"},
        CompileCase{"{+a b}", "RelMods Down16 Down65 Up65 Down66 Up66 RelMods"},
        CompileCase{"{+a.b}", "RelMods Down16 Down65 Up65 RelMods Down66 Up66 RelMods"},
        CompileCase{"{%x}", "RelMods Down18 Down88 Up88 RelMods"},
        CompileCase{"{a}{b}", "RelMods Down65 Up65 RelMods Down66 Up66 RelMods"},
        CompileCase{"{ ,, }", "RelMods RelMods"},
        CompileCase{"{}", "RelMods RelMods"},
        // Alt and keypad digits.
        CompileCase{"{@0233}",
                    "RelMods RelMods Down18 Down96 Up96 Down98 Up98 Down99 Up99 Down99 Up99 Up18 RelMods"},
        CompileCase{"{@12x}", "RelMods RelMods Down18 Down97 Up97 Down98 Up98 Up18 Down88 Up88 RelMods"},
        CompileCase{"{^@1}", "RelMods Down17 RelMods Down18 Down97 Up97 Up18 RelMods"},
        // Key codes.
        CompileCase{"{&30}", "RelMods Down&30 Up&30 RelMods"},
        CompileCase{"{&158}", "RelMods Down&158 Up&158 RelMods"},
        CompileCase{"{&255}", "RelMods Down&255 Up&255 RelMods"},
        CompileCase{"{&0}", "RelMods RelMods"},
        CompileCase{"{&300}", "RelMods RelMods"},
        CompileCase{"{&256}", "RelMods RelMods"},
        CompileCase{"{&}", "RelMods RelMods"},
        CompileCase{"{&99999999999999999999}", "RelMods RelMods"},
        CompileCase{"{&30&31}", "RelMods Down&30 Up&30 Down&31 Up&31 RelMods"},
        // Key names and virtual keys.
        CompileCase{"{F1}", "RelMods Down112 Up112 RelMods"},
        CompileCase{"{F12}", "RelMods Down123 Up123 RelMods"},
        CompileCase{"{esc}", "RelMods Down27 Up27 RelMods"},
        CompileCase{"{Escape}", "RelMods Down27 Up27 RelMods"},
        CompileCase{"{escx}", "RelMods Down27 Up27 Down88 Up88 RelMods"},
        CompileCase{"{DEL}{delete}", "RelMods Down46 Up46 RelMods Down46 Up46 RelMods"},
        CompileCase{"{~}", "RelMods Down13 Up13 RelMods"},
        CompileCase{"{_}", "RelMods Down32 Up32 RelMods"},
        CompileCase{"{#9}", "RelMods Down9 Up9 RelMods"},
        CompileCase{"{#65}", "RelMods Down65 Up65 RelMods"},
        CompileCase{"{7}", "RelMods Down55 Up55 RelMods"},
        // A token that gives no key steps over one more character: here the "}" or "x".
        CompileCase{"{#0x}", "RelMods RelMods"},
        CompileCase{"{#0}y", "RelMods Down89 Up89"},
        CompileCase{"{*}", "RelMods RelMods"},
        CompileCase{"{**}", "RelMods RelMods"},
        CompileCase{"{#}x}", "RelMods Down88 Up88 RelMods"},
        // Macro commands.
        CompileCase{"{!Run notepad}x", "Run@6 RelMods Char'x'"},
        CompileCase{"{!frob}x", "RelMods Char'x'"},
        CompileCase{"{!}", "RelMods"},
        CompileCase{"{!Run {x}}", "Run@6 RelMods Char'}'"},
        CompileCase{"{!wait 500}", "Wait@7 RelMods"},
        CompileCase{"{!WAIT   500}", "Wait@9 RelMods"},
        CompileCase{"{!Focus Setup,Next}", "Focus@8 RelMods"},
        CompileCase{"{!Runner}", "Run@5 RelMods"},
        CompileCase{"{!Focus }", "Focus@8 RelMods"},
        CompileCase{"{! Run x}", "RelMods"},
        CompileCase{"x{!Wait 5}{a}", "Char'x' Wait@8 RelMods RelMods Down65 Up65 RelMods"},
        CompileCase{"{!Run a}{!Run b}", "Run@6 RelMods Run@14 RelMods"},
        // Texts that end inside a construct leave the modifiers as they are.
        CompileCase{"{", ""},
        CompileCase{"{+", "RelMods Down16"},
        CompileCase{"{@", "RelMods RelMods Down18"},
        CompileCase{"{@12", "RelMods RelMods Down18 Down97 Up97 Down98 Up98"},
        CompileCase{"{!Run x", "Run@6"},
        // The entry mark ends the text.
        CompileCase{"a\x01" "b", "Char'a'"}));

TEST(Compile, NoTextOrEmptyTextGivesFalse) {
  TestStore store(512);
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  EXPECT_FALSE(player.Compile(store.View(), 0));
  EXPECT_FALSE(player.Compile(store.View(), 400));         // zero byte
  EXPECT_FALSE(player.Compile(store.View(), 512));         // at the end of the block
  EXPECT_FALSE(player.Compile(store.View(), 100000));      // beyond it
  EXPECT_FALSE(player.Compile(store.View(), 100));         // inside the header
  EXPECT_FALSE(player.Compile(store::StoreView(), 400));   // no store
  EXPECT_TRUE(player.Idle());
  EXPECT_TRUE(player.Records().empty());
}

TEST(Compile, TextEndingAtOnceAtTheEntryMarkIsPlayable) {
  // A dead key's empty default text: the hook appends the key-down that follows it.
  TestStore store;
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  const uint32_t at = store.Put("");
  EXPECT_TRUE(player.Compile(store.View(), at));
  EXPECT_TRUE(player.Records().empty());
  player.AddRecord(RecordKind::KeyDown, 65, 0);
  EXPECT_EQ(Golden(player, at), "Down65");
  EXPECT_FALSE(player.Idle());
}

TEST(Compile, AppendsToRecordsAlreadyPresent) {
  TestStore store;
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  const uint32_t first = store.Put(400, "a");
  const uint32_t second = store.Put(500, "{b}");
  ASSERT_TRUE(player.Compile(store.View(), first));
  ASSERT_TRUE(player.Compile(store.View(), second));
  // The second text opens its own first group.
  EXPECT_EQ(Golden(player, 0), "Char'a' RelMods Down66 Up66 RelMods");
}

TEST(Compile, StopsAtTheEndOfTheBlock) {
  // No terminator: the text runs into the end of the mapped block and of BlockSize.
  for (const std::string text : {"{!Run abcdefgh", "{@0123456789", "{&1234567", "abcdefghijklmno",
                                 "{F1F1F1F1F1F1F1", "{#999999999999"}) {
    std::vector<uint8_t> block(store::kHeaderSize + text.size());
    store::StoreView view(block.data(), static_cast<uint32_t>(block.size()));
    view.Initialise(static_cast<int32_t>(block.size()));
    std::copy(text.begin(), text.end(), block.begin() + store::kHeaderSize);
    RecordingPlatform platform;
    ReplacementPlayer player(platform);
    EXPECT_TRUE(player.Compile(view, store::kHeaderSize)) << text;
  }
}

TEST(Compile, BlockSizeBelowTheMappingBoundsTheText) {
  TestStore store(1024);
  store.View().Set(store::kBlockSize, 400);
  const uint32_t at = store.Put(396, "abcdefgh");
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  ASSERT_TRUE(player.Compile(store.View(), at));
  EXPECT_EQ(Golden(player, at), "Char'a' Char'b' Char'c' Char'd'");
}

TEST(Compile, CommandOperandIsTheStoreOffsetOfTheArgument) {
  TestStore store;
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  const uint32_t at = store.Put(1000, "ab{!Run   notepad}");
  ASSERT_TRUE(player.Compile(store.View(), at));
  ASSERT_EQ(player.Records().size(), 4u);
  EXPECT_EQ(player.Records()[2].kind, RecordKind::Run);
  EXPECT_EQ(player.Records()[2].position, 1000u + 10u);
  EXPECT_EQ(player.Records()[2].value, 0);
}

TEST(Compile, StopsAtTheRecordLimit) {
  const std::string text(kMaxRecords + 100, 'a');
  TestStore store(static_cast<uint32_t>(text.size() + 1024));
  const uint32_t at = store.Put(text);
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  EXPECT_TRUE(player.Compile(store.View(), at));
  EXPECT_EQ(player.Records().size(), kMaxRecords);
  player.AddRecord(RecordKind::KeyDown, 65, 0);  // no room left
  EXPECT_EQ(player.Records().size(), kMaxRecords);
}

// EnsureRoom is overridable: a player that refuses to grow records nothing.
class NoRoomPlayer : public ReplacementPlayer {
 public:
  using ReplacementPlayer::ReplacementPlayer;
  bool EnsureRoom() override { return false; }
};

TEST(Compile, RecordsOnlyWhatEnsureRoomAllows) {
  TestStore store;
  RecordingPlatform platform;
  NoRoomPlayer player(platform);
  EXPECT_TRUE(player.Compile(store.View(), store.Put("abc{^c}")));
  EXPECT_TRUE(player.Records().empty());
  EXPECT_TRUE(player.Idle());
}

TEST(AddRecord, StoresTheOperandThatBelongsToTheKind) {
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  player.AddRecord(RecordKind::Run, 7, 1234);
  player.AddRecord(RecordKind::Char, 97, 1234);
  player.AddRecord(RecordKind::ReleaseModifiers, 7, 1234);
  const auto& r = player.Records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].position, 1234u);
  EXPECT_EQ(r[0].value, 0);
  EXPECT_EQ(r[1].value, 97);
  EXPECT_EQ(r[1].position, 0u);
  EXPECT_EQ(r[2].value, 0);
  EXPECT_EQ(r[2].position, 0u);
  EXPECT_FALSE(player.Idle());
  player.Reset();
  EXPECT_TRUE(player.Records().empty());
  EXPECT_TRUE(player.Idle());
}

}  // namespace
}  // namespace tessel
