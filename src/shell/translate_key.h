// The frame's raw key event to the keyboard code's key code and modifier
// bits, then the keyboard command handler.
#pragma once

#include <cstdint>

#include "shell/editor_state.h"

// Sets state->input.key_code and the Shift/Alt/command/Ctrl bits of
// state->input.modifiers, then runs handle_key.
void translate_key(int32_t raw, int32_t qualifier, EditorState* state);
// The key-code part alone: 0 when the event yields no key.
int32_t key_code_for_raw(int32_t raw, int32_t qualifier);
