// The output models measured on what they render: the machines' filters
// against the analogue circuits they model, aliasing, stereo separation and
// stems. Expected values come from the circuits (RC and Butterworth
// responses, chip clocks), not from the code. The song's length at each rate
// is checked on the command line (tests/cli/render_models.sh).
#include "engine/machine_mix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <memory>
#include <tuple>
#include <vector>

#include "../files/every_command_module.h"
#include "engine/editing.h"
#include "engine/replayer.h"
#include "engine/song_render.h"
#include "files/module_format.h"
#include "module_builder.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPal = 3546895.0;

double decibels(double ratio) {
  return 20.0 * std::log10(ratio);
}

// Renders `frames` frames of one looping sample of `bytes` on channel 1
// (heard on the right only) at `period` and full volume.
std::vector<int16_t> render_loop(const MixSettings& mix, const std::vector<int8_t>& bytes,
                                 int32_t period, int32_t frames, bool led) {
  Player* p = player_create(44100);
  const auto size = static_cast<int32_t>(bytes.size());
  test_module::make_sample(p, 1, size, 0, size, 64, [&](int32_t i) { return bytes[i]; });
  set_output_rate(*p, mix.rate);
  p->filter_enabled = led ? 1 : 0;
  test_module::start_voice(p, 1, 1, 0, period_step(p, period), 64);
  auto mixer = std::make_unique<OutputMixer>();
  output_mixer_init(*mixer, mix);
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  output_mix(p, *mixer, out.data() + 1, out.data(), 2, frames);
  player_destroy(p);
  return out;
}

// Amplitude of the component at `hz` in the right side of frames
// [from, from + count), through a Hann window.
double amplitude(const std::vector<int16_t>& stereo, int32_t rate, double hz, int32_t from,
                 int32_t count) {
  std::complex<double> sum;
  double weights = 0;
  for (int32_t i = 0; i < count; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2 * kPi * i / count);
    const double x = stereo[static_cast<size_t>(from + i) * 2 + 1];
    sum += w * x * std::polar(1.0, -2 * kPi * hz * (from + i) / rate);
    weights += w;
  }
  return 2 * std::abs(sum) / weights;
}

// The analogue circuit of a model: high-pass, fixed low-pass, LED filter.
double analogue_db(OutputModel model, bool led, double hz) {
  const double fixed = model == OutputModel::kA500 ? 4420.0 : 34000.0;
  double power = 1.0 / (1.0 + std::pow(5.0 / hz, 2));  // one-pole high-pass at 5 Hz
  power /= 1.0 + std::pow(hz / fixed, 2);              // one-pole RC low-pass
  if (led) power /= 1.0 + std::pow(hz / 3300.0, 4);    // two-pole Butterworth
  return 10 * std::log10(power);
}

struct Response {
  std::vector<double> hz;
  std::vector<double> db;
};

// The model's response to a sine of k cycles in a looping `length`-byte
// sample at `period`, for k = 1 .. `most`: the level at
// the sine's frequency over the level the held bytes carry there (the
// hold's own sin(x)/x droop at the byte rate is the hardware's staircase,
// not a filter, and is divided out).
Response measure(const MixSettings& mix, bool led, int32_t period, int32_t length, int32_t most,
                 double seconds) {
  const double byte_rate = machine_clock_hz(mix.clock) / period;
  const auto frames = static_cast<int32_t>(seconds * mix.rate);
  const int32_t settle = mix.rate / 10;
  Response r;
  for (int32_t k = 1; k <= most; ++k) {
    std::vector<int8_t> bytes(length);
    std::complex<double> fundamental;
    for (int32_t i = 0; i < length; ++i) {
      bytes[i] = static_cast<int8_t>(std::lround(100 * std::sin(2 * kPi * k * i / length)));
      fundamental += static_cast<double>(bytes[i]) * std::polar(1.0, -2 * kPi * k * i / length);
    }
    const double hz = k * byte_rate / length;
    const double x = kPi * hz / byte_rate;
    // Byte x volume 64 x pan 255 / 128 is the exact mixer's scale too.
    const double held = 2 * std::abs(fundamental) / length * std::sin(x) / x * 64 * 255 / 128;
    const std::vector<int16_t> out = render_loop(mix, bytes, period, frames, led);
    r.hz.push_back(hz);
    r.db.push_back(decibels(amplitude(out, mix.rate, hz, settle, frames - settle) / held));
  }
  return r;
}

// Where the response first falls through -3 dB, interpolated in log frequency.
double minus_3db_hz(const Response& r) {
  for (size_t i = 1; i < r.db.size(); ++i) {
    if (r.db[i] > -3.0 || r.db[i - 1] <= -3.0) continue;
    const double t = (-3.0 - r.db[i - 1]) / (r.db[i] - r.db[i - 1]);
    return std::exp(std::log(r.hz[i - 1]) + t * (std::log(r.hz[i]) - std::log(r.hz[i - 1])));
  }
  return 0;
}

