// The back-end without window or sound card, for screenshots, scripted
// sessions and tests. Time is simulated: each frame is 1/60 s, and each frame
// pulls the sound that a card would have played in that time, so a run is
// deterministic.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/platform.h"

constexpr int32_t kHeadlessFrameRate = 60;

// What drives a headless run from one frame to the next.
struct HeadlessFeed {
  // Called before each frame: false ends the run there.
  bool (*next_frame)(void* context);
  // Adds the coming frame's input events.
  void (*poll)(void* context, PlatformInput& input);
  void* context;
  // Given each piece of sound pulled, interleaved stereo at `rate` frames a
  // second; null when nobody listens.
  void (*heard)(void* context, const int16_t* frames, int32_t count, int32_t rate);
};

struct HeadlessPlatform {
  HeadlessFeed feed;
  AudioSource source;   // fill is null while the sound is closed
  int64_t frame_limit;  // frames of a run without feed
  int64_t frames_run;
  int64_t audio_frames_pulled;
  std::recursive_mutex lock;  // stands in for the sound card's lock
  // The input a run can record from: a sine of capture_hz at half of full
  // scale, capture_rate frames a second (0: there is no input device).
  int32_t capture_rate;
  double capture_hz;
  CaptureSink sink;  // push is null while the input is closed
  int64_t capture_frames_pushed;
  // What the program last asked of the window it does not have.
  int32_t window_scale;
  int32_t window_fullscreen;
  int32_t window_changes;
};

// A run of `frames` frames without input.
void headless_init(HeadlessPlatform& platform, int64_t frames);
// A run as long as the feed goes on, with its input.
void headless_init_fed(HeadlessPlatform& platform, HeadlessFeed feed);
PlatformOps headless_ops(HeadlessPlatform& platform);
