#include "edit/keyboard.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "edit/key_tables.h"
#include "edit/note_entry.h"
#include "edit/requesters.h"
#include "engine/edit_ops.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "render/message.h"

namespace {

constexpr int32_t kLastRow = kRows - 1;
constexpr int32_t kLastPosition = kPositions - 1;
constexpr int32_t kLastPattern = kPatterns - 1;
constexpr int32_t kLastSample = kSampleCount - 1;
constexpr int32_t kShift = kModifierShift;
constexpr int32_t kAlt = kModifierAlt;
constexpr int32_t kCtrl = kModifierCtrl;

bool screen_open(const EditContext* state, ScreenId screen) {
  return state->services.screen_open(state->services.context, screen);
}

void toggle_screen(EditContext* state, ScreenId screen) {
  state->services.set_screen_open(state->services.context, screen, !screen_open(state, screen));
}

int32_t wrap_row(int32_t row) {
  if (row > kLastRow) return 0;
  if (row < 0) return kLastRow;
  return row;
}

bool playing(const Player* player) {
  return replay_running(replay_view(*player));
}

bool idle(const EditContext* state) {
  return !state->selection.edit_mode && !playing(state->player);
}

int32_t mark_row(const EditContext* state, int32_t key_index) {
  const int32_t row = state->selection.row_marks[key_index - kKeyF6];
  return row >= 0 && row <= kLastRow ? row : 0;
}

void select_sample(EditContext* state, int32_t sample) {
  state->selection.current_sample = sample;
  state->services.sample_changed(state->services.context);
}

// Main table.

void close_screens(EditContext* state, const KeyCommand&, int32_t) {
  state->services.set_screen_open(state->services.context, ScreenId::kDiskOp, false);
  state->services.set_screen_open(state->services.context, ScreenId::kSampler, false);
}

// argument: +1 down, -1 up.
void move_row(EditContext* state, const KeyCommand& command, int32_t) {
  const int32_t step = command.argument;
  if (state->services.scroll_screen(state->services.context, step)) return;
  Player* player = state->player;
  const ReplayView replay = replay_view(*player);
  if (replay_running(replay)) return;
  set_shown_row(*player, wrap_row(replay.shown_row + step));
  set_play_row(*player, wrap_row(replay.row + step));
}

void step_sample(EditContext* state, const KeyCommand& command, int32_t) {
  const int32_t sample = state->selection.current_sample + command.argument;
  select_sample(state, sample < 1 ? 1 : sample > kLastSample ? kLastSample : sample);
}

void step_position(EditContext* state, const KeyCommand& command, int32_t) {
  const int32_t position = replay_view(*state->player).song_position + command.argument;
  if (position >= 0 && position <= kLastPosition) set_song_position(*state->player, position);
}

void step_pattern(EditContext* state, const KeyCommand& command, int32_t) {
  const int32_t pattern = replay_view(*state->player).current_pattern + command.argument;
  if (pattern >= 0 && pattern <= kLastPattern) set_current_pattern(*state->player, pattern);
}

void step_column(EditContext* state, const KeyCommand& command, int32_t) {
  const int32_t columns = kColumnParamLow + 1;
  int32_t place =
      state->selection.cursor_channel * columns + state->selection.cursor_column + command.argument;
  place = (place + columns * kChannels) % (columns * kChannels);
  state->selection.cursor_channel = place / columns;
  state->selection.cursor_column = place % columns;
}

void step_channel(EditContext* state, const KeyCommand& command, int32_t) {
  state->selection.cursor_column = kColumnNote;
  state->selection.cursor_channel =
      (state->selection.cursor_channel + command.argument + kChannels) % kChannels;
}

void clear_cell(EditContext* state, const KeyCommand&, int32_t) {
  if (!state->selection.edit_mode) return;
  const bool note = !(state->input.modifiers & kAlt);
  const bool effect = (state->input.modifiers & (kShift | kAlt)) != 0;
  if (!clear_cell_parts(*state->player, cursor_cell(state), note, effect)) return;
  advance_by_edit_skip(state);
}

void toggle_edit(EditContext* state, const KeyCommand&, int32_t) {
  if (idle(state)) {
    enter_edit_mode(state);
  } else {
    stop_playing(state);
  }
}

// argument: the play mode; record is play pattern while editing.
constexpr int32_t kRecord = 0;

void play(EditContext* state, const KeyCommand& command, int32_t) {
  const bool record = command.argument == kRecord;
  start_playing(state, record ? kPlayPattern : command.argument, record, 0);
}

void play_from_mark(EditContext* state, const KeyCommand& command, int32_t key_index) {
  const bool record = command.argument == kRecord;
  start_playing(state, kPlayPattern, record, mark_row(state, key_index));
}

void set_octave(EditContext* state, const KeyCommand& command, int32_t) {
  state->selection.octave_offset = command.argument;
}

// The operation as a command argument.
constexpr int32_t op(EditOp operation) {
  return static_cast<int32_t>(operation);
}

// Runs an edit operation where the cursor is, with what the modifiers mean
// for it: Ctrl moves effect parts only, Shift or Alt whole cells (without
// them a row insert or delete does nothing); Shift keeps the cursor where a
// block is pasted. A block operation that went through says so.
void edit(EditContext* state, EditOp operation, int32_t semitones = 0) {
  const int32_t modifiers = state->input.modifiers;
  CellPart part = CellPart::kNothing;
  if (modifiers & kCtrl) {
    part = CellPart::kEffects;
  } else if (modifiers & (kShift | kAlt)) {
    part = CellPart::kWhole;
  }
  const EditArgs args{state->selection.cursor_channel, state->selection.current_sample, semitones,
                      part, (modifiers & kShift) != 0};
  if (edit_operation(operation, *state->player, state->edit_buffers, args))
    set_message(state->status, "ALL RIGHT");
}

void operation(EditContext* state, const KeyCommand& command, int32_t) {
  edit(state, static_cast<EditOp>(command.argument));
}

void store_mark(EditContext* state, const KeyCommand&, int32_t key_index) {
  std::snprintf(state->status.message, sizeof state->status.message, "%s", "POSITION SET");
  state->status.message_timer = 1;
  state->status.pointer_colour = kPointerWhite;
  const int32_t row = replay_view(*state->player).shown_row;
  if (row >= 0 && row <= kLastRow) state->selection.row_marks[key_index - kKeyF6] = row;
}

void jump_to_mark(EditContext* state, const KeyCommand&, int32_t key_index) {
  if (idle(state)) set_shown_row(*state->player, mark_row(state, key_index));
}

void step_shown_row(EditContext* state, int32_t step) {
  set_shown_row(*state->player, wrap_row(replay_view(*state->player).shown_row + step));
}

void preview_row(EditContext* state) {
  const ReplayView replay = replay_view(*state->player);
  play_row(*state->player, replay.shown_position, replay.shown_row);
}

// argument: +1 Return (insert, row down), -1 Backspace (delete above, row up).
void row_edit(EditContext* state, const KeyCommand& command, int32_t) {
  const bool insert = command.argument > 0;
  if (state->input.modifiers & kAlt) {
    edit(state, insert ? EditOp::kInsertRowAllChannels : EditOp::kDeleteAboveAllChannels);
  } else {
    edit(state, insert ? EditOp::kInsertRow : EditOp::kDeleteAbove);
  }
  step_shown_row(state, command.argument);
}

void preview_and_step(EditContext* state, const KeyCommand& command, int32_t) {
  preview_row(state);
  step_shown_row(state, command.argument);
}

void keypad_sample(EditContext* state, const KeyCommand&, int32_t key_index) {
  struct KeypadSample {
    int32_t key_index;
    int32_t sample;
  };
  static constexpr KeypadSample kKeypad[] = {
      {kKeyNumLock, 1}, {kKeyNumDiv, 2}, {kKeyNumMul, 3},    {kKeyNumMinus, 4},
      {kKeyNum7, 5},    {kKeyNum8, 6},   {kKeyNum9, 7},      {kKeyNumPlus, 8},
      {kKeyNum4, 9},    {kKeyNum5, 10},  {kKeyNum6, 11},     {kKeyNum1, 12},
      {kKeyNum2, 13},   {kKeyNum3, 14},  {kKeyNumEnter, 15}, {kKeyNum0, 0},
  };
  if (key_index == kKeyNumDel) {
    ask_question(state->status, Question::kDeleteSample, "DELETE SAMPLE ?");
    return;
  }
  for (const KeypadSample& key : kKeypad)
    if (key.key_index == key_index) select_sample(state, key.sample);
}

// Left command table: argument is the semitones; the operation follows
// from the key's place in its row of four.
void transpose(EditContext* state, const KeyCommand& command, int32_t key_index) {
  static constexpr EditOp kTransposeOps[] = {EditOp::kTransposeSampleInTrack,
                                             EditOp::kTransposeSampleInPattern,
                                             EditOp::kTransposeTrack, EditOp::kTransposePattern};
  edit(state, kTransposeOps[key_index - command.first_key], command.argument);
}

// Ctrl table.

// argument: 0 undo, 1 redo. The message line names the step, and the
// pattern or sample it changed comes into view.
void undo_or_redo(EditContext* state, const KeyCommand& command, int32_t) {
  const bool redo = command.argument != 0;
  Player& player = *state->player;
  const HistoryMove move = redo ? history_redo(player) : history_undo(player);
  if (!move.moved) {
    set_message(state->status, redo ? "NOTHING TO REDO" : "NOTHING TO UNDO");
    return;
  }
  std::snprintf(state->status.message, sizeof state->status.message, "%s %s",
                redo ? "REDO" : "UNDO", step_name(move.kind));
  if (move.pattern >= 0 && move.pattern != replay_view(player).current_pattern)
    set_current_pattern(player, move.pattern);
  if (move.sample > 0) select_sample(state, move.sample);
}

void show_done(Status& status, const char* text) {
  set_message(status, text);
  status.message_timer = 1;
  status.pointer_colour = kPointerWhite;
}

void save_all_samples(EditContext* state, const KeyCommand&, int32_t) {
  ask_question(state->status, Question::kSaveAllSamples, "SAVE ALL SMPLS?");
}

void set_edit_skip(EditContext* state, const KeyCommand&, int32_t key_index) {
  const int32_t skip = hex_digit_value(key_index);
  state->selection.edit_skip = skip;
  std::snprintf(state->status.message, sizeof state->status.message, "EDITSKIP = %d", skip);
  state->status.message_timer = 1;
}

void enable_all_channels(EditContext* state, const KeyCommand&, int32_t) {
  for (int32_t c = 0; c < kChannels; ++c) set_channel_enabled(*state->player, c, true);
}

void solo_or_mute(EditContext* state, const KeyCommand&, int32_t) {
  const int32_t channel = state->selection.cursor_channel;
  if (channel < 0 || channel >= kChannels) return;
  if (state->input.modifiers & kShift) {
    for (int32_t c = 0; c < kChannels; ++c) set_channel_enabled(*state->player, c, c == channel);
  } else {
    toggle_channel(*state->player, channel);
  }
}

void toggle_filter(EditContext* state, const KeyCommand&, int32_t) {
  const bool on = !replay_view(*state->player).filter_enabled;
  set_filter_enabled(*state->player, on);
  timed_message(state->status, on ? "FILTER ON" : "FILTER OFF");
}

void toggle_multi_keyboard(EditContext* state, const KeyCommand&, int32_t) {
  state->selection.multi_keyboard = !state->selection.multi_keyboard;
  show_done(state->status, state->selection.multi_keyboard ? "MULTI ON" : "MULTI OFF");
}

// The sample editor's buttons by key: argument = the action, plus 0x100
// for every sample at once.
void sample_key(EditContext* state, const KeyCommand& command, int32_t) {
  state->services.sample_process(state->services.context,
                                 static_cast<SamplerAction>(command.argument & 0xFF),
                                 (command.argument & 0x100) != 0);
}

constexpr int32_t sample_action(SamplerAction action, bool all = false) {
  return static_cast<int32_t>(action) | (all ? 0x100 : 0);
}

void sampling_key(EditContext* state, const KeyCommand&, int32_t) {
  state->services.sampling(state->services.context);
}

// The track and block commands: what was done, or that there was nothing
// to do it on.
void track_op(EditContext* state, const KeyCommand& command, int32_t) {
  struct OpText {
    EditOp operation;
    const char* done;
    const char* nothing;
  };
  static constexpr OpText kTexts[] = {
      {EditOp::kPolyphonize, "POLYPHONIZED", "NO BLOCK COPIED"},
      {EditOp::kExpandTrack, "TRACK EXPANDED", "ROW OUT OF RANGE"},
      {EditOp::kContractTrack, "TRACK CONTRACTED", "ROW OUT OF RANGE"},
      {EditOp::kSwapTrack, "TRACKS SWAPPED", "ROW OUT OF RANGE"},
      {EditOp::kReverseBlock, "BLOCK REVERSED", "NO BLOCK"},
      {EditOp::kInsertBlock, "BLOCK INSERTED", "NO BLOCK COPIED"},
      {EditOp::kTransposeBlockUp, "BLOCK UP", "NO BLOCK"},
      {EditOp::kTransposeBlockDown, "BLOCK DOWN", "NO BLOCK"},
      {EditOp::kKillTrack, "TRACK KILLED", "ROW OUT OF RANGE"},
      {EditOp::kRestoreEffects, "EFFECTS RESTORED", "NO FX TO RESTORE"},
      {EditOp::kDeleteSampleNotes, "NOTES DELETED", "ROW OUT OF RANGE"},
      {EditOp::kRemarkBlock, "BLOCK REMARKED", "NO BLOCK COPIED"},
  };
  const auto operation = static_cast<EditOp>(command.argument);
  EditArgs args{state->selection.cursor_channel, state->selection.current_sample, 0,
                CellPart::kNothing, false};
  for (int32_t c = 0; c < kChannels; ++c)
    args.next_channel[c] = next_multi_channel(state->selection.record, c);
  const bool acted = edit_operation(operation, *state->player, state->edit_buffers, args);
  for (const OpText& text : kTexts) {
    if (text.operation != operation) continue;
    if (acted) {
      show_done(state->status, text.done);
    } else {
      timed_message(state->status, text.nothing);
    }
  }
}

// The F6-F10 marks back at the rows they start on.
void restore_marks(EditContext* state, const KeyCommand&, int32_t) {
  static constexpr int32_t kStartMarks[] = {0, 16, 32, 48, 63};
  std::copy(std::begin(kStartMarks), std::end(kStartMarks), state->selection.row_marks);
  show_done(state->status, "MARKS RESTORED");
}

// Alt table.

void ask_quit(EditContext* state, const KeyCommand&, int32_t) {
  ask_to_quit(state->status, *state->player);
}

void toggle_sample_editor(EditContext* state, const KeyCommand&, int32_t) {
  toggle_screen(state, ScreenId::kSampler);
}

void toggle_disk_op(EditContext* state, const KeyCommand&, int32_t) {
  toggle_screen(state, ScreenId::kDiskOp);
}

void toggle_edit_op(EditContext* state, const KeyCommand&, int32_t) {
  toggle_screen(state, ScreenId::kEditOp);
}

void toggle_help(EditContext* state, const KeyCommand&, int32_t) {
  toggle_screen(state, ScreenId::kHelp);
}

// argument: 0 the auto-insert effect, 1 the split keyboard.
void toggle_record_option(EditContext* state, const KeyCommand& command, int32_t) {
  RecordOptions& record = state->selection.record;
  int32_t& option = command.argument ? record.split : record.auto_effect;
  option = !option;
  std::snprintf(state->status.message, sizeof state->status.message, "%s %s",
                command.argument ? "SPLIT" : "AUTO EFFECT", option ? "ON" : "OFF");
  state->status.message_timer = 1;
}

void toggle_channel_key(EditContext* state, const KeyCommand& command, int32_t key_index) {
  toggle_channel(*state->player, key_index - command.first_key);
}

constexpr int32_t kAnyMod = kShift | kAlt | kCtrl;

// Within one table every entry that matches acts, so the modifier masks of
// one key's entries keep them apart where only one may act.
constexpr KeyCommand kMainCommands[] = {
    {kKeyEsc, kKeyEsc, 0, 0, 0, close_screens, 0, "close the disk-op screen and the sample editor"},
    {kKeyDown, kKeyDown, 0, 0, 0, move_row, 1,
     "cursor one row down (stopped only); an open list scrolls"},
    {kKeyUp, kKeyUp, 0, 0, 0, move_row, -1,
     "cursor one row up (stopped only); an open list scrolls"},
    {kKeyLeft, kKeyLeft, kCtrl, 0, 1, step_sample, -1, "previous sample"},
    {kKeyLeft, kKeyLeft, kShift, kCtrl, 1, step_position, -1, "previous song position"},
    {kKeyLeft, kKeyLeft, kAlt, kCtrl | kShift, 1, step_pattern, -1, "previous pattern"},
    {kKeyLeft, kKeyLeft, 0, kAnyMod, 0, step_column, -1, "cursor one column left"},
    {kKeyRight, kKeyRight, kCtrl, 0, 1, step_sample, 1, "next sample"},
    {kKeyRight, kKeyRight, kShift, kCtrl, 1, step_position, 1, "next song position"},
    {kKeyRight, kKeyRight, kAlt, kCtrl | kShift, 1, step_pattern, 1, "next pattern"},
    {kKeyRight, kKeyRight, 0, kAnyMod, 0, step_column, 1, "cursor one column right"},
    {kKeyTab, kKeyTab, kShift, 0, 1, step_channel, -1, "cursor to the previous channel"},
    {kKeyTab, kKeyTab, 0, kShift, 1, step_channel, 1, "cursor to the next channel"},
    {kKeyDel, kKeyDel, 0, 0, 0, clear_cell, 0,
     "edit mode: clear note and sample (Shift: and effect; Alt: effect only)"},
    {kKeySpace, kKeySpace, 0, 0, 1, toggle_edit, 0, "edit mode on when idle, otherwise stop"},
    {kKeyRightAlt, kKeyRightAlt, 0, 0, 1, play, kPlaySong, "play song"},
    {kKeyRightAmiga, kKeyRightAmiga, 0, 0, 1, play, kPlayPattern, "play pattern"},
    {kKeyRightShift, kKeyRightShift, 0, 0, 1, play, kRecord,
     "record (edit while the pattern plays)"},
    {kKeyF1, kKeyF1, 0, 0, 0, set_octave, 12, "lower octaves for the note keys"},
    {kKeyF2, kKeyF2, 0, 0, 0, set_octave, 0, "upper octaves for the note keys"},
    // The clipboard keys act once per press: a held cut would cut again and
    // leave an empty clipboard, a held paste would overwrite the undo copy.
    {kKeyF3, kKeyF3, kShift, 0, 1, operation, op(EditOp::kCutTrack), "cut track"},
    {kKeyF3, kKeyF3, kAlt, 0, 1, operation, op(EditOp::kCutPattern), "cut pattern"},
    {kKeyF3, kKeyF3, kCtrl, 0, 1, operation, op(EditOp::kCutCommands), "cut commands of the track"},
    {kKeyF4, kKeyF4, kShift, 0, 1, operation, op(EditOp::kCopyTrack), "copy track"},
    {kKeyF4, kKeyF4, kAlt, 0, 1, operation, op(EditOp::kCopyPattern), "copy pattern"},
    {kKeyF4, kKeyF4, kCtrl, 0, 1, operation, op(EditOp::kCopyCommands),
     "copy commands of the track"},
    {kKeyF5, kKeyF5, kShift, 0, 1, operation, op(EditOp::kPasteTrack), "paste track"},
    {kKeyF5, kKeyF5, kAlt, 0, 1, operation, op(EditOp::kPastePattern), "paste pattern"},
    {kKeyF5, kKeyF5, kCtrl, 0, 1, operation, op(EditOp::kPasteCommands),
     "paste commands into the track"},
    {kKeyF6, kKeyF10, kShift, 0, 0, store_mark, 0, "store the cursor row as this key's mark"},
    {kKeyF6, kKeyF10, kAlt, kShift, 1, play_from_mark, kPlayPattern, "play pattern from the mark"},
    {kKeyF6, kKeyF10, kCtrl, kShift | kAlt, 1, play_from_mark, kRecord, "record from the mark"},
    {kKeyF6, kKeyF10, 0, kAnyMod, 0, jump_to_mark, 0, "idle: cursor to the mark"},
    {kKeyBackspace, kKeyBackspace, kAnyMod, 0, 1, row_edit, -1,
     "delete the cell above the cursor (Alt: all channels; Ctrl: effects only)"},
    {kKeyBackspace, kKeyBackspace, 0, kAnyMod, 1, preview_and_step, -1, "play the row, cursor up"},
    {kKeyReturn, kKeyReturn, kAnyMod, 0, 1, row_edit, 1,
     "insert a cell at the cursor (Alt: all channels; Ctrl: effects only)"},
    {kKeyReturn, kKeyReturn, 0, kAnyMod, 1, preview_and_step, 1, "play the row, cursor down"},
    {kKeyNum1, kKeyNumLock, 0, 0, 1, keypad_sample, 0,
     "select sample 0..15; keypad Del empties the current sample (asks first)"},
};

constexpr KeyCommand kAmigaCommands[] = {
    {kKey1, kKey4, 0, 0, 1, transpose, 1,
     "transpose up a semitone: sample in track, sample in pattern, track, pattern"},
    {kKeyQ, kKeyR, 0, 0, 1, transpose, -1, "transpose down a semitone (same four)"},
    {kKeyA, kKeyF, 0, 0, 1, transpose, 12, "transpose up an octave (same four)"},
    {kKeyZ, kKeyV, 0, 0, 1, transpose, -12, "transpose down an octave (same four)"},
};

constexpr KeyCommand kCtrlCommands[] = {
    {kKey1, kKey0, 0, 0, 0, set_edit_skip, 0, "edit skip 1..9, 0"},
    {kKeyQ, kKeyQ, 0, 0, 1, enable_all_channels, 0, "all channels on"},
    {kKeyA, kKeyA, 0, 0, 1, solo_or_mute, 0, "mute the cursor channel (Shift: solo it)"},
    {kKeyU, kKeyU, 0, kShift, 1, undo_or_redo, 0, "undo the last change"},
    {kKeyU, kKeyU, kShift, 0, 1, undo_or_redo, 1, "redo the change undone last"},
    {kKeyP, kKeyP, 0, 0, 1, operation, op(EditOp::kPasteBlock), "paste block"},
    {kKeyJ, kKeyJ, 0, 0, 1, operation, op(EditOp::kPasteBlock), "paste block"},
    {kKeyD, kKeyD, 0, 0, 1, operation, op(EditOp::kDeleteBlock), "delete block"},
    {kKeyX, kKeyX, 0, 0, 1, operation, op(EditOp::kCutBlock), "cut block"},
    {kKeyC, kKeyC, 0, 0, 1, operation, op(EditOp::kCopyBlock), "copy block"},
    {kKeyB, kKeyB, 0, 0, 1, operation, op(EditOp::kMarkBlock), "mark block start / cancel marking"},
    {kKeyF, kKeyF, 0, 0, 1, toggle_filter, 0, "output filter on/off"},
    {kKeyM, kKeyM, 0, 0, 1, toggle_multi_keyboard, 0, "multi-keyboard on/off"},
    {kKeyW, kKeyW, 0, 0, 1, track_op, op(EditOp::kPolyphonize),
     "polyphonize: the block's notes from the cursor row, each on the next multi-keyboard channel"},
    {kKeyE, kKeyE, 0, 0, 1, track_op, op(EditOp::kExpandTrack),
     "expand the track from the cursor row: an empty row after each"},
    {kKeyO, kKeyO, 0, 0, 1, track_op, op(EditOp::kContractTrack),
     "contract the track from the cursor row: every second row kept"},
    {kKeyR, kKeyR, 0, 0, 1, restore_marks, 0, "F6-F10 marks back to rows 0, 16, 32, 48, 63"},
    {kKeyT, kKeyT, 0, 0, 1, track_op, op(EditOp::kSwapTrack),
     "swap the cursor track with the track clipboard"},
    {kKeyY, kKeyY, 0, 0, 1, track_op, op(EditOp::kReverseBlock), "reverse the block's rows"},
    {kKeyI, kKeyI, 0, 0, 1, track_op, op(EditOp::kInsertBlock),
     "insert the block at the cursor, pushing the cells below down"},
    {kKeyN, kKeyN, 0, 0, 1, track_op, op(EditOp::kRemarkBlock),
     "mark again the block last copied or cut"},
    {kKeyH, kKeyH, 0, 0, 1, track_op, op(EditOp::kTransposeBlockUp),
     "transpose the block up a semitone (none marked: the last copied)"},
    {kKeyL, kKeyL, 0, 0, 1, track_op, op(EditOp::kTransposeBlockDown),
     "transpose the block down a semitone (none marked: the last copied)"},
    {kKeyK, kKeyK, 0, 0, 1, track_op, op(EditOp::kKillTrack),
     "clear the track from the cursor row to the end"},
    {kKeyZ, kKeyZ, 0, 0, 1, track_op, op(EditOp::kRestoreEffects),
     "restore the pattern's effects as before their latest change"},
    {kKeyS, kKeyS, 0, 0, 1, toggle_record_option, 1, "split keyboard on/off"},
    {kKeyG, kKeyG, 0, 0, 1, sample_key, sample_action(SamplerAction::kBoost, true),
     "boost all samples"},
    {kKeyV, kKeyV, 0, 0, 1, sample_key, sample_action(SamplerAction::kFilter, true),
     "filter all samples"},
};

constexpr KeyCommand kAltCommands[] = {
    {kKeyQ, kKeyQ, 0, 0, 1, ask_quit, 0, "quit (asks first)"},
    {kKeyS, kKeyS, 0, 0, 1, toggle_sample_editor, 0, "sample editor on/off"},
    {kKeyD, kKeyD, 0, 0, 1, toggle_disk_op, 0, "disk-op screen on/off"},
    {kKeyZ, kKeyV, 0, 0, 1, toggle_channel_key, 0, "mute/unmute channel 1..4"},
    {kKeyY, kKeyY, 0, 0, 1, save_all_samples, 0, "save all samples (asks first)"},
    {kKeyK, kKeyK, 0, 0, 1, track_op, op(EditOp::kDeleteSampleNotes),
     "delete the current sample's notes from the cursor track"},
    {kKeyM, kKeyM, 0, 0, 1, toggle_multi_keyboard, 0, "multi-keyboard on/off"},
    {kKeyE, kKeyE, 0, 0, 1, toggle_edit_op, 0, "edit-op screen on/off"},
    {kKeyH, kKeyH, 0, 0, 1, toggle_help, 0, "help screen on/off"},
    {kKeyI, kKeyI, 0, 0, 1, toggle_record_option, 0, "auto-insert effect on/off"},
    {kKeyR, kKeyR, 0, 0, 1, sample_key, sample_action(SamplerAction::kResample),
     "resample the sample from the TUNE note to the NOTE note"},
    {kKeyT, kKeyT, 0, 0, 1, sample_key, sample_action(SamplerAction::kTune), "tuning tone on/off"},
    {kKeyF, kKeyF, 0, 0, 1, sample_key, sample_action(SamplerAction::kFilter),
     "filter the sample (or its marked range)"},
    {kKeyB, kKeyB, 0, 0, 1, sample_key, sample_action(SamplerAction::kBoost),
     "boost the sample (or its marked range)"},
    {kKeyA, kKeyA, 0, 0, 1, sampling_key, 0,
     "sampling: monitor the input, then record into the sample, then stop"},
};

// Held-key bookkeeping: a new key acts at once, a held one every few frames.
// Returns false while the held key must wait.
bool repeat_due(EditContext* state, int32_t key_index) {
  if (state->keys.repeat_countdown != 0) {
    --state->keys.repeat_countdown;
    return false;
  }
  // A countdown: the key acts again `frames` + 1 frames later. Shift and
  // Alt move through the rows faster, as does the disk op's list.
  int32_t frames = std::max(state->input.repeat_frames, 1) - 1;
  if (key_index == kKeyDown || key_index == kKeyUp) {
    if (state->input.modifiers & kShift) {
      frames = std::min(frames, 2);
    } else if (state->input.modifiers & kAlt) {
      frames = std::min(frames, 1);
    }
  }
  if (key_index != kKeyLeft && key_index != kKeyRight && screen_open(state, ScreenId::kDiskOp))
    frames = std::min(frames, 1);
  start_repeat_countdown(state->keys, frames, state->input.repeat_delay_frames);
  return true;
}

bool applies(const KeyCommand& command, int32_t key_index, int32_t modifiers) {
  if (key_index < command.first_key || key_index > command.last_key) return false;
  if (command.any_of != 0 && !(modifiers & command.any_of)) return false;
  return !(modifiers & command.none_of);
}

void run_table(const KeyCommandTable& table, int32_t key_index, EditContext* state) {
  // Entries match on the modifiers the key came with, even if an earlier
  // entry's action changed the state.
  const int32_t modifiers = state->input.modifiers;
  for (int32_t i = 0; i < table.count; ++i) {
    const KeyCommand& command = table.commands[i];
    if (!applies(command, key_index, modifiers)) continue;
    command.action(state, command, key_index);
    if (command.once) state->keys.key_consumed = 1;
  }
}

}  // namespace

