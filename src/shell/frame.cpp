#include "shell/frame.h"

#include <cstdio>

#include "edit/keyboard.h"
#include "edit/requesters.h"
#include "engine/audio_lock.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "platform/headless.h"
#include "shell/disk_op_files.h"
#include "shell/screens.h"
#include "shell/translate_key.h"

void update_play_clock(EditorState* state, int64_t now_us, int64_t* start_time_us) {
  if (state->main.restart_clock == 1) {
    *start_time_us = now_us;
    state->main.restart_clock = 0;
  }
  if (replay_view(*state->player).play_mode != kStopped)
    state->main.play_seconds = static_cast<int32_t>((now_us - *start_time_us) / 1000000);
}

namespace {

// Frames come 60 a second, in the window as headless.
int32_t repeat_delay_frames(const Settings& settings) {
  return (settings.repeat_delay_ms * kHeadlessFrameRate + 500) / 1000;
}

}  // namespace

void hand_over_mouse(const PlatformInput& input, EditorState* state) {
  state->input.mouse_x = input.mouse_x;
  state->input.mouse_y = input.mouse_y;
  if (input.buttons & kButtonLeft) {
    ++state->input.left_held;
  } else {
    state->input.left_held = 0;
    state->input.fast_repeat = 0;
  }
  const int32_t right_down = (input.buttons & kButtonRight) ? 1 : 0;
  if (right_down && state->input.left_held) state->input.right_with_left = 1;
  state->input.right_click =
      !right_down && state->input.right_down && !state->input.right_with_left;
  if (!right_down) state->input.right_with_left = 0;
  state->input.right_down = right_down;
  state->input.wheel = input.wheel;
}

// Runs without the audio lock: the editing layer takes it for each change
// the audio thread could see, so reading files and drawing never hold it.
void run_frame(PlatformInput& input, EditorState* state, void (*dispatch)(EditorState*)) {
  translate_key(input.raw_key, input.raw_qualifier, state);
  state->input.text_char = input.text_char;
  state->input.repeat_delay_frames = repeat_delay_frames(state->settings);
  state->input.repeat_frames = state->settings.repeat_frames;
  hand_over_mouse(input, state);
  if (input.close_requested) {
    // The window's close button quits at once unless work would be lost.
    input.close_requested = 0;
    if (module_modified(*state->player)) {
      ask_to_quit(state->status, *state->player);
    } else {
      input.quit_requested = 1;
    }
  }
  if (input.dropped_file[0]) {
    if (module_modified(*state->player) && file_is_module(input.dropped_file)) {
      // The module would replace unsaved work: ask first.
      std::snprintf(state->dropped_file, sizeof state->dropped_file, "%s", input.dropped_file);
      ask_question(state->status, Question::kLoadDropped, "UNSAVED! LOAD ?");
    } else {
      load_dropped_file(input.dropped_file, state);
    }
    input.dropped_file[0] = 0;
  }
  dispatch(state);
  input.wheel = 0;  // the notches belong to the frame that saw them
  // Escape acts on its release, exactly once.
  if (input.raw_key == kRawEscapeRelease) input.raw_key = 0;
  if (state->status.quit_confirmed == 1) input.quit_requested = 1;
}

void start_song_play(EditorState* state) {
  AudioGuard guard;
  EditContext edit = edit_context(*state);
  start_playing(&edit, kPlaySong, 0, 0);
}
