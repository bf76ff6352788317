#include "render/hit_test.h"

int32_t hit_test(const EditorState* state, const ButtonRect* table, int32_t count) {
  const int32_t held = state->left_held;
  if (held < 1) return -1;
  const int32_t interval = state->fast_repeat ? kFastRepeatFrames : kRepeatFrames;
  if (held != 1 && held % interval != 0) return -1;
  int32_t hit = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (rect_contains(table[i], state->mouse_x, state->mouse_y)) hit = i;
  }
  return hit;
}
