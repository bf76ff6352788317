// Mixes the four channels, advancing the replayer tick by tick.
#pragma once

#include <cstdint>

#include "engine/player.h"

// The most frames mixed at once between two looks at the tick timing.
constexpr int32_t kMixSpan = 512;

// A sum of sounds as one 16-bit sample, saturated.
inline int16_t saturate16(int32_t v) {
  return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// A channel's view of its sample. Every read is confined to [0, limit).
struct SampleView {
  const int8_t* data;
  int32_t limit;  // whole bytes of data, 18.14; 0 without data
  int32_t end;    // positions below this play without a second look
  int32_t loop_start;
  int32_t loop_length;
  int32_t loop_end;
  bool loops;
};
// The view of `sample` (out of range: sample 0), as a range play when
// `range` is set.
SampleView sample_view(const Player* player, int32_t sample, bool range);
// The view of a sample that may belong to no module: all of it, then its loop.
SampleView sample_view(const Sample& sample);
// Moves a position that reached the loop end back by one loop length, so
// data beyond the loop end plays on until the position is back inside. A
// remainder is taken only where that would read past the data (a step that
// outruns the loop, or a loop shortened under a playing note). Returns -1
// when the result is not inside the data (a loop lying beyond the end).
int32_t wrap_position(const SampleView& v, int32_t p);

struct VoiceRun {
  int32_t frames;  // frames played
  bool wrapped;    // the last of them wrapped at the loop end
};
// Plays one voice reading `v` from position p (18.14) at `step` bytes a
// frame, adding byte x w1 to mix1 and byte x w2 to mix2, for up to n frames.
// It stops early after a frame that wrapped (a sample waiting to take over
// does so there) or where the sound ends, p then -1.
VoiceRun play_voice(const SampleView& v, int32_t& p, int32_t step, int32_t n, int32_t* mix1,
                    int32_t* mix2, int32_t w1, int32_t w2);

// Renders `frames` frames. Buffer 1 takes the one-buffer formats and the
// first output, buffer 2 the second; `stride` is bytes between frames.
void render_audio(Player* player, void* buffer1, void* buffer2, int32_t stride, int32_t frames,
                  int32_t oversampling, int32_t bits, int32_t output_channels);
// Moves the replayer through `frames` frames as render_audio would, without
// mixing them.
void advance_ticks(Player* player, int32_t frames);
// Runs the mixer's tick loop over `frames` frames: a tick whenever one is
// due, and span(context, n) for each run of n frames between two ticks
// (at most kMixSpan), so other output models keep the same song timing.
void run_mix_spans(Player* player, int64_t frames, void (*span)(void* context, int32_t n),
                   void* context);
// Computes filter_gain and filter_coefficient for the output rate.
void compute_filter(Player* player, int32_t output_rate);

// Filter memories of the partial mixes behind the stems; zero at the start.
struct StemFilters {
  float memory[kChannels - 1][8];
};
// Renders `frames` frames of 16-bit stereo, interleaved left (the second
// output) then right, into `mix` (as render_audio would) and into one
// stem per channel (null to skip it). The stems add up to the mix sample
// for sample, filter or not. Each is its channel alone with its pan to
// within one step (the rounding of the running sums), or two while the
// filter is on; the first channel heard on each side is exact.
void render_stems(Player* player, int16_t* mix, int16_t* const stems[kChannels], int32_t frames,
                  StemFilters& filters);
