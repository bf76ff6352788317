// Transposing notes over a chosen stretch of the song: a block of rows of
// one channel, a channel, a pattern or every pattern the song plays. One
// step of the undo history.
#pragma once

#include <cstdint>

#include "engine/player.h"

enum class TransposeScope : int32_t { kBlock, kTrack, kPattern, kSong };

struct TransposeArgs {
  TransposeScope scope;
  int32_t channel;    // block and track
  int32_t first_row;  // block: rows first_row..last_row
  int32_t last_row;
  int32_t sample;     // only notes naming this sample; 0: every note
  int32_t semitones;  // +-1, +-12
  // A note that would leave the three octaves is cleared (note and sample
  // number; its effect stays), otherwise it stays as it is.
  bool delete_outside;
};

// Notes whose period is not a finetune-0 note are left alone. The block and
// track scopes work in the current pattern. Returns the cells changed.
int32_t transpose_notes(Player& player, const TransposeArgs& args);
