#include "edit/edit_ops.h"

#include <cstring>
#include <utility>

#include "engine/audio_lock.h"

namespace {

using Pattern = PatternCell[kRows][kChannels];

constexpr int32_t kModShift = 1;
constexpr int32_t kModAlt = 2;
constexpr int32_t kModCtrl = 8;

// Entry 0 stands for "no note"; 1..36 are C-1 .. B-3 at finetune 0.
constexpr int32_t kTransposeCount = 37;
constexpr int32_t kTransposePeriods[kTransposeCount] = {
    0,   856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453, 428, 404, 381, 360, 339, 320,
    302, 285, 269, 254, 240, 226, 214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

bool valid_row(int32_t row) {
  return row >= 0 && row < kRows;
}
bool valid_channel(int32_t channel) {
  return channel >= 0 && channel < kChannels;
}

// The current pattern, or null when the player names none that exists.
Pattern* current(EditorState* state) {
  Player* player = state->player;
  const int32_t number = player->current_pattern;
  if (number < 0 || number >= kPatterns) return nullptr;
  return &player->patterns[number];
}

void clear_effect(PatternCell& cell) {
  cell.effect = cell.param_hi = cell.param_lo = cell.param = 0;
}

void copy_effect(PatternCell& to, const PatternCell& from) {
  to.effect = from.effect;
  to.param_hi = from.param_hi;
  to.param_lo = from.param_lo;
  to.param = from.param;
}

void clear_cell(PatternCell& cell) {
  cell = PatternCell{};
}

// Moves the whole cell or only its effect part.
void move_part(PatternCell& to, const PatternCell& from, bool whole) {
  if (whole)
    to = from;
  else
    copy_effect(to, from);
}

void clear_part(PatternCell& cell, bool whole) {
  if (whole)
    clear_cell(cell);
  else
    clear_effect(cell);
}

// Puts the copy back into the pattern it was taken from, whatever pattern
// is current now; without a copy nothing happens.
void undo(EditorState* state) {
  if (!state->undo_filled) return;
  const int32_t number = state->undo_pattern_number;
  if (number < 0 || number >= kPatterns) return;
  std::memcpy(state->player->patterns[number], state->undo_pattern, sizeof(Pattern));
}

void transpose(EditorState* state, int32_t channel, int32_t amount, bool only_current_sample) {
  Pattern* pattern = current(state);
  if (!pattern || !valid_channel(channel)) return;
  for (int32_t r = 0; r < kRows; ++r) {
    PatternCell& cell = (*pattern)[r][channel];
    if (cell.period == 0) continue;
    if (only_current_sample && cell.sample != state->selection.current_sample) continue;
    for (int32_t i = 1; i < kTransposeCount; ++i) {
      if (kTransposePeriods[i] != cell.period) continue;
      const int32_t j = i + amount;
      if (j >= 1 && j < kTransposeCount) cell.period = kTransposePeriods[j];
      break;
    }
  }
}

// Operations 5..8: transpose the cursor channel or all four, the current
// sample's notes or every note.
void transpose_command(EditorState* state, int32_t operation, int32_t amount) {
  save_undo(state);
  const bool only_current_sample = operation == 5 || operation == 6;
  if (operation == 5 || operation == 7) {
    transpose(state, state->selection.cursor_channel, amount, only_current_sample);
  } else {
    for (int32_t c = 0; c < kChannels; ++c) transpose(state, c, amount, only_current_sample);
  }
}

enum class Clip { kTrack, kCommands };

// Cut (11, 17), copy (12, 18) and paste (13, 19) of the cursor channel
// through the track or the command clipboard.
void track_command(EditorState* state, Clip clip, int32_t action) {
  Pattern* pattern = current(state);
  const int32_t channel = state->selection.cursor_channel;
  if (!pattern || !valid_channel(channel)) return;
  const bool whole = clip == Clip::kTrack;
  PatternCell* board = whole ? state->track_clipboard : state->command_clipboard;
  if (action != 1) save_undo(state);  // copy changes nothing
  for (int32_t r = 0; r < kRows; ++r) {
    PatternCell& cell = (*pattern)[r][channel];
    if (action == 2) {
      move_part(cell, board[r], whole);
    } else {
      board[r] = cell;
      if (action == 0) clear_part(cell, whole);
    }
  }
}

// Cut (14), copy (15) and paste (16) of the whole pattern.
void pattern_command(EditorState* state, int32_t action) {
  Pattern* pattern = current(state);
  if (!pattern) return;
  if (action != 1) save_undo(state);
  if (action == 2) {
    std::memcpy(*pattern, state->pattern_clipboard, sizeof(Pattern));
    return;
  }
  std::memcpy(state->pattern_clipboard, *pattern, sizeof(Pattern));
  if (action == 0) std::memset(*pattern, 0, sizeof(Pattern));
}

void mark_block(EditorState* state) {
  if (state->block_marking == 1) {
    std::strcpy(state->status.message, "ALL RIGHT");
    state->block_marking = 0;
    return;
  }
  const int32_t row = state->player->shown_row;
  state->block_marking = 1;
  state->block_start = state->block_end = state->block_anchor = row;
}

// The marked rows in ascending order, whichever way they were marked, and
// limited to the pattern. The block ends at the cursor row, which is
// taken here once. False when no usable block is marked.
bool marked_rows(EditorState* state, int32_t* first, int32_t* last) {
  if (state->block_marking != 1) return false;
  const int32_t row = state->player->shown_row;
  if (valid_row(row)) state->block_end = row;
  int32_t s = state->block_start;
  int32_t e = state->block_end;
  if (s > e) std::swap(s, e);
  if (s < 0) s = 0;
  if (e >= kRows) e = kRows - 1;
  if (s > e) return false;
  *first = s;
  *last = e;
  return true;
}

void copy_block(EditorState* state, bool cut) {
  if (state->block_marking != 1) return;
  std::strcpy(state->status.message, "ALL RIGHT");
  int32_t s = 0;
  int32_t e = 0;
  const bool usable = marked_rows(state, &s, &e);
  state->block_marking = 0;
  Pattern* pattern = current(state);
  const int32_t channel = state->selection.cursor_channel;
  // Nothing to copy: the previous block stays in the clipboard.
  if (!usable || !pattern || !valid_channel(channel)) return;
  for (int32_t r = s; r <= e; ++r) {
    PatternCell& cell = (*pattern)[r][channel];
    state->block_clipboard[r] = cell;
    if (cut) clear_cell(cell);
  }
  state->block_first = s;
  state->block_last = e;
  state->block_filled = 1;
}

void paste_block(EditorState* state) {
  if (state->block_filled != 1) return;
  save_undo(state);
  Pattern* pattern = current(state);
  const int32_t channel = state->selection.cursor_channel;
  Player* player = state->player;
  const int32_t row = player->shown_row;
  const int32_t first = state->block_first;
  const int32_t n = state->block_last - first + 1;
  if (n <= 0 || !pattern || !valid_channel(channel) || !valid_row(row)) return;
  for (int32_t k = 0; k < n && row + k < kRows; ++k)
    (*pattern)[row + k][channel] = state->block_clipboard[first + k];
  if ((state->input.modifiers & kModShift) == 0)
    player->shown_row = row + n > kRows - 1 ? 0 : row + n;
}

// Removes `count` cells of a channel from row `first` on; the rows below
// move up and as many rows at the bottom become empty.
void remove_rows(Pattern& pattern, int32_t channel, int32_t first, int32_t count) {
  for (int32_t k = first; k < kRows; ++k) {
    if (k + count < kRows)
      pattern[k][channel] = pattern[k + count][channel];
    else
      clear_cell(pattern[k][channel]);
  }
}

// Works on the rows it read once, so a replayer moving shown_row in the
// meantime cannot change what is deleted.
void delete_block(EditorState* state) {
  if (state->block_marking != 1) return;
  int32_t s = 0;
  int32_t e = 0;
  const bool usable = marked_rows(state, &s, &e);
  save_undo(state);
  std::strcpy(state->status.message, "ALL RIGHT");
  state->block_marking = 0;
  Pattern* pattern = current(state);
  const int32_t channel = state->selection.cursor_channel;
  if (!usable || !pattern || !valid_channel(channel)) return;
  remove_rows(*pattern, channel, s, e - s + 1);
}

void delete_at_cursor(EditorState* state) {
  Pattern* pattern = current(state);
  const int32_t channel = state->selection.cursor_channel;
  const int32_t row = state->player->shown_row;
  if (!pattern || !valid_channel(channel) || !valid_row(row)) return;
  remove_rows(*pattern, channel, row, 1);
}

// Ctrl moves only effect parts; Shift or Alt moves whole cells; without
// any of them the operation does nothing (returns false).
bool moved_part(const EditorState* state, bool* whole) {
  if (state->input.modifiers & kModCtrl) {
    *whole = false;
    return true;
  }
  *whole = true;
  return (state->input.modifiers & (kModShift | kModAlt)) != 0;
}

void insert_row(EditorState* state, int32_t channel) {
  Pattern* pattern = current(state);
  const int32_t row = state->player->shown_row;
  bool whole = true;
  if (!pattern || !valid_channel(channel) || !valid_row(row) || !moved_part(state, &whole)) return;
  for (int32_t k = kRows - 1; k > row; --k)
    move_part((*pattern)[k][channel], (*pattern)[k - 1][channel], whole);
  clear_part((*pattern)[row][channel], whole);
}

void delete_above(EditorState* state, int32_t channel) {
  Pattern* pattern = current(state);
  const int32_t row = state->player->shown_row;
  bool whole = true;
  if (!pattern || !valid_channel(channel) || !valid_row(row) || row == 0 ||
      !moved_part(state, &whole))
    return;
  for (int32_t k = row - 1; k < kRows - 1; ++k)
    move_part((*pattern)[k][channel], (*pattern)[k + 1][channel], whole);
  clear_part((*pattern)[kRows - 1][channel], whole);
}

}  // namespace

void save_undo(EditorState* state) {
  Pattern* pattern = current(state);
  if (!pattern) return;
  std::memcpy(state->undo_pattern, *pattern, sizeof(Pattern));
  state->undo_pattern_number = state->player->current_pattern;
  state->undo_filled = 1;
}

void edit_operation(int32_t operation, EditorState* state, int32_t amount, int32_t channel) {
  // The replayer reads the cells from the audio thread.
  AudioGuard guard;
  switch (operation) {
    case 2:
      save_undo(state);
      return;
    case 3:
      undo(state);
      return;
    case 5:
    case 6:
    case 7:
    case 8:
      transpose_command(state, operation, amount);
      return;
    case 9:
      transpose(state, channel, amount, true);
      return;
    case 10:
      transpose(state, channel, amount, false);
      return;
    case 11:
    case 12:
    case 13:
      track_command(state, Clip::kTrack, operation - 11);
      return;
    case 14:
    case 15:
    case 16:
      pattern_command(state, operation - 14);
      return;
    case 17:
    case 18:
    case 19:
      track_command(state, Clip::kCommands, operation - 17);
      return;
    case 20:
      mark_block(state);
      return;
    case 21:
      copy_block(state, true);
      return;
    case 22:
      copy_block(state, false);
      return;
    case 23:
      paste_block(state);
      return;
    case 24:
      delete_block(state);
      return;
    case 25:
      delete_at_cursor(state);
      return;
    case 26:
      insert_row(state, channel);
      return;
    case 27:
      for (int32_t c = 0; c < kChannels; ++c) insert_row(state, c);
      return;
    case 28:
      delete_above(state, channel);
      return;
    case 29:
      for (int32_t c = 0; c < kChannels; ++c) delete_above(state, c);
      return;
    default:
      return;  // 0, 1, 4 and unknown numbers change nothing
  }
}
