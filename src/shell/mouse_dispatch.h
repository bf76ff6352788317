// The per-frame mouse turn of the main screen: repaints the framebuffer,
// gives requesters and sub-screens their turn, acts on buttons, runs the
// message timer and draws the pointer.
#pragma once

#include <cstdint>

#include "shell/editor_state.h"

// A timed message lasts this many frames, counting the one that set it.
constexpr int32_t kMessageFrames = 48;

// Runs on the main thread while the frame holds the audio lock: the button
// actions write Player fields the audio callback reads.
void mouse_dispatch(EditorState* state);
// The pointer image with its top-left pixel at (x, y), tinted by
// state->status.pointer_colour; black image pixels are transparent.
void draw_pointer(int32_t x, int32_t y, EditorState* state);
