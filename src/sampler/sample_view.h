// The sample editor's view of the current sample: waveform, marks, loop
// markers, play positions and scroll bar, and the drags a press started.
#pragma once

#include <cstdint>

#include "engine/editing.h"
#include "layout/sampler_layout.h"
#include "render/screen.h"

// The sample editor's own state: marks are screen x (0 = none), the zoom
// window and offset are bytes of the current sample. The period samples are
// played at (C-3), and the copy buffer with the loop it carries through
// swaps (bytes). The cut position remembers the byte a cut left the cursor
// at, which a pixel cannot always name, so that a paste there puts the
// bytes back; it holds while the cursor stays at cut_mark (0: no such
// cursor).
struct SamplerState {
  int32_t mark_a;
  int32_t mark_b;
  int32_t drag_loop_start;
  int32_t drag_loop_end;
  int32_t drag_scroll;
  int32_t zoom_start;
  int32_t zoom_end;
  float samples_per_pixel;
  int32_t view_offset;
  int32_t drag_range;  // 1 while a press that began in the waveform marks a range
  int32_t play_period;
  int8_t* copy_data;  // copy_length bytes, owned (malloc)
  int32_t copy_length;
  int32_t copy_loop_start;
  int32_t copy_loop_length;
  int32_t copy_loop_end;
  int32_t cut_position;
  int32_t cut_mark;
  // The VOLUME panel: open, and its ramp's start and end percentages.
  int32_t volume_open;
  int32_t volume_from;
  int32_t volume_to;
};

// The bytes under the marks, within 0..length, the lower first.
struct MarkedRange {
  int32_t a;
  int32_t b;
};
MarkedRange marked_range(const SamplerState& sampler, int32_t length);

// The current sample's record, or null for sample 0 (selectable with the
// right button on sample-up, or keypad 0) and numbers outside the module:
// entry 0 must stay empty, since a channel is silenced by pointing it there.
const Sample* current_sample(const ScreenContext& ctx);
// The zoom window's width in bytes, confined to 0..L.
int32_t window_bytes(const SamplerState& sampler, int32_t length);
// Truncates toward zero; values beyond the int32 range (or NaN) cannot come
// out of the view's ratios but are clamped rather than trusted.
int32_t trunc_int(double value);

// Shows the whole of sample `number` with no marks; run whenever the
// current sample changes or is loaded.
void reset_sample_view(SamplerState& sampler, const Player& player, int32_t number);
// The drags a press started: the range mark, the loop points and the
// scroll bar follow the pointer; a view left over from a longer sample is
// brought back inside this one.
void update_sample_view(SamplerState& sampler, const ScreenContext& ctx);
// Draws the view as it stands. Draws nothing for sample 0.
void draw_sample_view(const SamplerState& sampler, const ScreenContext& ctx);
