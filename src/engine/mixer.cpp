#include "engine/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/replayer.h"

void compute_filter(Player* player, int32_t output_rate) {
  // First-order bilinear low-pass section with a 4000 Hz cutoff.
  const double k = std::tan(12566.37061435916 / output_rate);
  const double c = (1.0 - k) / (1.0 + k);
  player->filter_coefficient = static_cast<float>(c);
  player->filter_gain = static_cast<float>((1.0 - c) * 0.5);
}

namespace {

constexpr int32_t kNoLoopLength = 0x8000;

}  // namespace

SampleView sample_view(const Sample& s) {
  SampleView v{};
  v.data = s.data;
  v.limit = s.data && s.length > 0 ? s.length & ~(kFixOne - 1) : 0;
  v.loops = s.loop_length > kNoLoopLength;
  v.loop_start = s.loop_start;
  v.loop_length = s.loop_length;
  v.loop_end = s.loop_end;
  v.end = std::clamp(v.loops ? s.loop_end : s.length, 0, v.limit);
  return v;
}

SampleView sample_view(const Player* player, int32_t sample, bool range) {
  const Sample& s = player->samples[static_cast<uint32_t>(sample) < kSampleCount ? sample : 0];
  SampleView v = sample_view(s);
  if (range) {
    v.loops = false;
    v.end = std::clamp(player->range_end, 0, v.limit);
  }
  return v;
}

int32_t wrap_position(const SampleView& v, int32_t p) {
  int64_t q = int64_t{p} - v.loop_length;
  if (q >= v.limit) q = v.loop_start + (q - v.loop_start) % v.loop_length;
  return q >= 0 && q < v.limit ? static_cast<int32_t>(q) : -1;
}

namespace {

constexpr int32_t kSpan = kMixSpan;

int32_t advance(int32_t p, int64_t step) {
  // Wraps instead of overflowing; a negative result stops the channel.
  return static_cast<int32_t>(static_cast<uint32_t>(p) + static_cast<uint32_t>(step));
}

// Frames that start below `end` when stepping from p (0 <= p < end).
int64_t frames_below(int32_t p, int32_t step, int32_t end) {
  if (step > 0) return (int64_t{end} - p + step - 1) / step;
  if (step == 0) return std::numeric_limits<int64_t>::max();
  return int64_t{p} / -int64_t{step} + 1;  // until the position turns negative
}

// Plays `count` frames from p into the outputs whose weight is not zero,
// four frames a round.
template <bool kFirst, bool kSecond>
int32_t play(const int8_t* data, int32_t p, int32_t step, int32_t count, int32_t* mix1,
             int32_t* mix2, int32_t w1, int32_t w2) {
  if (!kFirst && !kSecond) return advance(p, int64_t{step} * count);
  auto q = static_cast<uint32_t>(p);
  const auto s = static_cast<uint32_t>(step);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4, q += 4 * s) {
    const int32_t v[4] = {data[q >> 14], data[(q + s) >> 14], data[(q + 2 * s) >> 14],
                          data[(q + 3 * s) >> 14]};
    for (int k = 0; k < 4; ++k) {
      if (kFirst) mix1[i + k] += v[k] * w1;
      if (kSecond) mix2[i + k] += v[k] * w2;
    }
  }
  for (; i < count; ++i, q += s) {
    const int32_t v = data[q >> 14];
    if (kFirst) mix1[i] += v * w1;
    if (kSecond) mix2[i] += v * w2;
  }
  return static_cast<int32_t>(q);
}

using PlayFn = int32_t (*)(const int8_t*, int32_t, int32_t, int32_t, int32_t*, int32_t*, int32_t,
                           int32_t);

}  // namespace

