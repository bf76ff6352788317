// A decoded GUI image: packed RGB rows, top row first.
#pragma once

#include <cstdint>
#include <vector>

struct Image {
  int32_t bytes_per_pixel;  // always 3
  int32_t width;
  int32_t height;
  std::vector<uint8_t> pixels;  // width * 3 bytes per row, no gaps
};
