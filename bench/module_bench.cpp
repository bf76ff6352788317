// Loading and batch-rendering the demo module.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/player.h"
#include "engine/song_render.h"
#include "files/audio_out.h"
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

bool to_writers(void* context, const SongBlock& block) {
  auto* writers = static_cast<AudioWriter**>(context);
  bool ok = audio_writer_write(writers[0], block.mix, block.frames);
  for (int c = 0; ok && block.stems && c < kChannels; ++c)
    ok = audio_writer_write(writers[1 + c], block.stems[c], block.frames);
  return ok;
}

// The whole batch render as --render does it: load, then stream the song
// block by block into WAV files (state.range(0) = 1 adds the four stems).
void BM_StreamDemoToWav(benchmark::State& state) {
  const std::vector<uint8_t> bytes = demo_bytes();
  const bool stems = state.range(0) != 0;
  const std::string base = "/tmp/tetrad-bench-" + std::to_string(getpid());
  int64_t frames = 0;
  for (auto _ : state) {
    Player* player = player_create(44100);
    parse_module(bytes.data(), bytes.size(), player, kKindModule, nullptr);
    AudioWriter* writers[1 + kChannels] = {};
    FileResult result{};
    for (int i = 0; i < (stems ? 1 + kChannels : 1); ++i)
      writers[i] =
          audio_writer_open((base + std::to_string(i) + ".wav").c_str(), 2, 44100, -1, result);
    const SongSink sink{to_writers, writers};
    frames += render_song(player, 44100 * 600, &sink, stems, nullptr);
    for (AudioWriter* w : writers)
      if (w) audio_writer_finish(w);
    player_destroy(player);
  }
  for (int i = 0; i < 1 + kChannels; ++i) std::remove((base + std::to_string(i) + ".wav").c_str());
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(frames) / 44100, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StreamDemoToWav)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