VoiceRun play_voice(const SampleView& v, int32_t& p, int32_t step, int32_t n, int32_t* mix1,
                    int32_t* mix2, int32_t w1, int32_t w2) {
  // Outputs with a zero weight gain nothing, so they are left out.
  static constexpr PlayFn kPlay[4] = {play<false, false>, play<true, false>, play<false, true>,
                                      play<true, true>};
  const PlayFn run = kPlay[(w1 != 0 ? 1 : 0) + (w2 != 0 ? 2 : 0)];
  int32_t i = 0;
  while (i < n) {
    if (static_cast<uint32_t>(p) < static_cast<uint32_t>(v.end)) {
      const auto count =
          static_cast<int32_t>(std::min<int64_t>(n - i, frames_below(p, step, v.end)));
      p = run(v.data, p, step, count, mix1 + i, mix2 + i, w1, w2);
      i += count;
      continue;
    }
    // The end of the sample, of the range, or of the loop.
    if (!v.loops || p < v.loop_end || (p = wrap_position(v, p)) < 0) {
      p = -1;
      return {i, false};
    }
    p = run(v.data, p, step, 1, mix1 + i, mix2 + i, w1, w2);
    return {i + 1, true};
  }
  return {i, false};
}

namespace {

template <bool kTwo>
void mix_channel(const Player* player, ChannelState& ch, bool range, int32_t n, int32_t* mix1,
                 int32_t* mix2) {
  SampleView v = sample_view(player, ch.sample, range);
  const int32_t volume = heard_volume(player, ch);
  const int32_t pan = std::clamp(ch.pan, 0, 255);
  const int32_t w1 = kTwo ? volume * pan : volume;
  const int32_t w2 = kTwo ? volume * (255 - pan) : 0;
  int32_t p = ch.position;
  int32_t i = 0;
  while (i < n && p >= 0) {
    const VoiceRun run = play_voice(v, p, ch.step, n - i, mix1 + i, mix2 + i, w1, w2);
    i += run.frames;
    // The wrap frame still plays the old sample; the new one takes over at
    // the wrapped position from the next frame on.
    if (run.wrapped && ch.pending_sample != 0) {
      ch.sample = ch.pending_sample;
      v = sample_view(player, ch.sample, range);
    }
  }
  ch.position = p;
}

template <bool kTwo>
void mix_span(Player* player, int32_t n, int32_t* mix1, int32_t* mix2) {
  std::memset(mix1, 0, sizeof(int32_t) * n);
  if (kTwo) std::memset(mix2, 0, sizeof(int32_t) * n);
  // Range play (the sample editor's) is honoured by the two-output formats,
  // on the channel that plays the range only.
  const bool range = kTwo && player->range_play != 0;
  for (int32_t c = 0; c < kChannels; ++c) {
    ChannelState& ch = player->channels[c];
    if (ch.enabled == 0 || ch.position < 0) continue;
    mix_channel<kTwo>(player, ch, range && c == player->range_channel, n, mix1, mix2);
  }
}

struct Section {
  float x;
  float y;
};

inline float run_section(Section& s, float g, float c, float x) {
  const float y = g * (x + s.x) + c * s.y;
  s.x = x;
  s.y = y;
  return y;
}

// Where the converted frames go, and the pair sums of 2x oversampling,
// which may straddle two spans.
struct Output {
  uint8_t* out1;
  uint8_t* out2;
  int32_t stride;
  int32_t sum1;
  int32_t sum2;
  bool half;
};

template <bool kWide>
inline void store(uint8_t* out, int64_t value) {
  // Truncated to the output width: the caller saturates where it needs to.
  if (kWide) {
    const auto v = static_cast<int16_t>(value);
    std::memcpy(out, &v, sizeof v);
  } else {
    *out = static_cast<uint8_t>(value);
  }
}

// One frame of the two filter sections of an output.
inline int32_t filtered(Section* sections, float g, float c, int32_t x) {
  return static_cast<int32_t>(
      run_section(sections[1], g, c, run_section(sections[0], g, c, static_cast<float>(x))));
}

// kStride is the stride when the compiler may rely on it (the audio
// callback's plain arrays, interleaved stereo files), 0 otherwise.
template <bool kTwo, bool kWide, bool kOver, int32_t kStride, bool kFilter, bool kUnity>
void convert_span(const Player* player, Section* sections, int32_t n, const int32_t* mix1,
                  const int32_t* mix2, Output& o) {
  const float g = player->filter_gain;
  const float c = player->filter_coefficient;
  const int64_t m = player->master_volume;
  const int32_t stride = kStride ? kStride : o.stride;
  uint8_t* out1 = o.out1;
  uint8_t* out2 = o.out2;
  // In the one-buffer formats both outputs hold the same plain sum, so
  // ((first + second) >> 1) and (first + second) >> 9 reduce to the sum.
  constexpr int kShift = (kWide ? 8 : 16) + (kOver ? 1 : 0);
  int32_t stored = 0;
  for (int32_t i = 0; i < n; ++i) {
    int32_t first = kTwo ? mix1[i] >> 7 : mix1[i];
    int32_t second = kTwo ? mix2[i] >> 7 : first;
    if (kFilter) {
      first = filtered(sections, g, c, first);
      second = kTwo ? filtered(sections + 2, g, c, second) : first;
    }
    if (kOver) {
      o.sum1 += first;
      o.sum2 += second;
      o.half = !o.half;
      if (o.half) continue;
      first = o.sum1;
      second = o.sum2;
      o.sum1 = o.sum2 = 0;
    }
    const size_t at = static_cast<size_t>(kOver ? stored++ : i) * stride;
    // At unity volume the 16-bit formats store the value itself.
    store<kWide>(out1 + at, kUnity ? first : (first * m) >> kShift);
    if (kTwo) store<kWide>(out2 + at, kUnity ? second : (second * m) >> kShift);
  }
  const size_t advanced = static_cast<size_t>(kOver ? stored : n) * stride;
  o.out1 += advanced;
  if (kTwo) o.out2 += advanced;
}

template <bool kTwo, bool kWide, bool kOver, int32_t kStride>
void emit_span(const Player* player, float* memory, int32_t n, const int32_t* mix1,
               const int32_t* mix2, Output& o) {
  if (player->filter_enabled == 0) {
    if (kWide && !kOver && player->master_volume == 256) {
      convert_span<kTwo, kWide, kOver, kStride, false, true>(player, nullptr, n, mix1, mix2, o);
    } else {
      convert_span<kTwo, kWide, kOver, kStride, false, false>(player, nullptr, n, mix1, mix2, o);
    }
    return;
  }
  Section sections[4];
  std::memcpy(sections, memory, sizeof sections);
  convert_span<kTwo, kWide, kOver, kStride, true, false>(player, sections, n, mix1, mix2, o);
  std::memcpy(memory, sections, sizeof sections);
}

using EmitFn = void (*)(const Player*, float*, int32_t, const int32_t*, const int32_t*, Output&);

// Indexed by the format number: channels - 1, + 2 for 16 bits, + 4 for 2x.
constexpr EmitFn kEmit[8] = {
    emit_span<false, false, false, 0>, emit_span<true, false, false, 0>,
    emit_span<false, true, false, 0>,  emit_span<true, true, false, 0>,
    emit_span<false, false, true, 0>,  emit_span<true, false, true, 0>,
    emit_span<false, true, true, 0>,   emit_span<true, true, true, 0>,
};

EmitFn emit_for(int format, int32_t stride) {
  if (format == 3 && stride == 2) return emit_span<true, true, false, 2>;
  if (format == 3 && stride == 4) return emit_span<true, true, false, 4>;
  return kEmit[format];
}

// Adds 1 to the accumulator until a tick is due or `most` frames are
// counted (n of them already are), with the float results of adding one at
// a time: within a binade every such sum is exact, so whole runs are added
// at once and only the crossing into the next binade is a rounded step.
int32_t frames_until_tick(float& acc, float spt, int32_t n, int32_t most) {
  while (n < most && !(acc - spt >= 0)) {
    int64_t run = 1;
    if (acc >= 1 && acc < 0x1p23f && std::isfinite(spt)) {
      const double top = std::ldexp(1.0, std::ilogb(acc) + 1);
      const auto exact = static_cast<int64_t>(std::ceil(top - acc)) - 1;
      const auto needed = static_cast<int64_t>(std::ceil(double{spt} - acc));
      run = std::max<int64_t>(1, std::min({exact, needed, int64_t{most - n}}));
      if (exact > 0) {
        acc = static_cast<float>(double{acc} + static_cast<double>(run));
        n += static_cast<int32_t>(run);
        continue;
      }
    }
    acc += 1;
    ++n;
  }
  return n;
}

// Runs the mixer loop for `iterations`: a tick whenever one is due, and
// `span` (player, n) for each run of iterations between ticks.
template <typename Span>
void run_iterations(Player* player, int64_t iterations, Span span) {
  float acc = player->tick_accumulator;
  while (iterations > 0) {
    // A tick is due before an iteration once the accumulator has reached a
    // tick's worth of frames; the span runs up to the next such iteration.
    float spt = player->samples_per_tick;
    if (acc - spt >= 0) {
      acc -= spt;
      player->tick_accumulator = acc;
      process_tick(player);
      spt = player->samples_per_tick;
    }
    acc += 1;
    const auto most = static_cast<int32_t>(std::min<int64_t>(iterations, kSpan));
    const int32_t n = frames_until_tick(acc, spt, 1, most);
    player->tick_accumulator = acc;
    span(n);
    iterations -= n;
  }
}

}  // namespace

