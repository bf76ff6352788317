#include <gtest/gtest.h>

#include "sampler_fixture.h"

namespace sampler_test {
namespace {

constexpr uint32_t kYellow = 0xFFFF00, kCyan = 0x00FFFF, kGreen = 0x00FF00, kPanel = 0x405060;

class View : public Editor {
 protected:
  uint32_t at(int32_t x, int32_t y) { return screen.pixel(x, y); }
  // The waveform row inked in column x (screen x + 3), or -1.
  int32_t wave_row(int32_t x) {
    for (int32_t y = 138; y <= 201; ++y)
      if (at(x + 3, y) == kYellow) return y;
    return -1;
  }
  void show() { frame(150, 130, false); }
};

TEST_F(View, WaveformTextsAndAnEmptySample) {
  // 10 bytes a column: -128, 0, 127, then -4 (>> 2 is -1).
  test_module::make_sample(st.player, 1, 3140, 0, 2, 64, [](int32_t i) {
    return i < 1000 ? -128 : i < 2000 ? 0 : i < 3000 ? 127 : -4;
  });
  select(1);
  show();
  const int32_t rows[][2] = {{50, 201}, {150, 169}, {250, 138}, {305, 170}, {313, 170}, {314, -1}};
  for (const auto& r : rows) EXPECT_EQ(wave_row(r[0]), r[1]) << r[0];
  EXPECT_EQ(screen.text_at(265, 214, 6) + screen.text_at(289, 225, 3), "  3140OFF");
  select(2);  // empty, with a loop from its header
  show();
  for (int32_t x = 0; x < 313; x += 13) EXPECT_EQ(wave_row(x), 169) << x;
  EXPECT_EQ(screen.text_at(265, 214, 6) + screen.text_at(289, 225, 3), "     0OFF");
  for (int32_t x = 0; x < 320; ++x) ASSERT_NE(at(x, 207), kYellow);
  select(0);  // draws nothing at all
  show();
  for (int32_t y = 138; y <= 210; ++y)
    for (int32_t x = 0; x < 320; ++x) ASSERT_EQ(at(x, y), kPanel) << x << "," << y;
}

TEST_F(View, RangeMarkersPlayLinesAndThumb) {
  show();
  const std::vector<uint8_t> plain = screen.framebuffer;
  mark(100, 200);
  show();
  // x 103 .. 203 of rows 138 .. 201 inverted (blue cleared), the markers
  // drawn over them at x 62 .. 65 and 190 .. 193; no thumb for the whole
  // sample.
  for (int32_t x = 0; x < 320; ++x) {
    for (int32_t y = 137; y <= 202; ++y) {
      const uint8_t* p = plain.data() + (y * 320 + x) * 3;
      const uint32_t was = p[0] << 16 | p[1] << 8 | p[2];
      const bool marker = y > 137 && y < 202 && ((x >= 62 && x <= 65) || (x >= 190 && x <= 193));
      const bool in = x >= 103 && x <= 203 && y > 137 && y < 202;
      ASSERT_EQ(at(x, y), marker ? kGreen
                          : in   ? 0xFFFF00 - (was & 0xFFFF00)
                                 : was)
          << x << "," << y;
    }
    ASSERT_NE(at(x, 207), kYellow);
  }
  st.sampler.zoom_start = st.sampler.view_offset = 2000;  // the loop start at the left edge
  st.sampler.zoom_end = 4000;
  show();
  EXPECT_EQ(at(0, 150), kGreen);
  st.sampler.view_offset = 6000;  // only the loop end, at the left edge + 2
  show();
  EXPECT_EQ((at(0, 150) != kGreen) + (at(2, 150) == kGreen), 2);
  // In a 6000-byte window at 0, channel 0 at the loop end (the loop start
  // again) is at x trunc(2000 * 314 / 6000) + 3 and channel 3 at 0 at x 3;
  // a muted channel and one playing another sample draw nothing. The thumb
  // is trunc(6000 * 312 / 10000) = 187 pixels wide from x 4.
  test_module::start_voice(st.player, 0, 1, 6000, kFixOne, 64);
  test_module::start_voice(st.player, 3, 1, 0, kFixOne, 64);
  test_module::start_voice(st.player, 1, 1, 5500, kFixOne, 64);
  st.player->channels[1].enabled = 0;
  test_module::make_constant_sample(st.player, 3, kLength, 1);
  test_module::start_voice(st.player, 2, 3, 4500, kFixOne, 64);
  st.sampler.zoom_start = st.sampler.view_offset = 0;
  st.sampler.zoom_end = 6000;
  show();
  for (int32_t x = 0; x < 320; ++x) {
    EXPECT_EQ(at(x, 201) == kCyan, x == 107 || x == 3) << x;
    EXPECT_EQ(at(x, 209) == kYellow, x >= 4 && x <= 191) << x;
  }
}

}  // namespace
}  // namespace sampler_test
