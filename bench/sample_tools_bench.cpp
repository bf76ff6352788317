// Each sample tool on a sample of the largest size, 65,534 bytes: the work
// done before the swap, outside the audio lock. RESAMPLE's budget is 50 ms.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/player.h"
#include "engine/sample_tools.h"

namespace {

SampleBytes largest_sample() {
  SampleBytes x(kMaxSampleBytes);
  for (int32_t i = 0; i < kMaxSampleBytes; ++i) x[i] = static_cast<int8_t>((i * 37) ^ (i >> 5));
  return x;
}

template <typename Tool>
void run_tool(benchmark::State& state, Tool tool) {
  const SampleBytes x = largest_sample();
  for (auto _ : state) {
    auto result = tool(x);
    benchmark::DoNotOptimize(result);
  }
}

void BM_Boost(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return boost(x); });
}
void BM_Filter(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return smooth(x); });
}
void BM_VolumeRamp(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return ramp_volume(x, 150, 20); });
}
void BM_Normalize(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return normalize_percent(x); });
}
// RESAMPLE from TUNE C-3 to NOTE C-2 (half the bytes) and to NOTE C-4's
// rate, twice C-3's (twice as many, of which 65,534 are kept).
void BM_ResampleToHalf(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return change_rate(x, 214.0 / 428.0); });
}
void BM_ResampleToDouble(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return change_rate(x, 428.0 / 214.0); });
}
void BM_Reverse(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return reversed(x); });
}
void BM_RemoveDc(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return remove_dc(x); });
}
void BM_CrossfadeLoop(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return crossfade_loop(x, 1000, 65000, 4000); });
}
void BM_Mix(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return mix(x, 64, x, 40); });
}
void BM_Echo(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) { return echo(x, 3000, 60); });
}
void BM_Chord(benchmark::State& s) {
  run_tool(s, [](const SampleBytes& x) {
    const int32_t intervals[3] = {4, 7, 12};
    return chord(x, intervals);
  });
}

BENCHMARK(BM_Boost)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Filter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VolumeRamp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Normalize)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResampleToHalf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleToDouble)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reverse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveDc)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CrossfadeLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mix)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Echo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Chord)->Unit(benchmark::kMillisecond);

}  // namespace
