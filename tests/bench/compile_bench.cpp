// Compile cost of replacement text: it runs inside the keyboard hook of the focused
// application, so a long text must compile in microseconds.
#include <benchmark/benchmark.h>

#include "hooklib/player.h"
#include "unit/recording_platform.h"

#include <string>

namespace {

using tessel::ReplacementPlayer;
using tessel::testing::RecordingPlatform;
using tessel::testing::TestStore;

std::string Repeat(const std::string& piece, size_t length) {
  std::string text;
  while (text.size() + piece.size() <= length) text += piece;
  text.append(length - text.size(), 'x');
  return text;
}

void CompileText(benchmark::State& state, const std::string& text) {
  TestStore store(static_cast<uint32_t>(text.size() + 1024));
  const uint32_t at = store.Put(text);
  RecordingPlatform platform;
  ReplacementPlayer player(platform);
  size_t records = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(player.Compile(store.View(), at));
    records = player.Records().size();
    player.Reset();
  }
  state.counters["records"] = static_cast<double>(records);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_CompilePlain1000(benchmark::State& state) {
  CompileText(state, Repeat("The quick brown fox jumps over the lazy dog. ", 1000));
}
void BM_CompileGroups1000(benchmark::State& state) {
  CompileText(state, Repeat("ab{^c}{+a b}{F12}{escape}{@0233}{&30}{#9}{pgdown}{~} ", 1000));
}
void BM_CompileKeyNames1000(benchmark::State& state) {
  // The slowest token: a name near the end of the table, tried against every row.
  CompileText(state, Repeat("{oemclear oemclear oemclear}", 1000));
}
void BM_CompileCommands1000(benchmark::State& state) {
  CompileText(state, Repeat("{!Wait 10}{!Focus Untitled,OK}{!Run notepad}", 1000));
}

// Playing a whole 1000-character plain text to the end (all characters in one tick).
void BM_PlayPlain1000(benchmark::State& state) {
  const std::string text = Repeat("The quick brown fox jumps over the lazy dog. ", 1000);
  TestStore store(static_cast<uint32_t>(text.size() + 1024));
  const uint32_t at = store.Put(text);
  RecordingPlatform platform;
  platform.silent = true;
  platform.focus = 5;
  ReplacementPlayer player(platform);
  for (auto _ : state) {
    player.Compile(store.View(), at);
    while (!player.Idle()) player.Play(store.View());
    platform.posts.clear();
  }
}

}  // namespace

BENCHMARK(BM_CompilePlain1000);
BENCHMARK(BM_CompileGroups1000);
BENCHMARK(BM_CompileKeyNames1000);
BENCHMARK(BM_CompileCommands1000);
BENCHMARK(BM_PlayPlain1000);

