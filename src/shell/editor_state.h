// Creating and destroying the one editor state.
#pragma once

#include "render/editor_state.h"

// Allocates the state zero-filled, loads the GUI images from the program's
// data directory and sets the initial values. Null when an image cannot be
// read: the decoder has printed why, and a line naming the file follows on
// standard error. The caller fills in `player`.
EditorState* editor_state_create();
// Frees the framebuffer and the images, then the state (not the player).
// Null is ignored.
void editor_state_destroy(EditorState* state);
