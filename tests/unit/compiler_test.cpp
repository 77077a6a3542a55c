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

TEST(Compile, GoldenRecords) {
  const std::pair<const char*, const char*> cases[] = {
      // Plain characters and literal braces.
      {"abc", "Char'a' Char'b' Char'c'"}, {"{{}", "Char'{' Char'}'"}, {"}", "Char'}'"},
      {"a b", "Char'a' Char#32 Char'b'"}, {"\xC3\xA9\x7F", "Char#233 Char#127"},
      // UTF-8 characters as UTF-16 code units: é→α, an emoji as its surrogate pair (high
      // first); bytes that start no valid sequence give U+FFFD each.
      {"\xC3\xA9\xE2\x86\x92\xCE\xB1", "Char#233 Char#8594 Char#945"},
      {"\xF0\x9F\x98\x80", "Char#55357 Char#56832"},
      {"\xE9x\xF0\x9F", "Char#65533 Char'x' Char#65533 Char#65533"},
      {"{\xCE\xB1}\xCE\xB1", "RelMods RelMods Char#945"},
      // Groups: the first one releases the held modifiers, later ones do not.
      {"{^c}", "RelMods Down17 Down67 Up67 RelMods"},
      {"{+a b}", "RelMods Down16 Down65 Up65 Down66 Up66 RelMods"},
      {"{+a.b}", "RelMods Down16 Down65 Up65 RelMods Down66 Up66 RelMods"},
      {"{%x}", "RelMods Down18 Down88 Up88 RelMods"},
      {"{a}{b}", "RelMods Down65 Up65 RelMods Down66 Up66 RelMods"}, {"{ ,, }", "RelMods RelMods"},
      {"{}", "RelMods RelMods"},
      // Alt and keypad digits.
      {"{@0233}", "RelMods RelMods Down18 Down96 Up96 Down98 Up98 Down99 Up99 Down99 Up99 Up18 RelMods"},
      {"{@12x}", "RelMods RelMods Down18 Down97 Up97 Down98 Up98 Up18 Down88 Up88 RelMods"},
      {"{^@1}", "RelMods Down17 RelMods Down18 Down97 Up97 Up18 RelMods"},
      // Key codes.
      {"{&30}", "RelMods Down&30 Up&30 RelMods"}, {"{&158}", "RelMods Down&158 Up&158 RelMods"},
      {"{&255}", "RelMods Down&255 Up&255 RelMods"}, {"{&0}", "RelMods RelMods"},
      {"{&300}", "RelMods RelMods"}, {"{&256}", "RelMods RelMods"}, {"{&}", "RelMods RelMods"},
      {"{&99999999999999999999}", "RelMods RelMods"},
      {"{&30&31}", "RelMods Down&30 Up&30 Down&31 Up&31 RelMods"},
      // Key names and virtual keys.
      {"{F1}", "RelMods Down112 Up112 RelMods"}, {"{F12}", "RelMods Down123 Up123 RelMods"},
      {"{esc}", "RelMods Down27 Up27 RelMods"}, {"{Escape}", "RelMods Down27 Up27 RelMods"},
      {"{escx}", "RelMods Down27 Up27 Down88 Up88 RelMods"},
      {"{DEL}{delete}", "RelMods Down46 Up46 RelMods Down46 Up46 RelMods"},
      {"{~}", "RelMods Down13 Up13 RelMods"}, {"{_}", "RelMods Down32 Up32 RelMods"},
      {"{#9}", "RelMods Down9 Up9 RelMods"}, {"{#65}", "RelMods Down65 Up65 RelMods"},
      {"{7}", "RelMods Down55 Up55 RelMods"},
      // A token that gives no key steps over one more character: here the "}" or "x".
      {"{#0x}", "RelMods RelMods"}, {"{#0}y", "RelMods Down89 Up89"}, {"{*}", "RelMods RelMods"},
      {"{**}", "RelMods RelMods"}, {"{#}x}", "RelMods Down88 Up88 RelMods"},
      // Macro commands.
      {"{!Run notepad}x", "Run@6 RelMods Char'x'"}, {"{!frob}x", "RelMods Char'x'"}, {"{!}", "RelMods"},
      {"{!Run {x}}", "Run@6 RelMods Char'}'"}, {"{!wait 500}", "Wait@7 RelMods"},
      {"{!WAIT   500}", "Wait@9 RelMods"}, {"{!Focus Setup,Next}", "Focus@8 RelMods"},
      {"{!Runner}", "Run@5 RelMods"}, {"{!Focus }", "Focus@8 RelMods"}, {"{! Run x}", "RelMods"},
      {"x{!Wait 5}{a}", "Char'x' Wait@8 RelMods RelMods Down65 Up65 RelMods"},
      {"{!Run a}{!Run b}", "Run@6 RelMods Run@14 RelMods"},
      // Texts that end inside a construct leave the modifiers as they are.
      {"{", ""}, {"{+", "RelMods Down16"}, {"{@", "RelMods RelMods Down18"},
      {"{@12", "RelMods RelMods Down18 Down97 Up97 Down98 Up98"}, {"{!Run x", "Run@6"},
      // The entry mark ends the text.
      {"a\x01" "b", "Char'a'"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    TestStore store;
    RecordingPlatform platform;
    ReplacementPlayer player(platform);
    const uint32_t at = store.Put(text);
    EXPECT_TRUE(player.Compile(store.View(), at));
    EXPECT_EQ(Golden(player, at), expected);
    EXPECT_EQ(player.Idle(), player.Records().empty());
  }
}

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
  // A BlockSize below the mapping bounds the text.
  TestStore store(1024);
  store.View().Set(store::kBlockSize, 400);
  const uint32_t at = store.Put(396, "abcdefgh");
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  ASSERT_TRUE(player.Compile(store.View(), at));
  EXPECT_EQ(Golden(player, at), "Char'a' Char'b' Char'c' Char'd'");
}

// EnsureRoom is overridable: a player that refuses to grow records nothing.
class NoRoomPlayer : public ReplacementPlayer {
 public:
  using ReplacementPlayer::ReplacementPlayer;
  bool EnsureRoom() override { return false; }
};

TEST(Compile, StopsAtTheRecordLimitAndWhenEnsureRoomRefuses) {
  const std::string text(kMaxRecords + 100, 'a');
  TestStore store(static_cast<uint32_t>(text.size() + 1024));
  const uint32_t at = store.Put(text);
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  EXPECT_TRUE(player.Compile(store.View(), at));
  EXPECT_EQ(player.Records().size(), kMaxRecords);
  player.AddRecord(RecordKind::KeyDown, 65, 0);  // no room left
  EXPECT_EQ(player.Records().size(), kMaxRecords);

  NoRoomPlayer none(platform);
  EXPECT_TRUE(none.Compile(store.View(), store.Put(400, "abc{^c}")));
  EXPECT_TRUE(none.Records().empty());
  EXPECT_TRUE(none.Idle());
}

}  // namespace
}  // namespace tessel
