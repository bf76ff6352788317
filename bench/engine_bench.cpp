// Offline render speed of the mixer and replayer on a busy module built here:
// four channels, all playing looping samples under pitch and volume effects.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "../tests/engine/module_builder.h"
#include "engine/machine_mix.h"
#include "engine/player.h"
#include "engine/preview_voice.h"
#include "engine/replayer.h"
#include "render_blocks.h"

namespace {

void fill_sample(Player* p, int n, int32_t bytes, int32_t loop_start, int volume) {
  Sample& s = p->samples[n];
  s.data = static_cast<int8_t*>(std::malloc(bytes));
  // A sawtooth with a little per-sample character, so every byte differs.
  for (int32_t i = 0; i < bytes; ++i) s.data[i] = static_cast<int8_t>((i * (n + 3)) & 0xFF);
  s.length = bytes * kFixOne;
  s.loop_start = loop_start * kFixOne;
  s.loop_length = (bytes - loop_start) * kFixOne;
  s.loop_end = s.length;
  s.volume = volume;
  s.finetune = n & 15;
}

Player* busy_module(bool filter) {
  Player* p = player_create(44100);
  fill_sample(p, 1, 4000, 1000, 64);
  fill_sample(p, 2, 1200, 200, 50);
  fill_sample(p, 3, 9000, 0, 60);
  fill_sample(p, 4, 300, 100, 48);
  // Every row of every channel has a note and an effect that works per tick.
  static constexpr int kEffects[][2] = {{0x0, 0x37}, {0x4, 0x46}, {0xA, 0x02}, {0x3, 0x08},
                                        {0x7, 0x34}, {0x6, 0x01}, {0x1, 0x01}, {0x5, 0x10}};
  for (int row = 0; row < kRows; ++row) {
    for (int ch = 0; ch < kChannels; ++ch) {
      const int* e = kEffects[(row + ch * 3) % 8];
      test_module::set_cell(p, 0, row, ch, kPeriodTable[0][(row * 5 + ch * 7) % 36],
                            1 + (row + ch) % 4, e[0], e[1]);
    }
  }
  if (filter) test_module::set_cell(p, 0, 0, 0, kPeriodTable[0][0], 1, 0xE, 0x00);
  p->play_mode = kPlaySong;
  return p;
}

void render_busy(benchmark::State& state, bool filter) {
  Player* p = busy_module(filter);
  render_blocks(state, p);
  player_destroy(p);
}

void BM_RenderBusyModule(benchmark::State& state) {
  render_busy(state, false);
}
void BM_RenderBusyModuleFiltered(benchmark::State& state) {
  render_busy(state, true);
}

// The busy module through an output model at 44100 Hz, in the audio
// callback's 1024-frame blocks: range(0) is the model, range(1) the LED
// filter (E00 at the start) off or on.
void BM_RenderBusyModuleModel(benchmark::State& state) {
  Player* p = busy_module(state.range(1) != 0);
  auto mixer = std::make_unique<OutputMixer>();
  const MixSettings mix{static_cast<OutputModel>(state.range(0)), 100, 44100, MachineClock::kPal};
  output_mixer_init(*mixer, mix);
  constexpr int32_t kFrames = 1024;
  static int16_t right[kFrames];
  static int16_t left[kFrames];
  for (auto _ : state) {
    output_mix(p, *mixer, right, left, 1, kFrames);
    benchmark::DoNotOptimize(right);
    benchmark::DoNotOptimize(left);
  }
  state.SetLabel(output_model_name(mix.model));
  state.counters["x_realtime"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kFrames / 44100.0, benchmark::Counter::kIsRate);
  player_destroy(p);
}

// A preview voice added to the sound card's block, as the audio callback
// does while a file is heard before loading: a looping sample at C-3.
void BM_PreviewVoiceBlock(benchmark::State& state) {
  Player* p = player_create(44100);
  fill_sample(p, 1, 60000, 2000, 64);
  PreviewVoice voice{p->samples[1], 0, period_step(p, 214), 255};
  int16_t right[1024] = {};
  int16_t left[1024] = {};
  for (auto _ : state) {
    add_preview(voice, 100, right, left, 1024);
    benchmark::DoNotOptimize(right);
  }
  state.SetItemsProcessed(state.iterations() * 1024);
  player_destroy(p);
}
BENCHMARK(BM_PreviewVoiceBlock);

}  // namespace

// Wall time: x_realtime is audio seconds per wall-clock second.
BENCHMARK(BM_RenderBusyModule)->UseRealTime();
BENCHMARK(BM_RenderBusyModuleFiltered)->UseRealTime();
BENCHMARK(BM_RenderBusyModuleModel)->ArgsProduct({{0, 1, 2}, {0, 1}})->UseRealTime();
