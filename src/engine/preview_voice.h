// A sample heard on its own, outside the module and the replayer: the file
// browser plays a file with it before anything is loaded.
#pragma once

#include <cstdint>

#include "engine/player.h"

struct PreviewVoice {
  Sample sample;     // its own data, in no module; no data: silent
  int32_t position;  // 18.14; negative = silent
  int32_t step;
  int32_t pan;  // 0..255, the weight of the first output, as a channel's
};

// Adds `frames` frames of the voice at full volume to the two outputs
// (first and second, as the mixer's), weighted by its pan and drawn towards
// the centre by `separation` (0..100 %) as the song's channels are,
// saturated to 16 bits. The voice moves on; a sample without a loop falls
// silent at its end, a loop repeats.
void add_preview(PreviewVoice& voice, int32_t separation, int16_t* first, int16_t* second,
                 int32_t frames);
