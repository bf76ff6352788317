// The sample editor: its per-frame turn, its 24 buttons and the copy
// buffer that cut, copy, paste and swap go through.
#pragma once

#include <cstdint>

#include "layout/sampler_layout.h"
#include "render/screen.h"
#include "sampler/sample_view.h"

// Largest sample a module or sample file holds.
constexpr int32_t kMaxEditedBytes = 65534;

// One frame of the open editor: draws the message line, the module size
// and the view, then acts on the button under a press. Closed by its close
// button; a drag of the scroll bar or a button it acts on uses the click.
ScreenResult sample_editor_frame(SamplerState& sampler, const ScreenContext& ctx);
// Starts the current sample at C-3 on the pattern cursor's channel, ending
// any range play.
void play_sample_note(const SamplerState& sampler, const ScreenContext& ctx);
// Frees the copy buffer (when the editor state goes).
void free_copy_buffer(SamplerState& sampler);

// Carries out one button's operation on the current sample (not the close
// button, which the frame answers).
void sample_button(SamplerAction button, SamplerState& sampler, const ScreenContext& ctx);
