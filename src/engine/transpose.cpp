#include "engine/transpose.h"

#include <algorithm>

#include "engine/audio_lock.h"
#include "engine/history.h"
#include "engine/periods.h"

namespace {

struct Area {
  int32_t first_row, last_row, first_channel, last_channel;
};

// True when the cell changed.
bool transpose_cell(Player& player, int32_t pattern, int32_t row, PatternCell& cell,
                    const TransposeArgs& args) {
  if (cell.period == 0) return false;
  if (args.sample != 0 && cell.sample != args.sample) return false;
  const int16_t* notes = kPeriodTable[0];
  const int16_t* note = std::find(notes, notes + kNoteCount, cell.period);
  if (note == notes + kNoteCount) return false;
  const int64_t j = (note - notes) + args.semitones;
  const bool inside = j >= 0 && j < kNoteCount;
  if (!inside && !args.delete_outside) return false;
  history_note_rows(player, pattern, row, row);
  if (inside) {
    cell.period = notes[j];
  } else {
    cell.period = 0;
    cell.sample = 0;
  }
  return true;
}

int32_t transpose_area(Player& player, int32_t pattern, const Area& area,
                       const TransposeArgs& args) {
  int32_t changed = 0;
  for (int32_t r = area.first_row; r <= area.last_row; ++r)
    for (int32_t c = area.first_channel; c <= area.last_channel; ++c)
      if (transpose_cell(player, pattern, r, player.patterns[pattern][r][c], args)) ++changed;
  return changed;
}

}  // namespace

int32_t transpose_notes(Player& player, const TransposeArgs& args) {
  const HistoryGroup group(player, StepKind::kTranspose);
  AudioGuard guard;
  const int32_t current = player.current_pattern;
  const bool one_channel =
      args.scope == TransposeScope::kBlock || args.scope == TransposeScope::kTrack;
  if (one_channel && (args.channel < 0 || args.channel >= kChannels)) return 0;
  Area area{0, kRows - 1, 0, kChannels - 1};
  if (one_channel) area.first_channel = area.last_channel = args.channel;
  if (args.scope == TransposeScope::kBlock) {
    area.first_row = std::max(std::min(args.first_row, args.last_row), 0);
    area.last_row = std::min(std::max(args.first_row, args.last_row), kRows - 1);
  }
  if (args.scope != TransposeScope::kSong) {
    if (current < 0 || current >= kPatterns) return 0;
    return transpose_area(player, current, area, args);
  }
  // Each pattern the song plays once, however often the order list names it.
  bool seen[kPatterns] = {};
  int32_t changed = 0;
  const int32_t length = std::clamp(player.song_length, 0, kPositions);
  for (int32_t position = 0; position < length; ++position) {
    const int32_t pattern = player.order[position];
    if (pattern < 0 || pattern >= kPatterns || seen[pattern]) continue;
    seen[pattern] = true;
    changed += transpose_area(player, pattern, area, args);
  }
  return changed;
}
