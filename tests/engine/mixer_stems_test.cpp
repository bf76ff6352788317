// Loop wrapping from far past the loop end, and the per-channel stems.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/mixer.h"
#include "module_builder.h"

namespace {

using namespace test_module;

// Channel 1 (pan 255) playing byte v at volume 64, as buffer 1 holds it.
int16_t right_of(int v) {
  return static_cast<int16_t>((v * 64 * 255) >> 7);
}

struct LoopCase {
  int32_t start_byte;
  int32_t step_bytes;
  std::vector<int> bytes_heard;
};

// A 20-byte ramp (byte i holds i) looping over bytes 4..7.
TEST(MixerLoop, PositionsPastTheLoopEndComeBackOneLoopLengthPerFrame) {
  const LoopCase cases[] = {
      // Inside the data past the loop: one loop length back per frame.
      {14, 1, {10, 7, 4, 5, 6, 7, 4, 5}},
      {18, 3, {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 7, 6, 5, 4, 7}},
      // A wrap that would land beyond the data takes the remainder.
      {40, 1, {4, 5, 6, 7, 4}},
      {25, 2, {5, 7, 5, 7}},
      {24, 1, {4, 5, 6, 7}},
  };
  for (const LoopCase& c : cases) {
    Player* p = player_create(44100);
    make_sample(p, 1, 20, 4, 4, 64, [](int32_t i) { return i; });
    start_voice(p, 1, 1, c.start_byte, c.step_bytes * kFixOne, 64);
    const Stereo out = render_stereo(p, static_cast<int32_t>(c.bytes_heard.size()));
    for (size_t i = 0; i < c.bytes_heard.size(); ++i)
      EXPECT_EQ(out.right[i], right_of(c.bytes_heard[i]))
          << "start " << c.start_byte << " step " << c.step_bytes << " frame " << i;
    player_destroy(p);
  }
}

}  // namespace
