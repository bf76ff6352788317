#include "shell/mouse_dispatch.h"

#include <algorithm>
#include <cstdio>

#include "edit/keyboard.h"
#include "edit/requesters.h"
#include "engine/editing.h"
#include "layout/main_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/main_screen.h"
#include "render/message.h"
#include "shell/autosave.h"
#include "shell/disk_op_files.h"
#include "shell/number_field.h"
#include "shell/preview.h"
#include "shell/sample_io.h"
#include "shell/save_all.h"
#include "shell/screens.h"

namespace {

constexpr int32_t kPointerSize = 16;
constexpr int32_t kPointerTints[7][3] = {
    {255, 255, 255}, {255, 255, 17}, {255, 255, 17}, {17, 17, 255},
    {255, 17, 255},  {255, 17, 17},  {17, 255, 17},
};

// Loop buttons work 2 bytes at a time (16 with the right button).
LoopStep loop_step(MainAction button) {
  switch (button) {
    case MainAction::kLoopStartUp:
      return LoopStep::kStartUp;
    case MainAction::kLoopStartDown:
      return LoopStep::kStartDown;
    case MainAction::kLoopLengthUp:
      return LoopStep::kLengthUp;
    default:
      return LoopStep::kLengthDown;
  }
}

// The buttons that change the song or the play state.
bool perform_song_button(MainAction button, EditorState* state) {
  Player& player = *state->player;
  const ReplayView replay = replay_view(player);
  EditContext edit = edit_context(*state);
  const bool right = state->input.right_down != 0;
  const int32_t step = right ? 10 : 1;
  const int32_t from_row = right ? -1 : 0;  // the right button keeps the row
  switch (button) {
    case MainAction::kPlaySong:
      start_playing(&edit, kPlaySong, 0, from_row);
      return true;
    case MainAction::kPlayPattern:
      start_playing(&edit, kPlayPattern, 0, from_row);
      return true;
    case MainAction::kEdit:
      enter_edit_mode(&edit);
      return true;
    case MainAction::kRecord:
      start_playing(&edit, kPlayPattern, 1, from_row);
      return true;
    case MainAction::kStop:
      stop_playing(&edit);
      return true;
    case MainAction::kChannel1:
    case MainAction::kChannel2:
    case MainAction::kChannel3:
    case MainAction::kChannel4:
      toggle_channel(player,
                     static_cast<int32_t>(button) - static_cast<int32_t>(MainAction::kChannel1));
      return true;
    case MainAction::kPositionUp:
    case MainAction::kPositionDown:
      set_song_position(player,
                        replay.song_position + (button == MainAction::kPositionUp ? step : -step));
      return true;
    case MainAction::kPatternUp:
    case MainAction::kPatternDown:
      step_order_entry(player, button == MainAction::kPatternUp ? step : -step);
      return true;
    case MainAction::kLengthUp:
    case MainAction::kLengthDown:
      set_song_length(player,
                      player.song_length + (button == MainAction::kLengthUp ? step : -step));
      return true;
    case MainAction::kTempoUp:
    case MainAction::kTempoDown:
      set_tempo(player, replay.tempo + (button == MainAction::kTempoUp ? step : -step));
      return true;
    case MainAction::kInsertPosition:
      insert_position(player, replay.song_position);
      return true;
    case MainAction::kDeletePosition:
      delete_position(player, replay.song_position);
      return true;
    default:
      return false;
  }
}

// The buttons of the current sample; sample 0 has none of its own.
void perform_sample_button(MainAction button, EditorState* state) {
  Player& player = *state->player;
  const bool right = state->input.right_down != 0;
  const int32_t number = state->selection.current_sample;
  const Sample* sample = editable_sample(player, number);
  switch (button) {
    case MainAction::kSampleUp:
      if (right) {
        state->selection.current_sample = 0;
        return;
      }
      state->selection.current_sample = std::clamp(number + 1, 1, kSampleCount - 1);
      sample_changed(*state);
      return;
    case MainAction::kSampleDown:
      state->selection.current_sample = right ? 1 : std::clamp(number - 1, 1, kSampleCount - 1);
      sample_changed(*state);
      return;
    case MainAction::kFinetuneUp:
    case MainAction::kFinetuneDown:
      if (!sample) return;
      if (right) {
        set_sample_finetune(player, number, 0);
      } else {
        step_sample_finetune(player, number, button == MainAction::kFinetuneUp);
      }
      return;
    case MainAction::kVolumeUp:
    case MainAction::kVolumeDown: {
      if (!sample) return;
      const int32_t volume_step = right ? 16 : 1;
      set_sample_volume(
          player, number,
          sample->volume + (button == MainAction::kVolumeUp ? volume_step : -volume_step));
      return;
    }
    case MainAction::kLoopStartUp:
    case MainAction::kLoopStartDown:
    case MainAction::kLoopLengthUp:
    case MainAction::kLoopLengthDown:
      if (sample) step_sample_loop(player, number, loop_step(button), right ? 16 : 2);
      return;
    case MainAction::kLoadSampleByName:
      if (sample && !load_st_sample(sample->name, state))
        timed_message(state->status, "FILE NOT FOUND");
      sample_changed(*state);
      return;
    default:
      return;  // buttons without an action of their own here
  }
}

void perform(MainAction button, EditorState* state) {
  if (begin_number_field(state, button)) return;
  switch (button) {
    case MainAction::kSetup:
      set_screen_open(*state, ScreenId::kSetup, true);
      return;
    case MainAction::kHelp:
      set_screen_open(*state, ScreenId::kHelp, true);
      return;
    case MainAction::kPresets:
      set_screen_open(*state, ScreenId::kPresets, true);
      return;
    case MainAction::kEditOp:
      set_screen_open(*state, ScreenId::kEditOp, true);
      return;
    case MainAction::kPositionLabel:
      set_screen_open(*state, ScreenId::kPositionEditor,
                      !screen_is_open(*state, ScreenId::kPositionEditor));
      return;
    case MainAction::kClear:
      set_message(state->status, "PLEASE SELECT");
      state->status.dialog = kDialogClear;
      return;
    case MainAction::kDiskOp:
      set_screen_open(*state, ScreenId::kDiskOp, true);
      return;
    case MainAction::kSampler:
      set_screen_open(*state, ScreenId::kSampler, !screen_is_open(*state, ScreenId::kSampler));
      return;
    default:
      break;
  }
  if (!perform_song_button(button, state)) perform_sample_button(button, state);
}

void begin_name_field(EditorState* state, MainAction button) {
  if (button == MainAction::kSongName) {
    EditContext edit = edit_context(*state);
    begin_text_field(104, 107, 100, 110, 19, 0, &edit);
  } else {
    if (!editable_sample(*state->player, state->selection.current_sample)) return;
    EditContext edit = edit_context(*state);
    begin_text_field(104, 118, 111, 120, 21, state->selection.current_sample, &edit);
  }
  if (state->status.dialog != kDialogTextField) state->status.saved_dialog = state->status.dialog;
  state->status.dialog = kDialogTextField;
}

// The button under the pointer, whatever the mouse buttons do.
MainAction button_under_pointer(const FrameInput& input) {
  MainAction hit = MainAction::kNone;
  for (const Button<MainAction>& button : kMainButtons)
    if (rect_contains(button.rect, input.mouse_x, input.mouse_y)) hit = button.action;
  return hit;
}

bool pattern_view_shown(const EditorState& state) {
  return !screen_is_open(state, ScreenId::kSampler);
}

// The wheel: a number field (or its arrows) steps its value, the pattern
// view its rows while stopped; towards the user is down.
void turn_wheel(EditorState* state) {
  const int32_t wheel = state->input.wheel;
  Player& player = *state->player;
  if (state->input.mouse_y >= kPatternViewTop && pattern_view_shown(*state)) {
    const ReplayView replay = replay_view(player);
    if (replay_running(replay)) return;
    const auto wrap = [](int32_t row) { return ((row % kRows) + kRows) % kRows; };
    set_shown_row(player, wrap(replay.shown_row - wheel));
    set_play_row(player, wrap(replay.row - wheel));
    return;
  }
  if (screen_is_open(*state, ScreenId::kDiskOp)) return;  // it covers the fields
  const MainAction arrow = wheel_arrow(button_under_pointer(state->input), wheel);
  if (arrow == MainAction::kNone) return;
  const int32_t right_down = state->input.right_down;
  state->input.right_down = 0;
  for (int32_t n = 0; n < (wheel < 0 ? -wheel : wheel); ++n) perform(arrow, state);
  state->input.right_down = right_down;
}

bool is_arrow(MainAction button) {
  switch (button) {
    case MainAction::kPositionUp:
    case MainAction::kPositionDown:
    case MainAction::kPatternUp:
    case MainAction::kPatternDown:
    case MainAction::kLengthUp:
    case MainAction::kLengthDown:
    case MainAction::kFinetuneUp:
    case MainAction::kFinetuneDown:
    case MainAction::kSampleUp:
    case MainAction::kSampleDown:
    case MainAction::kVolumeUp:
    case MainAction::kVolumeDown:
    case MainAction::kLoopStartUp:
    case MainAction::kLoopStartDown:
    case MainAction::kLoopLengthUp:
    case MainAction::kLoopLengthDown:
    case MainAction::kTempoUp:
    case MainAction::kTempoDown:
      return true;
    default:
      return false;
  }
}

// A left click on a cell puts the cursor there: its channel and column,
// and its row while the song is stopped.
void click_pattern_cell(EditorState* state) {
  int32_t channel = 0;
  int32_t column = 0;
  if (!pattern_column_at(state->input.mouse_x, &channel, &column)) return;
  Player& player = *state->player;
  const ReplayView replay = replay_view(player);
  const int32_t row = pattern_row_at(state->input.mouse_y, replay.shown_row);
  if (row < 0) return;
  state->selection.cursor_channel = channel;
  state->selection.cursor_column = column;
  if (replay_running(replay) || row == replay.shown_row) return;
  set_shown_row(player, row);
  set_play_row(player, row);
}

// The main screen's buttons, for the clicks no open screen used. The hit
// test has no side effects, so one result serves both the name fields
// (which start even over a requester or a screen) and the buttons.
void main_screen_frame(EditorState* state, bool click_used) {
  const MainAction button = hit_action(state->input, kMainButtons);
  if (button == MainAction::kSongName || button == MainAction::kSampleName)
    begin_name_field(state, button);
  if (click_used || state->status.dialog != kDialogNone) return;
  if (button != MainAction::kNone) perform(button, state);
  if (state->input.left_held == 1 && state->input.mouse_y >= kPatternViewTop &&
      pattern_view_shown(*state))
    click_pattern_cell(state);
  if (state->input.wheel != 0) turn_wheel(state);
  // A right click alone on an arrow takes the larger step, as the right
  // button held during a left click does; it acts when it is let go.
  if (state->input.right_click && state->input.left_held == 0) {
    const MainAction arrow = button_under_pointer(state->input);
    if (!is_arrow(arrow)) return;
    state->input.right_down = 1;
    perform(arrow, state);
    state->input.right_down = 0;
  }
}

// What the pattern view highlights: the rows being marked in the cursor
// track, or the rows last copied while the cursor is in their track.
BlockRows block_rows(EditorState* state) {
  const EditBuffers& buffers = state->edit_buffers;
  const int32_t channel = state->selection.cursor_channel;
  if (buffers.block_marking == 1)
    return {std::min(buffers.block_anchor, buffers.block_end),
            std::max(buffers.block_anchor, buffers.block_end), channel};
  if (buffers.block_filled == 1 && channel == state->main.copied_block_channel)
    return {buffers.block_first, buffers.block_last, channel};
  return {0, -1, channel};
}

void run_message_timer(EditorState* state) {
  if (state->status.message_timer != 1) return;
  if (state->status.message_frames >= kMessageFrames - 1) {
    state->status.pointer_colour = state->status.normal_pointer_colour;
    state->status.message_timer = 0;
    set_message(state->status, "ALL RIGHT");
    state->status.message_frames = 0;
  } else {
    state->status.message_frames += 1;
  }
}

// The shell's question was answered yes.
void do_what_was_asked(EditorState* state, EditContext* edit) {
  switch (state->status.question) {
    case Question::kLoadDropped:
      load_dropped_file(state->dropped_file, state);
      return;
    case Question::kClearSong:
    case Question::kClearAll:
      clear_module(edit, state->status.question == Question::kClearAll);
      return;
    case Question::kRestoreAutosave:
      restore_autosave(*state);
      return;
    case Question::kDeleteSample:
      empty_sample(*state->player, state->selection.current_sample);
      sample_changed(*state);
      return;
    case Question::kSaveAllSamples:
      save_samples_from(*state, 1);
      return;
    case Question::kReplaceSampleFile:
      answer_sample_file(*state, true);
      return;
    case Question::kResetSettings:
      state->settings = Settings{};
      return;
    case Question::kDeletePreset:
      delete_chosen_preset(state->presets, state->status);
      return;
    case Question::kNone:
      return;
  }
}

}  // namespace

