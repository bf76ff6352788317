#include "render/draw.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "screen_fixture.h"

namespace {

using screen_test::kBackground;
using screen_test::make_flat;
using screen_test::Screen;

constexpr uint32_t kInk = 0x102030;

struct Draw : ::testing::Test {
  Screen screen;
  EditorState* state = &screen.state;
  void SetUp() override { blit_image(0, 0, &screen.main, state); }
};

// A glyph that would reach past an edge is left out entirely; double height
// takes sixteen rows.
TEST_F(Draw, GlyphsAreDrawnWholeOrNotAtAll) {
  const int32_t cases[][4] = {// x, y, double height, drawn
                              {312, 0, 0, 1},  {313, 20, 0, 0}, {0, 247, 0, 1},  {20, 248, 0, 0},
                              {40, 239, 1, 1}, {60, 240, 1, 0}, {-1, 100, 0, 0}, {100, -1, 0, 0}};
  draw_glyph(100, 50, 135, 0, kInk, state);  // folds to the font's last cell, 71
  EXPECT_EQ(screen.char_at(100, 50, kInk), ' ' + (71 & 63));
  for (const auto& c : cases) {
    draw_glyph(c[0], c[1], 'X', c[2], kInk, state);
    const int32_t x = std::max(c[0], 0), y = std::max(c[1], 0);
    EXPECT_EQ(screen.char_at(x, y, kInk), c[3] ? 'X' : '\0') << c[0] << "," << c[1];
    if (c[3] && c[2]) {
      EXPECT_EQ(screen.char_at(x, y + 1, kInk), 'X');  // the doubled first row
    } else if (!c[3]) {
      EXPECT_TRUE(screen.blank(x, y, std::min(x + 7, 319), std::min(y + 15, 254)));
    }
  }
}

TEST_F(Draw, PixelsAndBlitsStayInsideTheScreenAndTheImage) {
  put_pixel(319, 254, 0x12345678, state);  // the top byte is ignored
  put_pixel(320, 0, kInk, state);          // off the screen: dropped, not wrapped
  put_pixel(-1, 5, kInk, state);
  EXPECT_TRUE(screen.blank(0, 0, 319, 1) && screen.blank(310, 4, 319, 4));
  invert_pixel(319, 254, state);
  EXPECT_EQ(screen.pixel(319, 254), 0xCBA900u);  // blue is not inverted but cleared
  // Larger than the space left: only the part on the screen is written.
  Image big = make_flat(64, 64, 0xABCDEF);
  blit_image(300, 240, &big, state);
  blit_image(-60, -60, &big, state);
  EXPECT_TRUE(screen.pixel(319, 254) == 0xABCDEF && screen.pixel(3, 3) == 0xABCDEF);
  EXPECT_TRUE(screen.blank(299, 240, 299, 254) && screen.blank(4, 4, 4, 4));
  // An image whose pixel data is shorter than its size claims.
  Image short_image = make_flat(10, 2, 0x111111);
  short_image.height = 50;
  blit_image(100, 100, &short_image, state);
  EXPECT_EQ(screen.pixel(100, 101), 0x111111u);
  EXPECT_TRUE(screen.blank(100, 102, 109, 149));
  // Keyed copies skip the pixels whose red byte is 0.
  Image keyed = make_flat(2, 1, 0x00FFFF);
  screen_test::set_image_pixel(keyed, 1, 0, 0x010000);
  blit_image_keyed(200, 200, &keyed, state);
  EXPECT_EQ(screen.pixel(200, 200), kBackground);
  EXPECT_EQ(screen.pixel(201, 200), 0x010000u);
}

}  // namespace
