// Button rectangles and the hit test every screen's button table uses,
// with press-and-hold repeat driven by the frame count of the left button.
#pragma once

#include <cstdint>

#include "render/editor_state.h"

// A held button acts again every this many frames of the press.
constexpr int32_t kRepeatFrames = 40;
constexpr int32_t kFastRepeatFrames = 4;

// Index of the last rectangle under the pointer in the first frame of a
// press and in each repeat frame while the left button stays down; -1 in
// every other frame or when no rectangle is hit.
int32_t hit_test(const EditorState* state, const ButtonRect* table, int32_t count);
