#include "sampler/sample_view.h"

void reset_sample_view(EditorState* state) {
  const int32_t sample = state->current_sample;
  // Sample 0 (none selected) is the always-empty record 0.
  const int32_t bytes =
      sample >= 0 && sample < kSampleCount ? state->player->samples[sample].length >> 14 : 0;
  state->mark_a = 0;
  state->mark_b = 0;
  state->drag_loop_start = 0;
  state->drag_loop_end = 0;
  state->zoom_start = 0;
  state->view_offset = 0;
  state->zoom_end = bytes;
  state->samples_per_pixel = static_cast<float>(bytes / 314.0);
}
