// The batch renderer: where a song ends, and that rendering it in blocks
// split at ticks sounds exactly like one long render.
#include "engine/song_render.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/mixer.h"
#include "module_builder.h"

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

TEST(SongRender, EndsWhereTheOrderListWrapsBackToTheStart) {
  Song song;
  song.p->song_length = 3;
  const int64_t frames = rendered_frames(song);
  EXPECT_NEAR(frames, song.frames_for_ticks(3 * 64 * 6), 2);
  EXPECT_EQ(song.p->song_position, 0);
}

TEST(SongRender, EndsAtTheRowOfABackwardJump) {
  Song song;
  song.p->song_length = 4;
  song.p->order[2] = 1;
  set_cell(song.p, 1, 9, 2, 0, 0, 0xB, 0x01);  // position 2, row 9 jumps to 1
  const int64_t frames = rendered_frames(song);
  EXPECT_NEAR(frames, song.frames_for_ticks((2 * 64 + 10) * 6), 2);
}

TEST(SongRender, APatternLoopToRowZeroIsNotAnEnd) {
  Song song;  // one position: rows 0..3 three times, then 4..63
  set_cell(song.p, 0, 0, 0, 0, 0, 0xE, 0x60);
  set_cell(song.p, 0, 3, 0, 0, 0, 0xE, 0x62);
  EXPECT_NEAR(rendered_frames(song), song.frames_for_ticks((3 * 4 + 60) * 6), 2);
}

TEST(SongRender, ABreakOnTheOnlyPositionEndsTheSong) {
  Song song;
  set_cell(song.p, 0, 5, 1, 0, 0, 0xD, 0x00);
  EXPECT_NEAR(rendered_frames(song), song.frames_for_ticks(6 * 6), 2);
}

TEST(SongRender, SpeedAndDelayChangesCountInTheLength) {
  Song song;
  set_cell(song.p, 0, 0, 0, 0, 0, 0xF, 0x03);   // speed 3 for the whole pattern
  set_cell(song.p, 0, 10, 1, 0, 0, 0xE, 0xE2);  // row 10 lasts three times
  EXPECT_NEAR(rendered_frames(song), song.frames_for_ticks(64 * 3 + 2 * 3), 2);
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
  int64_t energy = 0;
  for (size_t i = 0; i < frames; ++i) {
    ASSERT_EQ(blocks[2 * i], left[i]) << "frame " << i;
    ASSERT_EQ(blocks[2 * i + 1], right[i]) << "frame " << i;
    energy += std::abs(left[i]) + std::abs(right[i]);
  }
  EXPECT_GT(energy, 0);
}

}  // namespace
