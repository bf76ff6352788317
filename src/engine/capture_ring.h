// The one buffer between the thread that records sound and the main loop:
// a single producer writes, a single consumer reads, neither waits nor
// allocates. What does not fit is dropped and counted.
#pragma once

#include <atomic>
#include <cstdint>

constexpr uint32_t kCaptureRingFrames = 1u << 16;  // about 1.5 s at 44.1 kHz

struct CaptureRing {
  int16_t frames[kCaptureRingFrames];
  std::atomic<uint32_t> written;  // frames ever written (wraps)
  std::atomic<uint32_t> read;     // frames ever read (wraps)
  std::atomic<uint32_t> dropped;  // frames that found the ring full
};

// Empties the ring; only while no producer runs.
void capture_ring_reset(CaptureRing& ring);
// The producer's side: as many of `count` frames as fit.
void capture_ring_write(CaptureRing& ring, const int16_t* mono, int32_t count);
// The consumer's side: up to `capacity` frames into `out`; how many.
int32_t capture_ring_read(CaptureRing& ring, int16_t* out, int32_t capacity);