const KeyCommandTable kKeyCommandTables[kKeyCommandTableCount] = {
    {0, kMainCommands, static_cast<int32_t>(std::size(kMainCommands))},
    {kModifierAmiga, kAmigaCommands, static_cast<int32_t>(std::size(kAmigaCommands))},
    {kModifierCtrl, kCtrlCommands, static_cast<int32_t>(std::size(kCtrlCommands))},
    {kModifierAlt, kAltCommands, static_cast<int32_t>(std::size(kAltCommands))},
};

bool keyboard_is_free(const EditContext* state) {
  const int32_t dialog = state->status.dialog;
  return dialog != kDialogQuit && dialog != kDialogClear && dialog != kDialogTextField &&
         dialog != kDialogConfirm && dialog != kDialogQuestion && dialog != kDialogNumberField &&
         dialog != kDialogLineEntry;
}

void start_playing(EditContext* state, int32_t play_mode, int32_t editing, int32_t from_row) {
  state->restart_clock = 1;
  // Recording in song mode plays on through the positions.
  if (editing && state->selection.record.song_mode) play_mode = kPlaySong;
  start_playback(*state->player, play_mode, from_row);
  ++state->selection.transport;
  state->selection.edit_mode = editing ? 1 : 0;
  state->status.pointer_colour = state->status.normal_pointer_colour =
      editing ? kPointerBlue : kPointerYellow;
}

