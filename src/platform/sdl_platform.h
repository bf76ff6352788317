// The desktop back-end on SDL2: a window scaled by a whole factor, the sound
// card, the keyboard and mouse. Only sdl_platform.cpp sees SDL itself.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct SdlPlatform;

struct WindowOptions {
  int32_t scale;  // 1..4; 0 = the largest that fits the desktop
  bool fullscreen;
};

// The key that switches between window and full screen.
constexpr int32_t kFullscreenScancode = 68;  // F11

// Opens the window; null (after printing why on stderr) when it cannot.
SdlPlatform* sdl_platform_create(const WindowOptions& options);
// Closes the sound stream (if open) and the window.
void sdl_platform_destroy(SdlPlatform* platform);

// The table the main loop drives: it polls every 5 ms and asks for a frame
// when more than a 60th of a second has passed since the last. The sound is
// the 44100 Hz 16-bit stereo stream.
PlatformOps sdl_platform_ops(SdlPlatform* platform);
