#include "engine/capture_ring.h"

#include <algorithm>

void capture_ring_reset(CaptureRing& ring) {
  ring.written.store(0, std::memory_order_relaxed);
  ring.read.store(0, std::memory_order_relaxed);
  ring.dropped.store(0, std::memory_order_relaxed);
}

void capture_ring_write(CaptureRing& ring, const int16_t* mono, int32_t count) {
  const uint32_t written = ring.written.load(std::memory_order_relaxed);
  const uint32_t free_frames =
      kCaptureRingFrames - (written - ring.read.load(std::memory_order_acquire));
  const auto n = std::min<uint32_t>(static_cast<uint32_t>(std::max(count, 0)), free_frames);
  for (uint32_t i = 0; i < n; ++i) ring.frames[(written + i) % kCaptureRingFrames] = mono[i];
  ring.written.store(written + n, std::memory_order_release);
  if (n < static_cast<uint32_t>(std::max(count, 0)))
    ring.dropped.fetch_add(static_cast<uint32_t>(count) - n, std::memory_order_relaxed);
}

int32_t capture_ring_read(CaptureRing& ring, int16_t* out, int32_t capacity) {
  const uint32_t read = ring.read.load(std::memory_order_relaxed);
  const uint32_t ready = ring.written.load(std::memory_order_acquire) - read;
  const auto n = std::min<uint32_t>(ready, static_cast<uint32_t>(std::max(capacity, 0)));
  for (uint32_t i = 0; i < n; ++i) out[i] = ring.frames[(read + i) % kCaptureRingFrames];
  ring.read.store(read + n, std::memory_order_release);
  return static_cast<int32_t>(n);
}
