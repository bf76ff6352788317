// The back-end without window or sound card, for screenshots and tests. Time
// is simulated: each frame is 1/60 s, and each frame pulls the sound that a
// card would have played in that time, so a run is deterministic.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/platform.h"

constexpr int32_t kHeadlessFrameRate = 60;

struct HeadlessPlatform {
  AudioSource source;
  int64_t frames_run;
  int64_t audio_frames_pulled;
  std::recursive_mutex lock;  // stands in for the sound card's lock
};

void headless_init(HeadlessPlatform& platform, AudioSource source);
// Lock hooks in the shape the audio lock takes; context = the platform.
void headless_lock(void* platform);
void headless_unlock(void* platform);
// Ends one frame's worth of time: pulls its audio under the lock.
void headless_advance_frame(HeadlessPlatform& platform);
// Simulated microseconds since start.
int64_t headless_clock_us(const HeadlessPlatform& platform);
