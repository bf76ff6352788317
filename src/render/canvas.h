// What drawing needs: the framebuffer it paints and the font it writes with.
#pragma once

#include <cstdint>

#include "layout/picture.h"

struct Canvas {
  uint8_t* pixels;  // kFramebufferBytes: kScreenWidth x kScreenHeight, RGB
  const Image* font;
};
