// Mixes the four channels, advancing the replayer tick by tick.
#pragma once

#include <cstdint>

#include "engine/player.h"

// Renders `frames` frames. Buffer 1 takes the one-buffer formats and the
// first output, buffer 2 the second; `stride` is bytes between frames.
void render_audio(Player* player, void* buffer1, void* buffer2, int32_t stride, int32_t frames,
                  int32_t oversampling, int32_t bits, int32_t output_channels);
// Moves the replayer through `frames` frames as render_audio would, without
// mixing them.
void advance_ticks(Player* player, int32_t frames);
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
