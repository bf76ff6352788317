// Pattern edit operations: clipboards, insert, delete, transpose and
// blocks, on the current pattern and the editor's buffers. Each operation
// is one step of the undo history (engine/history.h).
#pragma once

#include <cstdint>

#include "engine/player.h"

// The clipboards and the block marks.
struct EditBuffers {
  PatternCell pattern_clipboard[kRows][kChannels];
  PatternCell track_clipboard[kRows];
  PatternCell command_clipboard[kRows];  // only effect parts are pasted
  int32_t block_start;                   // the row where marking began
  int32_t block_end;                     // the cursor row when the block is used
  int32_t block_anchor;
  int32_t block_marking;
  int32_t block_filled;  // 1 once a block has been copied or cut
  int32_t block_first;   // rows the block came from, first <= last
  int32_t block_last;
  PatternCell block_clipboard[kRows];  // indexed by the row a cell came from
};

// The values are the numbers the operations have always had.
enum class EditOp : int32_t {
  kTransposeSampleInTrack = 5,  // the current sample's notes in the cursor channel
  kTransposeSampleInPattern = 6,
  kTransposeTrack = 7,
  kTransposePattern = 8,
  kTransposeSampleInChannel = 9,  // as 5 and 7
  kTransposeChannel = 10,
  kCutTrack = 11,
  kCopyTrack = 12,
  kPasteTrack = 13,
  kCutPattern = 14,
  kCopyPattern = 15,
  kPastePattern = 16,
  kCutCommands = 17,
  kCopyCommands = 18,
  kPasteCommands = 19,
  kMarkBlock = 20,  // starts marking, or cancels it
  kCutBlock = 21,
  kCopyBlock = 22,
  kPasteBlock = 23,
  kDeleteBlock = 24,
  kDeleteAtCursor = 25,
  kInsertRow = 26,
  kInsertRowAllChannels = 27,
  kDeleteAbove = 28,
  kDeleteAboveAllChannels = 29,
  // The cursor track and the block, from the cursor row down unless said.
  kPolyphonize = 30,    // the block's notes from the cursor row, one channel further each
  kExpandTrack = 31,    // an empty row after every row
  kContractTrack = 32,  // every second row kept, moved together
  kSwapTrack = 33,      // with the track clipboard
  kReverseBlock = 34,   // the block's rows in reverse order
  kInsertBlock = 35,    // the block clipboard, pushing the cells below down
  kTransposeBlockUp = 36,
  kTransposeBlockDown = 37,
  kKillTrack = 38,          // cleared to the last row
  kRestoreEffects = 39,     // the pattern's effects as before their latest change
  kDeleteSampleNotes = 40,  // the cells naming the current sample, whole track
  kRemarkBlock = 41,        // marks the block last copied or cut again
};

// What the row inserts and deletes move.
enum class CellPart : int32_t { kNothing, kWhole, kEffects };

// Where an operation works and what the held modifiers meant. The row is
// the player's shown row.
struct EditArgs {
  int32_t channel;    // the cursor channel
  int32_t sample;     // the current sample, for the transpositions of its notes
  int32_t semitones;  // for the transpositions
  CellPart part;      // for the row inserts and deletes
  bool keep_row;      // a pasted block leaves the cursor where it was
  // The channel that follows each channel in the multi-keyboard order,
  // which polyphonize spreads notes along.
  int32_t next_channel[kChannels] = {1, 2, 3, 0};
};

// Carries out one operation under the audio lock. True when a block
// operation went through or marking was cancelled, which the caller
// confirms to the user, and when one of the operations from kPolyphonize on
// acted (false: nothing to act on, such as no block).
bool edit_operation(EditOp operation, Player& player, EditBuffers& buffers, const EditArgs& args);

// Loads from files: the cells replace the cursor channel's track or the
// whole pattern, current pattern numbers out of range taken as the nearest
// pattern.
void replace_track(Player& player, int32_t channel, const PatternCell (&cells)[kRows]);
void replace_pattern(Player& player, const PatternCell (&cells)[kRows][kChannels]);
