// The sample editor's view of the current sample: waveform, marks, loop
// markers, play positions and scroll bar, and the drags a press started.
#pragma once

#include <cstdint>

#include "layout/sampler_layout.h"
#include "render/editor_state.h"

constexpr int32_t kNoLoopBytes = 2;  // loop length of a sample that does not loop

// The current sample's record, or null for sample 0 (selectable with the
// right button on sample-up, or keypad 0) and numbers outside the module:
// entry 0 must stay empty, since a channel is silenced by pointing it there.
Sample* editable_sample(EditorState* state);
// Whole bytes of sample data (0 without data).
int32_t sample_bytes(const Sample& sample);
// The zoom window's width in bytes, confined to 0..L.
int32_t window_bytes(const EditorState* state, int32_t length);
// False for the loop-off state (start 0, length 2 bytes or less).
bool sample_loops(const Sample& sample);
// Truncates toward zero; values beyond the int32 range (or NaN) cannot come
// out of the view's ratios but are clamped rather than trusted.
int32_t trunc_int(double value);

// Shows the whole current sample with no marks; run whenever the current
// sample changes or is loaded.
void reset_sample_view(EditorState* state);
// One frame of the view: draws it and carries out the range, loop-point and
// scroll-bar drags. Draws nothing for sample 0.
void draw_sample_view(EditorState* state);
