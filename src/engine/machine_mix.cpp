#include "engine/machine_mix.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/replayer.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The machines' analogue filters, in Hz.
constexpr double kHighPassHz = 5.0;        // output coupling
constexpr double kA500LowPassHz = 4420.0;  // fixed RC low-pass
constexpr double kA1200LowPassHz = 34000.0;
constexpr double kLedLowPassHz = 3300.0;  // the switchable two-pole Butterworth

// Paula cannot fetch faster than about one byte per 124 clocks; periods far
// below that (from damaged files) are held here so that a step costs a
// bounded number of band-limited steps per frame.
constexpr double kFastestPeriod = 54.0;

// The band-limited step: a Kaiser-windowed sinc impulse cut off just below
// the output's Nyquist frequency, integrated, tabulated at kBlepPhases
// sub-frame offsets so that a step lands at its exact time. The fixed RC
// low-pass is part of the step: through a one-pole RC a step approaches its
// level as 1 - exp(-t / tau), and past the taps the band-limited version is
// that same exponential scaled, so the table hands the rest to a one-pole
// recursion with the RC's own pole. The output then is the RC's sampled,
// where a digital one-pole section would bend its curve near Nyquist.
constexpr int32_t kTaps = 2 * kBlepHalf;
constexpr double kCutoff = 0.45;  // of the output rate
constexpr double kKaiserBeta = 7.0;

double bessel_i0(double x) {
  double sum = 1.0;
  double term = 1.0;
  for (int k = 1; k < 50; ++k) {
    const double f = x / (2.0 * k);
    term *= f * f;
    sum += term;
  }
  return sum;
}

double blep_impulse(double x) {
  const double r = x / kBlepHalf;
  const double window =
      bessel_i0(kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - r * r))) / bessel_i0(kKaiserBeta);
  const double a = 2.0 * kPi * kCutoff * x;
  const double sinc = a == 0.0 ? 1.0 : std::sin(a) / a;
  return 2.0 * kCutoff * sinc * window;
}

void build_step(BandLimitedStep& step, double rc_hz, double rate) {
  const double tau = rate / (2.0 * kPi * rc_hz);  // frames
  constexpr int32_t kPoints = kTaps * kBlepPhases;
  const double h = 1.0 / kBlepPhases;
  // On a grid of h from -kBlepHalf, by Simpson's rule on each interval: the
  // impulse's integral, and its integral through the RC (the impulse
  // convolved with exp(-t / tau)).
  std::vector<double> plain(kPoints + 1, 0.0);
  std::vector<double> through_rc(kPoints + 1, 0.0);
  const double shrink = std::exp(-h / tau);
  for (int32_t j = 0; j < kPoints; ++j) {
    const double x = j * h - kBlepHalf;
    const double f0 = blep_impulse(x);
    const double f1 = blep_impulse(x + h / 2);
    const double f2 = blep_impulse(x + h);
    plain[j + 1] = plain[j] + h / 6 * (f0 + 4 * f1 + f2);
    through_rc[j + 1] =
        through_rc[j] * shrink + h / 6 * (f0 * shrink + 4 * f1 * std::exp(-h / 2 / tau) + f2);
  }
  const double total = plain[kPoints];
  for (int32_t i = 0; i <= kBlepPhases; ++i) {
    for (int32_t k = 0; k < kTaps; ++k) {
      const int32_t j = k * kBlepPhases + i;
      step.rows[i][k] = static_cast<float>((plain[j] - through_rc[j]) / total);
    }
    step.tail[i] = static_cast<float>(through_rc[kPoints] / total *
                                      std::exp(-static_cast<double>(i) / kBlepPhases / tau));
  }
  step.pole = std::exp(-1.0 / tau);
}

// A step of `delta` in a voice's staircase at time t (frames from the span's
// first frame, t >= 0).
inline void add_step(const BandLimitedStep& shape, MachineVoice& v, double t, int32_t delta) {
  const auto first = static_cast<int32_t>(t) + 1;
  const auto phase = static_cast<int32_t>((first - t) * kBlepPhases + 0.5);
  const float* row = shape.rows[phase];
  float* ripple = v.ripple + first;
  const auto d = static_cast<float>(delta);
  for (int32_t k = 0; k < kTaps; ++k) ripple[k] += d * row[k];
  v.steps[first + kTaps] += delta;
  v.owed[first + kTaps] -= d * shape.tail[phase];
  v.used = std::max(v.used, first + kTaps + 1);
}

