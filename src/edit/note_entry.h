// Note and hexadecimal-digit entry at the pattern cursor.
#pragma once

#include <cstdint>

#include "engine/player.h"
#include "render/editor_state.h"

// Cursor columns of a channel.
enum CursorColumn : int32_t {
  kColumnNote = 0,
  kColumnSampleHigh = 1,
  kColumnSampleLow = 2,
  kColumnEffect = 3,
  kColumnParamHigh = 4,
  kColumnParamLow = 5,
};

// Runs every frame: a newly pressed note key sounds on the cursor channel
// and, in edit mode, is written into the cursor cell.
void enter_note(EditorState* state);
// Types the frame's key as a digit into the cursor column; 1 when a digit
// was entered.
int32_t enter_digit(EditorState* state);

// The cell under the pattern cursor, or null when the cursor row or the
// current pattern is out of range.
PatternCell* cursor_cell(EditorState* state);
// Moves the cursor row on by the edit skip, back to 0 past the last row.
void advance_by_edit_skip(EditorState* state);
// Starts a note on a channel at once, as a new note of the replayer would.
void start_note(Player* player, int32_t channel, int32_t sample, int32_t period);
