// The edit-op screen's third page: tools that reshape the current sample
// (or its marked range), mix two samples, build a chord or render the
// pattern into a sample. Each is one undo step with a short message.
#pragma once

#include <cstdint>

#include "layout/edit_op_layout.h"
#include "render/screen.h"

struct SampleToolsState {
  int32_t ready;    // the values below hold their starting values
  int32_t range_a;  // the sample editor's marked bytes, a >= b: none
  int32_t range_b;
  int32_t crossfade;       // bytes blended before the loop end
  int32_t delay;           // echo delay in bytes
  int32_t feedback;        // echo feedback in percent
  int32_t mix_a, mix_b;    // the samples MIX adds
  int32_t target;          // the slot MIX and CHORD write to
  int32_t intervals[3];    // CHORD's intervals in semitones, 0: none
  int32_t sampling_asked;  // SAMPLE was pressed: the shell starts or goes on sampling
};

// Acts on one of the page's buttons (other actions are ignored).
void sample_tools_button(SampleToolsState& tools, const ScreenContext& ctx, EditOpAction action);
void draw_sample_tools(const SampleToolsState& tools, const Canvas& canvas);