inline void hold_level(const BandLimitedStep& shape, MachineVoice& v, double t, int32_t level) {
  if (level != v.level) add_step(shape, v, t, level - v.level);
  v.level = level;
}

// Two-pole Butterworth low-pass with its poles matched to the analogue ones
// and its magnitude matched at 0 Hz and at the cutoff (-3 dB).
void two_pole_low_pass(double cutoff, double rate, OutputFilters& f) {
  const double w = 2.0 * kPi * cutoff / rate;
  const double q = std::sqrt(0.5);
  const double zeta = 1.0 / (2.0 * q);
  const double a1 = -2.0 * std::exp(-zeta * w) * std::cos(std::sqrt(1.0 - zeta * zeta) * w);
  const double a2 = std::exp(-2.0 * zeta * w);
  const double big_a0 = (1 + a1 + a2) * (1 + a1 + a2);
  const double big_a1 = (1 - a1 + a2) * (1 - a1 + a2);
  const double big_a2 = -4 * a2;
  const double s = std::sin(w / 2) * std::sin(w / 2);
  const double phi0 = 1 - s;
  const double phi1 = s;
  const double phi2 = 4 * phi0 * phi1;
  const double r1 = (big_a0 * phi0 + big_a1 * phi1 + big_a2 * phi2) * q * q;
  const double b1_sq = std::max(0.0, (r1 - big_a0 * phi0) / phi1);
  f.led_b0 = (std::sqrt(big_a0) + std::sqrt(b1_sq)) / 2;
  f.led_b1 = std::sqrt(big_a0) - f.led_b0;
  f.led_a1 = a1;
  f.led_a2 = a2;
}

OutputFilters machine_filters(double rate) {
  OutputFilters f{};
  const double k = std::tan(kPi * kHighPassHz / rate);
  f.high_gain = 1.0 / (1.0 + k);
  f.high_pole = (1.0 - k) / (1.0 + k);
  two_pole_low_pass(kLedLowPassHz, rate, f);
  return f;
}

double increment(const Player* player, MachineVoice& v, int32_t step, double clock) {
  if (step != v.step) {
    v.step = step;
    const double period = std::max(step_period(player, step), kFastestPeriod);
    v.increment = step > 0 ? clock / (period * player->output_rate) : 0.0;
  }
  return v.increment;
}

// Lays down one span of a channel's staircase: its level at the span's
// start, then a step at each byte boundary, with the exact mixer's rules for
// sample ends, loops, pending samples and range play.
void synthesise(const Player* player, const OutputMixer& mixer, ChannelState& ch, MachineVoice& v,
                bool range, int32_t n) {
  const BandLimitedStep& shape = mixer.step;
  if (ch.enabled == 0 || ch.position < 0) {
    hold_level(shape, v, 0.0, 0);
    return;
  }
  const int32_t volume = heard_volume(player, ch);
  SampleView view = sample_view(player, ch.sample, range);
  // The byte at position q, wrapping at the loop's end; false where the
  // channel stops.
  auto enter = [&](int32_t& q, int32_t& value) {
    if (static_cast<uint32_t>(q) < static_cast<uint32_t>(view.end)) {
      value = view.data[q >> 14];
      return true;
    }
    if (!view.loops || q < view.loop_end || (q = wrap_position(view, q)) < 0) return false;
    value = view.data[q >> 14];
    // The wrapped byte is the old sample's; the new one follows it.
    if (ch.pending_sample != 0) {
      ch.sample = ch.pending_sample;
      view = sample_view(player, ch.sample, range);
    }
    return true;
  };
  int32_t p = ch.position;
  int32_t value = 0;
  if (!enter(p, value)) {
    hold_level(shape, v, 0.0, 0);
    ch.position = -1;
    return;
  }
  hold_level(shape, v, 0.0, value * volume);
  const double inc = increment(player, v, ch.step, mixer.clock);
  if (inc <= 0.0) {
    ch.position = p;
    return;
  }
  const double each = 1.0 / inc;
  int32_t byte = p >> 14;
  double t = (1.0 - (p & (kFixOne - 1)) / static_cast<double>(kFixOne)) * each;
  while (t < n) {
    int32_t q = (byte + 1) * kFixOne;
    if (!enter(q, value)) {
      hold_level(shape, v, t, 0);
      ch.position = -1;
      return;
    }
    byte = q >> 14;
    hold_level(shape, v, t, value * volume);
    t += each;
  }
  // The part of the current byte already played when the span ends.
  const double played = 1.0 - (t - n) * inc;
  ch.position = byte * kFixOne + std::clamp(static_cast<int32_t>(played * kFixOne), 0, kFixOne - 1);
}

