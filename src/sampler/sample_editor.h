// The sample editor: its per-frame turn, its 24 buttons and the copy
// buffer that cut, copy, paste and swap go through.
#pragma once

#include <cstdint>

#include "layout/sampler_layout.h"
#include "render/editor_state.h"

// Largest sample a module or sample file holds.
constexpr int32_t kMaxEditedBytes = 65534;

// Runs while the editor is shown: draws the message line, the module size
// and the view, then acts on the button under a press. 0 when the editor is
// hidden or the scroll bar is being dragged, else 1.
int32_t sample_editor_frame(EditorState* state);
// A timed message with the red pointer.
void show_message(const char* text, EditorState* state);
// Starts the current sample at C-3 on the pattern cursor's channel, ending
// any range play.
void play_sample_note(EditorState* state);
// Frees the copy buffer (when the editor state goes).
void free_copy_buffer(EditorState* state);

// Carries out one button's operation on the current sample.
void sample_button(SamplerAction button, EditorState* state);