void render_audio(Player* player, void* buffer1, void* buffer2, int32_t stride, int32_t frames,
                  int32_t oversampling, int32_t bits, int32_t output_channels) {
  const bool two = output_channels == 2;
  if (!player || !buffer1 || (two && !buffer2) || frames <= 0) return;
  const int format = (two ? 1 : 0) + (bits == 16 ? 2 : 0) + (oversampling == 2 ? 4 : 0);
  const EmitFn emit = emit_for(format, stride);
  Output o{static_cast<uint8_t*>(buffer1), static_cast<uint8_t*>(buffer2), stride, 0, 0, false};
  int32_t mix1[kSpan];
  int32_t mix2[kSpan];
  run_iterations(player, int64_t{frames} * (oversampling == 2 ? 2 : 1), [&](int32_t n) {
    if (two) {
      mix_span<true>(player, n, mix1, mix2);
    } else {
      mix_span<false>(player, n, mix1, mix2);
    }
    emit(player, player->filter_memory, n, mix1, mix2, o);
  });
}

void run_mix_spans(Player* player, int64_t frames, void (*span)(void* context, int32_t n),
                   void* context) {
  if (player && frames > 0) run_iterations(player, frames, [&](int32_t n) { span(context, n); });
}

void advance_ticks(Player* player, int32_t frames) {
  if (player && frames > 0) run_iterations(player, frames, [](int32_t) {});
}