// A span of the two sides: the voices' whole steps (byte x volume x pan),
// the band-limited part of them and what the RC's approach owes, each from
// the frame they reach the output on.
struct Sides {
  int32_t steps[2][kMixSpan];
  float ripple[2][kMixSpan];
  float owed[2][kMixSpan];
};

// Adds the voice's first n output frames, weighted, to the sides whose
// weight (pan) is not zero, and moves what follows them to the front of its
// buffers.
template <bool kFirst, bool kSecond>
void hear(MachineVoice& v, int32_t n, int32_t pan, Sides& sides) {
  const float weight1 = static_cast<float>(pan) / 128.0f;
  const float weight2 = static_cast<float>(255 - pan) / 128.0f;
  const int32_t used = std::min(v.used, n);
  for (int32_t i = 0; i < used; ++i) {
    if (kFirst) {
      sides.steps[0][i] += v.steps[i] * pan;
      sides.ripple[0][i] += v.ripple[i] * weight1;
      sides.owed[0][i] += v.owed[i] * weight1;
    }
    if (kSecond) {
      sides.steps[1][i] += v.steps[i] * (255 - pan);
      sides.ripple[1][i] += v.ripple[i] * weight2;
      sides.owed[1][i] += v.owed[i] * weight2;
    }
  }
  const int32_t rest = std::max(0, v.used - n);
  std::memmove(v.ripple, v.ripple + n, sizeof(float) * rest);
  std::memmove(v.steps, v.steps + n, sizeof(int32_t) * rest);
  std::memmove(v.owed, v.owed + n, sizeof(float) * rest);
  // Everything from the moved part on is spent.
  std::fill(v.ripple + rest, v.ripple + v.used, 0.0f);
  std::fill(v.steps + rest, v.steps + v.used, 0);
  std::fill(v.owed + rest, v.owed + v.used, 0.0f);
  v.used = rest;
}

using HearFn = void (*)(MachineVoice&, int32_t, int32_t, Sides&);
constexpr HearFn kHear[4] = {hear<false, false>, hear<true, false>, hear<false, true>,
                             hear<true, true>};

inline int16_t to_sample(double x) {
  return static_cast<int16_t>(std::lrint(std::clamp(x, -32768.0, 32767.0)));
}

// Filters the two sides of n frames, narrows the stereo and converts them.
template <bool kLed, bool kNarrow>
void emit_frames(const OutputMixer& mixer, const Player* player, SideFilter* state,
                 const Sides& sides, int32_t n, int16_t* right, int16_t* left, int32_t stride) {
  const OutputFilters& f = mixer.filters;
  const double pole = mixer.step.pole;
  const double s = mixer.settings.separation / 100.0;
  const double keep = (1.0 + s) / 2 * player->master_volume / 256.0;
  const double cross = (1.0 - s) / 2 * player->master_volume / 256.0;
  SideFilter a = state[0];
  SideFilter b = state[1];
  auto run = [&f, pole](SideFilter& st, const Sides& in, int side, int32_t i) {
    st.level += in.steps[side][i];
    st.decay = st.decay * pole + in.owed[side][i];
    const double x = static_cast<double>(st.level) / 128 + in.ripple[side][i] + st.decay;
    const double high = f.high_gain * (x - st.high_in) + f.high_pole * st.high_out;
    st.high_in = x;
    st.high_out = high;
    if (!kLed) return high;
    const double out =
        f.led_b0 * high + f.led_b1 * st.led_in - f.led_a1 * st.led_out1 - f.led_a2 * st.led_out2;
    st.led_in = high;
    st.led_out2 = st.led_out1;
    st.led_out1 = out;
    return out;
  };
  // What the RC still owes is dropped once it is far below a step of the
  // output, every 64 frames: soon enough that it never reaches the slow
  // denormal range, however fast it decays.
  constexpr int32_t kFlush = 64;
  for (int32_t from = 0; from < n; from += kFlush) {
    const int32_t to = std::min(n, from + kFlush);
    for (int32_t i = from; i < to; ++i) {
      const double first = run(a, sides, 0, i);
      const double second = run(b, sides, 1, i);
      right[i * stride] = to_sample(kNarrow ? first * keep + second * cross : first * keep);
      left[i * stride] = to_sample(kNarrow ? second * keep + first * cross : second * keep);
    }
    for (SideFilter* st : {&a, &b})
      if (std::abs(st->decay) < 1e-6) st->decay = 0.0;
  }
  state[0] = a;
  state[1] = b;
}

