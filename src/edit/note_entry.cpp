#include "edit/note_entry.h"

#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "engine/replayer.h"

namespace {

constexpr int32_t kTonePortamento = 2;
constexpr int32_t kAnyModifier = kModifierShift | kModifierAlt | kModifierAmiga | kModifierCtrl;

bool valid_sample(int32_t sample) {
  return sample >= 0 && sample < kSampleCount;
}

}  // namespace

PatternCell* cursor_cell(EditorState* state) {
  Player* player = state->player;
  const int32_t pattern = player->current_pattern;
  const int32_t row = player->shown_row;
  const int32_t channel = state->selection.cursor_channel;
  if (pattern < 0 || pattern >= kPatterns || row < 0 || row >= kRows || channel < 0 ||
      channel >= kChannels)
    return nullptr;
  return &player->patterns[pattern][row][channel];
}

void advance_by_edit_skip(EditorState* state) {
  const int32_t row = state->player->shown_row + state->selection.edit_skip;
  state->player->shown_row = row > kRows - 1 ? 0 : row;
}

void start_note(Player* player, int32_t channel, int32_t sample, int32_t period) {
  ChannelState& ch = player->channels[channel];
  ch.sample = sample;
  ch.pending_sample = 0;
  ch.position = 0;
  ch.step = period_step(player, period);
  ch.volume = ch.mix_volume = player->samples[sample].volume;
  ch.flags &= ~kTonePortamento;
  ch.vibrato_speed = 0;
  ch.tremolo_speed = 0;
  ch.volume_slide = 0;
  ch.porta_speed = 0;
  ch.arpeggio = 0;
  ch.retrig_interval = 0;
  ch.vibrato_position = 0;
  ch.tremolo_position = 0;
  ch.arp_base = ch.period = ch.porta_target = ch.output_period = period;
}

void enter_note(EditorState* state) {
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
    reset_all_channels(state);
    return;
  }
  if (index == kNoNote) return;
  Player* player = state->player;
  const int32_t sample = state->selection.current_sample;
  const int32_t channel = state->selection.cursor_channel;
  if (!valid_sample(sample) || channel < 0 || channel >= kChannels) return;

  const int32_t written = kNotePeriods[index];
  const int32_t sounded = finetune_period(written, player->samples[sample].finetune, 0);
  player->range_play = 0;
  start_note(player, channel, sample, sounded);
  ChannelState& ch = player->channels[channel];
  ch.finetune = player->samples[sample].finetune;
  ch.cut_counter = -1;
  ch.retrig_counter = -1;

  // The cell keeps the finetune-0 period so that it reads as the note's name.
  PatternCell* cell = cursor_cell(state);
  if (state->selection.edit_mode && cell != nullptr) {
    cell->period = written;
    cell->sample = sample;
    advance_by_edit_skip(state);
  }
  if (state->selection.multi_keyboard) state->selection.cursor_channel = (channel + 1) % kChannels;
}

int32_t enter_digit(EditorState* state) {
  PatternCell* cell = cursor_cell(state);
  if (cell == nullptr) return 0;
  const int32_t key_index = key_index_of_code(state->input.key_code);
  const int32_t column = state->selection.cursor_column;
  if (column == kColumnSampleHigh) {
    // Sample numbers stop at 0x1F, so only 0 and 1 are high digits.
    if (key_index == kKey0) {
      cell->sample &= 0x0F;
    } else if (key_index == kKey1) {
      cell->sample |= 0x10;
    } else {
      return 0;
    }
  } else {
    const int32_t value = hex_digit_value(key_index);
    if (value < 0) return 0;
    switch (column) {
      case kColumnSampleLow:
        cell->sample = (cell->sample & ~0x0F) + value;
        break;
      case kColumnEffect:
        cell->effect = static_cast<uint8_t>(value);
        break;
      case kColumnParamHigh:
        cell->param_hi = static_cast<uint8_t>(value);
        break;
      case kColumnParamLow:
        cell->param_lo = static_cast<uint8_t>(value);
        break;
      default:
        return 0;
    }
    if (column == kColumnParamHigh || column == kColumnParamLow)
      cell->param = static_cast<uint8_t>(cell->param_hi * 16 + cell->param_lo);
  }
  state->keys.key_consumed = 1;
  advance_by_edit_skip(state);
  return 1;
}
