#include "engine/mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

TEST_F(Mixer, NonLoopingSampleStopsAtItsLength) {
  make_sample(p, 1, 4, 0, 2, 64, [](int32_t i) { return i + 1; });
  start_voice(p, 1, 1, 0, kByte, 64);
  const Stereo out = render_stereo(p, 6);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(out.right[i], right_of(i + 1, 64)) << i;
  // The frame at position == length is not played.
  EXPECT_EQ(out.right[4], 0);
  EXPECT_EQ(out.right[5], 0);
  EXPECT_EQ(p->channels[1].position, -1);
}

TEST_F(Mixer, LoopWrapsOnceAndPlaysTheWrappedFrame) {
  make_sample(p, 1, 8, 4, 4, 64, [](int32_t i) { return i + 1; });
  start_voice(p, 1, 1, 0, 3 * kByte, 64);
  const Stereo out = render_stereo(p, 8);
  // 0, 3, 6, then 9 wraps to 5, 8 to 4, 7, 10 to 6, 9 to 5.
  const int bytes[] = {0, 3, 6, 5, 4, 7, 6, 5};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out.right[i], right_of(bytes[i] + 1, 64)) << i;
}

TEST_F(Mixer, PendingSampleTakesOverAtTheWrapPosition) {
  make_sample(p, 1, 8, 4, 4, 64, [](int32_t) { return 1; });
  make_sample(p, 2, 16, 0, 16, 64, [](int32_t i) { return 50 + i; });
  start_voice(p, 1, 1, 0, kByte, 64);
  p->channels[1].pending_sample = 2;
  const Stereo out = render_stereo(p, 11);
  for (int i = 0; i <= 8; ++i) EXPECT_EQ(out.right[i], right_of(1, 64)) << i;
  EXPECT_EQ(p->channels[1].sample, 2);
  EXPECT_EQ(out.right[9], right_of(55, 64));
  EXPECT_EQ(out.right[10], right_of(56, 64));

  // A sample that does not loop never wraps, so it never switches.
  make_sample(p, 3, 4, 0, 2, 64, [](int32_t) { return 1; });
  start_voice(p, 2, 3, 0, kByte, 64);
  p->channels[2].pending_sample = 2;
  render_stereo(p, 8);
  EXPECT_EQ(p->channels[2].sample, 3);
  EXPECT_EQ(p->channels[2].position, -1);
}

TEST_F(Mixer, DefaultPansSendChannelsToOneSideEachAndMutedOnesNowhere) {
  make_sample(p, 1, 64, 0, 64, 64, [](int32_t) { return 20; });
  for (int c = 0; c < kChannels; ++c) start_voice(p, c, 1, 0, kByte, 10 + c);
  p->channels[2].enabled = 0;
  const Stereo out = render_stereo(p, 16);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(out.right[i], right_of(20, 11));
    EXPECT_EQ(out.left[i], right_of(20, 10) + right_of(20, 13) + 1);
  }
  EXPECT_EQ(p->channels[2].position, 0) << "a muted channel does not advance";
}

// Two first-order sections per output with their cutoff at 4000 Hz: unity
// gain at DC, |H|^2 = 0.0790 at a quarter of the rate and 0.3334 at an
// eighth (H(z) = g (1 + 1/z) / (1 - c/z)).
TEST_F(Mixer, FilterPassesDcAndDampsHighTonesOnBothOutputs) {
  const int quarter[4] = {100, 0, -100, 0};
  const int eighth[8] = {0, 71, 100, 71, 0, -71, -100, -71};
  make_sample(p, 1, 64, 0, 64, 64, [&](int32_t i) { return quarter[i % 4]; });
  make_sample(p, 2, 64, 0, 64, 64, [&](int32_t i) { return eighth[i % 8]; });
  make_sample(p, 3, 64, 0, 64, 64, [](int32_t) { return 77; });
  // Mean square of each output once the filter has settled.
  auto power = [&](int right_sample, int left_sample, bool filter) {
    start_voice(p, 1, right_sample, 0, kByte, 63);
    start_voice(p, 0, left_sample, 0, kByte, 63);
    p->filter_enabled = filter;
    const Stereo out = render_stereo(p, 3000);
    std::pair<double, double> sum{0, 0};
    for (int i = 2000; i < 3000; ++i) {
      sum.first += static_cast<double>(out.right[i]) * out.right[i] / 1000;
      sum.second += static_cast<double>(out.left[i]) * out.left[i] / 1000;
    }
    return sum;
  };
  const auto plain = power(1, 2, false);
  const auto filtered = power(1, 2, true);
  EXPECT_NEAR(std::sqrt(filtered.first / plain.first), 0.0790, 0.003);
  EXPECT_NEAR(std::sqrt(filtered.second / plain.second), 0.3334, 0.005);
  const auto dc = power(3, 3, true);
  EXPECT_NEAR(std::sqrt(dc.first), right_of(77, 63), 1);
  EXPECT_NEAR(std::sqrt(dc.second), right_of(77, 63), 1);
  // Switching the filter off leaves its memory as it is.
  float memory[8];
  std::memcpy(memory, p->filter_memory, sizeof memory);
  EXPECT_NE(memory[7], 0.0f);
  p->filter_enabled = 0;
  render_stereo(p, 10);
  EXPECT_EQ(std::memcmp(memory, p->filter_memory, sizeof memory), 0);
}

