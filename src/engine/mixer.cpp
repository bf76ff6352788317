#include "engine/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/replayer.h"

void compute_filter(Player* player, int32_t output_rate) {
  // First-order bilinear low-pass section with a 4000 Hz cutoff.
  const double k = std::tan(12566.37061435916 / output_rate);
  const double c = (1.0 - k) / (1.0 + k);
  player->filter_coefficient = static_cast<float>(c);
  player->filter_gain = static_cast<float>((1.0 - c) * 0.5);
}

namespace {

// Iterations mixed at once between two looks at the tick timing; the mix
// buffers live on the stack, so rendering never allocates.
constexpr int32_t kSpan = 512;
constexpr int32_t kNoLoopLength = 0x8000;

// A channel's view of its sample, set up once per span (and again when a
// pending sample takes over). Every read is confined to [0, limit).
struct Voice {
  const int8_t* data;
  int32_t limit;  // whole bytes of data, 18.14; 0 without data
  int32_t end;    // positions below this play without a second look
  int32_t loop_start;
  int32_t loop_length;
  int32_t loop_end;
  bool loops;
};

Voice voice_of(const Player* player, int32_t sample, bool range) {
  const Sample& s = player->samples[static_cast<uint32_t>(sample) < kSampleCount ? sample : 0];
  Voice v{};
  v.data = s.data;
  v.limit = s.data && s.length > 0 ? s.length & ~(kFixOne - 1) : 0;
  v.loops = !range && s.loop_length > kNoLoopLength;
  v.loop_start = s.loop_start;
  v.loop_length = s.loop_length;
  v.loop_end = s.loop_end;
  const int32_t end = range ? player->range_end : v.loops ? s.loop_end : s.length;
  v.end = std::clamp(end, 0, v.limit);
  return v;
}

// Moves a position that reached the loop end back into the loop: one
// subtraction normally, a remainder when the step outruns the loop or the
// loop was shortened under a playing note. Returns -1 when the result is
// not inside the data (a loop lying beyond the sample's end).
int32_t wrap(const Voice& v, int32_t p) {
  int64_t q = int64_t{p} - v.loop_length;
  if (q >= v.loop_end) q = v.loop_start + (q - v.loop_start) % v.loop_length;
  return q >= 0 && q < v.limit ? static_cast<int32_t>(q) : -1;
}

int32_t advance(int32_t p, int32_t step) {
  // Wraps instead of overflowing; a negative result stops the channel.
  return static_cast<int32_t>(static_cast<uint32_t>(p) + static_cast<uint32_t>(step));
}

template <bool kTwo>
void mix_channel(const Player* player, ChannelState& ch, bool range, int32_t n, int32_t* mix1,
                 int32_t* mix2) {
  Voice v = voice_of(player, ch.sample, range);
  const int32_t step = ch.step;
  const int32_t volume = std::clamp(ch.mix_volume, 0, 64);
  const int32_t pan = std::clamp(ch.pan, 0, 255);
  const int32_t w1 = kTwo ? volume * pan : volume;
  const int32_t w2 = volume * (255 - pan);
  int32_t p = ch.position;
  int32_t i = 0;
  while (i < n) {
    for (; i < n && static_cast<uint32_t>(p) < static_cast<uint32_t>(v.end); ++i) {
      const int32_t s = v.data[p >> 14];
      p = advance(p, step);
      mix1[i] += s * w1;
      if (kTwo) mix2[i] += s * w2;
    }
    if (i == n) break;
    // The end of the sample, of the range, or of the loop.
    if (!v.loops || p < v.loop_end || (p = wrap(v, p)) < 0) {
      p = -1;
      break;
    }
    const int32_t s = v.data[p >> 14];
    p = advance(p, step);
    mix1[i] += s * w1;
    if (kTwo) mix2[i] += s * w2;
    ++i;
    // The wrap frame still plays the old sample; the new one takes over at
    // the wrapped position from the next frame on.
    if (ch.pending_sample != 0) {
      ch.sample = ch.pending_sample;
      v = voice_of(player, ch.sample, range);
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
inline void store(uint8_t*& out, int32_t stride, int64_t value) {
  // Truncated to the output width: the caller saturates where it needs to.
  if (kWide) {
    const auto v = static_cast<int16_t>(value);
    std::memcpy(out, &v, sizeof v);
  } else {
    *out = static_cast<uint8_t>(value);
  }
  out += stride;
}

template <bool kTwo, bool kWide, bool kOver>
void emit_span(Player* player, int32_t n, const int32_t* mix1, const int32_t* mix2, Output& o) {
  const bool filter = player->filter_enabled != 0;
  const float g = player->filter_gain;
  const float c = player->filter_coefficient;
  Section sections[4];
  std::memcpy(sections, player->filter_memory, sizeof sections);
  const int64_t m = player->master_volume;
  // In the one-buffer formats both outputs hold the same plain sum, so
  // ((first + second) >> 1) and (first + second) >> 9 reduce to the sum.
  constexpr int kShift = (kWide ? 8 : 16) + (kOver ? 1 : 0);
  for (int32_t i = 0; i < n; ++i) {
    int32_t first = kTwo ? mix1[i] >> 7 : mix1[i];
    int32_t second = kTwo ? mix2[i] >> 7 : first;
    if (filter) {
      first = static_cast<int32_t>(run_section(
          sections[1], g, c, run_section(sections[0], g, c, static_cast<float>(first))));
      second =
          kTwo ? static_cast<int32_t>(run_section(
                     sections[3], g, c, run_section(sections[2], g, c, static_cast<float>(second))))
               : first;
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
    store<kWide>(o.out1, o.stride, (first * m) >> kShift);
    if (kTwo) store<kWide>(o.out2, o.stride, (second * m) >> kShift);
  }
  if (filter) std::memcpy(player->filter_memory, sections, sizeof sections);
}

using EmitFn = void (*)(Player*, int32_t, const int32_t*, const int32_t*, Output&);

// Indexed by the format number: channels - 1, + 2 for 16 bits, + 4 for 2x.
constexpr EmitFn kEmit[8] = {
    emit_span<false, false, false>, emit_span<true, false, false>, emit_span<false, true, false>,
    emit_span<true, true, false>,   emit_span<false, false, true>, emit_span<true, false, true>,
    emit_span<false, true, true>,   emit_span<true, true, true>,
};

}  // namespace

void render_audio(Player* player, void* buffer1, void* buffer2, int32_t stride, int32_t frames,
                  int32_t oversampling, int32_t bits, int32_t output_channels) {
  const bool two = output_channels == 2;
  if (!player || !buffer1 || (two && !buffer2) || frames <= 0) return;
  const int format = (two ? 1 : 0) + (bits == 16 ? 2 : 0) + (oversampling == 2 ? 4 : 0);
  const EmitFn emit = kEmit[format];
  Output o{static_cast<uint8_t*>(buffer1), static_cast<uint8_t*>(buffer2), stride, 0, 0, false};
  int32_t mix1[kSpan];
  int32_t mix2[kSpan];

  int64_t remaining = int64_t{frames} * (oversampling == 2 ? 2 : 1);
  float acc = player->tick_accumulator;
  while (remaining > 0) {
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
    const auto most = static_cast<int32_t>(std::min<int64_t>(remaining, kSpan));
    int32_t n = 1;
    while (n < most && !(acc - spt >= 0)) {
      acc += 1;
      ++n;
    }
    player->tick_accumulator = acc;
    if (two) {
      mix_span<true>(player, n, mix1, mix2);
    } else {
      mix_span<false>(player, n, mix1, mix2);
    }
    emit(player, n, mix1, mix2, o);
    remaining -= n;
  }
}
