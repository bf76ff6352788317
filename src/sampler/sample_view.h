// The sample editor's view of the current sample: waveform, marks, loop
// markers, play positions and scroll bar, and the drags a press started.
#pragma once

#include <cstdint>

#include "engine/editing.h"
#include "layout/sampler_layout.h"
#include "render/editor_state.h"

// The current sample's record, or null for sample 0 (selectable with the
// right button on sample-up, or keypad 0) and numbers outside the module:
// entry 0 must stay empty, since a channel is silenced by pointing it there.
const Sample* editable_sample(const EditorState* state);
// The zoom window's width in bytes, confined to 0..L.
int32_t window_bytes(const EditorState* state, int32_t length);
// Truncates toward zero; values beyond the int32 range (or NaN) cannot come
// out of the view's ratios but are clamped rather than trusted.
int32_t trunc_int(double value);

// Shows the whole current sample with no marks; run whenever the current
// sample changes or is loaded.
void reset_sample_view(EditorState* state);
// One frame of the view: draws it and carries out the range, loop-point and
// scroll-bar drags. Draws nothing for sample 0.
void draw_sample_view(EditorState* state);
