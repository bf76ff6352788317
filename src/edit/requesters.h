// Text-field editing and the yes/no and clear requesters.
#pragma once

#include <cstdint>

#include "engine/player.h"
#include "render/editor_state.h"

void begin_text_field(int32_t text_x, int32_t cursor_y, int32_t top_row, int32_t bottom_row,
                      int32_t length, char* buffer, EditorState* state);
int32_t edit_text_field(EditorState* state);
int32_t quit_requester(EditorState* state);
int32_t clear_requester(EditorState* state);
// 1 in the frame in which the requester was answered, else 0.
int32_t confirm_requester(EditorState* state);
void clear_song(Player* player);
void clear_samples(Player* player);
