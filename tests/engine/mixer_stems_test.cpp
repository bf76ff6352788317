// Loop wrapping from far past the loop end, and the per-channel stems.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../files/every_command_module.h"
#include "engine/song_render.h"

namespace {

using namespace test_module;

// A 20-byte ramp (byte i holds i) looping over bytes 4..7, played on
// channel 1 (pan 255) from a start byte at a step of whole bytes.
TEST(MixerLoop, PositionsPastTheLoopEndComeBackOneLoopLengthPerFrame) {
  const struct {
    int32_t start, step;
    std::vector<int> heard;
  } cases[] = {
      // Inside the data past the loop: one loop length back per frame.
      {14, 1, {10, 7, 4, 5, 6, 7, 4, 5}},
      {18, 3, {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 7, 6, 5, 4, 7}},
      // A wrap that would land beyond the data takes the remainder.
      {40, 1, {4, 5, 6, 7, 4}},
      {25, 2, {5, 7, 5, 7}},
      {24, 1, {4, 5, 6, 7}},
  };
  for (const auto& c : cases) {
    Player* p = player_create(44100);
    make_sample(p, 1, 20, 4, 4, 64, [](int32_t i) { return i; });
    start_voice(p, 1, 1, c.start, c.step * kFixOne, 64);
    const Stereo out = render_stereo(p, static_cast<int32_t>(c.heard.size()));
    for (size_t i = 0; i < c.heard.size(); ++i)
      EXPECT_EQ(out.right[i], (c.heard[i] * 64 * 255) >> 7) << c.start << " frame " << i;
    player_destroy(p);
  }
}

// Renders the module with the filter command obeyed or not, with only
// channel `alone` audible unless it is -1, optionally as stems.
std::vector<int16_t> render(bool filter, int alone, std::vector<int16_t>* stems = nullptr) {
  const std::vector<uint8_t> bytes = every_command_module_bytes();
  Player* p = player_create(44100);
  EXPECT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok);
  if (!filter) p->flags &= ~4;
  for (int c = 0; c < kChannels; ++c) p->channels[c].enabled = alone < 0 || c == alone;
  std::vector<int16_t> mix;
  if (!stems) {
    mix = render_song(p, 44100 * 600, nullptr);
  } else {
    auto keep = [](void* context, const SongBlock& b) {
      auto* out = static_cast<std::vector<int16_t>*>(context);
      out[0].insert(out[0].end(), b.mix, b.mix + b.frames * 2);
      for (int c = 0; c < kChannels; ++c)
        out[1 + c].insert(out[1 + c].end(), b.stems[c], b.stems[c] + b.frames * 2);
      return true;
    };
    const SongSink sink{keep, stems};
    render_song(p, 44100 * 600, &sink, true, nullptr);
    mix = stems[0];
  }
  player_destroy(p);
  return mix;
}

TEST(Stems, AddUpToTheMixAndAreEachChannelAlone) {
  for (const bool filter : {true, false}) {
    std::vector<int16_t> stems[1 + kChannels];
    render(filter, -1, stems);
    const std::vector<int16_t> plain = render(filter, -1);
    ASSERT_EQ(stems[0], plain);
    for (size_t i = 0; i < plain.size(); ++i)
      ASSERT_EQ(static_cast<int16_t>(stems[1][i] + stems[2][i] + stems[3][i] + stems[4][i]),
                plain[i])
          << i;
    for (int c = 0; c < kChannels; ++c) {
      const std::vector<int16_t> alone = render(filter, c);
      ASSERT_EQ(alone.size(), plain.size());
      int worst = 0;
      for (size_t i = 0; i < alone.size(); ++i)
        worst = std::max(worst, std::abs(alone[i] - stems[1 + c][i]));
      // The first channel on each side (0 left, 1 right) is exact; the others
      // are within the rounding of the running sums, plus one with the filter.
      EXPECT_LE(worst, c < 2 ? 0 : filter ? 2 : 1) << "channel " << c;
      EXPECT_NE(alone, std::vector<int16_t>(alone.size())) << "channel " << c << " is silent";
    }
  }
}

}  // namespace
