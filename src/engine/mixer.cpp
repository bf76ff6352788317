#include "engine/mixer.h"

#include <cmath>

#include "engine/replayer.h"

void compute_filter(Player* player, int32_t output_rate) {
  // First-order bilinear low-pass section with a 4000 Hz cutoff.
  const double k = std::tan(12566.37061435916 / output_rate);
  const double c = (1.0 - k) / (1.0 + k);
  player->filter_coefficient = static_cast<float>(c);
  player->filter_gain = static_cast<float>((1.0 - c) * 0.5);
}

namespace {

// Reads the channel's next byte, handling the sample end and loop wrap.
// Returns false when the channel falls silent. Positions are confined to the
// sample's data whatever the loop fields or the step say.
inline bool fetch(Player* player, ChannelState& ch, bool check_range, int32_t& value) {
  const Sample& s = player->samples[ch.sample & 31];
  int32_t p = ch.position;
  if (check_range && player->range_play != 0) {
    if (player->range_end <= p) {
      ch.position = -1;
      return false;
    }
  } else if (s.loop_length <= 0x8000) {
    if (s.length <= p) {
      ch.position = -1;
      return false;
    }
  } else if (s.loop_end <= p) {
    p -= s.loop_length;
    if (p >= s.loop_end && s.loop_length > 0) {
      p = s.loop_start + (p - s.loop_start) % s.loop_length;
    }
    if (ch.pending_sample != 0) ch.sample = ch.pending_sample;
  }
  const int32_t index = p >> 14;
  if (!s.data || p < 0 || index >= (s.length >> 14)) {
    ch.position = -1;
    return false;
  }
  value = s.data[index];
  ch.position = p + ch.step;
  return true;
}

inline float run_section(const Player* player, float* memory, float x) {
  const float y = player->filter_gain * (x + memory[0]) + player->filter_coefficient * memory[1];
  memory[0] = x;
  memory[1] = y;
  return y;
}

inline int32_t filter(Player* player, int pair, int32_t value) {
  float* memory = &player->filter_memory[pair * 4];
  const float y1 = run_section(player, memory, static_cast<float>(value));
  const float y2 = run_section(player, memory + 2, y1);
  return static_cast<int32_t>(y2);
}

template <typename T>
inline void store(uint8_t*& out, int32_t value, int32_t stride) {
  const T v = static_cast<T>(value);
  __builtin_memcpy(out, &v, sizeof v);
  out += stride;
}

}  // namespace

void render_audio(Player* player, void* buffer1, void* buffer2, int32_t stride, int32_t frames,
                  int32_t oversampling, int32_t bits, int32_t output_channels) {
  const bool two = output_channels == 2;
  const bool wide = bits == 16;
  const bool over = oversampling == 2;
  auto* out1 = static_cast<uint8_t*>(buffer1);
  auto* out2 = static_cast<uint8_t*>(buffer2);
  const int64_t iterations = int64_t{frames} * (over ? 2 : 1);
  int32_t pair1 = 0;
  int32_t pair2 = 0;
  for (int64_t it = 0; it < iterations; ++it) {
    if (player->tick_accumulator - player->samples_per_tick >= 0) {
      player->tick_accumulator -= player->samples_per_tick;
      process_tick(player);
    }
    player->tick_accumulator += 1;

    int32_t first = 0;
    int32_t second = 0;
    for (int c = 0; c < kChannels; ++c) {
      ChannelState& ch = player->channels[c];
      if (ch.enabled == 0 || ch.position < 0) continue;
      int32_t v;
      if (!fetch(player, ch, two, v)) continue;
      if (two) {
        first += v * ch.mix_volume * ch.pan;
        second += v * ch.mix_volume * (255 - ch.pan);
      } else {
        first += v * ch.mix_volume;
      }
    }
    if (two) {
      first >>= 7;
      second >>= 7;
    } else {
      second = first;
    }
    if (player->filter_enabled != 0) {
      first = filter(player, 0, first);
      second = two ? filter(player, 1, second) : first;
    }

    const int32_t m = player->master_volume;
    if (over) {
      pair1 += first;
      pair2 += second;
      if ((it & 1) == 0) continue;
      first = pair1;
      second = pair2;
      pair1 = pair2 = 0;
    }
    // In the one-buffer formats first == second == the plain sum, so their
    // (first + second) >> 1 scaling is the sum itself.
    const int extra = over ? 1 : 0;
    if (!two) {
      if (wide) {
        store<int16_t>(out1, (first * m) >> (8 + extra), stride);
      } else {
        store<int8_t>(out1, (first * m) >> (16 + extra), stride);
      }
    } else if (wide) {
      store<int16_t>(out1, (first * m) >> (8 + extra), stride);
      store<int16_t>(out2, (second * m) >> (8 + extra), stride);
    } else {
      store<int8_t>(out1, (first * m) >> (16 + extra), stride);
      store<int8_t>(out2, (second * m) >> (16 + extra), stride);
    }
  }
}
