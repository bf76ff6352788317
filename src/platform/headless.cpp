#include "platform/headless.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Pulls in pieces of this size; the refill behind the source keeps its own
// block size.
constexpr int32_t kPullFrames = 512;

HeadlessPlatform& of(void* context) {
  return *static_cast<HeadlessPlatform*>(context);
}

bool frames_left(void* context) {
  const HeadlessPlatform& platform = of(context);
  return platform.frames_run < platform.frame_limit;
}

void no_input(void*, PlatformInput&) {}

// One frame's worth of time: pulls its audio under the lock.
void advance_frame(HeadlessPlatform& platform) {
  ++platform.frames_run;
  // Whole frames of audio up to this moment; rounding down keeps the total
  // exact however many frames run.
  const int64_t due = platform.frames_run * platform.source.rate / kHeadlessFrameRate;
  int16_t scratch[kPullFrames * 2];
  std::lock_guard<std::recursive_mutex> guard(platform.lock);
  while (platform.audio_frames_pulled < due) {
    const auto n =
        static_cast<int32_t>(std::min<int64_t>(kPullFrames, due - platform.audio_frames_pulled));
    if (platform.source.fill) {
      platform.source.fill(platform.source.context, scratch, n);
      if (platform.feed.heard)
        platform.feed.heard(platform.feed.context, scratch, n, platform.source.rate);
    }
    platform.audio_frames_pulled += n;
  }
  if (!platform.sink.push) return;
  const int64_t captured = platform.frames_run * platform.capture_rate / kHeadlessFrameRate;
  int16_t tone[kPullFrames];
  const double step = 2 * std::numbers::pi * platform.capture_hz / platform.capture_rate;
  while (platform.capture_frames_pushed < captured) {
    const auto n = static_cast<int32_t>(
        std::min<int64_t>(kPullFrames, captured - platform.capture_frames_pushed));
    for (int32_t i = 0; i < n; ++i)
      tone[i] = static_cast<int16_t>(std::lround(
          16384 * std::sin(step * static_cast<double>(platform.capture_frames_pushed + i))));
    platform.sink.push(platform.sink.context, tone, n);
    platform.capture_frames_pushed += n;
  }
}

PlatformTurn wait(void* context) {
  HeadlessPlatform& platform = of(context);
  if (!platform.feed.next_frame(platform.feed.context)) return kTurnEnd;
  advance_frame(platform);
  return kTurnFrame;
}

int64_t clock_us(void* context) {
  return of(context).frames_run * 1000000 / kHeadlessFrameRate;
}

void poll(void* context, PlatformInput& input) {
  const HeadlessFeed& feed = of(context).feed;
  feed.poll(feed.context, input);
}

// The picture stays in the framebuffer, where the caller takes it from.
void present(void*, const uint8_t*, bool) {}

int32_t audio_open(void* context, AudioSource source) {
  of(context).source = source;
  return 1;
}

void audio_close(void* context) {
  of(context).source = AudioSource{nullptr, nullptr};
}

int32_t capture_open(void* context, CaptureSink sink) {
  HeadlessPlatform& platform = of(context);
  if (platform.capture_rate <= 0 || platform.sink.push) return 0;
  platform.sink = sink;
  platform.capture_frames_pushed = platform.frames_run * platform.capture_rate / kHeadlessFrameRate;
  return platform.capture_rate;
}

void capture_close(void* context) {
  of(context).sink = CaptureSink{nullptr, nullptr};
}

void lock(void* context) {
  of(context).lock.lock();
}

void unlock(void* context) {
  of(context).lock.unlock();
}

void set_title(void*, const char*) {}

void set_window(void* context, int32_t scale, bool fullscreen) {
  of(context).window_scale = scale;
  of(context).window_fullscreen = fullscreen ? 1 : 0;
  ++of(context).window_changes;
}

}  // namespace

void headless_init(HeadlessPlatform& platform, int64_t frames) {
  headless_init_fed(platform, HeadlessFeed{frames_left, no_input, &platform, nullptr});
  platform.frame_limit = frames;
}

void headless_init_fed(HeadlessPlatform& platform, HeadlessFeed feed) {
  platform.feed = feed;
  platform.source = AudioSource{nullptr, nullptr};
  platform.frame_limit = 0;
  platform.frames_run = 0;
  platform.audio_frames_pulled = 0;
  platform.capture_rate = 0;
  platform.capture_hz = 0;
  platform.sink = CaptureSink{nullptr, nullptr};
  platform.capture_frames_pushed = 0;
  platform.window_scale = 0;
  platform.window_fullscreen = 0;
  platform.window_changes = 0;
}

PlatformOps headless_ops(HeadlessPlatform& platform) {
  return PlatformOps{&platform,  wait,        clock_us,     poll,          present,
                     audio_open, audio_close, capture_open, capture_close, lock,
                     unlock,     set_title,   set_window};
}
