#include "platform/pixels.h"

void convert_rgb_to_xrgb(const uint8_t* rgb, int32_t width, int32_t height, void* destination,
                         int32_t pitch) {
  auto* row = static_cast<uint8_t*>(destination);
  for (int32_t y = 0; y < height; ++y, row += pitch) {
    auto* out = reinterpret_cast<uint32_t*>(row);
    for (int32_t x = 0; x < width; ++x, rgb += 3)
      out[x] = uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2];
  }
}