void emit(const OutputMixer& mixer, const Player* player, SideFilter* state, const Sides& sides,
          int32_t n, int16_t* right, int16_t* left, int32_t stride) {
  const bool led = player->filter_enabled != 0;
  for (int side = 0; side < 2; ++side) {
    // The LED filter starts from the level it is switched in at.
    if (led && !state[side].led_on)
      state[side].led_in = state[side].led_out1 = state[side].led_out2 = state[side].high_out;
    state[side].led_on = led;
  }
  using EmitFn = void (*)(const OutputMixer&, const Player*, SideFilter*, const Sides&, int32_t,
                          int16_t*, int16_t*, int32_t);
  static constexpr EmitFn kEmit[4] = {emit_frames<false, false>, emit_frames<true, false>,
                                      emit_frames<false, true>, emit_frames<true, true>};
  kEmit[(led ? 1 : 0) + (mixer.settings.separation < 100 ? 2 : 0)](mixer, player, state, sides, n,
                                                                   right, left, stride);
}

// The exact model's separation, on its 16-bit output.
inline int16_t separate(int32_t own, int32_t other, int32_t separation) {
  const int32_t mixed = own * (100 + separation) + other * (100 - separation);
  return static_cast<int16_t>((mixed + (mixed >= 0 ? 100 : -100)) / 200);
}

struct MachineSpan {
  Player* player;
  OutputMixer* mixer;
  int16_t* right;
  int16_t* left;
  int32_t stride;
  int16_t** stems;  // one per channel, interleaved; null for the mix alone
};

void machine_span(void* context, int32_t n) {
  auto& job = *static_cast<MachineSpan*>(context);
  Player* player = job.player;
  OutputMixer& mixer = *job.mixer;
  const bool range = player->range_play != 0;
  Sides sides;
  for (int side = 0; side < 2; ++side) {
    std::fill(sides.steps[side], sides.steps[side] + n, 0);
    std::fill(sides.ripple[side], sides.ripple[side] + n, 0.0f);
    std::fill(sides.owed[side], sides.owed[side] + n, 0.0f);
  }
  int16_t converted[2][kMixSpan * 2];
  for (int c = 0; c < kChannels; ++c) {
    ChannelState& ch = player->channels[c];
    MachineVoice& v = mixer.voices[c];
    synthesise(player, mixer, ch, v, range && c == player->range_channel, n);
    if (v.used > 0) {
      // The exact mixer's scale: byte x volume x pan / 128.
      const int32_t pan = std::clamp(ch.pan, 0, 255);
      kHear[(pan != 0 ? 1 : 0) + (pan != 255 ? 2 : 0)](v, n, pan, sides);
    }
    if (!job.stems) continue;
    // Each running sum is converted like a whole mix; a stem is the step
    // from the one before.
    int16_t* now = converted[c & 1];
    emit(mixer, player, mixer.sides[c], sides, n, now + 1, now, 2);
    const int16_t* before = converted[(c + 1) & 1];
    for (int32_t i = 0; i < n * 2; ++i)
      job.stems[c][i] = static_cast<int16_t>(c == 0 ? now[i] : now[i] - before[i]);
  }
  if (job.stems) {
    std::memcpy(job.left, converted[(kChannels - 1) & 1], sizeof(int16_t) * 2 * n);
  } else {
    emit(mixer, player, mixer.sides[kChannels - 1], sides, n, job.right, job.left, job.stride);
  }
  job.right += n * job.stride;
  job.left += n * job.stride;
  for (int c = 0; job.stems && c < kChannels; ++c) job.stems[c] += n * 2;
}

}  // namespace

