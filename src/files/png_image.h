// Reading the GUI images and writing screenshots, with libpng.
#pragma once

#include <cstdint>

#include "layout/picture.h"

// Decodes an 8-bit RGB PNG without alpha or palette. Anything else, an
// unreadable or damaged file, prints a "[read_png_file] ..." message (no line
// end) to standard output and returns nullptr.
Image* read_png_file(const char* path);
// Frees the image; nullptr is ignored.
void image_free(Image* image);
// Writes width x height packed RGB pixels as an 8-bit RGB PNG. 1 ok, 0 failure.
int32_t write_png_rgb(const char* path, const uint8_t* rgb, int32_t width, int32_t height);
