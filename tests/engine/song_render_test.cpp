// The batch renderer: where a song ends, that rendering it in blocks split
// at ticks sounds exactly like one long render, and the per-channel stems.
#include "engine/song_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "../files/every_command_module.h"
#include "engine/mixer.h"

namespace {

using test_module::make_constant_sample;
using test_module::set_cell;

struct Song {
  Song() : p(player_create(44100)) { make_constant_sample(p, 1, 4000, 50); }
  ~Song() { player_destroy(p); }
  int64_t frames_for_ticks(int64_t ticks) const {
    return static_cast<int64_t>(std::ceil(ticks * static_cast<double>(p->samples_per_tick)));
  }
  Player* p;
};

int64_t rendered_frames(Song& song, int64_t max_frames = 44100 * 600) {
  return static_cast<int64_t>(render_song(song.p, max_frames, nullptr).size() / 2);
}

// Where songs end, in ticks of the default speed and tempo.
TEST(SongRender, EndsAtTheRowThatGoesBackToAPlayedPosition) {
  struct End {
    const char* what;
    int32_t song_length, order2;            // order2: the pattern at position 2
    std::vector<std::array<int, 4>> cells;  // pattern, row, channel, effect * 256 + parameter
    int64_t ticks;
  };
  const End ends[] = {
      {"the order list wraps", 3, 0, {}, 3 * 64 * 6},
      {"a backward jump at position 2, row 9", 4, 1, {{1, 9, 2, 0xB01}}, (2 * 64 + 10) * 6},
      {"a pattern loop to row 0 is no end",
       1,
       0,
       {{0, 0, 0, 0xE60}, {0, 3, 0, 0xE62}},
       (3 * 4 + 60) * 6},
      {"a break on the only position", 1, 0, {{0, 5, 1, 0xD00}}, 6 * 6},
      {"speed and delay count", 1, 0, {{0, 0, 0, 0xF03}, {0, 10, 1, 0xEE2}}, 64 * 3 + 2 * 3},
  };
  for (const End& e : ends) {
    Song song;
    song.p->song_length = e.song_length;
    song.p->order[2] = e.order2;
    for (const auto& [pattern, row, channel, fx] : e.cells)
      set_cell(song.p, pattern, row, channel, 0, 0, fx >> 8, fx & 255);
    EXPECT_NEAR(rendered_frames(song), song.frames_for_ticks(e.ticks), 2) << e.what;
  }
}

TEST(SongRender, StopsAtTheFrameLimit) {
  Song song;
  song.p->song_length = 128;  // far longer than the limit
  EXPECT_EQ(rendered_frames(song, 12345), 12345);
}

TEST(SongRender, BlocksSplitAtTicksSoundLikeOneRender) {
  Song a, b;
  for (Song* s : {&a, &b}) {
    s->p->song_length = 2;
    s->p->order[1] = 1;
    set_cell(s->p, 0, 0, 0, 428, 1, 0x4, 0x38);  // vibrato, so every tick matters
    set_cell(s->p, 0, 8, 1, 300, 1, 0x1, 0x02);
    set_cell(s->p, 1, 0, 3, 214, 1, 0x0, 0x37);
    set_cell(s->p, 1, 1, 2, 0, 0, 0xF, 0x50);  // a tempo with fractional ticks
  }
  const std::vector<int16_t> blocks = render_song(a.p, 1 << 30, nullptr);
  const size_t frames = blocks.size() / 2;
  ASSERT_GT(frames, 44100u);

  // The same start, rendered in one call.
  Player* p = b.p;
  p->play_mode = kPlaySong;
  p->tick_accumulator = p->samples_per_tick;
  std::vector<int16_t> left(frames), right(frames);
  render_audio(p, right.data(), left.data(), 2, static_cast<int32_t>(frames), 1, 16, 2);
  for (size_t i = 0; i < frames; ++i) {
    ASSERT_EQ(blocks[2 * i], left[i]) << "frame " << i;
    ASSERT_EQ(blocks[2 * i + 1], right[i]) << "frame " << i;
  }
  EXPECT_NE(left, std::vector<int16_t>(frames));
}

using Tracks = std::array<std::vector<int16_t>, 1 + kChannels>;  // the mix, then the stems

// The every-command module rendered with stems, the filter command obeyed or
// not, and only channel `alone` audible unless it is -1.
Tracks render_stems(bool filter, int alone) {
  const std::vector<uint8_t> bytes = test_module::every_command_module_bytes();
  Player* p = player_create(44100);
  EXPECT_TRUE(parse_module(bytes.data(), bytes.size(), p, kKindModule, nullptr).ok);
  if (!filter) p->flags &= ~4;
  for (int c = 0; c < kChannels; ++c) p->channels[c].enabled = alone < 0 || c == alone;
  Tracks out;
  auto keep = [](void* context, const SongBlock& b) {
    Tracks& o = *static_cast<Tracks*>(context);
    o[0].insert(o[0].end(), b.mix, b.mix + b.frames * 2);
    for (int c = 0; c < kChannels; ++c)
      o[1 + c].insert(o[1 + c].end(), b.stems[c], b.stems[c] + b.frames * 2);
    return true;
  };
  const SongSink sink{keep, &out};
  render_song(p, 44100 * 600, &sink, true, nullptr);
  player_destroy(p);
  return out;
}

TEST(Stems, AddUpToTheMixAndAreEachChannelAlone) {
  for (const bool filter : {true, false}) {
    const Tracks all = render_stems(filter, -1);
    ASSERT_GT(all[0].size(), 44100u);
    for (size_t i = 0; i < all[0].size(); ++i)
      ASSERT_EQ(static_cast<int16_t>(all[1][i] + all[2][i] + all[3][i] + all[4][i]), all[0][i])
          << i;
    for (int c = 0; c < kChannels; ++c) {
      const std::vector<int16_t> alone = render_stems(filter, c)[0];
      ASSERT_EQ(alone.size(), all[0].size());
      int worst = 0;
      for (size_t i = 0; i < alone.size(); ++i)
        worst = std::max(worst, std::abs(alone[i] - all[1 + c][i]));
      // The first channel on each side (0 left, 1 right) is exact; the others
      // are within the rounding of the running sums, plus one with the filter.
      EXPECT_LE(worst, c < 2 ? 0 : filter ? 2 : 1) << "channel " << c;
      EXPECT_NE(alone, std::vector<int16_t>(alone.size())) << "channel " << c << " is silent";
    }
  }
}

}  // namespace
