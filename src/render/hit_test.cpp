#include "render/hit_test.h"

#include <algorithm>

bool press_due(const FrameInput& input) {
  const int32_t held = input.left_held;
  if (held < 1) return false;
  if (held == 1) return true;
  const int32_t interval = input.fast_repeat ? kFastRepeatFrames : kRepeatFrames;
  // The first repeat waits out the delay, and comes no sooner than the rate
  // alone would bring it.
  const int32_t first = std::max(interval, 1 + input.repeat_delay_frames);
  return held >= first && (held - first) % interval == 0;
}
