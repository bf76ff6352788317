// Numbered pattern edit operations: undo, clipboards, insert, delete,
// transpose and blocks.
#pragma once

#include <cstdint>

#include "render/editor_state.h"

void edit_operation(int32_t operation, EditorState* state, int32_t amount, int32_t channel);
// Takes the one undo copy of the current pattern.
void save_undo(EditorState* state);
