// Painting primitives: every view draws with these into the framebuffer.
#pragma once

#include <cstdint>

#include "render/canvas.h"

constexpr int32_t kDrawDoubleHeight = 1;

// Opaque copy of the image with its top-left pixel at (x, y); the parts
// that fall outside the framebuffer are not drawn.
void blit_image(const Canvas& canvas, int32_t x, int32_t y, const Image* image);
// As blit_image, but source pixels whose red byte is 0 are transparent.
void blit_image_keyed(const Canvas& canvas, int32_t x, int32_t y, const Image* image);
// The same keyed on the green byte (the sample editor's loop markers).
void blit_image_keyed_green(const Canvas& canvas, int32_t x, int32_t y, const Image* image);
// One font character; drawn whole inside the framebuffer or not at all.
void draw_glyph(const Canvas& canvas, int32_t x, int32_t y, uint8_t code, int32_t mode,
                uint32_t colour);
// printf-formatted text, 8 pixels per character. Returns 0.
int32_t draw_text(const Canvas& canvas, int32_t x, int32_t y, int32_t mode, uint32_t colour,
                  const char* format, ...);
void put_pixel(const Canvas& canvas, int32_t x, int32_t y, uint32_t colour);
// Fills the rectangle, inclusive on all sides, clipped to the framebuffer.
void fill_rect(const Canvas& canvas, const ButtonRect& rect, uint32_t colour);
void invert_pixel(const Canvas& canvas, int32_t x, int32_t y);
