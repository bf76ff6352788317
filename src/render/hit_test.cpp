#include "render/hit_test.h"

bool press_due(const FrameInput& input) {
  const int32_t held = input.left_held;
  if (held < 1) return false;
  const int32_t interval = input.fast_repeat ? kFastRepeatFrames : kRepeatFrames;
  return held == 1 || held % interval == 0;
}
