// Loop wrapping from far past the loop end, and the per-channel stems.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "../files/every_command_module.h"
#include "engine/mixer.h"
#include "engine/song_render.h"
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

Player* every_command_player() {
  const std::vector<uint8_t> bytes = every_command_module_bytes();
  Player* p = player_create(44100);
  EXPECT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok);
  return p;
}

struct StemRender {
  std::vector<int16_t> mix;
  std::vector<int16_t> stems[kChannels];
};

bool keep_stems(void* context, const SongBlock& block) {
  auto* out = static_cast<StemRender*>(context);
  out->mix.insert(out->mix.end(), block.mix, block.mix + block.frames * 2);
  for (int c = 0; c < kChannels; ++c)
    out->stems[c].insert(out->stems[c].end(), block.stems[c], block.stems[c] + block.frames * 2);
  return true;
}

// The greatest difference between a stem and its channel rendered alone.
int worst_stem_error(const StemRender& stems, int channel, bool filter_allowed) {
  Player* p = every_command_player();
  for (int c = 0; c < kChannels; ++c) p->channels[c].enabled = c == channel;
  if (!filter_allowed) p->flags &= ~4;
  const std::vector<int16_t> alone = render_song(p, 44100 * 600, nullptr);
  player_destroy(p);
  EXPECT_EQ(alone.size(), stems.stems[channel].size());
  int worst = 0;
  for (size_t i = 0; i < std::min(alone.size(), stems.stems[channel].size()); ++i)
    worst = std::max(worst, std::abs(alone[i] - stems.stems[channel][i]));
  return worst;
}

TEST(Stems, AddUpToTheMixWhichIsThePlainRender) {
  for (const bool filter_allowed : {true, false}) {
    Player* p = every_command_player();
    if (!filter_allowed) p->flags &= ~4;  // E0x ignored: the filter stays off
    StemRender stems;
    const SongSink sink{keep_stems, &stems};
    const int64_t frames = render_song(p, 44100 * 600, &sink, true, nullptr);
    player_destroy(p);
    p = every_command_player();
    if (!filter_allowed) p->flags &= ~4;
    const std::vector<int16_t> plain = render_song(p, 44100 * 600, nullptr);
    player_destroy(p);

    ASSERT_EQ(static_cast<size_t>(frames) * 2, plain.size());
    ASSERT_EQ(stems.mix, plain);
    int64_t heard[kChannels] = {};
    for (size_t i = 0; i < plain.size(); ++i) {
      int sum = 0;
      for (int c = 0; c < kChannels; ++c) {
        sum += stems.stems[c][i];
        heard[c] += std::abs(stems.stems[c][i]);
      }
      ASSERT_EQ(static_cast<int16_t>(sum), plain[i]) << "sample " << i;
    }
    for (int c = 0; c < kChannels; ++c) {
      EXPECT_GT(heard[c], 0) << "channel " << c;
      // Without the filter a stem is its channel alone up to the rounding of
      // the running sums; the filter's float steps add at most one more.
      EXPECT_LE(worst_stem_error(stems, c, filter_allowed), filter_allowed ? 2 : 1) << c;
    }
  }
}

TEST(Stems, DefaultPansKeepEachChannelOnItsSide) {
  Player* p = every_command_player();
  StemRender stems;
  const SongSink sink{keep_stems, &stems};
  render_song(p, 44100 * 20, &sink, true, nullptr);
  player_destroy(p);
  // Channels 0 and 3 are heard on the left (even samples), 1 and 2 on the right.
  for (int c = 0; c < kChannels; ++c) {
    const size_t silent_side = (c == 0 || c == 3) ? 1 : 0;
    for (size_t i = silent_side; i < stems.stems[c].size(); i += 2)
      ASSERT_EQ(stems.stems[c][i], 0) << "channel " << c << " sample " << i;
  }
}

TEST(SongLength, ThePassWithoutMixingFindsTheRenderedLength) {
  for (const int64_t limit : {int64_t{44100} * 600, int64_t{12345}}) {
    Player* p = every_command_player();
    const int64_t counted = render_song(p, limit, nullptr, false, nullptr);
    player_destroy(p);
    p = every_command_player();
    const size_t rendered = render_song(p, limit, nullptr).size() / 2;
    player_destroy(p);
    EXPECT_EQ(static_cast<size_t>(counted), rendered) << limit;
  }
}

}  // namespace
