// The undo history under many edits: 1,000 edits of a 64 KB sample (each a
// new block with a few bytes changed, and each a new block of another
// length) and 10,000 cell edits; the counters give the history's bytes, the
// time is one undo and redo of the last step.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/editing.h"
#include "engine/history.h"
#include "engine/player.h"

namespace {

constexpr int32_t kSampleBytes = 65534;

int8_t* sample_block(int32_t bytes, int32_t edit) {
  auto* data = static_cast<int8_t*>(std::malloc(static_cast<size_t>(bytes)));
  for (int32_t i = 0; i < bytes; ++i) data[i] = static_cast<int8_t>(i * 3);
  for (int32_t i = 0; i < 16; ++i) data[(edit * 61 + i) % bytes] = static_cast<int8_t>(edit);
  return data;
}

struct Edited {
  Player* player = player_create(44100);
  History history;
  Edited() { player->history = &history; }
  ~Edited() {
    history_clear(history);
    player_destroy(player);
  }
};

// argument 0: same-length blocks (changed bytes kept); 1: each block 2
// bytes shorter than the last (the old block kept whole).
void BM_UndoSampleStep(benchmark::State& state) {
  Edited e;
  const bool resized = state.range(0) != 0;
  for (int32_t k = 0; k < 1000; ++k) {
    const int32_t bytes = resized ? kSampleBytes - 2 * k : kSampleBytes;
    std::free(replace_sample_data(*e.player, 1, sample_block(bytes, k), bytes, 0, 2));
  }
  for (auto _ : state) {
    history_undo(*e.player);
    history_redo(*e.player);
  }
  state.counters["history_bytes"] = static_cast<double>(e.history.bytes);
  state.counters["steps"] = static_cast<double>(e.history.steps.size());
}
BENCHMARK(BM_UndoSampleStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_UndoCellStep(benchmark::State& state) {
  Edited e;
  for (int32_t k = 0; k < 10000; ++k)
    write_note(*e.player, {k % kPatterns, k % kRows, k % kChannels}, 113 + k % 700, 1 + k % 31);
  for (auto _ : state) {
    history_undo(*e.player);
    history_redo(*e.player);
  }
  state.counters["history_bytes"] = static_cast<double>(e.history.bytes);
  state.counters["steps"] = static_cast<double>(e.history.steps.size());
}
BENCHMARK(BM_UndoCellStep)->Unit(benchmark::kMicrosecond);

}  // namespace
