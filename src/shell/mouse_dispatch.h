// The per-frame mouse turn of the main screen: repaints the framebuffer,
// gives requesters and sub-screens their turn, acts on buttons, runs the
// message timer and draws the pointer.
#pragma once

#include <cstdint>

#include "shell/editor_state.h"

// A timed message lasts this many frames (3 seconds), counting the one that
// set it, long enough to read a reason.
constexpr int32_t kMessageFrames = 180;

// Runs on the main thread, without the audio lock: the button actions
// change the player through the editing layer, which takes it.
void mouse_dispatch(EditorState* state);
// The pointer image with its top-left pixel at (x, y), tinted by
// state->status.pointer_colour; black image pixels are transparent.
void draw_pointer(int32_t x, int32_t y, EditorState* state);
