#include "render/draw.h"

#include <gtest/gtest.h>

#include "screen_fixture.h"

namespace {

using screen_test::kBackground;
using screen_test::make_flat;
using screen_test::Screen;
using screen_test::set_image_pixel;

constexpr uint32_t kInk = 0x102030;

struct Draw : ::testing::Test {
  Screen screen;
  EditorState* state = &screen.state;
  void SetUp() override { blit_image(0, 0, &screen.main, state); }
  bool drawn_at(int32_t x, int32_t y) const { return screen.char_at(x, y, kInk) != '\0'; }
};

TEST_F(Draw, GlyphsAreDrawnWholeOrNotAtAll) {
  draw_glyph(312, 0, 'X', 0, kInk, state);
  EXPECT_TRUE(drawn_at(312, 0));
  draw_glyph(313, 20, 'X', 0, kInk, state);
  EXPECT_TRUE(screen.blank(300, 20, 319, 27));
  draw_glyph(0, 247, 'X', 0, kInk, state);
  EXPECT_TRUE(drawn_at(0, 247));
  draw_glyph(20, 248, 'X', 0, kInk, state);
  EXPECT_TRUE(screen.blank(20, 248, 27, 254));
  draw_glyph(40, 239, 'X', 1, kInk, state);
  EXPECT_TRUE(drawn_at(40, 239));
  EXPECT_TRUE(drawn_at(40, 240));  // the doubled first row
  draw_glyph(60, 240, 'X', 1, kInk, state);
  EXPECT_TRUE(screen.blank(60, 240, 67, 254));
  draw_glyph(-1, 100, 'X', 0, kInk, state);
  draw_glyph(100, -1, 'X', 0, kInk, state);
  EXPECT_TRUE(screen.blank(0, 100, 7, 107));
  EXPECT_TRUE(screen.blank(100, 0, 107, 7));
}

TEST_F(Draw, PixelsAndInversion) {
  put_pixel(319, 254, kInk, state);
  EXPECT_EQ(screen.pixel(319, 254), kInk);
  put_pixel(320, 0, kInk, state);  // off the screen: dropped
  put_pixel(-1, 5, kInk, state);
  EXPECT_EQ(screen.pixel(0, 1), kBackground);
  put_pixel(10, 10, 0x12345678, state);
  EXPECT_EQ(screen.pixel(10, 10), 0x345678u);  // the top byte is ignored
  invert_pixel(10, 10, state);
  EXPECT_EQ(screen.pixel(10, 10), 0xCBA900u);
  invert_pixel(10, 10, state);
  EXPECT_EQ(screen.pixel(10, 10), 0x345600u);  // red and green back, blue stays 0
}

TEST_F(Draw, BlitsStayInsideTheScreenAndTheImage) {
  // Larger than the space left: only the part on the screen is written.
  Image big = make_flat(64, 64, 0xABCDEF);
  blit_image(300, 240, &big, state);
  EXPECT_EQ(screen.pixel(319, 254), 0xABCDEFu);
  EXPECT_EQ(screen.pixel(299, 254), kBackground);
  blit_image(-60, -60, &big, state);
  EXPECT_EQ(screen.pixel(3, 3), 0xABCDEFu);
  EXPECT_EQ(screen.pixel(4, 4), kBackground);
  // An image whose pixel data is shorter than its size claims.
  Image short_image = make_flat(10, 2, 0x111111);
  short_image.height = 50;
  blit_image(100, 100, &short_image, state);
  EXPECT_EQ(screen.pixel(100, 101), 0x111111u);
  EXPECT_EQ(screen.pixel(100, 102), kBackground);
  // Keyed copies skip the pixels whose red byte is 0.
  Image keyed = make_flat(2, 1, 0x00FFFF);
  set_image_pixel(keyed, 1, 0, 0x010000);
  blit_image_keyed(200, 200, &keyed, state);
  EXPECT_EQ(screen.pixel(200, 200), kBackground);
  EXPECT_EQ(screen.pixel(201, 200), 0x010000u);
}

}  // namespace