// Channel 1 (pan 255) plays a = -37, channel 0 (pan 0) b = 90, both at
// volume 64, master volume 200; frames 4 bytes apart leave the gaps alone.
TEST_F(Mixer, EightFormatsScaleAsSpecified) {
  const int64_t m = 200, first = (-37 * 64 * 255) >> 7, second = (90 * 64 * 255) >> 7;
  const int64_t sum = (-37 + 90) * 64;
  const int64_t expected[8][2] = {
      {(((sum + sum) >> 1) * m) >> 16, 0}, {(first * m) >> 16, (second * m) >> 16},
      {((sum + sum) * m) >> 9, 0},         {(first * m) >> 8, (second * m) >> 8},
      {((4 * sum) * m) >> 18, 0},          {(2 * first * m) >> 17, (2 * second * m) >> 17},
      {((4 * sum) * m) >> 10, 0},          {(2 * first * m) >> 9, (2 * second * m) >> 9},
  };
  for (int format = 0; format < 8; ++format) {
    Player* q = player_create(44100);
    make_constant_sample(q, 1, 64, -37);
    make_constant_sample(q, 2, 64, 90);
    q->samples[1].loop_length = q->samples[2].loop_length = 64 * kFixOne;
    q->samples[1].loop_end = q->samples[2].loop_end = 64 * kFixOne;
    start_voice(q, 1, 1, 0, kByte, 64);
    start_voice(q, 0, 2, 0, kByte, 64);
    q->master_volume = static_cast<int32_t>(m);
    const bool two = format & 1, wide = format & 2;
    const int over = format & 4 ? 2 : 1;
    uint8_t buf[2][16 * 4];
    std::memset(buf, 0x5A, sizeof buf);
    render_audio(q, buf[0], buf[1], 4, 16, over, wide ? 16 : 8, two ? 2 : 1);
    for (int i = 0; i < 16; ++i)
      for (int out = 0; out < (two ? 2 : 1); ++out) {
        int16_t wide_value;
        std::memcpy(&wide_value, buf[out] + 4 * i, 2);
        const int64_t v = wide ? wide_value : static_cast<int8_t>(buf[out][4 * i]);
        ASSERT_EQ(v, expected[format][out]) << "format " << format << " frame " << i;
        ASSERT_EQ(buf[out][4 * i + (wide ? 2 : 1)], 0x5A) << "format " << format;
      }
    if (!two) {
      EXPECT_EQ(buf[1][0], 0x5A) << "one-buffer formats leave buffer 2 alone";
    }
    // Oversampling reads two sample frames per output frame.
    EXPECT_EQ(q->channels[1].position, 16 * over * kByte);
    player_destroy(q);
  }
}

TEST_F(Mixer, ResultIsTruncatedToTheWidthNotClipped) {
  make_sample(p, 1, 64, 0, 64, 64, [](int32_t) { return -37; });
  start_voice(p, 1, 1, 0, kByte, 64);
  p->master_volume = 2048;
  const Stereo out = render_stereo(p, 2);
  const int32_t wide = static_cast<int32_t>((((-37 * 64 * 255) >> 7) * int64_t{2048}) >> 8);
  ASSERT_LT(wide, -32768);
  EXPECT_EQ(out.right[0], static_cast<int16_t>(wide));
}

TEST_F(Mixer, RangePlayStopsAtRangeEndInTwoOutputFormats) {
  make_sample(p, 1, 64, 0, 64, 64, [](int32_t) { return 10; });
  start_voice(p, 1, 1, 0, kByte, 64);
  p->range_play = 1;
  p->range_end = 5 * kFixOne;
  p->range_channel = 1;
  const Stereo out = render_stereo(p, 8);
  EXPECT_EQ(out.right[4], right_of(10, 64));
  EXPECT_EQ(out.right[5], 0);
  EXPECT_EQ(p->channels[1].position, -1);
  // The one-buffer formats follow the loop instead.
  start_voice(p, 1, 1, 0, kByte, 64);
  int16_t mono[80];
  render_audio(p, mono, nullptr, 2, 80, 1, 16, 1);
  EXPECT_NE(mono[79], 0);
  EXPECT_GE(p->channels[1].position, 0);
}

TEST_F(Mixer, TicksFollowTheSamplesPerTickAccumulator) {
  // A volume slide shows each tick: 873.27 frames per tick at start-up,
  // and the first tick comes once a tick's worth of frames has passed.
  make_sample(p, 1, 64, 0, 64, 64, [](int32_t) { return 100; });
  start_voice(p, 1, 1, 0, kByte, 10);
  p->channels[1].volume_slide = 1;
  const Stereo out = render_stereo(p, 1800);
  EXPECT_EQ(out.right[873], right_of(100, 10));
  EXPECT_EQ(out.right[874], right_of(100, 11));
  EXPECT_EQ(out.right[1746], right_of(100, 11));
  EXPECT_EQ(out.right[1747], right_of(100, 12));
  // A tick is due as soon as a whole tick's worth of frames has passed.
  p->samples_per_tick = 4.0f;
  p->tick_accumulator = 0.0f;
  p->channels[1].volume = p->channels[1].mix_volume = 10;
  const Stereo even = render_stereo(p, 10);
  EXPECT_EQ(even.right[3], right_of(100, 10));
  EXPECT_EQ(even.right[4], right_of(100, 11));
  EXPECT_EQ(even.right[8], right_of(100, 12));
}

