#include "sampler/sample_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "engine/audio_lock.h"
#include "platform/headless.h"
#include "sampler_fixture.h"

namespace sampler_test {
namespace {

// With the whole 10000-byte sample in view, pixels 100 and 200 of the
// waveform are bytes 3194 and 6389 (p / (313 / 10000), truncated); data
// edits start and end on even bytes: 3194 .. 6388.
struct ButtonCase {
  const int32_t* at;
  int32_t length, loop_start, loop_length, zoom_start, zoom_end, mark_a, mark_b, copy_length;
  const char* message;
};

TEST_F(Editor, EveryButtonOnALoopedSampleWithAMarkedRange) {
  const ButtonCase cases[] = {
      {kZoom, kLength, kLoopStart, kLoopLength, 3194, 6389, 0, 0, 0, "ALL RIGHT"},
      {kZoomOut, kLength, kLoopStart, kLoopLength, 0, kLength, 103, 203, 0, "ALL RIGHT"},
      {kShowAll, kLength, kLoopStart, kLoopLength, 0, kLength, 0, 0, 0, "ALL RIGHT"},
      {kMarkAll, kLength, kLoopStart, kLoopLength, 0, kLength, 3, 316, 0, "ALL RIGHT"},
      {kLoop, kLength, 0, 2, 0, kLength, 103, 203, 0, "ALL RIGHT"},
      {kCursorStart, kLength, kLoopStart, kLoopLength, 0, kLength, 3, 3, 0, "ALL RIGHT"},
      {kCursorEnd, kLength, kLoopStart, kLoopLength, 0, kLength, 316, 316, 0, "ALL RIGHT"},
      // The cursor lands where the cut was: trunc(3194 * 313 / 6806) + 3.
      {kCut, 6806, 0, 2, 0, 6806, 149, 149, 3194, "ALL RIGHT"},
      {kCopy, kLength, kLoopStart, kLoopLength, 0, kLength, 103, 203, 3194, "ALL RIGHT"},
      {kPaste, kLength, kLoopStart, kLoopLength, 0, kLength, 103, 203, 0, "BUFFER IS EMPTY"},
      {kSwap, 0, 0, 2, 0, 0, 0, 0, kLength, "ALL RIGHT"},
      {kClose, kLength, kLoopStart, kLoopLength, 0, kLength, 103, 203, 0, "ALL RIGHT"},
  };
  for (const ButtonCase& c : cases) {
    SetUp();
    mark(100, 200);
    ASSERT_EQ(st.mark_a, 103);
    button(c.at[0], c.at[1]);
    SCOPED_TRACE(std::to_string(c.at[0]) + "," + std::to_string(c.at[1]));
    EXPECT_EQ(sample().length, c.length * kFixOne);
    EXPECT_EQ(sample().loop_start, c.loop_start * kFixOne);
    EXPECT_EQ(sample().loop_length, c.loop_length * kFixOne);
    EXPECT_EQ(sample().loop_end, sample().loop_start + sample().loop_length);
    EXPECT_EQ(st.zoom_start, c.zoom_start);
    EXPECT_EQ(st.zoom_end, c.zoom_end);
    EXPECT_EQ(st.mark_a, c.mark_a);
    EXPECT_EQ(st.mark_b, c.mark_b);
    EXPECT_EQ(st.copy_length, c.copy_length);
    EXPECT_STREQ(st.message, c.message);
  }
  EXPECT_EQ(st.sample_editor_shown, 0);
}

TEST_F(Editor, PlayButtonsStartTheCursorChannelOverTheirStretch) {
  const struct {
    const int32_t* at;
    int32_t range_play, position, range_end;
  } cases[] = {{kPlay, 0, 0, 0}, {kPlayView, 1, 0, kLength}, {kPlayRange, 1, 3194, 6389}};
  for (const auto& c : cases) {
    SetUp();
    st.cursor_channel = 2;
    mark(100, 200);
    button(c.at[0], c.at[1]);
    const ChannelState& ch = screen.player().channels[2];
    EXPECT_EQ(ch.sample, 1);
    EXPECT_EQ(ch.period, 214);
    EXPECT_EQ(ch.position, c.position * kFixOne);
    EXPECT_EQ(screen.player().range_play, c.range_play);
    if (c.range_play) {
      EXPECT_EQ(screen.player().range_end, c.range_end * kFixOne);
      EXPECT_EQ(screen.player().range_channel, 2);
    }
    button(kStop[0], kStop[1]);
    EXPECT_EQ(ch.sample, 0);
  }
}

TEST_F(Editor, AnEmptySampleTakesOnlyAPasteAndNeverDividesByZero) {
  const int32_t* all[] = {kPlay,      kZoom, kZoomOut, kPlayView,  kShowAll,
                          kMarkAll,   kLoop, kSwap,    kPlayRange, kCursorStart,
                          kCursorEnd, kCut,  kCopy,    kPaste,     kStop};
  select(2);
  for (const int32_t* at : all) {
    button(at[0], at[1]);
    drag(100, 170, 200, 208);
    EXPECT_EQ(sample(2).length, 0);
    EXPECT_EQ(sample(2).data, nullptr);
    EXPECT_EQ(st.zoom_end - st.zoom_start, 0);
    EXPECT_EQ(st.view_offset, 0);
  }
  for (const ChannelState& ch : screen.player().channels) EXPECT_NE(ch.sample, 2);
  select(1);
  mark(0, 10);  // bytes 0 .. 318
  button(kCopy[0], kCopy[1]);
  select(2);
  mark(50, 50);
  button(kPaste[0], kPaste[1]);
  const std::vector<int8_t> whole = bytes(1);
  EXPECT_EQ(bytes(2), std::vector<int8_t>(whole.begin(), whole.begin() + 318));
}

TEST_F(Editor, RangesMarkedEitherWayAreTheSameRange) {
  for (const bool upward : {false, true}) {
    SetUp();
    if (upward)
      drag(203, 170, 103, 170);
    else
      mark(100, 200);
    EXPECT_EQ(std::min(st.mark_a, st.mark_b), 103);
    EXPECT_EQ(std::max(st.mark_a, st.mark_b), 203);
    button(kCopy[0], kCopy[1]);
    ASSERT_EQ(st.copy_length, 3194);
    const std::vector<int8_t> whole = bytes();
    EXPECT_EQ(std::vector<int8_t>(st.copy_data, st.copy_data + 3194),
              std::vector<int8_t>(whole.begin() + 3194, whole.begin() + 6388));
  }
}

TEST_F(Editor, ADragThatStartsOutsideTheWaveformMarksNothing) {
  for (const int32_t start_y : {130, 208, 203}) {
    SetUp();
    drag(150, start_y, 250, 170);
    EXPECT_EQ(st.mark_a, 0);
    EXPECT_EQ(st.mark_b, 0);
    button(kCut[0], kCut[1]);
    EXPECT_EQ(sample().length, kLength * kFixOne);
    EXPECT_STREQ(st.message, "SET LARGER RANGE");
  }
}

TEST_F(Editor, CutThenPasteAtTheCursorRestoresTheSampleByteForByte) {
  const int32_t ranges[][2] = {{100, 200}, {0, 313}, {0, 37}, {250, 313}, {1, 2}};
  for (const auto& range : ranges) {
    SetUp();
    const std::vector<int8_t> before = bytes();
    mark(range[0], range[1]);
    button(kCut[0], kCut[1]);
    EXPECT_LT(sample().length, kLength * kFixOne);
    // Cutting everything leaves no cursor: one is set at the start.
    if (sample().length == 0) mark(0, 0);
    button(kPaste[0], kPaste[1]);
    EXPECT_EQ(bytes(), before) << range[0] << ".." << range[1];
    // What the editor shows is what a saved module gives back.
    const std::vector<uint8_t> file = serialize_module(st.player, kKindModule);
    Player* loaded = player_create(44100);
    ASSERT_TRUE(parse_module(file.data(), file.size(), loaded, kKindModule, nullptr).ok);
    EXPECT_EQ(loaded->samples[1].length, sample().length);
    player_destroy(loaded);
  }
  // Pasted at the start instead, the piece comes first.
  SetUp();
  mark(100, 200);
  button(kCut[0], kCut[1]);
  button(kCursorStart[0], kCursorStart[1]);
  button(kPaste[0], kPaste[1]);
  const std::vector<int8_t> now = bytes();
  EXPECT_EQ(now[0], original(3194));
  EXPECT_EQ(now[3194], original(0));
  EXPECT_EQ(now[6388], original(6388));
}

TEST_F(Editor, ZoomThenZoomOutThenShowAllReturnsToTheWholeView) {
  mark(100, 200);
  button(kZoom[0], kZoom[1]);
  EXPECT_EQ(st.view_offset, 3194);
  st.zoom_start = st.view_offset = 2000;  // a 1000-byte window at 2000
  st.zoom_end = 3000;
  button(kZoomOut[0], kZoomOut[1]);
  EXPECT_EQ(st.zoom_start, 1500);
  EXPECT_EQ(st.zoom_end, 3500);
  EXPECT_EQ(st.view_offset, 1500);
  // Near the end the wider window is moved back inside the sample.
  st.zoom_start = st.view_offset = 8800;
  st.zoom_end = 9800;
  button(kZoomOut[0], kZoomOut[1]);
  EXPECT_EQ(st.zoom_end, kLength);
  EXPECT_EQ(st.zoom_start, 8000);
  EXPECT_EQ(st.view_offset, 8000);
  // The tightest zoom stops at 2 bytes.
  for (int i = 0; i < 12; ++i) {
    mark(0, 2);
    button(kZoom[0], kZoom[1]);
    ASSERT_GE(st.zoom_end - st.zoom_start, 2);
  }
  EXPECT_LT(st.zoom_end - st.zoom_start, 313);
  button(kShowAll[0], kShowAll[1]);
  EXPECT_EQ(st.zoom_start, 0);
  EXPECT_EQ(st.zoom_end, kLength);
  EXPECT_EQ(st.view_offset, 0);
  EXPECT_FLOAT_EQ(st.samples_per_pixel, kLength / 314.0f);
}

TEST_F(Editor, SwappingTwiceRestoresSampleAndBuffer) {
  const std::vector<int8_t> before = bytes();
  mark(10, 20);
  button(kCopy[0], kCopy[1]);
  const std::vector<int8_t> piece(st.copy_data, st.copy_data + st.copy_length);
  button(kSwap[0], kSwap[1]);
  EXPECT_EQ(bytes(), piece);
  EXPECT_EQ(sample().loop_length, 2 * kFixOne);
  EXPECT_EQ(st.copy_loop_start, kLoopStart);
  EXPECT_EQ(st.copy_loop_end, kLoopStart + kLoopLength);
  button(kSwap[0], kSwap[1]);
  EXPECT_EQ(bytes(), before);
  EXPECT_EQ(sample().loop_start, kLoopStart * kFixOne);
  EXPECT_EQ(sample().loop_end, (kLoopStart + kLoopLength) * kFixOne);
  EXPECT_EQ(std::vector<int8_t>(st.copy_data, st.copy_data + st.copy_length), piece);
}

// Markers at x 62 (start) and 188 (end): trunc(byte * 314 / 10000).
TEST_F(Editor, LoopMarkerDragsStopAtTheirLimits) {
  const struct {
    int32_t grab_x, to_x, loop_start, loop_end;
  } cases[] = {
      {63, 10, 318, 6000},      // trunc(10 / 0.0314) = 318
      {66, 300, 5998, 6000},    // past the end: a 2-byte loop ending there
      {191, 316, 2000, 10000},  // past the sample's end: stops at L
      {194, 20, 2000, 2002},    // before the start: 2 bytes
      {67, 150, 2000, 6000},    // beside the marker: a range, not a drag
  };
  for (const auto& c : cases) {
    SetUp();
    drag(c.grab_x, 140, c.to_x, 170);
    EXPECT_EQ(sample().loop_start, c.loop_start * kFixOne) << c.grab_x << "->" << c.to_x;
    EXPECT_EQ(sample().loop_end, c.loop_end * kFixOne);
    EXPECT_EQ(sample().loop_length, (c.loop_end - c.loop_start) * kFixOne);
  }
  EXPECT_EQ(st.mark_a, 67);
}

TEST_F(Editor, LoopSwitchLoopsTheWholeSampleAndNeverLoopsLessThanTwoBytes) {
  button(kLoop[0], kLoop[1]);
  EXPECT_EQ(sample().loop_length, 2 * kFixOne);
  button(kLoop[0], kLoop[1]);
  EXPECT_EQ(sample().loop_start, 0);
  EXPECT_EQ(sample().loop_end, kLength * kFixOne);
  select(2);
  button(kLoop[0], kLoop[1]);
  EXPECT_LE(sample(2).loop_end, sample(2).length > 0 ? sample(2).length : 2 * kFixOne);
}

TEST_F(Editor, SampleZeroIsNeverGivenData) {
  mark(10, 20);
  button(kCopy[0], kCopy[1]);
  select(0);
  const int32_t* edits[] = {kPaste, kSwap, kLoop, kCut, kMarkAll, kPaste};
  for (const int32_t* at : edits) {
    mark(5, 50);
    button(at[0], at[1]);
    EXPECT_EQ(sample(0).data, nullptr);
    EXPECT_EQ(sample(0).length, 0);
    EXPECT_EQ(sample(0).loop_start, 0);
  }
  EXPECT_EQ(st.copy_length, 320);  // bytes 318 .. 637
}

TEST_F(Editor, PastesStayEvenAndWithinWhatAFileHolds) {
  const struct {
    int32_t buffer, sample;
    bool done;
  } cases[] = {{40000, 30000, false}, {35534, 30000, true}, {35536, 30000, false}};
  for (const auto& c : cases) {
    SetUp();
    test_module::make_constant_sample(st.player, 1, c.sample, 5);
    select(1);
    free_copy_buffer(&st);
    st.copy_data = static_cast<int8_t*>(std::calloc(c.buffer, 1));
    st.copy_length = c.buffer;
    mark(40, 40);
    button(kPaste[0], kPaste[1]);
    EXPECT_EQ(sample().length, (c.done ? c.buffer + c.sample : c.sample) * kFixOne);
    EXPECT_STREQ(st.message, c.done ? "ALL RIGHT" : "MAX 65534 BYTES");
  }
}

TEST_F(Editor, ScrollBarPagesAndDragsWithinTheSample) {
  st.zoom_start = st.view_offset = 4000;
  st.zoom_end = 5000;
  for (int i = 0; i < 6; ++i) button(10, 208);  // left of the thumb
  EXPECT_EQ(st.view_offset, 0);
  button(300, 208);  // right of it
  EXPECT_EQ(st.view_offset, 1000);
  drag(40, 208, 319, 208);  // the thumb, at x 35 .. 66
  EXPECT_EQ(st.view_offset, kLength - 1000);
}

TEST_F(Editor, ARangeIsPlayedOnlyOnItsOwnChannel) {
  mark(100, 200);
  button(kPlayRange[0], kPlayRange[1]);
  test_module::start_voice(st.player, 1, 1, 3194, kFixOne, 64);
  // Channel 0 plays about 3800 bytes at C-3, past the range's end; channel
  // 1 goes on round the sample's loop.
  test_module::render_stereo(st.player, 10000);
  EXPECT_EQ(screen.player().channels[0].position, -1);
  EXPECT_GE(screen.player().channels[1].position, kLoopStart * kFixOne);
}

// Run under AddressSanitizer: a read outside the new block is reported.
TEST_F(Editor, TheMixerStaysInsideASampleCutAndPastedWhileItPlays) {
  HeadlessPlatform platform;
  headless_init(platform, AudioSource{nullptr, nullptr});
  audio_lock_install(AudioLockHooks{headless_lock, headless_unlock, &platform});
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    while (!stop.load()) {
      AudioGuard guard;
      test_module::render_stereo(st.player, 256);
    }
  });
  for (int i = 0; i < 40; ++i) {
    {
      AudioGuard guard;  // as the frame is, in the program
      test_module::start_voice(st.player, i % 4, 1, kLength - 300, 8 * kFixOne, 64);
    }
    mark(250, 313);
    button(kCut[0], kCut[1]);
    button(kPaste[0], kPaste[1]);
  }
  stop = true;
  audio.join();
  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  for (const ChannelState& ch : screen.player().channels) EXPECT_LT(ch.position, sample().length);
  EXPECT_EQ(bytes().size(), static_cast<size_t>(kLength));
}

}  // namespace
}  // namespace sampler_test
