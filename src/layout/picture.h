// The picture every screen paints: its size, the decoded images it is
// painted from, and the rectangles buttons answer in. Plain data only, so
// the image generator draws from the same numbers the screens hit-test.
#pragma once

#include <cstdint>
#include <vector>

constexpr int32_t kScreenWidth = 320;
constexpr int32_t kScreenHeight = 255;
constexpr int32_t kFramebufferBytes = kScreenWidth * kScreenHeight * 3;

// A decoded GUI image: packed RGB rows, top row first.
struct Image {
  int32_t bytes_per_pixel;  // always 3
  int32_t width;
  int32_t height;
  std::vector<uint8_t> pixels;  // width * 3 bytes per row, no gaps
};

// Inclusive on all four sides.
struct ButtonRect {
  int32_t x1, y1, x2, y2;
};

constexpr bool rect_contains(const ButtonRect& rect, int32_t x, int32_t y) {
  return rect.x1 <= x && x <= rect.x2 && rect.y1 <= y && y <= rect.y2;
}

// One entry of a screen's button table: where it answers, what it does and
// the caption its face shows (null for fields and areas without a face).
template <typename Action>
struct Button {
  ButtonRect rect;
  Action action;
  const char* caption;
};

// Font cells after the letters hold symbols for captions.
inline constexpr const char* kCaptionUp = "a";
inline constexpr const char* kCaptionDown = "b";
inline constexpr const char* kCaptionLeft = "c";
inline constexpr const char* kCaptionRight = "d";
inline constexpr const char* kCaptionTop = "e";
inline constexpr const char* kCaptionBottom = "f";

// Panels drawn over the main screen.
constexpr int32_t kSamplePanelTop = 121;  // the sample editor covers the screen from here down
constexpr int32_t kRequesterX = 160;      // top-left corner of every requester
constexpr int32_t kRequesterY = 51;
