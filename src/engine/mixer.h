// Mixes the four channels, advancing the replayer tick by tick.
#pragma once

#include <cstdint>

#include "engine/player.h"

// Renders `frames` frames. Buffer 1 takes the one-buffer formats and the
// first output, buffer 2 the second; `stride` is bytes between frames.
void render_audio(Player* player, void* buffer1, void* buffer2, int32_t stride,
                  int32_t frames, int32_t oversampling, int32_t bits,
                  int32_t output_channels);
// Computes filter_gain and filter_coefficient for the output rate.
void compute_filter(Player* player, int32_t output_rate);
