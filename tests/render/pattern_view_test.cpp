#include "render/pattern_view.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../engine/module_builder.h"
#include "render/draw.h"
#include "screen_fixture.h"

namespace {

using screen_test::kBackground;

constexpr uint32_t kRowColour = 0x3344FF;
constexpr int kRowChars = 38;

std::string empty_row(int row) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", row);
  return std::string(text) + " ---00000 ---00000 ---00000 ---00000";
}

struct PatternViewTest : ::testing::Test {
  screen_test::Screen screen;
  Player& p = screen.player();
  void draw() {
    blit_image(0, 0, screen.state.img_main, &screen.state);
    draw_pattern_view(&screen.state);
  }
  std::string row_at(int32_t y, uint32_t colour = 0) const {
    return screen.text_at(8, y, kRowChars, colour);
  }
};

// The current row sits double height on line eight; seven rows above and
// below it, with nothing past the pattern's ends.
TEST_F(PatternViewTest, RowsAroundTheCurrentOneWithNothingPastTheEnds) {
  p.current_pattern = 3;
  test_module::set_cell(&p, 3, 0, 0, 856, 1);
  test_module::set_cell(&p, 3, 0, 3, 855, 0);
  test_module::set_cell(&p, 3, 2, 1, 113, 31, 12, 0x40);
  PatternCell& wide = p.patterns[3][2][2];  // fields wider than their digits
  wide.sample = 0x1234;
  wide.effect = 0xAB;
  wide.param_hi = 0xFF;
  wide.param_lo = 0x13;
  draw();
  EXPECT_EQ(row_at(190), "00 C-101000 ---00000 ---00000 ???00000");
  EXPECT_EQ(row_at(191), row_at(190));
  EXPECT_TRUE(screen.blank(8, 140, 319, 186));
  EXPECT_EQ(row_at(203, kRowColour), empty_row(1));
  EXPECT_EQ(row_at(210, kRowColour), "02 ---00000 B-31FC40 ---34BF3 ---00000");
  for (int k = 2; k < 7; ++k) EXPECT_EQ(row_at(203 + 7 * k, kRowColour), empty_row(1 + k)) << k;

  p.shown_row = 63;
  draw();
  EXPECT_EQ(row_at(190), empty_row(63));
  for (int k = 0; k < 7; ++k) EXPECT_EQ(row_at(140 + 7 * k, kRowColour), empty_row(56 + k)) << k;
  EXPECT_TRUE(screen.blank(8, 203, 319, 254));
}

TEST_F(PatternViewTest, OutOfRangePatternAndRowAreBoundedBeforeUse) {
  test_module::set_cell(&p, kPatterns - 1, kRows - 1, 0, 856, 1);
  p.current_pattern = 5000;
  p.shown_row = 1000;
  screen.state.cursor_channel = 9;
  screen.state.cursor_column = -4;
  draw();
  EXPECT_EQ(row_at(190), "63 C-101000 ---00000 ---00000 ---00000");
  p.current_pattern = -7;
  p.shown_row = -3;
  draw();
  EXPECT_EQ(row_at(190), empty_row(0));
}

// The cursor is keyed (black leaves what lies beneath) at x = 214 for the
// effect column of channel 2. Meters: 2.6 per row, at most 48 rows, up
// from y = 187 in each channel's 10-pixel column.
TEST_F(PatternViewTest, CursorAndLevelMeters) {
  screen.state.cursor_channel = 2;
  screen.state.cursor_column = 3;
  const int32_t levels[kChannels] = {2, 124, 128, 26}, rows[kChannels] = {0, 47, 48, 10};
  std::copy(levels, levels + kChannels, screen.state.channel_peaks);
  draw();
  EXPECT_EQ(screen.pixel(214, 188), 0xFF0000u);
  EXPECT_EQ(screen.pixel(215, 189), 0xFF0000u);
  EXPECT_EQ(screen.pixel(217, 188), kBackground);
  for (int c = 0; c < kChannels; ++c) {
    const int x = 55 + 72 * c;
    int height = 0;
    while (!screen.blank(x, 187 - height, x + 9, 187 - height)) ++height;
    EXPECT_EQ(height, rows[c]) << "channel " << c;
    EXPECT_TRUE(screen.blank(x - 1, 100, x - 1, 187) && screen.blank(x + 10, 100, x + 10, 187));
  }
}

}  // namespace
