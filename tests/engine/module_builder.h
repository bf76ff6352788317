// Builds small modules in memory for the replayer and mixer tests.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/mixer.h"
#include "engine/player.h"

namespace test_module {

// Gives sample n `bytes` bytes of data made by `byte_at`, a loop (in bytes;
// a loop length of 2 or less means no loop) and a volume.
template <typename F>
Sample& make_sample(Player* p, int n, int32_t bytes, int32_t loop_start, int32_t loop_length,
                    int32_t volume, F byte_at) {
  Sample& s = p->samples[n];
  std::free(s.data);
  s.data = static_cast<int8_t*>(std::malloc(bytes > 0 ? bytes : 1));
  for (int32_t i = 0; i < bytes; ++i) s.data[i] = static_cast<int8_t>(byte_at(i));
  s.length = bytes * kFixOne;
  s.loop_start = loop_start * kFixOne;
  s.loop_length = loop_length * kFixOne;
  s.loop_end = s.loop_start + s.loop_length;
  s.volume = volume;
  s.finetune = 0;
  return s;
}

inline Sample& make_constant_sample(Player* p, int n, int32_t bytes, int8_t value,
                                    int32_t volume = 64) {
  return make_sample(p, n, bytes, 0, 2, volume, [value](int32_t) { return value; });
}

inline void set_cell(Player* p, int pattern, int row, int channel, int32_t period, int32_t sample,
                     int effect = 0, int param = 0) {
  PatternCell& c = p->patterns[pattern][row][channel];
  c.period = period;
  c.sample = sample;
  c.effect = static_cast<uint8_t>(effect);
  c.param = static_cast<uint8_t>(param);
  c.param_hi = static_cast<uint8_t>(param >> 4);
  c.param_lo = static_cast<uint8_t>(param & 15);
}

// Starts channel c playing sample `sample` from `position` (bytes) at a
// step of `step` (18.14) and volume `volume`.
inline void start_voice(Player* p, int c, int32_t sample, int32_t position, int32_t step,
                        int32_t volume) {
  ChannelState& ch = p->channels[c];
  ch.sample = sample;
  ch.position = position * kFixOne;
  ch.step = step;
  ch.volume = ch.mix_volume = volume;
}

// Renders format 3 (16-bit, two buffers) and returns buffer 1 and buffer 2.
struct Stereo {
  std::vector<int16_t> right;  // buffer 1
  std::vector<int16_t> left;   // buffer 2
};

inline Stereo render_stereo(Player* p, int32_t frames) {
  Stereo out{std::vector<int16_t>(frames), std::vector<int16_t>(frames)};
  render_audio(p, out.right.data(), out.left.data(), 2, frames, 1, 16, 2);
  return out;
}

// The pitch of interleaved stereo frames at 44,100 Hz, from the rising zero
// crossings of the sum of both sides; 0 with fewer than 100 of them.
inline double measured_hz(const std::vector<int16_t>& out) {
  int64_t first = -1, last = -1, rises = 0;
  for (size_t i = 1; 2 * i + 1 < out.size(); ++i) {
    if (out[2 * i - 2] + out[2 * i - 1] > 0 || out[2 * i] + out[2 * i + 1] <= 0) continue;
    if (first < 0) first = static_cast<int64_t>(i);
    last = static_cast<int64_t>(i);
    ++rises;
  }
  return rises < 100 ? 0.0 : (rises - 1) * 44100.0 / static_cast<double>(last - first);
}

}  // namespace test_module
