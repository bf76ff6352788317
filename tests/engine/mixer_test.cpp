#include "engine/mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <utility>

#include "engine/replayer.h"
#include "module_builder.h"

using namespace test_module;

namespace {

constexpr int32_t kByte = kFixOne;  // a step of one byte per frame

// Buffer 1 value of a channel with pan 255 playing byte v at volume vol.
int16_t right_of(int v, int vol) {
  return static_cast<int16_t>((v * vol * 255) >> 7);
}

class Mixer : public ::testing::Test {
 protected:
  void SetUp() override { p = player_create(44100); }
  void TearDown() override { player_destroy(p); }
  Player* p = nullptr;
};

// Byte i of the sample holds i + 1, so the heard value names the byte read.
struct LoopCase {
  const char* what;
  int32_t bytes, loop_start, loop_length, start, step;
  const char* heard;  // byte read per frame on channel 1, "-" for silence
};

const LoopCase kLoops[] = {
    {"a one-shot stops at its length without playing that frame", 4, 0, 2, 0, 1, "0 1 2 3 - -"},
    {"a loop wraps by one length and the wrap frame plays", 8, 4, 4, 0, 3, "0 3 6 5 4 7 6 5"},
    {"past the loop inside the data: one length back per frame", 20, 4, 4, 14, 1,
     "10 7 4 5 6 7 4 5"},
    {"a wrap landing beyond the data takes the remainder", 20, 4, 4, 40, 1, "4 5 6 7 4"},
    {"a wrap landing on the data's end takes the remainder", 20, 4, 4, 24, 1, "4 5 6 7"},
    {"a step longer than the loop stays inside it", 64, 60, 4, 0, 37, "0 37 62 63 60 61 62 63"},
    {"a step of twice the loop lands on the loop start", 64, 60, 4, 60, 8, "60 60 60"},
    {"a loop reaching beyond the data stops at the data's end", 16, 8, 32, 12, 1,
     "12 13 14 15 - -"},
};

TEST_F(Mixer, LoopsAndEndsReadOnlyInsideTheData) {
  for (const LoopCase& c : kLoops) {
    SCOPED_TRACE(c.what);
    make_sample(p, 1, c.bytes, c.loop_start, c.loop_length, 64, [](int32_t i) { return i + 1; });
    start_voice(p, 1, 1, c.start, c.step * kByte, 64);
    std::istringstream heard(c.heard);
    std::vector<int16_t> expected;
    for (std::string b; heard >> b;)
      expected.push_back(b == "-" ? 0 : right_of(std::stoi(b) + 1, 64));
    EXPECT_EQ(render_stereo(p, static_cast<int32_t>(expected.size())).right, expected);
    EXPECT_EQ(p->channels[1].position < 0, expected.back() == 0);
  }
}

TEST_F(Mixer, PendingSampleTakesOverAtTheWrapPosition) {
  make_sample(p, 1, 8, 4, 4, 64, [](int32_t) { return 1; });
  make_sample(p, 2, 16, 0, 16, 64, [](int32_t i) { return 50 + i; });
  start_voice(p, 1, 1, 0, kByte, 64);
  p->channels[1].pending_sample = 2;
  const Stereo out = render_stereo(p, 11);
  EXPECT_EQ(out.right[8], right_of(1, 64));
  EXPECT_EQ(out.right[9], right_of(55, 64));
  EXPECT_EQ(out.right[10], right_of(56, 64));
}

// Two first-order sections per output with their cutoff at 4000 Hz: unity
// gain at DC, |H| = 0.0790 at a quarter of the rate and 0.3334 at an eighth
// (H(z) = g (1 + 1/z) / (1 - c/z)). Channel 1 is heard on the right only,
// channel 0 on the left only.
TEST_F(Mixer, FilterPassesDcAndDampsHighTonesOnBothOutputs) {
  const int quarter[4] = {100, 0, -100, 0}, eighth[8] = {0, 71, 100, 71, 0, -71, -100, -71};
  make_sample(p, 1, 64, 0, 64, 64, [&](int32_t i) { return quarter[i % 4]; });
  make_sample(p, 2, 64, 0, 64, 64, [&](int32_t i) { return eighth[i % 8]; });
  make_sample(p, 3, 64, 0, 64, 64, [](int32_t) { return 77; });
  // Root mean square of each output once the filter has settled.
  auto rms = [&](int right_sample, int left_sample, bool filter) {
    start_voice(p, 1, right_sample, 0, kByte, 63);
    start_voice(p, 0, left_sample, 0, kByte, 63);
    p->filter_enabled = filter;
    const Stereo out = render_stereo(p, 3000);
    double right = 0, left = 0;
    for (int i = 2000; i < 3000; ++i) {
      right += static_cast<double>(out.right[i]) * out.right[i] / 1000;
      left += static_cast<double>(out.left[i]) * out.left[i] / 1000;
    }
    return std::make_pair(std::sqrt(right), std::sqrt(left));
  };
  const auto plain = rms(1, 2, false), filtered = rms(1, 2, true), dc = rms(3, 3, true);
  EXPECT_NEAR(filtered.first / plain.first, 0.0790, 0.003);
  EXPECT_NEAR(filtered.second / plain.second, 0.3334, 0.005);
  EXPECT_NEAR(dc.first, right_of(77, 63), 1);
  EXPECT_NEAR(dc.second, right_of(77, 63), 1);
  // Switching the filter off leaves its memory as it is.
  const std::vector<float> memory(p->filter_memory, p->filter_memory + 8);
  p->filter_enabled = 0;
  render_stereo(p, 10);
  EXPECT_EQ(std::vector<float>(p->filter_memory, p->filter_memory + 8), memory);
  EXPECT_NE(memory[7], 0.0f);
}

// Channel 1 (pan 255) plays a = -37, channel 0 (pan 0) b = 90, both at
// volume 64, master volume 200; frames 4 bytes apart leave the gaps alone.
// The one-buffer formats mix without pan.
TEST_F(Mixer, EightFormatsScaleByTheirShiftsAndWrapRatherThanClip) {
  const int64_t m = 200, first = (-37 * 64 * 255) >> 7, second = (90 * 64 * 255) >> 7;
  const int64_t sum = (-37 + 90) * 64;
  const int64_t expected[8][2] = {
      {(((sum + sum) >> 1) * m) >> 16, 0}, {(first * m) >> 16, (second * m) >> 16},
      {((sum + sum) * m) >> 9, 0},         {(first * m) >> 8, (second * m) >> 8},
      {((4 * sum) * m) >> 18, 0},          {(2 * first * m) >> 17, (2 * second * m) >> 17},
      {((4 * sum) * m) >> 10, 0},          {(2 * first * m) >> 9, (2 * second * m) >> 9},
  };
  make_sample(p, 1, 64, 0, 64, 64, [](int32_t) { return -37; });
  make_sample(p, 2, 64, 0, 64, 64, [](int32_t) { return 90; });
  p->master_volume = static_cast<int32_t>(m);
  int64_t got[8][2] = {};
  for (int format = 0; format < 8; ++format) {
    start_voice(p, 1, 1, 0, kByte, 64);
    start_voice(p, 0, 2, 0, kByte, 64);
    const bool two = format & 1, wide = format & 2;
    const int over = format & 4 ? 2 : 1;
    uint8_t buf[2][16 * 4];
    std::memset(buf, 0x5A, sizeof buf);
    render_audio(p, buf[0], buf[1], 4, 16, over, wide ? 16 : 8, two ? 2 : 1);
    for (int i = 0; i < 16; ++i)
      for (int out = 0; out < (two ? 2 : 1); ++out) {
        int16_t wide_value;
        std::memcpy(&wide_value, buf[out] + 4 * i, 2);
        const int64_t v = wide ? wide_value : static_cast<int8_t>(buf[out][4 * i]);
        ASSERT_EQ(v, expected[format][out]) << "format " << format << " frame " << i;
        got[format][out] = v;
        ASSERT_EQ(buf[out][4 * i + (wide ? 2 : 1)], 0x5A) << "format " << format;
      }
    EXPECT_EQ(buf[1][0] == 0x5A, !two) << "one-buffer formats leave buffer 2 alone";
    // Oversampling reads two sample frames per output frame.
    EXPECT_EQ(p->channels[1].position, 16 * over * kByte);
  }
  // Beside the shifts: an 8-bit format is the top byte of its 16-bit twin,
  // and oversampling a steady tone keeps its level.
  for (int format = 0; format < 8; ++format)
    for (int out = 0; out < 2; ++out) {
      EXPECT_EQ(got[format & ~2][out], got[format | 2][out] >> 8) << format;
      EXPECT_EQ(got[format & ~4][out], got[format | 4][out]) << format;
    }
  // Too loud: (-4718 * 2048) >> 8 = -37744 wraps to 27792 rather than clipping.
  start_voice(p, 1, 1, 0, kByte, 64);
  p->master_volume = 2048;
  EXPECT_EQ(render_stereo(p, 1).right[0], 27792);
}

TEST_F(Mixer, MissingDataOrBadFieldsSilenceTheChannel) {
  make_sample(p, 1, 16, 0, 16, 64, [](int32_t) { return 9; });
  make_sample(p, 2, 16, 0, 16, 64, [](int32_t) { return 9; });
  std::free(p->samples[2].data);
  p->samples[2].data = nullptr;
  start_voice(p, 0, 2, 0, kByte, 64);       // no data
  start_voice(p, 1, 77, 0, kByte, 64);      // no such sample number
  start_voice(p, 2, 1, 0, -5 * kByte, 64);  // a step backwards
  start_voice(p, 3, 1, 0, kByte, 64);
  p->channels[3].pending_sample = 99;
  render_stereo(p, 64);
  for (int c = 0; c < kChannels; ++c) EXPECT_EQ(p->channels[c].position, -1) << c;
}

}  // namespace
