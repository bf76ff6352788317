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

// The largest whole scale from 1 to 4 that fits the desktop; windows are
// letterboxed at a whole scale, or shrunk keeping the aspect when smaller.
TEST(Display, ScaleAndViewportFitTheWindow) {
  const int32_t scales[][3] = {{1920, 1040, 4}, {1366, 740, 2}, {1366, 768, 3}, {3840, 2160, 4},
                               {200, 100, 1},   {959, 765, 2},  {960, 765, 3}};
  for (const auto& s : scales) EXPECT_EQ(default_scale(s[0], s[1], kW, kH), s[2]) << s[0];
  const int32_t views[][6] = {// window, then x, y, width, height
                              {1000, 600, 180, 45, 640, 510},
                              {960, 765, 0, 0, 960, 765},
                              {160, 255, 0, 64, 160, 127},
                              {320, 100, 97, 0, 125, 100},
                              {319, 254, 0, 0, 318, 254}};
  for (const auto& v : views) {
    const Viewport got = fit_viewport(v[0], v[1], kW, kH);
    EXPECT_EQ((std::vector<int32_t>{got.x, got.y, got.width, got.height}),
              (std::vector<int32_t>{v[2], v[3], v[4], v[5]}))
        << v[0] << "x" << v[1];
  }
}

// In the border the pointer stays on the picture's edge.
TEST(Display, PointerMapsToPicturePixelsAtAnyScale) {
  const Viewport v = fit_viewport(1000, 600, kW, kH);  // 2x at (180, 45)
  const int32_t cases[][4] = {{180 + 2 * 100 + 1, 45 + 2 * 50 + 1, 100, 50},
                              {179, 45, 0, 0},
                              {5, 599, 0, kH - 1},
                              {999, 0, kW - 1, 0},
                              {180 + 639, 45 + 509, kW - 1, kH - 1}};
  for (const auto& c : cases) {
    int32_t x = -1, y = -1;
    output_to_picture(v, kW, kH, c[0], c[1], &x, &y);
    EXPECT_EQ(x, c[2]) << c[0] << "," << c[1];
    EXPECT_EQ(y, c[3]) << c[0] << "," << c[1];
  }
}

TEST(Display, ConversionPacksRgbIntoWordsAndHonoursThePitch) {
  const uint8_t rgb[2 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  std::vector<uint32_t> out(2 * 3, 0xDEADBEEF);  // rows 3 words apart
  convert_rgb_to_xrgb(rgb, 2, 2, out.data(), 3 * 4);
  EXPECT_EQ(
      out, (std::vector<uint32_t>{0x010203, 0x040506, 0xDEADBEEF, 0x070809, 0x0A0B0C, 0xDEADBEEF}));
}

}  // namespace
