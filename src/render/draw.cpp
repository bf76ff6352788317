#include "render/draw.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kGlyphSize = 8;
constexpr int32_t kGlyphCells = 72;
constexpr int32_t kFirstGlyphCode = 32;
constexpr int32_t kTextBufferSize = 512;

uint8_t* pixel_at(const Canvas& canvas, int32_t x, int32_t y) {
  return canvas.pixels + (static_cast<size_t>(y) * kScreenWidth + x) * 3;
}

bool on_screen(int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < kScreenWidth && y < kScreenHeight;
}

void write_colour(uint8_t* pixel, uint32_t colour) {
  pixel[0] = static_cast<uint8_t>(colour >> 16);
  pixel[1] = static_cast<uint8_t>(colour >> 8);
  pixel[2] = static_cast<uint8_t>(colour);
}

// The part of an image placed at (x, y) that lies both inside the image's
// own pixel data and inside the framebuffer. An image whose pixel vector is
// shorter than its stated size only contributes the rows it really has.
struct BlitSpan {
  int32_t first_column, end_column, first_row, end_row;
};

BlitSpan blit_span(int32_t x, int32_t y, const Image* image) {
  BlitSpan span{0, 0, 0, 0};
  if (image == nullptr || image->width <= 0 || image->height <= 0) return span;
  const size_t row_bytes = static_cast<size_t>(image->width) * 3;
  const int32_t rows_held =
      static_cast<int32_t>(std::min<size_t>(image->pixels.size() / row_bytes, image->height));
  span.first_column = std::max<int64_t>(0, -static_cast<int64_t>(x));
  span.end_column = static_cast<int32_t>(
      std::clamp<int64_t>(static_cast<int64_t>(kScreenWidth) - x, 0, image->width));
  span.first_row = std::max<int64_t>(0, -static_cast<int64_t>(y));
  span.end_row = static_cast<int32_t>(
      std::clamp<int64_t>(static_cast<int64_t>(kScreenHeight) - y, 0, rows_held));
  return span;
}

template <typename CopyPixel>
void blit_with(const Canvas& canvas, int32_t x, int32_t y, const Image* image, CopyPixel copy) {
  const BlitSpan span = blit_span(x, y, image);
  for (int32_t j = span.first_row; j < span.end_row; ++j) {
    const uint8_t* source =
        image->pixels.data() + (static_cast<size_t>(j) * image->width + span.first_column) * 3;
    uint8_t* target = pixel_at(canvas, x + span.first_column, y + j);
    for (int32_t i = span.first_column; i < span.end_column; ++i, source += 3, target += 3)
      copy(source, target);
  }
}

}  // namespace

void blit_image(const Canvas& canvas, int32_t x, int32_t y, const Image* image) {
  // Row by row: the full-screen backgrounds are copied every frame.
  const BlitSpan span = blit_span(x, y, image);
  const size_t bytes = static_cast<size_t>(std::max(span.end_column - span.first_column, 0)) * 3;
  for (int32_t j = span.first_row; j < span.end_row; ++j)
    std::memcpy(
        pixel_at(canvas, x + span.first_column, y + j),
        image->pixels.data() + (static_cast<size_t>(j) * image->width + span.first_column) * 3,
        bytes);
}

void blit_image_keyed(const Canvas& canvas, int32_t x, int32_t y, const Image* image) {
  blit_with(canvas, x, y, image, [](const uint8_t* source, uint8_t* target) {
    if (source[0] != 0) std::memcpy(target, source, 3);
  });
}

void blit_image_keyed_green(const Canvas& canvas, int32_t x, int32_t y, const Image* image) {
  blit_with(canvas, x, y, image, [](const uint8_t* source, uint8_t* target) {
    if (source[1] != 0) std::memcpy(target, source, 3);
  });
}

void draw_glyph(const Canvas& canvas, int32_t x, int32_t y, uint8_t code, int32_t mode,
                uint32_t colour) {
  // Lower case and everything above it shares the cells 32 codes lower.
  if (code > 96) code = static_cast<uint8_t>(code - 32);
  const uint32_t glyph = static_cast<uint32_t>(code) - kFirstGlyphCode;
  if (glyph >= kGlyphCells) return;
  const bool double_height = mode == kDrawDoubleHeight;
  if (x < 0 || y < 0 || x > kScreenWidth - kGlyphSize) return;
  if (y > kScreenHeight - kGlyphSize * (double_height ? 2 : 1)) return;

  const Image* font = canvas.font;
  if (font == nullptr || font->width < kGlyphSize) return;
  const size_t font_row_bytes = static_cast<size_t>(font->width) * 3;
  const size_t cell_end_row = (glyph + 1) * kGlyphSize;
  if (static_cast<size_t>(font->height) < cell_end_row ||
      font->pixels.size() < cell_end_row * font_row_bytes)
    return;

  for (int32_t r = 0; r < kGlyphSize; ++r) {
    const uint8_t* ink = font->pixels.data() + (glyph * kGlyphSize + r) * font_row_bytes;
    for (int32_t i = 0; i < kGlyphSize; ++i, ink += 3) {
      if (ink[0] == 0) continue;
      if (double_height) {
        write_colour(pixel_at(canvas, x + i, y + 2 * r), colour);
        write_colour(pixel_at(canvas, x + i, y + 2 * r + 1), colour);
      } else {
        write_colour(pixel_at(canvas, x + i, y + r), colour);
      }
    }
  }
}

int32_t draw_text(const Canvas& canvas, int32_t x, int32_t y, int32_t mode, uint32_t colour,
                  const char* format, ...) {
  if (format == nullptr) return 0;
  char text[kTextBufferSize];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  // Past the right edge every further glyph is refused too, so stop there.
  for (const char* c = text; *c != '\0' && x <= kScreenWidth - kGlyphSize; ++c, x += kGlyphSize)
    draw_glyph(canvas, x, y, static_cast<uint8_t>(*c), mode, colour);
  return 0;
}

// Pixel writes outside the framebuffer are dropped rather than trusted.
void put_pixel(const Canvas& canvas, int32_t x, int32_t y, uint32_t colour) {
  if (on_screen(x, y)) write_colour(pixel_at(canvas, x, y), colour);
}

void fill_rect(const Canvas& canvas, const ButtonRect& rect, uint32_t colour) {
  for (int32_t y = rect.y1; y <= rect.y2; ++y)
    for (int32_t x = rect.x1; x <= rect.x2; ++x) put_pixel(canvas, x, y, colour);
}

void invert_pixel(const Canvas& canvas, int32_t x, int32_t y) {
  if (!on_screen(x, y)) return;
  uint8_t* pixel = pixel_at(canvas, x, y);
  pixel[0] = static_cast<uint8_t>(255 - pixel[0]);
  pixel[1] = static_cast<uint8_t>(255 - pixel[1]);
  pixel[2] = 0;
}