void render_stems(Player* player, int16_t* mix, int16_t* const stems[kChannels], int32_t frames,
                  StemFilters& filters) {
  if (!player || !mix || frames <= 0) return;
  // Running sums over channels 0..c, each converted like a whole mix; the
  // last one is the mix itself, and each stem is the step from the one
  // before, so the stems add up to the mix exactly.
  int32_t sums[kChannels][2][kSpan];
  int16_t converted[2][kSpan * 2];
  int64_t done = 0;
  run_iterations(player, frames, [&](int32_t n) {
    const bool range = player->range_play != 0;
    for (int c = 0; c < kChannels; ++c) {
      for (int side = 0; side < 2; ++side) {
        if (c == 0) {
          std::memset(sums[0][side], 0, sizeof(int32_t) * n);
        } else {
          std::memcpy(sums[c][side], sums[c - 1][side], sizeof(int32_t) * n);
        }
      }
      ChannelState& ch = player->channels[c];
      if (ch.enabled != 0 && ch.position >= 0)
        mix_channel<true>(player, ch, range, n, sums[c][0], sums[c][1]);
    }
    for (int c = 0; c < kChannels; ++c) {
      // Interleaved left (the second output), right (the first).
      int16_t* now = converted[c & 1];
      Output o{
          reinterpret_cast<uint8_t*>(now + 1), reinterpret_cast<uint8_t*>(now), 4, 0, 0, false};
      float* memory = c == kChannels - 1 ? player->filter_memory : filters.memory[c];
      emit_span<true, true, false, 4>(player, memory, n, sums[c][0], sums[c][1], o);
      const int16_t* before = converted[(c + 1) & 1];
      int16_t* stem = stems[c] ? stems[c] + done * 2 : nullptr;
      for (int32_t i = 0; stem && i < n * 2; ++i)
        stem[i] = static_cast<int16_t>(c == 0 ? now[i] : now[i] - before[i]);
    }
    std::memcpy(mix + done * 2, converted[(kChannels - 1) & 1], sizeof(int16_t) * 2 * n);
    done += n;
  });
}
