// The framebuffer's packed RGB into the 32-bit pixels display textures use.
#pragma once

#include <cstdint>

// Writes width x height pixels as 0x00RRGGBB words; destination rows are
// `pitch` bytes apart.
void convert_rgb_to_xrgb(const uint8_t* rgb, int32_t width, int32_t height, void* destination,
                         int32_t pitch);
