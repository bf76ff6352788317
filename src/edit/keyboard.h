// The keyboard command handler, run once per frame with the frame's key.
#pragma once

#include <cstdint>

#include "render/editor_state.h"

// 0 when the frame's key did not reach the command tables, else 1.
int32_t handle_key(int32_t key_code, EditorState* state);
