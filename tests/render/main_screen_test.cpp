#include "render/main_screen.h"

#include <gtest/gtest.h>

#include <cstring>

#include "../engine/module_builder.h"
#include "files/module_format.h"
#include "screen_fixture.h"

namespace {

using screen_test::kBackground;
using screen_test::Screen;

constexpr uint32_t kScope = 0xF0D000;

struct MainScreenTest : ::testing::Test {
  Screen screen;
  Player& p = screen.player();
  void redraw() { redraw_main_screen(&screen.state); }
  // Scope rows of channel c that hold a trace point in column i.
  int trace_y(int c, int i) {
    for (int y = 71 - 16; y <= 71 + 16; ++y)
      if (screen.pixel(128 + 48 * c + i, y) == kScope) return y;
    return -1;
  }
  void play(int c, int sample, int32_t position_bytes) {
    ChannelState& ch = p.channels[c];
    ch.sample = sample;
    ch.position = position_bytes * kFixOne;
    ch.mix_volume = 64;
  }
};

TEST_F(MainScreenTest, SampleAndSongFields) {
  auto& s = test_module::make_constant_sample(&p, 10, 0x1234, 0, 0x40);
  s.finetune = 9;
  s.loop_start = 0x100 * kFixOne;
  s.loop_length = 0x20 * kFixOne;
  std::memcpy(s.name, "ABCDEFGHIJKLMNOPQRSTUV", 22);  // fills the field, no terminator
  std::memcpy(p.song_name, "HELLO", 5);
  screen.state.current_sample = 10;
  screen.state.play_seconds = 62 * 60 + 5;
  screen.state.multi_keyboard = 1;
  screen.state.edit_skip = 4;
  redraw();
  EXPECT_EQ(screen.text_at(64, 47, 4), "000A");
  EXPECT_EQ(screen.text_at(80, 36, 2), "-7");
  EXPECT_EQ(screen.text_at(64, 58, 4), "0040");
  EXPECT_EQ(screen.text_at(64, 69, 4), "1234");
  EXPECT_EQ(screen.text_at(64, 80, 4), "0100");
  EXPECT_EQ(screen.text_at(64, 91, 4), "0020");
  EXPECT_EQ(screen.text_at(104, 113, 23), "ABCDEFGHIJKLMNOPQRSTUV.");
  EXPECT_EQ(screen.text_at(104, 102, 20), "HELLO" + std::string(15, '_'));
  EXPECT_EQ(screen.text_at(272, 102, 5), "62 05");
  EXPECT_EQ(screen.text_at(17, 102, 1), "M");
  EXPECT_EQ(screen.text_at(24, 102, 1), "4");
}

TEST_F(MainScreenTest, ValuesFromADamagedFileAreBoundedBeforeIndexing) {
  p.song_position = 500;
  p.order[kPositions - 1] = 42;
  screen.state.current_sample = 99;
  p.samples[31].finetune = 200;  // 200 & 15 = 8
  p.current_pattern = -20;
  redraw();
  EXPECT_EQ(screen.text_at(64, 3, 4), "0500");
  EXPECT_EQ(screen.text_at(64, 14, 4), "0042");
  EXPECT_EQ(screen.text_at(80, 36, 2), "-8");
}

TEST_F(MainScreenTest, MutedChannelShowsItsMarkAndAFlatTrace) {
  test_module::make_constant_sample(&p, 1, 100, 127);
  play(2, 1, 0);
  p.channels[2].enabled = 0;
  play(1, 1, 0);
  redraw();
  EXPECT_EQ(screen.pixel(306, 22), 0x330000u);
  EXPECT_EQ(screen.pixel(319, 31), 0x330000u);
  EXPECT_NE(screen.pixel(306, 11), 0x220000u);
  EXPECT_EQ(screen.state.channel_peaks[2], 0);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(trace_y(2, i), 71);
  // The channel beside it plays the same sample at full height.
  EXPECT_EQ(screen.state.channel_peaks[1], 127);
  EXPECT_EQ(trace_y(1, 0), 71 - 127 / 8);
}

TEST_F(MainScreenTest, ShortLoopKeepsEveryPointInsideTheLoop) {
  // 100 bytes of 127 with a 10-byte loop of 64 at bytes 50..59; the play
  // position lies far past the loop, as after the loop was cut short.
  test_module::make_sample(&p, 1, 100, 50, 10, 64,
                           [](int32_t i) { return i >= 50 && i < 60 ? 64 : 127; });
  play(0, 1, 90);
  redraw();
  for (int i = 0; i < 40; ++i) EXPECT_EQ(trace_y(0, i), 71 - 64 / 8) << i;
  EXPECT_EQ(screen.state.channel_peaks[0], 64);
}

TEST_F(MainScreenTest, ScopeNeverReadsPastTheSampleData) {
  // Bytes beyond the sample's stated length hold 127, which would show as
  // a trace point 15 rows above the centre line.
  auto& s =
      test_module::make_sample(&p, 1, 2000, 0, 2, 64, [](int32_t i) { return i < 20 ? 32 : 127; });
  s.length = 20 * kFixOne + 100;  // a fraction past the last whole byte
  play(0, 1, 20);
  p.channels[0].position = 20 * kFixOne + 50;
  // A loop that runs past the end of the data.
  s.loop_start = 5 * kFixOne;
  s.loop_length = 1000 * kFixOne;
  s.loop_end = 1005 * kFixOne;
  play(1, 1, 15);
  play(2, 77, 0);  // no such sample
  play(3, 1, -3);  // silent channel
  redraw();
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(trace_y(0, i), 71) << i;
    EXPECT_EQ(trace_y(1, i), 71 - 32 / 8) << i;
    EXPECT_EQ(trace_y(2, i), 71) << i;
    EXPECT_EQ(trace_y(3, i), 71) << i;
  }
}

TEST_F(MainScreenTest, ModuleSizeIsTheSizeTheWriterWrites) {
  EXPECT_EQ(module_size(&p), 2108);
  EXPECT_EQ(module_size(&p), static_cast<int32_t>(serialize_module(&p, kKindModule).size()));

  test_module::make_constant_sample(&p, 1, 11, 1);  // odd: padded on save
  test_module::make_constant_sample(&p, 31, 1000, 1);
  p.order[3] = 7;
  p.order[100] = 9;  // beyond the song length, still saved
  EXPECT_EQ(module_size(&p), 1084 + 10 * 1024 + 12 + 1000);
  EXPECT_EQ(module_size(&p), static_cast<int32_t>(serialize_module(&p, kKindModule).size()));

  p.order[5] = 200;  // does not fit a pattern number
  EXPECT_EQ(module_size(&p), static_cast<int32_t>(serialize_module(&p, kKindModule).size()));
}

}  // namespace
