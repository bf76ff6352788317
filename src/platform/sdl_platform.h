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

// Starts the 44100 Hz 16-bit stereo stream pulling from `source`, whose
// buffers must exist already. 0 when there is no device; the program then
// runs silent. Opening while open does nothing and returns 0.
int32_t sdl_audio_open(SdlPlatform* platform, AudioSource source);
// Stops the stream; on return no fill is running or will run.
void sdl_audio_close(SdlPlatform* platform);
int32_t sdl_audio_is_open(const SdlPlatform* platform);
// The audio lock, in the shape the lock hooks take; context = the platform.
void sdl_audio_lock(void* platform);
void sdl_audio_unlock(void* platform);

// Drains the window's events into `input`; reads the pointer position.
void sdl_poll_events(SdlPlatform* platform, PlatformInput& input);
void sdl_read_pointer(SdlPlatform* platform, PlatformInput& input);
// Text input only while a text field is edited, so that input methods do
// not take the keys otherwise.
void sdl_set_text_input(SdlPlatform* platform, bool on);
// Shows the packed-RGB framebuffer.
void sdl_present(SdlPlatform* platform, const uint8_t* framebuffer);

uint64_t sdl_clock_us();
void sdl_sleep_us(uint32_t microseconds);
