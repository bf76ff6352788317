#include "render/pattern_view.h"

#include <gtest/gtest.h>

#include "../engine/module_builder.h"
#include "render/draw.h"
#include "screen_fixture.h"

namespace {

using screen_test::kBackground;
using screen_test::Screen;

constexpr uint32_t kRowColour = 0x3344FF;
constexpr int kRowChars = 38;

std::string empty_row(int row) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", row);
  return std::string(text) + " ---00000 ---00000 ---00000 ---00000";
}

struct PatternViewTest : ::testing::Test {
  Screen screen;
  void draw() {
    blit_image(0, 0, screen.state.img_main, &screen.state);
    draw_pattern_view(&screen.state);
  }
};

TEST_F(PatternViewTest, FirstRowIsCurrentWithNothingAbove) {
  Player& p = screen.player();
  p.current_pattern = 3;
  p.shown_row = 0;
  test_module::set_cell(&p, 3, 0, 0, 856, 1);
  test_module::set_cell(&p, 3, 0, 3, 855, 0);
  test_module::set_cell(&p, 3, 2, 1, 113, 31, 12, 0x40);
  draw();

  EXPECT_EQ(screen.text_at(8, 190, kRowChars), "00 C-101000 ---00000 ---00000 ???00000");
  // Double height: the ink row is doubled.
  EXPECT_EQ(screen.text_at(8, 191, kRowChars), screen.text_at(8, 190, kRowChars));
  EXPECT_TRUE(screen.blank(8, 140, 319, 186));  // the seven upper lines are empty
  EXPECT_EQ(screen.text_at(8, 203, kRowChars, kRowColour), empty_row(1));
  EXPECT_EQ(screen.text_at(8, 210, kRowChars, kRowColour),
            "02 ---00000 B-31FC40 ---00000 ---00000");
  for (int k = 2; k < 7; ++k)
    EXPECT_EQ(screen.text_at(8, 203 + 7 * k, kRowChars, kRowColour), empty_row(1 + k)) << k;
}

TEST_F(PatternViewTest, LastRowIsCurrentWithNothingBelow) {
  Player& p = screen.player();
  p.shown_row = 63;
  draw();
  EXPECT_EQ(screen.text_at(8, 190, kRowChars), empty_row(63));
  for (int k = 0; k < 7; ++k)
    EXPECT_EQ(screen.text_at(8, 140 + 7 * k, kRowChars, kRowColour), empty_row(56 + k)) << k;
  EXPECT_TRUE(screen.blank(8, 203, 319, 254));
}

TEST_F(PatternViewTest, OutOfRangePatternAndRowAreBoundedBeforeUse) {
  Player& p = screen.player();
  test_module::set_cell(&p, kPatterns - 1, kRows - 1, 0, 856, 1);
  p.current_pattern = 5000;
  p.shown_row = 1000;
  screen.state.cursor_channel = 9;
  screen.state.cursor_column = -4;
  draw();
  EXPECT_EQ(screen.text_at(8, 190, kRowChars), "63 C-101000 ---00000 ---00000 ---00000");

  p.current_pattern = -7;
  p.shown_row = -3;
  draw();
  EXPECT_EQ(screen.text_at(8, 190, kRowChars), empty_row(0));
}

TEST_F(PatternViewTest, CellFieldsOutsideTheirWidthAreMasked) {
  Player& p = screen.player();
  PatternCell& c = p.patterns[0][0][0];
  c.sample = 0x1234;
  c.effect = 0xAB;
  c.param_hi = 0xFF;
  c.param_lo = 0x13;
  draw();
  EXPECT_EQ(screen.text_at(8, 190, 11), "00 ---34BF3");
}

TEST_F(PatternViewTest, CursorIsKeyedAtItsColumn) {
  screen.state.cursor_channel = 2;
  screen.state.cursor_column = 3;  // effect column: x = 214
  draw();
  EXPECT_EQ(screen.pixel(214, 188), 0xFF0000u);
  EXPECT_EQ(screen.pixel(215, 189), 0xFF0000u);
  // Black cursor pixels leave what lies beneath.
  EXPECT_EQ(screen.pixel(217, 188), kBackground);
}

// A level of 2.6 per row, at most 48 rows, growing up from y = 187 in
// each channel's 10-pixel column.
TEST_F(PatternViewTest, LevelMetersGrowUpFromTheirFoot) {
  const int32_t levels[kChannels] = {2, 124, 128, 13};
  const int32_t rows[kChannels] = {0, 47, 48, 5};
  blit_image(0, 0, screen.state.img_main, &screen.state);
  draw_level_meters(levels, &screen.state);
  for (int c = 0; c < kChannels; ++c) {
    const int x = 55 + 72 * c;
    int height = 0;
    while (!screen.blank(x, 187 - height, x + 9, 187 - height)) ++height;
    EXPECT_EQ(height, rows[c]) << "channel " << c;
    EXPECT_TRUE(screen.blank(x - 1, 100, x - 1, 254) && screen.blank(x + 10, 100, x + 10, 254));
  }
}

TEST_F(PatternViewTest, PatternViewShowsThisFramesPeaks) {
  screen.state.channel_peaks[0] = 26;  // 10 rows
  draw();
  EXPECT_NE(screen.pixel(59, 178), kBackground);  // tenth row up
  EXPECT_EQ(screen.pixel(59, 177), kBackground);
}

}  // namespace