// These read nothing outside a sample's data; the sanitizer build proves it.
TEST_F(Mixer, LoopBeyondTheDataStopsAtTheEndOfTheData) {
  Sample& s = make_sample(p, 1, 16, 8, 32, 64, [](int32_t) { return 9; });
  ASSERT_GT(s.loop_end, s.length);
  start_voice(p, 1, 1, 0, kByte, 64);
  const Stereo out = render_stereo(p, 100);
  EXPECT_EQ(out.right[15], right_of(9, 64));
  EXPECT_EQ(out.right[16], 0);
  EXPECT_EQ(p->channels[1].position, -1);
}

TEST_F(Mixer, StepLongerThanTheLoopStaysInsideTheLoop) {
  make_sample(p, 1, 64, 60, 4, 64, [](int32_t i) { return i; });
  start_voice(p, 1, 1, 0, 37 * kByte, 64);
  start_voice(p, 0, 1, 60, 8 * kByte, 64);  // twice the loop: lands on the loop end
  const Stereo out = render_stereo(p, 500);
  for (int i = 2; i < 500; ++i) {
    for (const int16_t v : {out.right[i], out.left[i]}) {
      const bool in_loop = v == right_of(60, 64) || v == right_of(61, 64) ||
                           v == right_of(62, 64) || v == right_of(63, 64);
      ASSERT_TRUE(in_loop) << "frame " << i;
    }
  }
}

TEST_F(Mixer, PositionFarPastAShortenedLoopComesBackIntoIt) {
  make_sample(p, 1, 100, 10, 90, 64, [](int32_t i) { return i; });
  start_voice(p, 1, 1, 50000, kByte, 64);
  const Stereo out = render_stereo(p, 50);
  for (int i = 0; i < 50; ++i) {
    EXPECT_GE(out.right[i], right_of(10, 64)) << i;
    EXPECT_LE(out.right[i], right_of(99, 64)) << i;
  }
  EXPECT_GE(p->channels[1].position, 10 * kFixOne);
  EXPECT_LE(p->channels[1].position, 100 * kFixOne);
}

TEST_F(Mixer, MissingDataOrBadFieldsSilenceTheChannel) {
  Sample& s = make_sample(p, 1, 16, 0, 16, 64, [](int32_t) { return 9; });
  std::free(s.data);
  s.data = nullptr;
  start_voice(p, 1, 1, 0, kByte, 64);
  Stereo out = render_stereo(p, 32);
  EXPECT_EQ(out.right[0], 0);
  EXPECT_EQ(p->channels[1].position, -1);

  make_sample(p, 2, 16, 0, 16, 64, [](int32_t) { return 9; });
  start_voice(p, 1, 77, 0, kByte, 64);      // no such sample number
  start_voice(p, 2, 2, 0, -5 * kByte, 64);  // a step backwards
  start_voice(p, 3, 2, 0, kByte, 64);
  p->channels[3].pending_sample = 99;
  out = render_stereo(p, 64);
  EXPECT_EQ(p->channels[1].position, -1);
  EXPECT_EQ(p->channels[2].position, -1);
  EXPECT_EQ(p->channels[3].position, -1);
}

TEST_F(Mixer, SampleOffsetPastTheEndStopsOrWraps) {
  make_sample(p, 1, 64, 0, 2, 64, [](int32_t) { return 9; });
  make_sample(p, 2, 64, 32, 32, 64, [](int32_t) { return 9; });
  set_cell(p, 0, 0, 1, 428, 1, 0x9, 0xFF);
  set_cell(p, 0, 0, 2, 428, 2, 0x9, 0xFF);
  p->play_mode = kPlaySong;
  p->tick_accumulator = p->samples_per_tick;  // the row comes at frame 0
  render_stereo(p, 64);
  EXPECT_EQ(p->channels[1].position, -1);
  EXPECT_GE(p->channels[2].position, 32 * kFixOne);
  EXPECT_LT(p->channels[2].position, 64 * kFixOne);
}

TEST_F(Mixer, NothingHappensForZeroFramesOrMissingBuffers) {
  make_sample(p, 1, 64, 0, 64, 64, [](int32_t) { return 9; });
  start_voice(p, 1, 1, 0, kByte, 64);
  int16_t buf[4] = {1, 2, 3, 4};
  render_audio(p, buf, buf, 2, 0, 1, 16, 2);
  render_audio(p, buf, nullptr, 2, 4, 1, 16, 2);
  EXPECT_EQ(buf[0], 1);
  EXPECT_EQ(p->channels[1].position, 0);
  EXPECT_EQ(p->tick_accumulator, 0.0f);
}

}  // namespace
