// The default audio input through SDL, for sampling. Usable without a
// window: it starts SDL's audio alone.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct SdlCapture {
  uint32_t device;  // 0 = closed
  int32_t channels;
  CaptureSink sink;
};

// Opens the default input device (16-bit, its own rate and channels mixed
// to one): the rate in Hz, or 0 (nothing open) when there is no input.
int32_t sdl_capture_open(SdlCapture& capture, CaptureSink sink);
// On return no push runs any more.
void sdl_capture_close(SdlCapture& capture);