const char* output_model_name(OutputModel model) {
  switch (model) {
    case OutputModel::kA500:
      return "a500";
    case OutputModel::kA1200:
      return "a1200";
    case OutputModel::kExact:
      break;
  }
  return "exact";
}

OutputModel next_output_model(OutputModel model) {
  return static_cast<OutputModel>((static_cast<int32_t>(model) + 1) % kOutputModelCount);
}

double machine_clock_hz(MachineClock clock) {
  return clock == MachineClock::kNtsc ? 3579545.0 : 3546895.0;
}

double step_period(const Player* player, int32_t step) {
  if (step <= 0) return 0.0;
  // A period's step is close to the step of period 1 divided by it.
  const double estimate = static_cast<double>(period_step(player, 1)) / step;
  const auto near = static_cast<int32_t>(estimate);
  int32_t best = 0;
  for (int32_t p = std::max(near - 1, 1); p <= near + 2; ++p) {
    if (period_step(player, p) == step &&
        (best == 0 || std::abs(p - estimate) < std::abs(best - estimate)))
      best = p;
  }
  return best > 0 ? best : estimate;
}

void output_mixer_init(OutputMixer& mixer, const MixSettings& settings) {
  std::memset(&mixer, 0, sizeof mixer);
  mixer.settings = settings;
  mixer.settings.separation = std::clamp(settings.separation, 0, 100);
  mixer.clock = machine_clock_hz(settings.clock);
  mixer.filters = machine_filters(settings.rate);
  if (settings.model != OutputModel::kExact)
    build_step(mixer.step, settings.model == OutputModel::kA500 ? kA500LowPassHz : kA1200LowPassHz,
               settings.rate);
  for (MachineVoice& v : mixer.voices) v.step = -1;
}

void output_mix(Player* player, OutputMixer& mixer, int16_t* right, int16_t* left, int32_t stride,
                int32_t frames) {
  if (!player || frames <= 0) return;
  if (mixer.settings.model == OutputModel::kExact) {
    render_audio(player, right, left, stride * 2, frames, 1, 16, 2);
    const int32_t s = mixer.settings.separation;
    if (s == 100) return;
    for (int32_t i = 0; i < frames; ++i) {
      const int32_t r = right[i * stride];
      const int32_t l = left[i * stride];
      right[i * stride] = separate(r, l, s);
      left[i * stride] = separate(l, r, s);
    }
    return;
  }
  MachineSpan job{player, &mixer, right, left, stride, nullptr};
  run_mix_spans(player, frames, machine_span, &job);
}

void output_mix_stems(Player* player, OutputMixer& mixer, int16_t* mix,
                      int16_t* const stems[kChannels], int32_t frames) {
  if (!player || frames <= 0) return;
  if (mixer.settings.model != OutputModel::kExact) {
    int16_t* at[kChannels];
    std::copy(stems, stems + kChannels, at);
    MachineSpan job{player, &mixer, mix + 1, mix, 2, at};
    run_mix_spans(player, frames, machine_span, &job);
    return;
  }
  render_stems(player, mix, stems, frames, mixer.exact_stems);
  const int32_t s = mixer.settings.separation;
  if (s == 100) return;
  // Separates each running sum, so the separated stems still add up to the
  // separated mix.
  for (int32_t i = 0; i < frames * 2; i += 2) {
    int32_t sum_left = 0, sum_right = 0, was_left = 0, was_right = 0;
    for (int c = 0; c < kChannels; ++c) {
      sum_left += stems[c][i];
      sum_right += stems[c][i + 1];
      const int32_t now_left = separate(sum_left, sum_right, s);
      const int32_t now_right = separate(sum_right, sum_left, s);
      stems[c][i] = static_cast<int16_t>(now_left - was_left);
      stems[c][i + 1] = static_cast<int16_t>(now_right - was_right);
      was_left = now_left;
      was_right = now_right;
    }
    mix[i] = static_cast<int16_t>(was_left);
    mix[i + 1] = static_cast<int16_t>(was_right);
  }
}
