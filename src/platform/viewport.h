// Placing the 320 x 255 picture in a window of any size.
#pragma once

#include <cstdint>

struct Viewport {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

constexpr int32_t kMaxScale = 4;

// The largest whole scale, 1..kMaxScale, at which the picture fits in a
// desktop area of this size.
int32_t default_scale(int32_t desktop_width, int32_t desktop_height, int32_t picture_width,
                      int32_t picture_height);
// The picture's rectangle in an output of this size: centred, the largest
// whole multiple that fits, or shrunk with its aspect kept when even 1x does
// not fit. The rest is black border.
Viewport fit_viewport(int32_t output_width, int32_t output_height, int32_t picture_width,
                      int32_t picture_height);
// An output position to picture pixels, clamped to the picture; false when
// the position lies in the border around it.
bool output_to_picture(const Viewport& view, int32_t picture_width, int32_t picture_height,
                       int32_t x, int32_t y, int32_t* px, int32_t* py);
