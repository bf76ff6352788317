// The preview voice: a sample outside any module, at full volume, weighted
// by its pan and the mix's separation, added to what the outputs hold.
#include "engine/preview_voice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kFrames = 12;

struct VoiceCase {
  const char* what;
  int32_t pan;
  int32_t separation;
  int32_t step;
  int32_t loop_start;  // bytes; loop_length 0: no loop
  int32_t loop_length;
  int16_t before;  // what both outputs held
  int16_t first[kFrames];
  int16_t second[kFrames];
  bool ended;
};

// Bytes 10, 20 .. 80. A full-volume byte on a hard pan: byte x 64 x 255
// >> 7, i.e. byte x 127.5 rounded down; at separation 0 each side gets
// half of the weight: byte x 63.75 rounded down.
const VoiceCase kVoiceCases[] = {
    {"right, once",
     255,
     100,
     kFixOne,
     0,
     0,
     0,
     {1275, 2550, 3825, 5100, 6375, 7650, 8925, 10200, 0, 0, 0, 0},
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     true},
    {"left, once",
     0,
     100,
     kFixOne,
     0,
     0,
     0,
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     {1275, 2550, 3825, 5100, 6375, 7650, 8925, 10200, 0, 0, 0, 0},
     true},
    {"no separation",
     255,
     0,
     kFixOne,
     0,
     0,
     0,
     {637, 1275, 1912, 2550, 3187, 3825, 4462, 5100, 0, 0, 0, 0},
     {637, 1275, 1912, 2550, 3187, 3825, 4462, 5100, 0, 0, 0, 0},
     true},
    {"half speed",
     255,
     100,
     kFixOne / 2,
     0,
     0,
     0,
     {1275, 1275, 2550, 2550, 3825, 3825, 5100, 5100, 6375, 6375, 7650, 7650},
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     false},
    {"loop of the last four",
     255,
     100,
     kFixOne,
     4,
     4,
     0,
     {1275, 2550, 3825, 5100, 6375, 7650, 8925, 10200, 6375, 7650, 8925, 10200},
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     false},
    {"added and saturated",
     255,
     100,
     kFixOne,
     0,
     0,
     30000,
     {31275, 32550, 32767, 32767, 32767, 32767, 32767, 32767, 30000, 30000, 30000, 30000},
     {30000, 30000, 30000, 30000, 30000, 30000, 30000, 30000, 30000, 30000, 30000, 30000},
     true},
};

TEST(PreviewVoice, PlaysItsSampleOnItsSideOnceOrLooping) {
  const int8_t bytes[8] = {10, 20, 30, 40, 50, 60, 70, 80};
  for (const VoiceCase& c : kVoiceCases) {
    PreviewVoice voice{};
    voice.sample.data = static_cast<int8_t*>(std::malloc(sizeof bytes));
    std::memcpy(voice.sample.data, bytes, sizeof bytes);
    voice.sample.length = 8 * kFixOne;
    voice.sample.loop_start = c.loop_start * kFixOne;
    voice.sample.loop_length = c.loop_length ? c.loop_length * kFixOne : 2 * kFixOne;
    voice.sample.loop_end = voice.sample.loop_start + voice.sample.loop_length;
    voice.step = c.step;
    voice.pan = c.pan;
    int16_t first[kFrames], second[kFrames];
    for (int32_t i = 0; i < kFrames; ++i) first[i] = second[i] = c.before;
    add_preview(voice, c.separation, first, second, kFrames);
    for (int32_t i = 0; i < kFrames; ++i) {
      EXPECT_EQ(first[i], c.first[i]) << c.what << ", frame " << i;
      EXPECT_EQ(second[i], c.second[i]) << c.what << ", frame " << i;
    }
    EXPECT_EQ(voice.position < 0, c.ended) << c.what;
    // Once ended, or silenced from outside, it adds nothing more.
    voice.position = -1;
    add_preview(voice, c.separation, first, second, 1);
    EXPECT_EQ(first[0], c.first[0]) << c.what;
    std::free(voice.sample.data);
  }
}

}  // namespace
