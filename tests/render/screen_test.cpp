// The screen drawn into the framebuffer: glyphs and images kept inside it,
// the pattern view, and the main screen's fields, scopes and messages, all
// read back as text through the fixture's font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "../engine/module_builder.h"
#include "edit/keyboard.h"
#include "render/draw.h"
#include "render/main_screen.h"
#include "render/pattern_view.h"
#include "screen_fixture.h"

namespace {

using screen_test::kBackground;
using screen_test::make_flat;

constexpr uint32_t kInk = 0x102030;
constexpr uint32_t kRowColour = 0x3344FF;
constexpr uint32_t kScope = 0xF0D000;

std::string empty_row(int row) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", row);
  return std::string(text) + " ---00000 ---00000 ---00000 ---00000";
}

struct Screen : ::testing::Test {
  screen_test::Screen screen;
  EditorState* state = &screen.state;
  Player& p = screen.player();
  void SetUp() override { blit_image(state->canvas, 0, 0, &screen.main); }
  void draw() {
    blit_image(state->canvas, 0, 0, &screen.main);
    draw_pattern_view(screen_context(*state), state->main.peaks, state->main.block);
  }
  // The 38 characters of a pattern row drawn at height y.
  std::string row_at(int32_t y, uint32_t colour = 0) const {
    return screen.text_at(8, y, 38, colour);
  }
  // The scope row of channel c that holds the trace point of column i.
  int trace_y(int c, int i) {
    for (int y = 71 - 16; y <= 71 + 16; ++y)
      if (screen.pixel(128 + 48 * c + i, y) == kScope) return y;
    return -1;
  }
  void play(int c, int sample, int32_t position_bytes) {
    p.channels[c].sample = sample;
    p.channels[c].position = position_bytes * kFixOne;
    p.channels[c].mix_volume = 64;
  }
};

// A glyph that would reach past an edge is left out entirely; double height
// takes sixteen rows.
TEST_F(Screen, GlyphsPixelsAndImagesStayInsideTheScreen) {
  const int32_t cases[][4] = {// x, y, double height, drawn
                              {312, 0, 0, 1},  {313, 20, 0, 0}, {0, 247, 0, 1},  {20, 248, 0, 0},
                              {40, 239, 1, 1}, {60, 240, 1, 0}, {-1, 100, 0, 0}, {100, -1, 0, 0}};
  draw_glyph(state->canvas, 100, 50, 135, 0, kInk);  // folds to the font's last cell, 71
  EXPECT_EQ(screen.char_at(100, 50, kInk), ' ' + (71 & 63));
  for (const auto& c : cases) {
    draw_glyph(state->canvas, c[0], c[1], 'X', c[2], kInk);
    const int32_t x = std::max(c[0], 0), y = std::max(c[1], 0);
    EXPECT_EQ(screen.char_at(x, y, kInk), c[3] ? 'X' : '\0') << c[0] << "," << c[1];
    if (c[3] && c[2]) {
      EXPECT_EQ(screen.char_at(x, y + 1, kInk), 'X');  // the doubled first row
    } else if (!c[3]) {
      EXPECT_TRUE(screen.blank(x, y, std::min(x + 7, 319), std::min(y + 15, 254)));
    }
  }
  // Pixels and images stay inside the screen and the image.
  put_pixel(state->canvas, 320, 0, kInk);  // off the screen: dropped, not wrapped
  put_pixel(state->canvas, -1, 5, kInk);
  EXPECT_TRUE(screen.pixel(0, 1) == kBackground && screen.pixel(319, 4) == kBackground);
  // Larger than the space left: only the part on the screen is written.
  Image big = make_flat(64, 64, 0xABCDEF);
  blit_image(state->canvas, 300, 240, &big);
  blit_image(state->canvas, -60, -60, &big);
  EXPECT_TRUE(screen.pixel(319, 254) == 0xABCDEF && screen.pixel(3, 3) == 0xABCDEF);
  EXPECT_TRUE(screen.blank(299, 240, 299, 254) && screen.blank(4, 4, 4, 4));
  // An image whose pixel data is shorter than its size claims.
  Image short_image = make_flat(10, 2, 0x111111);
  short_image.height = 50;
  blit_image(state->canvas, 100, 100, &short_image);
  EXPECT_TRUE(screen.pixel(100, 101) == 0x111111 && screen.blank(100, 102, 109, 149));
}

