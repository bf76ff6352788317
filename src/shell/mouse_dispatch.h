// The per-frame mouse turn of the main screen: repaints the framebuffer,
// gives requesters and sub-screens their turn, acts on buttons, runs the
// message timer and draws the pointer.
#pragma once

#include "render/editor_state.h"

void mouse_dispatch(EditorState* state);
