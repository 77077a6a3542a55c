// The map loader over an in-memory settings file: the bytes it writes, what it skips,
// the fit test and the settings it writes back.
#include "hooklib/loader.h"

#include "common/memory_profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tessel {
namespace {

using store::StoreView;

struct Store {
  explicit Store(int32_t blockSize = 20480, uint32_t mapped = 0)
      : bytes(mapped ? mapped : static_cast<uint32_t>(blockSize), 0) {
    View().Set(store::kBlockSize, blockSize);
  }
  StoreView View() { return StoreView(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  uint32_t U32(uint32_t offset) const {
    return bytes.at(offset) | bytes.at(offset + 1) << 8 | bytes.at(offset + 2) << 16 |
           static_cast<uint32_t>(bytes.at(offset + 3)) << 24;
  }
  std::vector<uint8_t> bytes;
};

std::string Hex(uint8_t c) {
  char hex[4];
  std::snprintf(hex, sizeof hex, "%02x", c);
  return hex;
}

std::string Escaped(uint8_t c) {
  if (c == '"' || c == '\\') return std::string("\\") + static_cast<char>(c);
  return c >= 0x20 && c < 0x7f ? std::string(1, static_cast<char>(c)) : "\\x" + Hex(c);
}

// The loaded data of a block as readable text, read byte by byte without the store's
// accessors: header fields, then every string and table at its offset.
std::string Dump(const Store& s) {
  std::string out;
  auto field = [&](const char* name, uint32_t offset) {
    out += std::string(name) + "=" + std::to_string(static_cast<int32_t>(s.U32(offset))) + " ";
  };
  for (auto [name, offset] : {std::pair{"NeededSize", 8}, {"DataEnd", 12}, {"PathOffset", 16},
                              {"NameTableOffset", 24}, {"TextTableOffset", 20}, {"LoadedCount", 28}})
    field(name, offset);
  out.back() = '\n';
  auto cString = [&](uint32_t at) {
    std::string text = "\"";
    while (s.bytes.at(at) != 0) text += Escaped(s.bytes.at(at++));
    return text + "\"";
  };
  auto mapText = [&](uint32_t at) {
    std::string text;
    bool entryStart = false;
    for (; s.bytes.at(at) != 0; ++at) {
      const uint8_t c = s.bytes.at(at);
      if (c == 1) {
        text += (text.empty() ? "01" : "\" 01");
        entryStart = true;
      } else if (entryStart) {
        text += " [" + Hex(c) + " " + Hex(s.bytes.at(at + 1)) + "]\"";
        ++at;
        entryStart = false;
      } else {
        text += Escaped(c);
      }
    }
    return text;
  };
  const uint32_t n = s.U32(28);
  const uint32_t names = s.U32(24);
  const uint32_t texts = s.U32(20);
  out += "@" + std::to_string(s.U32(16)) + " " + cString(s.U32(16)) + "\n";
  for (auto [label, table] : {std::pair{"names", names}, std::pair{"texts", texts}}) {
    out += "@" + std::to_string(table) + " " + label;
    for (uint32_t i = 0; i <= n; ++i) out += " " + std::to_string(s.U32(table + 4 * i));
    out += "\n";
  }
  for (uint32_t i = 0; i <= n; ++i) {
    out += "@" + std::to_string(s.U32(names + 4 * i)) + " " + cString(s.U32(names + 4 * i)) + "\n";
    out += "@" + std::to_string(s.U32(texts + 4 * i)) + " " + mapText(s.U32(texts + 4 * i)) + "\n";
  }
  return out;
}

std::string AsString(store::Bytes bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.begin), bytes.size());
}

// Text of the entry for key code / state in map index, or "(none)".
std::string Lookup(StoreView view, int32_t index, uint8_t keyCode, uint8_t state) {
  const store::EntryLookup found =
      store::FindEntry(view, view.MapText(index), static_cast<uint8_t>(keyCode + 1), 0x80 | state);
  return found.found ? AsString(view.EntryTextAt(found.textOffset)) : "(none)";
}

TEST(LoadMaps, WritesTheLayoutByteForByte) {
  MemoryProfile profile("t.ini",
                        "[MAPS]\nGREEK=\n"
                        "[Selectors]\n30_C=GREEK\n"
                        "[GREEK]\n30_N=alpha\n31_N=\\sb\\\\\n");
  Store s;
  StoreView view = s.View();
  EXPECT_TRUE(LoadMaps(profile, view).fits);
  EXPECT_EQ(Dump(s),
            "NeededSize=364 DataEnd=364 PathOffset=304 NameTableOffset=310 TextTableOffset=318 "
            "LoadedCount=1\n"
            "@304 \"t.ini\"\n"
            "@310 names 326 342\n"
            "@318 texts 332 348\n"
            "@326 \"<off>\"\n"
            "@332 01 [1f 82]\"GREEK\" 01\n"
            "@342 \"GREEK\"\n"
            "@348 01 [1f 80]\"alpha\" 01 [20 80]\" b\\\\\" 01\n");
  EXPECT_EQ(s.bytes.at(364), 0);  // nothing written behind DataEnd
}

// The rule table starts at DataEnd rounded up to 4; only a valid rule makes one. Bits of
// the flags byte other than the table's are left alone.
TEST(LoadMaps, ProgramRuleTableFollowsTheMapTexts) {
  struct Case {
    const char* programs;
    int32_t blockSize, neededSize, dataEnd;  // dataEnd 0: does not fit
    uint8_t flags;
  };
  const Case cases[] = {{"", 20480, 365, 365, 0xFE},
                        {"C:\\a.exe=GREEK\nb.exe=NOMAP\n", 20480, 365, 365, 0xFE},
                        {"WinWord.exe=GREEK\n", 425, 424, 365, 0xFF},
                        {"WinWord.exe=GREEK\n", 424, 424, 0, 0xFF}};
  for (const Case& c : cases) {
    MemoryProfile profile("t1.ini", std::string("[MAPS]\nGREEK=\n[Selectors]\n30_C=GREEK\n"
                                                "[GREEK]\n30_N=alpha\n31_N=\\sb\\\\\n[Programs]\n") + c.programs);
    Store s(c.blockSize);
    s.bytes[37] = 0xFF;
    StoreView view = s.View();
    EXPECT_EQ(LoadMaps(profile, view).fits, c.dataEnd != 0) << c.programs;
    EXPECT_EQ(view.Get(store::kNeededSize), c.neededSize) << c.programs;
    EXPECT_EQ(view.Get(store::kDataEnd), c.dataEnd) << c.programs;
    EXPECT_EQ(s.bytes[37], c.flags) << c.programs;
    EXPECT_EQ(FindProgramRule(view, "WINWORD.EXE").found, c.flags == 0xFF && c.dataEnd != 0);
  }
}

TEST(LoadMaps, EmptyFileLoadsOnlyOff) {
  for (const std::string name : {"TESSEL32.INI", "C:\\tessel\\a much longer name.ini"}) {
    MemoryProfile profile(name, "");
    Store s;
    StoreView view = s.View();
    const LoadResult result = LoadMaps(profile, view);
    const int32_t expected = 304 + static_cast<int32_t>(name.size()) + 1 + 6 + 2 + 8;
    EXPECT_TRUE(result.fits);
    EXPECT_EQ(result.neededSize, expected);
    EXPECT_EQ(view.Get(store::kNeededSize), expected);
    EXPECT_EQ(view.Get(store::kDataEnd), expected);
    EXPECT_EQ(view.LoadedCount(), 0);
    EXPECT_EQ(view.MapName(0), "<off>");
    EXPECT_EQ(AsString(view.MapText(0)), "\x01");
    EXPECT_EQ(view.SettingsPath(), name);
  }
}

TEST(LoadMaps, MapsFollowTheMapsSectionInFileOrder) {
  MemoryProfile profile("TESSEL32.INI",
                        "[MAPS]\nzeta=\nalpha=\nA name of twenty ch=\n+dead=\n"
                        "[zeta]\n2_N=z\n[+dead]\n2_N=d\n");
  Store s;
  StoreView view = s.View();
  ASSERT_TRUE(LoadMaps(profile, view).fits);
  ASSERT_EQ(view.LoadedCount(), 4);
  const char* names[] = {"<off>", "zeta", "alpha", "A name of twenty ch", "+dead"};
  for (int32_t i = 0; i <= 4; ++i) EXPECT_EQ(view.MapName(i), names[i]);
  EXPECT_EQ(Lookup(view, 1, 2, 0), "z");
  EXPECT_EQ(AsString(view.MapText(2)), "\x01");  // listed but without a section
  EXPECT_EQ(Lookup(view, 4, 2, 0), "d");
}

TEST(LoadMaps, EntriesKeepSectionOrderAndTheFirstOfAKeyWins) {
  MemoryProfile profile("TESSEL32.INI",
                        "[MAPS]\nM=\n"
                        "[M]\n31_N=second key\n30_N=first\n030_N=shadowed\n$1E_S=hex\n"
                        "200_CAS=extended\n286_N=wrapped\n0_N=scan zero\n");
  Store s;
  StoreView view = s.View();
  ASSERT_TRUE(LoadMaps(profile, view).fits);
  struct Case {
    uint8_t keyCode, state;
    const char* text;
  };
  const Case cases[] = {{30, 0, "first"},      {31, 0, "second key"}, {30, 1, "hex"},   {200, 7, "extended"},
                        {0, 0, "scan zero"},  {30, 2, "(none)"},     {32, 0, "(none)"}};
  for (const Case& c : cases) EXPECT_EQ(Lookup(view, 1, c.keyCode, c.state), c.text);

  std::string order;
  const store::Bytes text = view.MapText(1);
  store::MapEntry entry;
  for (const uint8_t* cursor = text.begin; store::NextEntry(text, cursor, entry);)
    order += std::to_string(entry.keyByte - 1) + " ";
  EXPECT_EQ(order, "31 30 30 30 200 30 0 ");
}

TEST(CompileMaps, SkipsWhatCannotBeStored) {
  struct Case {
    const char* key;
    const char* value;
    bool stored;
    int32_t skipped;  // counted as not storable; rejected descriptors are not counted
  };
  const Case cases[] = {
      {"Comment", "x", false, 0},     {"12345678", "x", false, 0},   {"30_SC", "x", false, 0},
      {"30_", "x", false, 0},         {"30 _N", "x", false, 0},      {"255_N", "x", false, 1},
      {"511_N", "x", false, 1},       {"-1_N", "x", false, 1},       {"30_N", "a\\000b", false, 1},
      {"30_N", "a\\001", false, 1}, {"30_N", "\\256", false, 1}, {"30_N", "\\257", false, 1},
      {"30_N", "\\2", true, 0},     {"254_N", "ok", true, 0},      {"30_N", "", true, 0},
  };
  for (const Case& c : cases) {
    const std::string text = std::string("[MAPS]\nM=\n[M]\n") + c.key + "=" + c.value +
                             "\n40_N=after\n";
    MemoryProfile profile("TESSEL32.INI", text);
    const CompiledMaps maps = CompileMaps(profile);
    ASSERT_EQ(maps.texts.size(), 2u);
    EXPECT_EQ(maps.skippedEntries, c.skipped) << c.key << "=" << c.value;
    const std::string& mapText = maps.texts[1];
    EXPECT_EQ(mapText.find('\0'), std::string::npos);
    // The entry behind the skipped one is intact.
    EXPECT_NE(mapText.find(std::string("\x01\x29\x80" "after\x01")), std::string::npos) << c.key;
    EXPECT_EQ(std::count(mapText.begin(), mapText.end(), '\x01'), c.stored ? 3 : 2) << c.key;
  }
}

TEST(CompileMaps, NeededSizeCountsOnlyStoredEntries) {
  MemoryProfile with("TESSEL32.INI", "[MAPS]\nM=\n[M]\n30_N=abc\n255_N=skipped\n31_N=\\001\n");
  MemoryProfile without("TESSEL32.INI", "[MAPS]\nM=\n[M]\n30_N=abc\n");
  EXPECT_EQ(CompileMaps(with).neededSize, CompileMaps(without).neededSize);
  EXPECT_EQ(CompileMaps(with).skippedEntries, 2);
}

TEST(CompileMaps, SelectorValuesAreDecodedAndKeptWhole) {
  MemoryProfile profile("TESSEL32.INI",
                        "[MAPS]\nGREEK=\n[Selectors]\n30_C=GRE\\sEK\n59_C=<off>\n"
                        "60_C=a name longer than fifteen\nNotAKey=GREEK\n");
  const CompiledMaps maps = CompileMaps(profile);
  EXPECT_EQ(maps.names[0], "<off>");
  EXPECT_EQ(maps.texts[0], std::string("\x01\x1f\x82GRE EK\x01\x3c\x82<off>\x01"
                                       "\x3d\x82" "a name longer than fifteen\x01"));
}

// A settings file whose maps need exactly `needed` bytes: `count` entries of 1003 bytes
// each and one padding entry of 0..1002 text bytes.
MemoryProfile ProfileNeeding(int32_t needed) {
  auto build = [](int count, size_t padding) {
    std::string text = "[MAPS]\nBIG=\n[BIG]\n";
    for (int key = 2; key < 2 + count; ++key)
      text += std::to_string(key) + "_N=" + std::string(1000, 'x') + "\n";
    return text + "200_N=" + std::string(padding, 'y') + "\n";
  };
  MemoryProfile probe("TESSEL32.INI", build(0, 0));
  const int32_t base = CompileMaps(probe).neededSize;
  const int count = (needed - base) / 1003;
  return MemoryProfile("TESSEL32.INI", build(count, static_cast<size_t>((needed - base) % 1003)));
}

TEST(LoadMaps, FitsOnlyBelowBlockSize) {
  struct Case {
    int32_t needed;
    bool fits;
    int32_t allocate;
  };
  const Case cases[] = {{20479, true, 19}, {20480, false, 20}, {19500, true, 19}, {20481, false, 20}};
  for (const Case& c : cases) {
    MemoryProfile profile = ProfileNeeding(c.needed);
    ASSERT_EQ(CompileMaps(profile).neededSize, c.needed);
    Store s;
    StoreView view = s.View();
    const LoadResult result = LoadMaps(profile, view);
    EXPECT_EQ(result.fits, c.fits) << c.needed;
    EXPECT_EQ(view.Get(store::kNeededSize), c.needed);
    EXPECT_EQ(profile.ReadInteger("TESSEL32", "Allocate", -99), c.allocate);
    EXPECT_EQ(view.LoadedCount(), c.fits ? 1 : 0);
    if (c.fits) {
      EXPECT_EQ(view.Get(store::kDataEnd), c.needed);
    }
  }
  // The mapped size bounds the fit whatever BlockSize says.
  MemoryProfile profile = ProfileNeeding(5000);
  Store s(1 << 30, 4096);
  StoreView view = s.View();
  EXPECT_FALSE(LoadMaps(profile, view).fits);
  EXPECT_EQ(view.Get(store::kLoadedCount), 0);
}

TEST(LoadMaps, FailedAllocateWriteLeavesTheLoadedDataAlone) {
  MemoryProfile first("TESSEL32.INI", "[MAPS]\nOLD=\n[OLD]\n30_N=old\n");
  Store s;
  StoreView view = s.View();
  ASSERT_TRUE(LoadMaps(first, view).fits);
  const std::vector<uint8_t> before = s.bytes;

  MemoryProfile second("C:\\x\\y.ini", "[MAPS]\nNEW=\n[NEW]\n30_N=new\n");
  second.SetWritesFail(true);
  try {
    LoadMaps(second, view);
    FAIL() << "no error";
  } catch (const ProfileWriteError& error) {
    EXPECT_STREQ(error.what(), "Unable to write to C:\\x\\y.ini");
  }
  std::vector<uint8_t> after = s.bytes;
  // Only NeededSize may differ.
  for (int i = 8; i < 12; ++i) after[i] = before[i];
  EXPECT_EQ(after, before);
  EXPECT_EQ(view.MapName(1), "OLD");
}

TEST(LoadMaps, DoesNotFitKeepsThePreviousMaps) {
  MemoryProfile small("TESSEL32.INI", "[MAPS]\nSMALL=\n[SMALL]\n30_N=s\n");
  Store s;
  StoreView view = s.View();
  ASSERT_TRUE(LoadMaps(small, view).fits);
  const int32_t dataEnd = view.Get(store::kDataEnd);

  MemoryProfile big = ProfileNeeding(30000);
  EXPECT_FALSE(LoadMaps(big, view).fits);
  EXPECT_EQ(view.Get(store::kNeededSize), 30000);
  EXPECT_EQ(view.Get(store::kDataEnd), dataEnd);
  EXPECT_EQ(view.LoadedCount(), 1);
  EXPECT_EQ(view.MapName(1), "SMALL");
  EXPECT_EQ(Lookup(view, 1, 30, 0), "s");
}

TEST(LoadMaps, MessageTimeFollowsDoBeepAndMessageShowTime) {
  struct Case {
    const char* settings;
    int32_t messageTime;
  };
  const Case cases[] = {
      {"", -300},                                       {"DoBeep=0\nMessageShowTime=300\n", 300},
      {"DoBeep=1\nMessageShowTime=300\n", -300},        {"DoBeep=0\nMessageShowTime=0\n", 0},
      {"DoBeep=1\nMessageShowTime=0\n", 0},             {"DoBeep=abc\nMessageShowTime=1000\n", -1000},
      {"DoBeep=7\nMessageShowTime=abc\n", -300},        {"DoBeep=1\nMessageShowTime=-50\n", 50},
      {"DoBeep=0\nMessageShowTime=0x10\n", 16},         {"DoBeep=1\nMessageShowTime=-2147483648\n", INT32_MIN},
  };
  for (const Case& c : cases) {
    MemoryProfile profile("TESSEL32.INI", std::string("[TESSEL32]\n") + c.settings);
    Store s;
    StoreView view = s.View();
    LoadMaps(profile, view);
    EXPECT_EQ(view.Get(store::kMessageTime), c.messageTime) << c.settings;
  }
}

TEST(LoadMaps, MessageTimeIsWrittenEvenWhenTheMapsDoNotFit) {
  MemoryProfile profile("TESSEL32.INI", "[TESSEL32]\nDoBeep=0\nMessageShowTime=123\n");
  Store s(320, 4096);
  StoreView view = s.View();
  EXPECT_FALSE(LoadMaps(profile, view).fits);  // 304 + 13 + 16 = 333 > 320
  EXPECT_EQ(view.Get(store::kMessageTime), 123);
  EXPECT_EQ(profile.ReadInteger("TESSEL32", "Allocate", -99), 0);
}

TEST(LoadMaps, ReloadOverwritesTheTables) {
  Store s;
  StoreView view = s.View();
  MemoryProfile first("TESSEL32.INI", "[MAPS]\nA=\nB=\nC=\n");
  ASSERT_TRUE(LoadMaps(first, view).fits);
  MemoryProfile second("TESSEL32.INI", "[MAPS]\nONLY=\n[ONLY]\n30_N=x\n");
  ASSERT_TRUE(LoadMaps(second, view).fits);
  EXPECT_EQ(view.LoadedCount(), 1);
  EXPECT_EQ(view.MapName(1), "ONLY");
  EXPECT_EQ(view.MapName(2), "<off>");
  EXPECT_EQ(view.IndexByName("c"), 0);
  EXPECT_EQ(view.IndexByName("only"), 1);
}

}  // namespace
}  // namespace tessel
