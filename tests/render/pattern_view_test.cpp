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

TEST(NoteName, NamesEveryNotePeriodAndNothingElse) {
  EXPECT_STREQ(note_name(0), "---");
  EXPECT_STREQ(note_name(856), "c-1");
  EXPECT_STREQ(note_name(808), "c#1");
  EXPECT_STREQ(note_name(453), "b-1");
  EXPECT_STREQ(note_name(428), "c-2");
  EXPECT_STREQ(note_name(254), "a-2");
  EXPECT_STREQ(note_name(214), "c-3");
  EXPECT_STREQ(note_name(113), "b-3");
  // Finetuned or slid periods and values from a damaged file.
  EXPECT_STREQ(note_name(855), "???");
  EXPECT_STREQ(note_name(907), "???");
  EXPECT_STREQ(note_name(-1), "???");
  EXPECT_STREQ(note_name(4095), "???");
}

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

TEST(MeterHeight, DividesByTwoPointSixAndStopsAtTheTable) {
  EXPECT_EQ(meter_height(0), 0);
  EXPECT_EQ(meter_height(2), 0);
  EXPECT_EQ(meter_height(3), 1);
  EXPECT_EQ(meter_height(13), 5);
  EXPECT_EQ(meter_height(124), 47);
  EXPECT_EQ(meter_height(125), 48);
  EXPECT_EQ(meter_height(128), 48);
  EXPECT_EQ(meter_height(100000), 48);
  EXPECT_EQ(meter_height(-50), 0);
}

TEST_F(PatternViewTest, LevelMetersGrowUpFromTheirFoot) {
  blit_image(0, 0, screen.state.img_main, &screen.state);
  const int32_t levels[kChannels] = {0, 124, 128, 13};
  draw_level_meters(levels, &screen.state);

  EXPECT_TRUE(screen.blank(55, 100, 64, 254));  // channel 0: no bar

  // Channel 1: 47 rows, y = 187 .. 141; the foot is 00ee00 with a light
  // left edge and a dark right edge.
  const int left = 55 + 72;
  EXPECT_EQ(screen.pixel(left, 187), 0x33FF33u);
  EXPECT_EQ(screen.pixel(left + 1, 187), 0x33FF33u);
  for (int x = left + 2; x <= left + 7; ++x) EXPECT_EQ(screen.pixel(x, 187), 0x00EE00u);
  EXPECT_EQ(screen.pixel(left + 8, 187), 0x00BB00u);
  EXPECT_EQ(screen.pixel(left + 9, 187), 0x00BB00u);
  EXPECT_EQ(screen.pixel(left + 4, 141), 0xFF0000u);  // second entry from the top
  EXPECT_EQ(screen.pixel(left + 4, 140), kBackground);
  EXPECT_EQ(screen.pixel(left + 4, 161), 0xEEFF00u);  // j = 26: table[21]
  EXPECT_EQ(screen.pixel(left + 4, 160), 0xFFFF00u);
  EXPECT_EQ(screen.pixel(left + 4, 159), 0xFFFF00u);
  EXPECT_EQ(screen.pixel(left - 1, 187), kBackground);
  EXPECT_EQ(screen.pixel(left + 10, 187), kBackground);

  // Channel 2 reaches the full 48 rows and no further.
  const int full = 55 + 144;
  EXPECT_EQ(screen.pixel(full + 4, 140), 0xFF0000u);
  EXPECT_EQ(screen.pixel(full, 140), 0xFF3333u);
  EXPECT_EQ(screen.pixel(full + 9, 140), 0xCC0000u);
  EXPECT_EQ(screen.pixel(full + 4, 139), kBackground);

  // Channel 3: 5 rows.
  const int small = 55 + 216;
  EXPECT_NE(screen.pixel(small + 4, 183), kBackground);
  EXPECT_EQ(screen.pixel(small + 4, 182), kBackground);
}

TEST_F(PatternViewTest, PatternViewShowsThisFramesPeaks) {
  screen.state.channel_peaks[0] = 26;  // 10 rows
  draw();
  EXPECT_EQ(screen.pixel(59, 178), 0x55FF00u);  // tenth row up
  EXPECT_EQ(screen.pixel(59, 177), kBackground);
}

}  // namespace