// The current row sits double height on line eight; seven rows above and
// below it, with nothing past the pattern's ends. The cursor is keyed
// (black leaves what lies beneath) at x = 214 for channel 2's effect.
TEST_F(Screen, PatternViewRowsAroundTheCurrentOneWithNothingPastTheEnds) {
  p.current_pattern = 3;
  test_module::set_cell(&p, 3, 0, 0, 856, 1);
  test_module::set_cell(&p, 3, 0, 3, 855, 0);
  test_module::set_cell(&p, 3, 2, 1, 113, 31, 12, 0x40);
  test_module::set_cell(&p, 3, 2, 2, 0, 0x1234, 0xAB);  // fields wider than their digits
  p.patterns[3][2][2].param_hi = 0xFF;
  p.patterns[3][2][2].param_lo = 0x13;
  state->selection.cursor_channel = 2;
  state->selection.cursor_column = 3;
  draw();
  EXPECT_TRUE(screen.pixel(214, 188) == 0xFF0000 && screen.pixel(215, 189) == 0xFF0000 &&
              screen.pixel(217, 188) == kBackground);
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

TEST_F(Screen, MainScreenSampleAndSongFields) {
  auto& s = test_module::make_constant_sample(&p, 10, 0x1234, 0, 0x40);
  s.finetune = 9;
  s.loop_start = 0x100 * kFixOne;
  s.loop_length = 0x20 * kFixOne;
  std::memcpy(s.name, "ABCDEFGHIJKLMNOPQRSTUV", 22);  // fills the field, no terminator
  std::memcpy(p.song_name, "HELLO", 5);
  state->selection.current_sample = 10;
  state->main.play_seconds = 62 * 60 + 5;
  state->selection.multi_keyboard = 1;
  state->selection.edit_skip = 4;
  state->main.peaks = redraw_main_screen(screen_context(*state), state->main, true);
  EXPECT_EQ(screen.text_at(64, 47, 4), "000A");
  EXPECT_EQ(screen.text_at(80, 36, 2), "-7");
  EXPECT_EQ(screen.text_at(64, 58, 4), "0040");
  EXPECT_EQ(screen.text_at(64, 69, 4), "1234");
  EXPECT_EQ(screen.text_at(64, 80, 4), "0100");
  EXPECT_EQ(screen.text_at(64, 91, 4), "0020");
  EXPECT_EQ(screen.text_at(17, 102, 1), "M");
  EXPECT_EQ(screen.text_at(24, 102, 1), "4");
  EXPECT_EQ(screen.text_at(272, 102, 5), "62 05");
  EXPECT_EQ(screen.text_at(104, 113, 23), "ABCDEFGHIJKLMNOPQRSTUV.");
  EXPECT_EQ(screen.text_at(104, 102, 20), "HELLO_______________");
}

// Values from a damaged file are bounded before they index anything, in the
// pattern view and on the main screen.
TEST_F(Screen, ValuesFromADamagedFileAreBoundedBeforeIndexing) {
  test_module::set_cell(&p, kPatterns - 1, kRows - 1, 0, 856, 1);
  p.current_pattern = 5000;
  p.shown_row = 1000;
  state->selection.cursor_channel = 9;
  state->selection.cursor_column = -4;
  draw();
  EXPECT_EQ(row_at(190), "63 C-101000 ---00000 ---00000 ---00000");
  p.current_pattern = -7;
  p.shown_row = -3;
  draw();
  EXPECT_EQ(row_at(190), empty_row(0));
  p.song_position = 500;
  p.order[kPositions - 1] = 42;
  state->selection.current_sample = 99;
  p.samples[31].finetune = 200;  // 200 & 15 = 8
  p.current_pattern = -20;
  state->main.peaks = redraw_main_screen(screen_context(*state), state->main, true);
  EXPECT_EQ(screen.text_at(64, 3, 4), "0500");
  EXPECT_EQ(screen.text_at(64, 14, 4), "0042");
  EXPECT_EQ(screen.text_at(80, 36, 2), "-8");
}

// A trace point is sample / 8 above the centre line y = 71. Channel 1
// plays 100 bytes of 127 whose 10-byte loop of 64 at bytes 50..59 lies far
// behind the play position, as after the loop was cut short; channel 2
// plays it muted. Sample 2 has 20 bytes of 32 (a fraction more stated),
// looping past them, and 127 beyond them, which no trace may show.
TEST_F(Screen, ScopesShowWhatIsPlayedAndNeverReadPastTheData) {
  test_module::make_sample(&p, 1, 100, 50, 10, 64,
                           [](int32_t i) { return i >= 50 && i < 60 ? 64 : 127; });
  auto& s =
      test_module::make_sample(&p, 2, 2000, 0, 2, 64, [](int32_t i) { return i < 20 ? 32 : 127; });
  s.length = 20 * kFixOne + 100;
  s.loop_start = 5 * kFixOne;  // a loop that runs past the end of the data
  s.loop_length = 1000 * kFixOne;
  s.loop_end = 1005 * kFixOne;
  const int32_t channels[][3] = {// sample, byte position, trace row
                                 {1, 90, 71 - 64 / 8},
                                 {2, 15, 71 - 32 / 8},
                                 {2, 20, 71},
                                 {77, 0, 71},  // no such sample
                                 {2, -3, 71}};
  play(2, 1, 0);
  p.channels[2].enabled = 0;
  for (const auto& c : channels) {
    play(0, c[0], c[1]);
    state->main.peaks = redraw_main_screen(screen_context(*state), state->main, true);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(trace_y(0, i), c[2]) << c[0] << " " << c[1] << " " << i;
    EXPECT_EQ(state->main.peaks.level[0], c[2] == 71 ? 0 : (71 - c[2]) * 8) << c[0] << " " << c[1];
    for (int i = 0; i < 40; ++i) EXPECT_EQ(trace_y(2, i), 71) << i;
  }
  // The mute mark of channel 3 only.
  EXPECT_TRUE(screen.pixel(306, 22) == 0x330000 && screen.pixel(306, 11) != 0x220000);
  // The same bytes without a loop: the trace ends after the last one.
  test_module::make_sample(&p, 3, 2000, 0, 2, 64, [](int32_t i) { return i < 20 ? 32 : 127; });
  p.samples[3].length = 20 * kFixOne;
  play(0, 3, 15);
  state->main.peaks = redraw_main_screen(screen_context(*state), state->main, true);
  EXPECT_TRUE(trace_y(0, 4) == 67 && trace_y(0, 5) == 71 && state->main.peaks.level[0] == 32);
}

TEST_F(Screen, BlockMarkMessageShowsTheRowsInOrderAndTheBlockEndsAtTheShownRow) {
  const std::tuple<int32_t, int32_t, int32_t, const char*> cases[] = {
      // marking, anchor, shown row, message
      {0, 5, 9, "ALL RIGHT"},         {1, 40, 12, "mark block 12-40"},
      {1, 5, 9, "mark block 05-09"},  {1, 63, 63, "mark block 63-63"},
      {1, 40, 0, "mark block 00-40"}, {1, 5, 64, "mark block 05-64"}};  // row 64: keeps its end
  for (const auto& [marking, anchor, row, text] : cases) {
    EditBuffers& edit = state->edit_buffers;
    edit.block_marking = marking;
    edit.block_anchor = edit.block_start = edit.block_end = anchor;
    p.shown_row = row;
    show_block_marking(edit, p, state->status);
    state->main.peaks = redraw_main_screen(screen_context(*state), state->main, true);
    EXPECT_STREQ(state->status.message, text);
    EXPECT_TRUE(edit.block_end == (marking && row < 64 ? row : anchor) &&
                !state->status.message_timer);
  }
}

}  // namespace
