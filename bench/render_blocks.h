// The audio callback's work: 1024-frame blocks into fixed buffers, reported
// as seconds of audio per second of wall time ("x_realtime").
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/mixer.h"
#include "engine/player.h"

inline void render_blocks(benchmark::State& state, Player* player) {
  constexpr int32_t kFrames = 1024;
  static int16_t right[kFrames];
  static int16_t left[kFrames];
  for (auto _ : state) {
    render_audio(player, right, left, 2, kFrames, 1, 16, 2);
    benchmark::DoNotOptimize(right);
    benchmark::DoNotOptimize(left);
  }
  state.counters["x_realtime"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kFrames / 44100.0, benchmark::Counter::kIsRate);
}