void draw_pointer(int32_t x, int32_t y, EditorState* state) {
  const Image* image = state->images.pointer;
  if (!image) return;
  const int32_t colour_index = state->status.pointer_colour;
  const int32_t* tint = kPointerTints[colour_index >= 0 && colour_index < 7 ? colour_index : 0];
  const int32_t width = std::min(image->width, kPointerSize);
  const int32_t height = std::min<int64_t>(
      std::min(image->height, kPointerSize),
      image->width > 0 ? static_cast<int64_t>(image->pixels.size()) / (image->width * 3) : 0);
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* source = image->pixels.data() + static_cast<size_t>(r) * image->width * 3;
    for (int32_t c = 0; c < width; ++c, source += 3) {
      if (source[0] == 0) continue;
      const uint32_t colour = static_cast<uint32_t>((source[0] * tint[0]) >> 8) << 16 |
                              static_cast<uint32_t>((source[1] * tint[1]) >> 8) << 8 |
                              static_cast<uint32_t>((source[2] * tint[2]) >> 8);
      put_pixel(state->canvas, x + c, y + r, colour);  // dropped off screen
    }
  }
}

void mouse_dispatch(EditorState* state) {
  show_block_marking(state->edit_buffers, *state->player, state->status);
  state->main.modified = history_modified(state->history, *state->player) ? 1 : 0;
  state->main.block = block_rows(state);
  state->main.peaks =
      redraw_main_screen(screen_context(*state), state->main, pattern_view_shown(*state));
  draw_screen_panels(*state);

  // The quit corner works whatever screen or requester is open.
  if (state->input.mouse_x == 0 && state->input.mouse_y == 0 && state->input.left_held != 0) {
    ask_to_quit(state->status, *state->player);
  }

  // Requesters first: each acts only while the dialog is its own. Then the
  // open screens, then the main screen for the clicks they did not use.
  EditContext edit = edit_context(*state);
  quit_requester(&edit);
  clear_requester(&edit);
  const Answer answer = question_requester(&edit);
  if (answer == Answer::kYes) do_what_was_asked(state, &edit);
  if (answer == Answer::kNo && state->status.question == Question::kRestoreAutosave)
    set_autosave_aside();
  if (answer == Answer::kNo && state->status.question == Question::kReplaceSampleFile)
    answer_sample_file(*state, false);
  state->status.question =
      state->status.dialog == kDialogQuestion ? state->status.question : Question::kNone;
  edit_text_field(&edit);
  edit_number_field(state);
  const bool click_used = run_screens(*state);
  main_screen_frame(state, click_used);
  follow_preview(*state);
  // A block is copied from the track it was marked in: the cursor's when
  // the frame ends (a copy key comes before any click of its frame).
  if (state->edit_buffers.block_marking == 1)
    state->main.copied_block_channel = state->selection.cursor_channel;

  run_message_timer(state);
  draw_pointer(state->input.mouse_x, state->input.mouse_y, state);
}
