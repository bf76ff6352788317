// Fitting the picture into windows of any size, mapping the pointer back,
// and the framebuffer's conversion to texture pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/pixels.h"
#include "platform/viewport.h"

namespace {

constexpr int32_t kW = 320;
constexpr int32_t kH = 255;

TEST(Display, DefaultScaleIsTheLargestThatFits) {
  EXPECT_EQ(default_scale(1920, 1040, kW, kH), 4);
  EXPECT_EQ(default_scale(1366, 740, kW, kH), 2);  // 3 x 255 = 765 is too tall
  EXPECT_EQ(default_scale(1366, 768, kW, kH), 3);
  EXPECT_EQ(default_scale(3840, 2160, kW, kH), 4);  // never above 4
  EXPECT_EQ(default_scale(200, 100, kW, kH), 1);    // never below 1
}

TEST(Display, ResizedWindowIsLetterboxedAtAWholeScale) {
  const Viewport v = fit_viewport(1000, 600, kW, kH);
  EXPECT_EQ(v.width, 640);
  EXPECT_EQ(v.height, 510);
  EXPECT_EQ(v.x, 180);
  EXPECT_EQ(v.y, 45);
  const Viewport exact = fit_viewport(960, 765, kW, kH);
  EXPECT_EQ(exact.x, 0);
  EXPECT_EQ(exact.y, 0);
  EXPECT_EQ(exact.width, 960);
}

TEST(Display, TooSmallWindowShrinksKeepingTheAspect) {
  const Viewport v = fit_viewport(160, 255, kW, kH);
  EXPECT_EQ(v.width, 160);
  EXPECT_EQ(v.height, 127);
  EXPECT_EQ(v.y, (255 - 127) / 2);
}

TEST(Display, PointerMapsToPicturePixelsAtAnyScale) {
  const Viewport v = fit_viewport(1000, 600, kW, kH);  // 2x at (180, 45)
  int32_t x = 0, y = 0;
  output_to_picture(v, kW, kH, 180 + 2 * 100 + 1, 45 + 2 * 50 + 1, &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
  // In the border the pointer stays on the picture's edge.
  output_to_picture(v, kW, kH, 5, 599, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, kH - 1);
  output_to_picture(v, kW, kH, 999, 0, &x, &y);
  EXPECT_EQ(x, kW - 1);
  EXPECT_EQ(y, 0);
}

TEST(Display, ConversionPacksRgbIntoWordsAndHonoursThePitch) {
  const uint8_t rgb[2 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  std::vector<uint32_t> out(2 * 3, 0xDEADBEEF);  // rows 3 words apart
  convert_rgb_to_xrgb(rgb, 2, 2, out.data(), 3 * 4);
  EXPECT_EQ(out[0], 0x010203u);
  EXPECT_EQ(out[1], 0x040506u);
  EXPECT_EQ(out[2], 0xDEADBEEFu);  // padding untouched
  EXPECT_EQ(out[3], 0x070809u);
  EXPECT_EQ(out[4], 0x0A0B0Cu);
}

}  // namespace
