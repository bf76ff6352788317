#include "platform/viewport.h"

#include <algorithm>

int32_t default_scale(int32_t desktop_width, int32_t desktop_height, int32_t picture_width,
                      int32_t picture_height) {
  int32_t scale = kMaxScale;
  while (scale > 1 &&
         (picture_width * scale > desktop_width || picture_height * scale > desktop_height))
    --scale;
  return scale;
}

Viewport fit_viewport(int32_t output_width, int32_t output_height, int32_t picture_width,
                      int32_t picture_height) {
  Viewport view{0, 0, picture_width, picture_height};
  const int32_t scale = std::min(output_width / picture_width, output_height / picture_height);
  if (scale >= 1) {
    view.width = picture_width * scale;
    view.height = picture_height * scale;
  } else if (output_width > 0 && output_height > 0) {
    // Smaller than the picture: keep the aspect, whichever side limits.
    if (int64_t{output_width} * picture_height <= int64_t{output_height} * picture_width) {
      view.width = output_width;
      view.height = std::max<int32_t>(
          1, static_cast<int32_t>(int64_t{output_width} * picture_height / picture_width));
    } else {
      view.height = output_height;
      view.width = std::max<int32_t>(
          1, static_cast<int32_t>(int64_t{output_height} * picture_width / picture_height));
    }
  }
  view.x = (output_width - view.width) / 2;
  view.y = (output_height - view.height) / 2;
  return view;
}

bool output_to_picture(const Viewport& view, int32_t picture_width, int32_t picture_height,
                       int32_t x, int32_t y, int32_t* px, int32_t* py) {
  bool inside = true;
  const auto map = [&inside](int32_t v, int32_t origin, int32_t size, int32_t picture) {
    if (size <= 0) {
      inside = false;
      return 0;
    }
    const int64_t offset = int64_t{v} - origin;
    if (offset < 0 || offset >= size) inside = false;
    const int64_t p = offset * picture / size;
    return static_cast<int32_t>(std::clamp<int64_t>(p, 0, picture - 1));
  };
  *px = map(x, view.x, view.width, picture_width);
  *py = map(y, view.y, view.height, picture_height);
  return inside;
}
