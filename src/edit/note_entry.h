// Note and hexadecimal-digit entry at the pattern cursor.
#pragma once

#include <cstdint>

#include "edit/edit_context.h"
#include "engine/editing.h"
#include "engine/player.h"
#include "render/screen.h"

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
void enter_note(EditContext* state);
// Sounds kNotePeriods[index] with the current sample on the cursor channel
// and, in edit mode, writes it into the cursor cell (with a volume command C
// of `volume` when that is 0..64) and moves on by the edit skip; then, with
// the multi-keyboard on, goes to the next channel. What a note key does once
// its note is known. Returns the channel it sounded on, -1 when none.
int32_t sound_note(EditContext* state, int32_t index, int32_t volume);
// Types the frame's key as a digit into the cursor column; 1 when a digit
// was entered.
int32_t enter_digit(EditContext* state);

// The cell under the pattern cursor; the editing functions refuse it when
// the cursor row or the current pattern is out of range.
CellAt cursor_cell(const EditContext* state);
// Moves the cursor row on by the edit skip, back to 0 past the last row.
void advance_by_edit_skip(EditContext* state);

// The record page's settings as note entry applies them.

// Notes counted in semitones from C-1 (0) to B-3 (35).
struct NoteChoice {
  int32_t note;
  int32_t sample;
};
// With the split keyboard on, the used range with the highest lowest note
// at or below the note gives the sample and shifts the note (kept within
// the three octaves); other notes keep the current sample.
NoteChoice split_note(const RecordOptions& record, int32_t note, int32_t sample);
// The row a note entered at `row` lands on: the nearest multiple of the
// quantize rows (halves round up); kRows means row 0 of the next pattern.
// Quantize 0 and 1 leave the row.
int32_t quantized_row(int32_t row, int32_t quantize);
// The multi-keyboard's next channel after `channel` in the channel order;
// a channel not in the order goes to the first one, and with no channel in
// the order the next channel follows.
int32_t next_multi_channel(const RecordOptions& record, int32_t channel);
