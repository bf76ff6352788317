// The parts of the main loop shared by the window and the headless run.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "shell/editor_state.h"
#include "shell/mouse_dispatch.h"

// Play-time counter, once per pass: restarts when asked to, stands still
// while the player is stopped. Takes the audio lock for the player read.
void update_play_clock(EditorState* state, int64_t now_us, int64_t* start_time_us);
// The frame's mouse state into the editor state: position, right button,
// and left_held counting the frames the left button has been down.
void hand_over_mouse(const PlatformInput& input, EditorState* state);
// One frame's input and dispatch, under the audio lock: the key, the mouse,
// the repaint. Afterwards the one-shot keys are cleared and a confirmed quit
// is passed on. `dispatch` is the mouse turn with its repaint.
void run_frame(PlatformInput& input, EditorState* state,
               void (*dispatch)(EditorState*) = mouse_dispatch);
// What the play-song command does, for starting with --play.
void start_song_play(EditorState* state);
