// The input ring: frames come out in the order they went in, across the
// wrap; what finds the ring full is dropped and counted, not written over.
#include "engine/capture_ring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

TEST(CaptureRing, KeepsOrderAcrossTheWrapAndDropsWhatDoesNotFit) {
  struct Case {
    int32_t first_write;  // frames written, then half of them read
    int32_t second_write;
    uint32_t dropped;
    int32_t read;  // frames read back in all
  };
  constexpr auto kFull = static_cast<int32_t>(kCaptureRingFrames);
  const Case cases[] = {
      {1000, 2000, 0, 3000},
      {kFull, kFull / 2, 0, kFull + kFull / 2},      // fills the ring again exactly, wrapping
      {kFull, kFull / 2 + 7, 7, kFull + kFull / 2},  // 7 too many
      {kFull + 100, 0, 100, kFull},                  // too many at once
  };
  for (const Case& c : cases) {
    auto ring = std::make_unique<CaptureRing>();
    capture_ring_reset(*ring);
    std::vector<int16_t> frames(static_cast<size_t>(c.first_write + c.second_write));
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int16_t>(i * 7);
    capture_ring_write(*ring, frames.data(), c.first_write);
    std::vector<int16_t> out(frames.size());
    int32_t read = capture_ring_read(*ring, out.data(), c.first_write / 2);
    // What was dropped in the first write is not in the ring.
    const int32_t kept_first = std::min(c.first_write, kFull);
    capture_ring_write(*ring, frames.data() + kept_first, c.second_write);
    read += capture_ring_read(*ring, out.data() + read, static_cast<int32_t>(out.size()));
    EXPECT_EQ(ring->dropped.load(), c.dropped) << c.first_write << "+" << c.second_write;
    ASSERT_EQ(read, c.read) << c.first_write << "+" << c.second_write;
    for (int32_t i = 0; i < read; ++i)
      ASSERT_EQ(out[i], frames[i]) << c.first_write << "+" << c.second_write << " at " << i;
    EXPECT_EQ(capture_ring_read(*ring, out.data(), 10), 0);
  }
}

}  // namespace
