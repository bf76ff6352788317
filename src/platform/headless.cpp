#include "platform/headless.h"

#include <algorithm>

namespace {

// Pulls in pieces of this size; the refill behind the source keeps its own
// block size.
constexpr int32_t kPullFrames = 512;

}  // namespace

void headless_init(HeadlessPlatform& platform, AudioSource source) {
  platform.source = source;
  platform.frames_run = 0;
  platform.audio_frames_pulled = 0;
}

void headless_lock(void* platform) {
  static_cast<HeadlessPlatform*>(platform)->lock.lock();
}

void headless_unlock(void* platform) {
  static_cast<HeadlessPlatform*>(platform)->lock.unlock();
}

void headless_advance_frame(HeadlessPlatform& platform) {
  ++platform.frames_run;
  // Whole frames of audio up to this moment; rounding down keeps the total
  // exact however many frames run.
  const int64_t due = platform.frames_run * kAudioRate / kHeadlessFrameRate;
  int16_t scratch[kPullFrames * 2];
  std::lock_guard<std::recursive_mutex> guard(platform.lock);
  while (platform.audio_frames_pulled < due) {
    const auto n =
        static_cast<int32_t>(std::min<int64_t>(kPullFrames, due - platform.audio_frames_pulled));
    if (platform.source.fill) platform.source.fill(platform.source.context, scratch, n);
    platform.audio_frames_pulled += n;
  }
}

int64_t headless_clock_us(const HeadlessPlatform& platform) {
  return platform.frames_run * 1000000 / kHeadlessFrameRate;
}
