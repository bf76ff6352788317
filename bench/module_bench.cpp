// Loading and batch-rendering the demo module.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "engine/player.h"
#include "engine/song_render.h"
#include "files/module_format.h"
#include "render_blocks.h"

namespace {

std::vector<uint8_t> demo_bytes() {
  std::ifstream in(TETRAD_SOURCE_DIR "/data/demo.mod", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void BM_ParseDemoModule(benchmark::State& state) {
  const std::vector<uint8_t> bytes = demo_bytes();
  for (auto _ : state) {
    Player* player = player_create(44100);
    const FileResult result =
        parse_module(bytes.data(), bytes.size(), player, kKindModule, nullptr);
    benchmark::DoNotOptimize(result.ok);
    player_destroy(player);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseDemoModule);

// "x_realtime" is seconds of song rendered per second of wall time.
void BM_RenderDemoSong(benchmark::State& state) {
  const std::vector<uint8_t> bytes = demo_bytes();
  int64_t frames = 0;
  for (auto _ : state) {
    Player* player = player_create(44100);
    parse_module(bytes.data(), bytes.size(), player, kKindModule, nullptr);
    frames += static_cast<int64_t>(render_song(player, 44100 * 600, nullptr).size() / 2);
    player_destroy(player);
  }
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(frames) / 44100, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderDemoSong)->Unit(benchmark::kMillisecond)->UseRealTime();

// The audio callback's work alone: 1024-frame blocks of the playing demo
// into fixed buffers, as the program asks for them.
void BM_RenderDemoBlocks(benchmark::State& state) {
  const std::vector<uint8_t> bytes = demo_bytes();
  Player* player = player_create(44100);
  parse_module(bytes.data(), bytes.size(), player, kKindModule, nullptr);
  player->play_mode = kPlaySong;
  render_blocks(state, player);
  player_destroy(player);
}
BENCHMARK(BM_RenderDemoBlocks)->UseRealTime();

}  // namespace
