#include <gtest/gtest.h>

#include "edit/keyboard.h"
#include "sampler/sample_editor.h"
#include "sampler_fixture.h"

namespace sampler_test {
namespace {

constexpr uint32_t kYellow = 0xFFFF00, kCyan = 0x00FFFF, kGreen = 0x00FF00;

class View : public Editor {
 protected:
  uint32_t at(int32_t x, int32_t y) { return screen.pixel(x, y); }
  // The one waveform row inked in column x (screen x x + 3), or -1.
  int32_t wave_row(int32_t x) {
    for (int32_t y = 138; y <= 201; ++y)
      if (at(x + 3, y) == kYellow) return y;
    return -1;
  }
  void show() { frame(150, 130, false); }
};

TEST_F(View, SamplePointsMapOntoTheSixtyFourRows) {
  // 3140 bytes, 10 per column: -128, then 0, then 127, then -4.
  test_module::make_sample(st.player, 1, 3140, 0, 2, 64, [](int32_t i) {
    return i < 1000 ? -128 : i < 2000 ? 0 : i < 3000 ? 127 : -4;
  });
  select(1);
  show();
  EXPECT_EQ(wave_row(50), 201);
  EXPECT_EQ(wave_row(150), 169);
  EXPECT_EQ(wave_row(250), 138);
  EXPECT_EQ(wave_row(305), 170);  // -4 >> 2 = -1
  // A step is joined by a line: every row between is inked.
  for (int32_t y = 138; y <= 169; ++y)
    EXPECT_TRUE(at(202, y) == kYellow || at(203, y) == kYellow) << y;
  EXPECT_EQ(screen.text_at(265, 214, 6), "  3140");
  EXPECT_EQ(screen.text_at(289, 225, 3), "OFF");
  EXPECT_EQ(screen.text_at(289, 236, 3), "C-3");
}

TEST_F(View, AnEmptySampleIsAFlatLineWithoutMarkersOrThumb) {
  select(2);
  show();
  for (int32_t x = 0; x < 313; x += 13) EXPECT_EQ(wave_row(x), 169) << x;
  EXPECT_EQ(screen.text_at(265, 214, 6), "     0");
  EXPECT_EQ(screen.text_at(289, 225, 3), "OFF");
  for (int32_t x = 4; x <= 316; ++x) EXPECT_NE(at(x, 207), kYellow);
}

TEST_F(View, MarkersPlayLinesRangeAndThumb) {
  show();
  std::vector<uint32_t> plain;
  for (int32_t x = 100; x <= 206; ++x) plain.push_back(at(x, 150));
  mark(100, 200);
  show();
  // The range x 103 .. 203 is inverted (blue cleared), the loop markers are
  // drawn over it at x 62 .. 65 and 190 .. 193.
  for (int32_t x = 100; x <= 206; ++x) {
    const uint32_t p = plain[x - 100];
    const bool in = x >= 103 && x <= 203;
    const uint32_t want = x == 190 ? kGreen : in ? (0xFFFF00 - (p & 0xFFFF00)) : p;
    EXPECT_EQ(at(x, 150), want) << x;
  }
  EXPECT_EQ(at(65, 150), kGreen);
  for (int32_t x = 4; x <= 316; ++x) ASSERT_NE(at(x, 207), kYellow);

  // Channel 0 plays sample 1 at byte 5000 (x 157 + 3); a muted channel and
  // one playing another sample draw nothing.
  test_module::start_voice(st.player, 0, 1, 5000, kFixOne, 64);
  test_module::start_voice(st.player, 1, 1, 5500, kFixOne, 64);
  st.player->channels[1].enabled = 0;
  test_module::make_constant_sample(st.player, 3, kLength, 1);
  test_module::start_voice(st.player, 2, 3, 4500, kFixOne, 64);
  st.zoom_start = st.view_offset = 4000;  // a 2000-byte window
  st.zoom_end = 6000;
  show();
  EXPECT_EQ(at(157 + 3, 170), kCyan);
  for (int32_t x = 3; x <= 319; ++x) EXPECT_EQ(at(x, 200) == kCyan, x == 160) << x;
  // Thumb: t = trunc(4000 * 312 / 10000) = 124, width 62.
  EXPECT_NE(at(127, 207), kYellow);
  EXPECT_EQ(at(128, 207), kYellow);
  EXPECT_EQ(at(190, 209), kYellow);
  EXPECT_NE(at(191, 207), kYellow);
}

TEST_F(View, SampleZeroDrawsNothing) {
  select(0);
  show();
  for (int32_t y = 138; y <= 210; ++y)
    for (int32_t x = 0; x < 320; ++x) ASSERT_EQ(at(x, y), 0x405060u) << x << "," << y;
}

TEST_F(View, KeysOpenCloseAndResetTheEditor) {
  const auto key = [&](int32_t code, int32_t modifiers) {
    st.key_code = code;
    st.modifiers = modifiers;
    handle_key(code, &st);
    st.key_code = st.modifiers = 0;
    handle_key(0, &st);
  };
  key(0x1F, 2);  // Alt+S
  EXPECT_EQ(st.sample_editor_shown, 0);
  key(0x1F, 2);
  EXPECT_EQ(st.sample_editor_shown, 1);
  mark(10, 20);
  key(0xCD, 8);  // Ctrl+Right: sample 2, whole view, no marks
  EXPECT_EQ(st.current_sample, 2);
  EXPECT_EQ(st.mark_a, 0);
  EXPECT_EQ(st.zoom_end, 0);
  key(0x01, 0);  // Esc
  EXPECT_EQ(st.sample_editor_shown, 0);
}

}  // namespace
}  // namespace sampler_test