TEST(MachineModels, FiltersFollowTheAnalogueCircuits) {
  // The sines step by 490 Hz (period 113, 64 bytes, PAL) up to 15.2 kHz.
  struct Row {
    const char* what;
    MixSettings mix;
    bool led;
    double corner;  // the -3 dB point, Hz; 0 where none lies below 15 kHz
  };
  const Row rows[] = {
      {"a500", {OutputModel::kA500, 100, 44100, MachineClock::kPal}, false, 4420},
      {"a500 96 kHz ntsc", {OutputModel::kA500, 100, 96000, MachineClock::kNtsc}, false, 4420},
      {"a500 led", {OutputModel::kA500, 100, 48000, MachineClock::kPal}, true, 0},
      {"a1200", {OutputModel::kA1200, 100, 44100, MachineClock::kPal}, false, 0},
      {"a1200 led", {OutputModel::kA1200, 100, 44100, MachineClock::kPal}, true, 3300},
  };
  for (const Row& row : rows) {
    const Response r = measure(row.mix, row.led, 113, 64, 31, 0.3);
    const bool flat = row.mix.model == OutputModel::kA1200 && !row.led;
    for (size_t i = 0; i < r.hz.size(); ++i) {
      EXPECT_NEAR(r.db[i], analogue_db(row.mix.model, row.led, r.hz[i]), 0.5)
          << row.what << " at " << r.hz[i] << " Hz";
      EXPECT_TRUE(!flat || r.hz[i] > 15000 || std::abs(r.db[i]) < 1.0) << "a1200 at " << r.hz[i];
    }
    if (row.corner > 0) {
      EXPECT_NEAR(minus_3db_hz(r), row.corner, row.corner * 0.1) << row.what;
      // The octave from the 15th to the 30th sine (7.4 to 14.7 kHz): one
      // pole falls by about 6 dB, two by about 12 (the circuits: 5.1, 11.9).
      const double octave = r.db[14] - r.db[29];
      EXPECT_NEAR(octave, row.led ? 12 : 6, row.led ? 1.5 : 1.25) << row.what;
      EXPECT_NEAR(octave,
                  analogue_db(row.mix.model, row.led, r.hz[14]) -
                      analogue_db(row.mix.model, row.led, r.hz[29]),
                  0.5)
          << row.what;
    }
  }
}

TEST(MachineModels, HighPassCornerLiesBelowTenHertz) {
  // Sines of 10 Hz and 2.5 Hz: one cycle in 829 or 3315 bytes at period 428.
  for (const OutputModel model : {OutputModel::kA500, OutputModel::kA1200}) {
    const MixSettings mix{model, 100, 44100, MachineClock::kPal};
    const double ten = measure(mix, false, 428, 829, 1, 1.2).db.at(0);
    EXPECT_GT(ten, -3.0) << output_model_name(model);
    // A 5 Hz one-pole: -0.97 dB at 10 Hz, -7.0 dB at 2.5 Hz.
    EXPECT_NEAR(ten, -0.97, 0.5) << output_model_name(model);
    EXPECT_NEAR(measure(mix, false, 428, 3315, 1, 2.5).db.at(0), -7.0, 0.75)
        << output_model_name(model);
  }
}

// In-place radix-2 FFT.
void fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * kPi / len);
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> u = 1;
      for (size_t k = 0; k < len / 2; ++k, u *= w) {
        const std::complex<double> even = a[i + k];
        const std::complex<double> odd = a[i + k + len / 2] * u;
        a[i + k] = even + odd;
        a[i + k + len / 2] = even - odd;
      }
    }
  }
}

// The strongest component that is no harmonic of `note` Hz, in dB below the
// fundamental, over the last 32768 frames of the right side.
double worst_alias_db(const std::vector<int16_t>& stereo, double note) {
  constexpr size_t kSize = 32768;
  constexpr double kRate = 44100;
  const size_t from = stereo.size() / 2 - kSize;
  std::vector<std::complex<double>> bins(kSize);
  for (size_t i = 0; i < kSize; ++i) {
    // Blackman-Harris: sidelobes far below what is measured.
    const double x = 2 * kPi * i / kSize;
    const double w =
        0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
    bins[i] = w * stereo[(from + i) * 2 + 1];
  }
  fft(bins);
  const double hz_per_bin = kRate / kSize;
  double fundamental = 0;
  double worst = 0;
  for (size_t b = 1; b < kSize / 2; ++b) {
    const double hz = b * hz_per_bin;
    const double level = std::abs(bins[b]);
    const double harmonic = std::round(hz / note);
    const bool near_harmonic = harmonic >= 1 && std::abs(hz - harmonic * note) < 6 * hz_per_bin;
    if (near_harmonic && harmonic == 1) fundamental = std::max(fundamental, level);
    // Below 20 Hz lies only what the high-pass lets through of the start.
    if (!near_harmonic && hz > 20) worst = std::max(worst, level);
  }
  return decibels(worst / fundamental);
}