void stop_playing(EditContext* state) {
  stop_playback(*state->player);
  ++state->selection.transport;
  state->selection.edit_mode = 0;
  state->status.pointer_colour = state->status.normal_pointer_colour = kPointerWhite;
}

void enter_edit_mode(EditContext* state) {
  halt_song(*state->player);
  state->selection.edit_mode = 1;
  state->status.pointer_colour = state->status.normal_pointer_colour = kPointerBlue;
}

// A right-hand play key held down comes back as the frame's key when a key
// pressed after it is let go; that is the same press, not a new one.
bool held_right_hand_key_returns(const EditContext* state, int32_t key_code) {
  if (state->keys.key_held == 0) return false;
  for (int32_t index : {kKeyRightAlt, kKeyRightAmiga, kKeyRightShift})
    if (key_code == key_code_of_index(index)) return true;
  return false;
}

void track_held_key(EditContext* state, int32_t key_code) {
  if (key_code == 0) {
    state->keys.key_consumed = 0;
    state->keys.key_held = 0;
  } else if (state->keys.key_held != key_code) {
    // Another key, even one pressed before the last was let go, is a new
    // press: it acts at once and is not taken for the one before.
    if (!held_right_hand_key_returns(state, key_code)) {
      state->keys.repeat_countdown = 0;
      state->keys.repeating = 0;
      state->keys.key_consumed = 0;
    }
    state->keys.key_held = key_code;
  }
}

