#include "edit/note_entry.h"

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
    // semitones from C-3 (the note keys reach octave 3 first).
    int32_t& note = state->selection.note_field == 1 ? state->selection.tune_note
                                                     : state->selection.resample_note;
    note = -12 * (index / 12) + index % 12;
    state->selection.note_field = 0;
    set_message(state->status, "ALL RIGHT");
    return;
  }
  sound_note(state, index, -1);
}

int32_t sound_note(EditContext* state, int32_t index, int32_t volume) {
  Player* player = state->player;
  const int32_t sample = state->selection.current_sample;
  const int32_t channel = state->selection.cursor_channel;
  if (index < 0 || index >= kNotePeriodCount || !valid_sample(sample) || channel < 0 ||
      channel >= kChannels)
    return -1;

  const int32_t written = kNotePeriods[index];
  play_note(*player, channel, sample, written);

  // The cell keeps the finetune-0 period so that it reads as the note's name.
  if (state->selection.edit_mode) {
    // The note and its volume command are one step of the history.
    const HistoryGroup group(*player, StepKind::kNote);
    const CellAt at = cursor_cell(state);
    if (write_note(*player, at, written, sample)) {
      if (volume >= 0) {
        write_cell_digit(*player, at, CellDigit::kEffect, 0xC);
        write_cell_digit(*player, at, CellDigit::kParamHigh, volume >> 4);
        write_cell_digit(*player, at, CellDigit::kParamLow, volume & 15);
      }
      advance_by_edit_skip(state);
    }
  }
  if (state->selection.multi_keyboard) state->selection.cursor_channel = (channel + 1) % kChannels;
  return channel;
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