TEST(MachineModels, BandLimitingKeepsAliasesFarBelowTheNote) {
  // A square wave of 8 bytes at period 113 for one second.
  const std::vector<int8_t> square = {100, 100, 100, 100, -100, -100, -100, -100};
  const std::vector<int16_t> exact = render_loop(kExactMix, square, 113, 44100, false);
  const std::vector<int16_t> a1200 =
      render_loop({OutputModel::kA1200, 100, 44100, MachineClock::kPal}, square, 113, 44100, false);
  // The exact mixer's note is its step's: 11768 / 16384 bytes a frame.
  const double exact_note = 11768.0 / 16384 * 44100 / 8;
  const double exact_db = worst_alias_db(exact, exact_note);
  const double a1200_db = worst_alias_db(a1200, kPal / 113 / 8);
  std::printf("strongest non-harmonic: exact %.1f dB, a1200 %.1f dB\n", exact_db, a1200_db);
  EXPECT_LT(a1200_db, -50.0);
  // Nearest-sample reading folds the 7th harmonic (-17 dB) straight back.
  EXPECT_GT(exact_db, -30.0);
}

// The every-command module rendered whole with `mix`; stems when asked for.
std::vector<std::vector<int16_t>> render_module(const MixSettings& mix, bool stems,
                                                int alone = -1) {
  const std::vector<uint8_t> bytes = test_module::every_command_module_bytes();
  Player* p = player_create(44100);
  EXPECT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok);
  set_output_rate(*p, mix.rate);
  for (int c = 0; c < kChannels; ++c) p->channels[c].enabled = alone < 0 || c == alone;
  std::vector<std::vector<int16_t>> out(stems ? 1 + kChannels : 1);
  auto keep = [](void* context, const SongBlock& b) {
    auto& o = *static_cast<std::vector<std::vector<int16_t>>*>(context);
    for (size_t t = 0; t < o.size(); ++t) {
      const int16_t* from = t == 0 ? b.mix : b.stems[t - 1];
      o[t].insert(o[t].end(), from, from + b.frames * 2);
    }
    return true;
  };
  const SongSink sink{keep, &out};
  render_song(p, int64_t{mix.rate} * 600, &sink, stems, nullptr, mix);
  player_destroy(p);
  return out;
}

constexpr OutputModel kModels[] = {OutputModel::kExact, OutputModel::kA500, OutputModel::kA1200};

TEST(MachineModels, SeparationNarrowsTheStereoByItsFormula) {
  for (const OutputModel model : kModels) {
    const auto wide = render_module({model, 100, 44100, MachineClock::kPal}, false)[0];
    const auto half = render_module({model, 50, 44100, MachineClock::kPal}, false)[0];
    const auto mono = render_module({model, 0, 44100, MachineClock::kPal}, false)[0];
    ASSERT_EQ(wide.size(), half.size());
    ASSERT_EQ(wide.size(), mono.size());
    int32_t unequal = 0;
    double worst = 0;
    for (size_t i = 0; i < wide.size(); i += 2) {
      unequal += mono[i] != mono[i + 1];
      // L' = L (1 + s) / 2 + R (1 - s) / 2 with s = 0.5; each side rounded.
      worst = std::max({worst, std::abs(half[i] - (0.75 * wide[i] + 0.25 * wide[i + 1])),
                        std::abs(half[i + 1] - (0.75 * wide[i + 1] + 0.25 * wide[i]))});
    }
    EXPECT_EQ(unequal, 0) << output_model_name(model);
    EXPECT_LE(worst, 1.0) << output_model_name(model);
    EXPECT_NE(wide, half) << output_model_name(model);
  }
}

TEST(MachineModels, StemsAddUpToTheMixInEveryModel) {
  // model, separation, how far a stem may be from its channel alone: the
  // machine models round each running sum once; the exact model rounds it
  // twice more with its filter on (two) and once more to narrow it.
  const std::tuple<OutputModel, int32_t, int> rows[] = {
      {OutputModel::kA500, 100, 1}, {OutputModel::kA500, 40, 1},  {OutputModel::kA1200, 100, 1},
      {OutputModel::kA1200, 40, 1}, {OutputModel::kExact, 40, 3},
  };
  for (const auto& [model, separation, most] : rows) {
    const MixSettings mix{model, separation, 44100, MachineClock::kPal};
    const auto all = render_module(mix, true);
    for (size_t i = 0; i < all[0].size(); ++i)
      ASSERT_EQ(static_cast<int16_t>(all[1][i] + all[2][i] + all[3][i] + all[4][i]), all[0][i])
          << output_model_name(model) << " " << i;
    for (int c = 0; c < kChannels; ++c) {
      const auto alone = render_module(mix, false, c)[0];
      ASSERT_EQ(alone.size(), all[0].size());
      int worst = 0;
      for (size_t i = 0; i < alone.size(); ++i)
        worst = std::max(worst, std::abs(alone[i] - all[1 + c][i]));
      EXPECT_LE(worst, most) << output_model_name(model) << " " << separation << " channel " << c;
      EXPECT_NE(alone, std::vector<int16_t>(alone.size())) << "channel " << c;
    }
  }
}

}  // namespace
