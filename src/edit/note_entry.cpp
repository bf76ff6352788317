#include "edit/note_entry.h"

#include <algorithm>

#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "render/message.h"

namespace {

constexpr int32_t kAnyModifier = kModifierShift | kModifierAlt | kModifierAmiga | kModifierCtrl;

bool valid_sample(int32_t sample) {
  return sample >= 0 && sample < kSampleCount;
}

// Note entry's period table runs octave 3, 2, 1; notes count up from C-1.
// The mapping is its own inverse.
int32_t flip_octaves(int32_t index) {
  return (2 - index / 12) * 12 + index % 12;
}

// Where a note goes: the cursor cell, or while recording with quantize on
// the nearest quantize row, in the next position's pattern past the end
// when the song plays on.
CellAt note_cell(const EditContext* state) {
  CellAt at = cursor_cell(state);
  const ReplayView view = replay_view(*state->player);
  if (!replay_running(view)) return at;
  at.row = quantized_row(at.row, state->selection.record.quantize);
  if (at.row < kRows) return at;
  at.row = 0;
  if (view.play_mode == kPlaySong) {
    const Player& player = *state->player;
    int32_t next = view.shown_position + 1;
    if (next >= player.song_length || next >= kPositions) next = 0;
    at.pattern = player.order[next];
  }
  return at;
}

// The note, with the auto-insert effect when it is on, or with a volume
// command when a volume (0..64, from a MIDI velocity) is given, as one step.
bool write_entered_note(EditContext* state, const CellAt& at, int32_t period, int32_t sample,
                        int32_t volume) {
  const RecordOptions& record = state->selection.record;
  Player& player = *state->player;
  const HistoryGroup group(player, StepKind::kNote);
  if (!write_note(player, at, period, sample)) return false;
  if (record.auto_effect) {
    write_cell_digit(player, at, CellDigit::kEffect, record.effect & 15);
    write_cell_digit(player, at, CellDigit::kParamHigh, (record.effect_param >> 4) & 15);
    write_cell_digit(player, at, CellDigit::kParamLow, record.effect_param & 15);
  }
  if (volume >= 0) {
    write_cell_digit(player, at, CellDigit::kEffect, 0xC);
    write_cell_digit(player, at, CellDigit::kParamHigh, volume >> 4);
    write_cell_digit(player, at, CellDigit::kParamLow, volume & 15);
  }
  return true;
}

}  // namespace

CellAt cursor_cell(const EditContext* state) {
  const ReplayView replay = replay_view(*state->player);
  return {replay.current_pattern, replay.shown_row, state->selection.cursor_channel};
}

void advance_by_edit_skip(EditContext* state) {
  const int32_t row = replay_view(*state->player).shown_row + state->selection.edit_skip;
  set_shown_row(*state->player, row > kRows - 1 ? 0 : row);
}

void enter_note(EditContext* state) {
  const int32_t key = state->input.key_code;
  if (key == 0) state->keys.note_key_latch = 0;
  if (!keyboard_is_free(state)) {
    // A key that answers a requester or types into a field stays taken, so
    // it does not play a note when the requester closes under it.
    if (key != 0) state->keys.note_key_latch = 1;
    return;
  }
  const int32_t ordinal = note_key_ordinal(key);
  if (ordinal < 0 || state->keys.note_key_latch) return;
  state->keys.note_key_latch = 1;
  state->keys.note_key_index = kNoteKeys[ordinal].key_index;
  if (state->input.modifiers & kAnyModifier) return;
  if (state->selection.cursor_column != kColumnNote) return;

  const int32_t index = note_period_index(ordinal, state->selection.octave_offset);
  if (index == kStopAllNote) {
    reset_all_channels(*state->player);
    return;
  }
  if (index == kNoNote) return;
  if (state->selection.note_field != 0) {
    // A sample editor note field waiting for its note takes it, in
    // semitones from C-3.
    int32_t& note = state->selection.note_field == 1 ? state->selection.tune_note
                                                     : state->selection.resample_note;
    note = flip_octaves(index) - 24;
    state->selection.note_field = 0;
    set_message(state->status, "ALL RIGHT");
    return;
  }
  sound_note(state, index, -1);
}

int32_t sound_note(EditContext* state, int32_t index, int32_t volume) {
  Player* player = state->player;
  const RecordOptions& record = state->selection.record;
  const NoteChoice note = split_note(record, flip_octaves(index), state->selection.current_sample);
  const int32_t sample = note.sample;
  const int32_t channel = state->selection.cursor_channel;
  if (index < 0 || index >= kNotePeriodCount || !valid_sample(sample) || channel < 0 ||
      channel >= kChannels)
    return -1;

  const int32_t written = kNotePeriods[flip_octaves(note.note)];
  play_note(*player, channel, sample, written);

  // The cell keeps the finetune-0 period so that it reads as the note's name.
  if (state->selection.edit_mode &&
      write_entered_note(state, note_cell(state), written, sample, volume))
    advance_by_edit_skip(state);
  if (state->selection.multi_keyboard)
    state->selection.cursor_channel = next_multi_channel(record, channel);
  return channel;
}

NoteChoice split_note(const RecordOptions& record, int32_t note, int32_t sample) {
  if (!record.split) return {note, sample};
  const SplitRange* chosen = nullptr;
  for (const SplitRange& range : record.ranges)
    if (range.sample > 0 && range.from_note <= note &&
        (!chosen || range.from_note > chosen->from_note))
      chosen = &range;
  if (!chosen) return {note, sample};
  return {std::clamp(note + chosen->transpose, 0, kNotePeriodCount - 1), chosen->sample};
}

int32_t quantized_row(int32_t row, int32_t quantize) {
  if (quantize <= 1) return row;
  return (row + quantize / 2) / quantize * quantize;
}

int32_t next_multi_channel(const RecordOptions& record, int32_t channel) {
  const int32_t* order = record.channel_order;
  int32_t at = -1;
  for (int32_t slot = 0; slot < kChannels; ++slot)
    if (order[slot] == channel + 1) at = slot;
  for (int32_t k = 1; k <= kChannels; ++k) {
    const int32_t slot = (at + k + kChannels) % kChannels;
    if (order[slot] >= 1 && order[slot] <= kChannels) return order[slot] - 1;
  }
  return (channel + 1) % kChannels;
}

int32_t enter_digit(EditContext* state) {
  int32_t value = hex_digit_value(key_index_of_code(state->input.key_code));
  CellDigit digit = CellDigit::kSampleHigh;
  switch (state->selection.cursor_column) {
    case kColumnSampleHigh:
      // Sample numbers stop at 0x1F, so only 0 and 1 are high digits.
      if (value > 1) value = -1;
      break;
    case kColumnSampleLow:
      digit = CellDigit::kSampleLow;
      break;
    case kColumnEffect:
      digit = CellDigit::kEffect;
      break;
    case kColumnParamHigh:
      digit = CellDigit::kParamHigh;
      break;
    case kColumnParamLow:
      digit = CellDigit::kParamLow;
      break;
    default:
      return 0;
  }
  if (value < 0 || !write_cell_digit(*state->player, cursor_cell(state), digit, value)) return 0;
  state->keys.key_consumed = 1;
  advance_by_edit_skip(state);
  return 1;
}
