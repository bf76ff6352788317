// The sample tools on short byte sequences, with values worked out by hand
// from their formulas (rounding halves away from zero, clipping at -128 and
// 127).
#include "engine/sample_tools.h"

#include <gtest/gtest.h>

namespace {

TEST(SampleTools, EachToolOnShortSequences) {
  using B = SampleBytes;
  const int32_t none[3] = {0, 0, 0};
  const struct {
    const char* what;
    B got;
    B want;
  } cases[] = {
      // x[n] + (x[n] - x[n-1]) / 2, x[-1] = x[0].
      {"boost", boost({10, 20, 20, 0, -128, 127}), {10, 25, 20, -10, -128, 127}},
      {"boost rounds halves out", boost({0, 3, 0, -3}), {0, 5, -2, -5}},
      // (x[n-1] + 2 x[n] + x[n+1]) / 4, the ends their own neighbours.
      {"filter", smooth({8, 0, 4, 127, 127}), {6, 3, 34, 96, 127}},
      {"filter rounds halves out", smooth({1, 0, 1, -1, 0, -1}), {1, 1, 0, 0, -1, -1}},
      {"one byte filtered", smooth({-5}), {-5}},
      {"ramp 0 to 200 %", ramp_volume({100, 100, 100, 100, 100}, 0, 200), {0, 50, 100, 127, 127}},
      {"ramp at 50 %", ramp_volume({-3, 3}, 50, 50), {-2, 2}},
      {"reverse", reversed({1, 2, 3}), {3, 2, 1}},
      // The mean, 25.25, taken away.
      {"remove DC", remove_dc({10, 20, 30, 41}), {-15, -5, 5, 16}},
      // Loop 4..8, 2 bytes: byte 6 is 2/3 of 60 and 1/3 of byte 2's 20,
      // byte 7 1/3 of 70 and 2/3 of byte 3's 30.
      {"crossfade",
       crossfade_loop({0, 10, 20, 30, 40, 50, 60, 70, 80, 90}, 4, 8, 2),
       {0, 10, 20, 30, 40, 50, 47, 43, 80, 90}},
      // 64 + 64/2, -64, 32/2, scaled so that 96 becomes 127.
      {"mix", mix({64, -64}, 64, {64, 0, 32}, 32), {127, -85, 21}},
      // Echoes at half the level every 2 bytes until one is below half a step.
      {"echo", echo({100}, 2, 50), {100, 0, 50, 0, 25, 0, 13, 0, 6, 0, 3, 0, 2, 0, 1}},
      {"chord of no intervals", chord({10, -20}, none), {64, -127}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(SampleTools, NormalizingRatesAndLoops) {
  // round(x p / 100) within -128..127: 127.5 / 64, 128.5 / 128, the 200 cap.
  EXPECT_EQ(normalize_percent({64, 3}), 199);
  EXPECT_EQ(normalize_percent({100, -128}), 100);
  EXPECT_EQ(normalize_percent({50, -20}), 200);
  EXPECT_EQ(normalize_percent({}), 200);
  const SampleBytes long_one(1200, 40);
  EXPECT_NEAR(static_cast<double>(change_rate(long_one, 0.5).size()), 600, 1);
  EXPECT_NEAR(static_cast<double>(change_rate(long_one, 2.0).size()), 2400, 1);
  EXPECT_EQ(change_rate(SampleBytes(40000, 1), 2.0).size(), size_t{kMaxSampleBytes});
  const int32_t octave_up[3] = {12, 0, 0}, octave_down[3] = {-12, 0, 0};
  EXPECT_EQ(chord(long_one, octave_up).size(), 1200u);  // the longest part: the sample
  EXPECT_NEAR(static_cast<double>(chord(long_one, octave_down).size()), 2400, 1);
  // start, length, ratio, sample length: the loop wanted.
  const struct {
    int32_t start, bytes;
    double ratio;
    int32_t length, want_start, want_bytes;
  } loops[] = {{100, 200, 0.5, 500, 50, 100},
               {101, 51, 1.5, 400, 152, 76},
               {10, 4, 0.25, 100, 0, 2},         // two bytes left: off
               {100, 300, 1.0, 301, 100, 200}};  // kept within the even length
  for (const auto& l : loops) {
    int32_t start = l.start, bytes = l.bytes;
    scale_loop(&start, &bytes, l.ratio, l.length);
    EXPECT_EQ(start * 100000 + bytes, l.want_start * 100000 + l.want_bytes) << l.start;
  }
}

}  // namespace