void start_repeat_countdown(KeyboardState& keys, int32_t frames, int32_t delay_frames) {
  // A countdown of n acts again n + 1 frames later.
  keys.repeat_countdown = keys.repeating ? frames : std::max(frames, delay_frames - 1);
  keys.repeating = 1;
}

int32_t handle_key(int32_t key_code, EditContext* state) {
  enter_note(state);
  const int32_t key_index = key_index_of_code(key_code);
  track_held_key(state, key_code);
  // The fields read their keys themselves, once per press.
  if (state->status.dialog == kDialogTextField || state->status.dialog == kDialogNumberField)
    return 0;
  if (!keyboard_is_free(state)) {
    // The requester answers to this key; once it closes, the key must not
    // go on to act here while it is still held.
    if (key_code != 0) state->keys.key_consumed = 1;
    return 0;
  }
  if (!repeat_due(state, key_index)) return 0;
  if (state->keys.key_consumed || key_index < 0) return 0;

  // With a modifier held a letter is a command, never a digit as well.
  constexpr int32_t kAnyModifier = kAnyMod | kModifierAmiga;
  if (state->selection.cursor_column != kColumnNote && state->selection.edit_mode &&
      (state->input.modifiers & kAnyModifier) == 0 && enter_digit(state))
    return 1;

  for (const KeyCommandTable& table : kKeyCommandTables)
    if (table.modifier == 0 || (state->input.modifiers & table.modifier))
      run_table(table, key_index, state);
  return 1;
}

void show_block_marking(EditBuffers& edit, const Player& player, Status& status) {
  if (edit.block_marking != 1) return;
  const int32_t row = replay_view(player).shown_row;
  if (row >= 0 && row < kRows) edit.block_end = row;
  std::snprintf(status.message, sizeof status.message, "mark block %02d-%02d",
                std::min(edit.block_anchor, row), std::max(edit.block_anchor, row));
}
