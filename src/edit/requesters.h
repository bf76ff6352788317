// Text-field editing and the yes/no and clear requesters.
#pragma once

#include <cstdint>

#include "render/editor_state.h"

// Starts editing a name in a field of `length` characters: the song's for
// sample 0, otherwise that sample's. The field edits a copy and commits
// every change to the module.
void begin_text_field(int32_t text_x, int32_t cursor_y, int32_t top_row, int32_t bottom_row,
                      int32_t length, int32_t sample, EditorState* state);
int32_t edit_text_field(EditorState* state);
int32_t quit_requester(EditorState* state);
int32_t clear_requester(EditorState* state);
// 1 in the frame in which the requester was answered, else 0.
int32_t confirm_requester(EditorState* state);
