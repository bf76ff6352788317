// Button rectangles and the hit test every screen's button table uses,
// with press-and-hold repeat driven by the frame count of the left button.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/screen.h"

// A held button acts again every this many frames of the press.
constexpr int32_t kRepeatFrames = 40;
constexpr int32_t kFastRepeatFrames = 4;

// True in the first frame of a press and in each repeat frame while the
// left button stays down: the first repeat after the input's repeat delay
// (but not before the rate's own interval), then one each interval.
bool press_due(const FrameInput& input);

// The action of the last button under the pointer in a frame where a press
// is due; kNone in every other frame or when no button is hit.
template <typename Action, size_t N>
Action hit_action(const FrameInput& input, const Button<Action> (&table)[N]) {
  if (!press_due(input)) return Action::kNone;
  Action hit = Action::kNone;
  for (const Button<Action>& button : table)
    if (rect_contains(button.rect, input.mouse_x, input.mouse_y)) hit = button.action;
  return hit;
}

// The action of the last button under the pointer, press or not.
template <typename Action, size_t N>
Action action_under(const FrameInput& input, const Button<Action> (&table)[N]) {
  Action hit = Action::kNone;
  for (const Button<Action>& button : table)
    if (rect_contains(button.rect, input.mouse_x, input.mouse_y)) hit = button.action;
  return hit;
}
