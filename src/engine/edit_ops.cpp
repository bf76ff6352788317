#include "engine/edit_ops.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/audio_lock.h"
#include "engine/history.h"
#include "engine/periods.h"

namespace {

using Pattern = PatternCell[kRows][kChannels];

bool valid_row(int32_t row) {
  return row >= 0 && row < kRows;
}
bool valid_channel(int32_t channel) {
  return channel >= 0 && channel < kChannels;
}

// The current pattern, or null when the player names none that exists.
Pattern* current(Player& player) {
  const int32_t number = player.current_pattern;
  if (number < 0 || number >= kPatterns) return nullptr;
  return &player.patterns[number];
}

// Notes rows first..last of the current pattern for the undo history.
void note_rows(Player& player, int32_t first, int32_t last) {
  history_note_rows(player, player.current_pattern, first, last);
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

// Notes that are not in the finetune-0 table, and notes that would leave
// it, stay as they are.
void transpose_rows(Player& player, const EditArgs& args, int32_t channel, bool only_current_sample,
                    int32_t first, int32_t last) {
  Pattern* pattern = current(player);
  if (!pattern || !valid_channel(channel)) return;
  const int16_t* notes = kPeriodTable[0];
  for (int32_t r = first; r <= last; ++r) {
    PatternCell& cell = (*pattern)[r][channel];
    if (cell.period == 0) continue;
    if (only_current_sample && cell.sample != args.sample) continue;
    const int16_t* note = std::find(notes, notes + kNoteCount, cell.period);
    if (note == notes + kNoteCount) continue;
    const int64_t j = (note - notes) + args.semitones;
    if (j < 0 || j >= kNoteCount) continue;
    note_rows(player, r, r);
    cell.period = notes[j];
  }
}

void transpose(Player& player, const EditArgs& args, int32_t channel, bool only_current_sample) {
  transpose_rows(player, args, channel, only_current_sample, 0, kRows - 1);
}

// Transpose the cursor channel or all four, the current sample's notes or
// every note.
void transpose_command(Player& player, const EditArgs& args, EditOp operation) {
  const bool only_current_sample = operation == EditOp::kTransposeSampleInTrack ||
                                   operation == EditOp::kTransposeSampleInPattern;
  if (operation == EditOp::kTransposeSampleInTrack || operation == EditOp::kTransposeTrack) {
    transpose(player, args, args.channel, only_current_sample);
  } else {
    for (int32_t c = 0; c < kChannels; ++c) transpose(player, args, c, only_current_sample);
  }
}

enum class Clip { kTrack, kCommands };

enum class Action { kCut, kCopy, kPaste };

// Cut, copy and paste of the cursor channel through the track or the
// command clipboard.
void track_command(Player& player, EditBuffers& buffers, int32_t channel, Clip clip,
                   Action action) {
  Pattern* pattern = current(player);
  if (!pattern || !valid_channel(channel)) return;
  const bool whole = clip == Clip::kTrack;
  PatternCell* board = whole ? buffers.track_clipboard : buffers.command_clipboard;
  if (action != Action::kCopy) note_rows(player, 0, kRows - 1);
  for (int32_t r = 0; r < kRows; ++r) {
    PatternCell& cell = (*pattern)[r][channel];
    if (action == Action::kPaste) {
      move_part(cell, board[r], whole);
    } else {
      board[r] = cell;
      if (action == Action::kCut) clear_part(cell, whole);
    }
  }
}

// Cut, copy and paste of the whole pattern.
void pattern_command(Player& player, EditBuffers& buffers, Action action) {
  Pattern* pattern = current(player);
  if (!pattern) return;
  if (action != Action::kCopy) note_rows(player, 0, kRows - 1);
  if (action == Action::kPaste) {
    std::memcpy(*pattern, buffers.pattern_clipboard, sizeof(Pattern));
    return;
  }
  std::memcpy(buffers.pattern_clipboard, *pattern, sizeof(Pattern));
  if (action == Action::kCut) std::memset(*pattern, 0, sizeof(Pattern));
}

// True when marking was cancelled.
bool mark_block(const Player& player, EditBuffers& buffers) {
  if (buffers.block_marking == 1) {
    buffers.block_marking = 0;
    return true;
  }
  const int32_t row = player.shown_row;
  buffers.block_marking = 1;
  buffers.block_start = buffers.block_end = buffers.block_anchor = row;
  return false;
}

// The marked rows in ascending order, whichever way they were marked, and
// limited to the pattern. The block ends at the cursor row, which is
// taken here once. False when no usable block is marked.
bool marked_rows(const Player& player, EditBuffers& buffers, int32_t* first, int32_t* last) {
  if (buffers.block_marking != 1) return false;
  const int32_t row = player.shown_row;
  if (valid_row(row)) buffers.block_end = row;
  int32_t s = buffers.block_start;
  int32_t e = buffers.block_end;
  if (s > e) std::swap(s, e);
  if (s < 0) s = 0;
  if (e >= kRows) e = kRows - 1;
  if (s > e) return false;
  *first = s;
  *last = e;
  return true;
}

// True when a marked block was used (even if it held no rows).
bool copy_block(Player& player, EditBuffers& buffers, int32_t channel, bool cut) {
  if (buffers.block_marking != 1) return false;
  int32_t s = 0;
  int32_t e = 0;
  const bool usable = marked_rows(player, buffers, &s, &e);
  buffers.block_marking = 0;
  Pattern* pattern = current(player);
  // Nothing to copy: the previous block stays in the clipboard.
  if (!usable || !pattern || !valid_channel(channel)) return true;
  if (cut) note_rows(player, s, e);
  for (int32_t r = s; r <= e; ++r) {
    PatternCell& cell = (*pattern)[r][channel];
    buffers.block_clipboard[r] = cell;
    if (cut) clear_cell(cell);
  }
  buffers.block_first = s;
  buffers.block_last = e;
  buffers.block_filled = 1;
  return true;
}

void paste_block(Player& player, EditBuffers& buffers, const EditArgs& args) {
  if (buffers.block_filled != 1) return;
  Pattern* pattern = current(player);
  const int32_t channel = args.channel;
  const int32_t row = player.shown_row;
  const int32_t first = buffers.block_first;
  const int32_t n = buffers.block_last - first + 1;
  if (n <= 0 || !pattern || !valid_channel(channel) || !valid_row(row)) return;
  note_rows(player, row, row + n - 1);
  for (int32_t k = 0; k < n && row + k < kRows; ++k)
    (*pattern)[row + k][channel] = buffers.block_clipboard[first + k];
  if (!args.keep_row) player.shown_row = row + n > kRows - 1 ? 0 : row + n;
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
// True when a marked block was used (even if it held no rows).
bool delete_block(Player& player, EditBuffers& buffers, int32_t channel) {
  if (buffers.block_marking != 1) return false;
  int32_t s = 0;
  int32_t e = 0;
  const bool usable = marked_rows(player, buffers, &s, &e);
  buffers.block_marking = 0;
  Pattern* pattern = current(player);
  if (!usable || !pattern || !valid_channel(channel)) return true;
  note_rows(player, s, kRows - 1);
  remove_rows(*pattern, channel, s, e - s + 1);
  return true;
}

void delete_at_cursor(Player& player, int32_t channel) {
  Pattern* pattern = current(player);
  const int32_t row = player.shown_row;
  if (!pattern || !valid_channel(channel) || !valid_row(row)) return;
  note_rows(player, row, kRows - 1);
  remove_rows(*pattern, channel, row, 1);
}

void insert_row(Player& player, CellPart part, int32_t channel) {
  Pattern* pattern = current(player);
  const int32_t row = player.shown_row;
  if (!pattern || !valid_channel(channel) || !valid_row(row) || part == CellPart::kNothing) return;
  const bool whole = part == CellPart::kWhole;
  note_rows(player, row, kRows - 1);
  for (int32_t k = kRows - 1; k > row; --k)
    move_part((*pattern)[k][channel], (*pattern)[k - 1][channel], whole);
  clear_part((*pattern)[row][channel], whole);
}

void delete_above(Player& player, CellPart part, int32_t channel) {
  Pattern* pattern = current(player);
  const int32_t row = player.shown_row;
  if (!pattern || !valid_channel(channel) || !valid_row(row) || row == 0 ||
      part == CellPart::kNothing)
    return;
  const bool whole = part == CellPart::kWhole;
  note_rows(player, row - 1, kRows - 1);
  for (int32_t k = row - 1; k < kRows - 1; ++k)
    move_part((*pattern)[k][channel], (*pattern)[k + 1][channel], whole);
  clear_part((*pattern)[kRows - 1][channel], whole);
}

// The rows a block command works on: the marked block, or with none marked
// the rows the block last copied or cut came from.
bool block_rows(const Player& player, EditBuffers& buffers, int32_t* first, int32_t* last) {
  if (marked_rows(player, buffers, first, last)) return true;
  if (buffers.block_filled != 1) return false;
  *first = buffers.block_first;
  *last = buffers.block_last;
  return valid_row(*first) && valid_row(*last) && *first <= *last;
}

// The cursor channel's cells of the current pattern (kChannels apart),
// with the cursor row; null when either lies outside the pattern.
PatternCell* cursor_track(Player& player, int32_t channel, int32_t* row) {
  Pattern* pattern = current(player);
  *row = player.shown_row;
  if (!pattern || !valid_channel(channel) || !valid_row(*row)) return nullptr;
  return &(*pattern)[0][channel];
}

PatternCell& at(PatternCell* track, int32_t r) {
  return track[r * kChannels];
}

// The block's notes from the cursor row down, each successive note on the
// next channel of the multi-keyboard order, so a chord typed into one
// track is spread.
bool polyphonize(Player& player, const EditBuffers& buffers, int32_t channel,
                 const int32_t (&next_channel)[kChannels]) {
  int32_t row = 0;
  Pattern* pattern = current(player);
  if (!cursor_track(player, channel, &row) || buffers.block_filled != 1) return false;
  const int32_t n = buffers.block_last - buffers.block_first + 1;
  note_rows(player, row, row + n - 1);
  for (int32_t k = 0; k < n && row + k < kRows; ++k) {
    const PatternCell& cell = buffers.block_clipboard[buffers.block_first + k];
    if (cell.period == 0) continue;
    (*pattern)[row + k][channel] = cell;
    channel = std::clamp(next_channel[channel], 0, kChannels - 1);
  }
  return true;
}

// From the cursor row down: expand puts an empty row after every row (the
// rows pushed past the last are lost); contract keeps every second row,
// moved together, and clears the rows freed at the bottom.
bool stretch_track(Player& player, int32_t channel, bool expand) {
  int32_t row = 0;
  PatternCell* track = cursor_track(player, channel, &row);
  if (!track) return false;
  note_rows(player, row, kRows - 1);
  if (expand) {
    for (int32_t k = kRows - 1; k >= row; --k) {
      const int32_t offset = k - row;
      at(track, k) = offset % 2 == 0 ? at(track, row + offset / 2) : PatternCell{};
    }
  } else {
    for (int32_t k = row; k < kRows; ++k) {
      const int32_t from = row + 2 * (k - row);
      at(track, k) = from < kRows ? at(track, from) : PatternCell{};
    }
  }
  return true;
}

bool swap_track(Player& player, EditBuffers& buffers, int32_t channel) {
  int32_t row = 0;
  PatternCell* track = cursor_track(player, channel, &row);
  if (!track) return false;
  note_rows(player, 0, kRows - 1);
  for (int32_t r = 0; r < kRows; ++r) std::swap(at(track, r), buffers.track_clipboard[r]);
  return true;
}

bool reverse_block(Player& player, EditBuffers& buffers, int32_t channel) {
  int32_t row = 0, first = 0, last = 0;
  PatternCell* track = cursor_track(player, channel, &row);
  if (!track || !block_rows(player, buffers, &first, &last)) return false;
  note_rows(player, first, last);
  for (int32_t a = first, b = last; a < b; ++a, --b) std::swap(at(track, a), at(track, b));
  return true;
}

bool insert_block(Player& player, const EditBuffers& buffers, int32_t channel) {
  int32_t row = 0;
  PatternCell* track = cursor_track(player, channel, &row);
  if (!track || buffers.block_filled != 1) return false;
  const int32_t n = buffers.block_last - buffers.block_first + 1;
  note_rows(player, row, kRows - 1);
  for (int32_t k = kRows - 1; k >= row + n; --k) at(track, k) = at(track, k - n);
  for (int32_t k = 0; k < n && row + k < kRows; ++k)
    at(track, row + k) = buffers.block_clipboard[buffers.block_first + k];
  return true;
}

bool transpose_block(Player& player, EditBuffers& buffers, const EditArgs& args,
                     int32_t semitones) {
  int32_t first = 0, last = 0;
  if (!block_rows(player, buffers, &first, &last)) return false;
  EditArgs moved = args;
  moved.semitones = semitones;
  transpose_rows(player, moved, args.channel, false, first, last);
  return true;
}

bool kill_track(Player& player, int32_t channel) {
  int32_t row = 0;
  PatternCell* track = cursor_track(player, channel, &row);
  if (!track) return false;
  note_rows(player, row, kRows - 1);
  for (int32_t k = row; k < kRows; ++k) at(track, k) = PatternCell{};
  return true;
}

// The effect columns as they were before the latest step that changed
// them; the notes stay as they are now.
bool restore_effects(Player& player) {
  Pattern* pattern = current(player);
  PatternCell before[kRows][kChannels];
  if (!pattern || !history_effects_before(player, player.current_pattern, before)) return false;
  note_rows(player, 0, kRows - 1);
  for (int32_t r = 0; r < kRows; ++r)
    for (int32_t c = 0; c < kChannels; ++c) copy_effect((*pattern)[r][c], before[r][c]);
  return true;
}

bool delete_sample_notes(Player& player, int32_t channel, int32_t sample) {
  int32_t row = 0;
  PatternCell* track = cursor_track(player, channel, &row);
  if (!track) return false;
  note_rows(player, 0, kRows - 1);
  for (int32_t r = 0; r < kRows; ++r)
    if (at(track, r).sample == sample) at(track, r) = PatternCell{};
  return true;
}

bool remark_block(Player& player, EditBuffers& buffers) {
  if (buffers.block_filled != 1) return false;
  buffers.block_marking = 1;
  buffers.block_start = buffers.block_anchor = buffers.block_first;
  buffers.block_end = player.shown_row = buffers.block_last;
  return true;
}

// The current pattern for a load, noted for the history: a number out of
// range names the nearest.
Pattern& loaded_pattern(Player& player) {
  const int32_t number = std::clamp(player.current_pattern, 0, kPatterns - 1);
  history_note_rows(player, number, 0, kRows - 1);
  return player.patterns[number];
}

StepKind step_kind(EditOp operation) {
  switch (operation) {
    case EditOp::kCutTrack:
      return StepKind::kCutTrack;
    case EditOp::kPasteTrack:
      return StepKind::kPasteTrack;
    case EditOp::kCutPattern:
      return StepKind::kCutPattern;
    case EditOp::kPastePattern:
      return StepKind::kPastePattern;
    case EditOp::kCutCommands:
      return StepKind::kCutCommands;
    case EditOp::kPasteCommands:
      return StepKind::kPasteCommands;
    case EditOp::kCutBlock:
      return StepKind::kCutBlock;
    case EditOp::kPasteBlock:
      return StepKind::kPasteBlock;
    case EditOp::kDeleteBlock:
      return StepKind::kDeleteBlock;
    case EditOp::kPolyphonize:
      return StepKind::kPolyphonize;
    case EditOp::kExpandTrack:
      return StepKind::kExpandTrack;
    case EditOp::kContractTrack:
      return StepKind::kContractTrack;
    case EditOp::kSwapTrack:
      return StepKind::kSwapTrack;
    case EditOp::kReverseBlock:
      return StepKind::kReverseBlock;
    case EditOp::kInsertBlock:
      return StepKind::kInsertBlock;
    case EditOp::kKillTrack:
      return StepKind::kKillTrack;
    case EditOp::kRestoreEffects:
      return StepKind::kRestoreEffects;
    case EditOp::kDeleteSampleNotes:
      return StepKind::kDeleteNotes;
    case EditOp::kInsertRow:
    case EditOp::kInsertRowAllChannels:
      return StepKind::kInsertRow;
    case EditOp::kDeleteAtCursor:
    case EditOp::kDeleteAbove:
    case EditOp::kDeleteAboveAllChannels:
      return StepKind::kDeleteRow;
    default:
      return StepKind::kTranspose;  // copies and marks change nothing
  }
}

}  // namespace

bool edit_operation(EditOp operation, Player& player, EditBuffers& buffers, const EditArgs& args) {
  // One step, kept once the lock is let go.
  const HistoryGroup group(player, step_kind(operation));
  // The replayer reads the cells from the audio thread.
  AudioGuard guard;
  switch (operation) {
    case EditOp::kTransposeSampleInTrack:
    case EditOp::kTransposeSampleInPattern:
    case EditOp::kTransposeTrack:
    case EditOp::kTransposePattern:
      transpose_command(player, args, operation);
      return false;
    case EditOp::kTransposeSampleInChannel:
      transpose(player, args, args.channel, true);
      return false;
    case EditOp::kTransposeChannel:
      transpose(player, args, args.channel, false);
      return false;
    case EditOp::kCutTrack:
      track_command(player, buffers, args.channel, Clip::kTrack, Action::kCut);
      return false;
    case EditOp::kCopyTrack:
      track_command(player, buffers, args.channel, Clip::kTrack, Action::kCopy);
      return false;
    case EditOp::kPasteTrack:
      track_command(player, buffers, args.channel, Clip::kTrack, Action::kPaste);
      return false;
    case EditOp::kCutPattern:
      pattern_command(player, buffers, Action::kCut);
      return false;
    case EditOp::kCopyPattern:
      pattern_command(player, buffers, Action::kCopy);
      return false;
    case EditOp::kPastePattern:
      pattern_command(player, buffers, Action::kPaste);
      return false;
    case EditOp::kCutCommands:
      track_command(player, buffers, args.channel, Clip::kCommands, Action::kCut);
      return false;
    case EditOp::kCopyCommands:
      track_command(player, buffers, args.channel, Clip::kCommands, Action::kCopy);
      return false;
    case EditOp::kPasteCommands:
      track_command(player, buffers, args.channel, Clip::kCommands, Action::kPaste);
      return false;
    case EditOp::kMarkBlock:
      return mark_block(player, buffers);
    case EditOp::kCutBlock:
      return copy_block(player, buffers, args.channel, true);
    case EditOp::kCopyBlock:
      return copy_block(player, buffers, args.channel, false);
    case EditOp::kPasteBlock:
      paste_block(player, buffers, args);
      return false;
    case EditOp::kDeleteBlock:
      return delete_block(player, buffers, args.channel);
    case EditOp::kDeleteAtCursor:
      delete_at_cursor(player, args.channel);
      return false;
    case EditOp::kInsertRow:
      insert_row(player, args.part, args.channel);
      return false;
    case EditOp::kInsertRowAllChannels:
      for (int32_t c = 0; c < kChannels; ++c) insert_row(player, args.part, c);
      return false;
    case EditOp::kDeleteAbove:
      delete_above(player, args.part, args.channel);
      return false;
    case EditOp::kDeleteAboveAllChannels:
      for (int32_t c = 0; c < kChannels; ++c) delete_above(player, args.part, c);
      return false;
    case EditOp::kPolyphonize:
      return polyphonize(player, buffers, args.channel, args.next_channel);
    case EditOp::kExpandTrack:
    case EditOp::kContractTrack:
      return stretch_track(player, args.channel, operation == EditOp::kExpandTrack);
    case EditOp::kSwapTrack:
      return swap_track(player, buffers, args.channel);
    case EditOp::kReverseBlock:
      return reverse_block(player, buffers, args.channel);
    case EditOp::kInsertBlock:
      return insert_block(player, buffers, args.channel);
    case EditOp::kTransposeBlockUp:
    case EditOp::kTransposeBlockDown:
      return transpose_block(player, buffers, args,
                             operation == EditOp::kTransposeBlockUp ? 1 : -1);
    case EditOp::kKillTrack:
      return kill_track(player, args.channel);
    case EditOp::kRestoreEffects:
      return restore_effects(player);
    case EditOp::kDeleteSampleNotes:
      return delete_sample_notes(player, args.channel, args.sample);
    case EditOp::kRemarkBlock:
      return remark_block(player, buffers);
  }
  return false;  // numbers that name no operation change nothing
}

void replace_track(Player& player, int32_t channel, const PatternCell (&cells)[kRows]) {
  const HistoryGroup group(player, StepKind::kLoadTrack);
  AudioGuard guard;
  Pattern& pattern = loaded_pattern(player);
  const int32_t c = std::clamp(channel, 0, kChannels - 1);
  for (int32_t row = 0; row < kRows; ++row) pattern[row][c] = cells[row];
}

void replace_pattern(Player& player, const PatternCell (&cells)[kRows][kChannels]) {
  const HistoryGroup group(player, StepKind::kLoadPattern);
  AudioGuard guard;
  std::memcpy(loaded_pattern(player), cells, sizeof(Pattern));
}
