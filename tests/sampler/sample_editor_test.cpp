#include <gtest/gtest.h>

#include <fstream>

#include "sampler_fixture.h"
#include "shell/module_io.h"

namespace sampler_test {
namespace {

// With the whole 10000-byte sample in view, waveform pixels 100 and 200 are
// bytes 3194 and 6389 (p / (313 / 10000), truncated); cut and copy start
// and end on even bytes: 3194 .. 6388.
TEST_F(Editor, EveryButtonOnALoopedSampleWithAMarkedRange) {
  const struct {
    At at;
    Now after;
    const char* message;
  } cases[] = {
      {kZoom, {kLength, kLoopStart, kLoopEnd, 3194, 6389, 0, 0, 0}, "ALL RIGHT"},
      {kZoomOut, {kLength, kLoopStart, kLoopEnd, 0, kLength, 103, 203, 0}, "ALL RIGHT"},
      {kShowAll, {kLength, kLoopStart, kLoopEnd, 0, kLength, 0, 0, 0}, "ALL RIGHT"},
      {kMarkAll, {kLength, kLoopStart, kLoopEnd, 0, kLength, 3, 316, 0}, "ALL RIGHT"},
      {kLoop, {kLength, 0, 2, 0, kLength, 103, 203, 0}, "ALL RIGHT"},
      {kToStart, {kLength, kLoopStart, kLoopEnd, 0, kLength, 3, 3, 0}, "ALL RIGHT"},
      {kToEnd, {kLength, kLoopStart, kLoopEnd, 0, kLength, 316, 316, 0}, "ALL RIGHT"},
      // The cursor goes where the cut was: trunc(3194 * 313 / 6806) + 3.
      {kCut, {6806, 0, 2, 0, 6806, 149, 149, 3194}, "ALL RIGHT"},
      {kCopy, {kLength, kLoopStart, kLoopEnd, 0, kLength, 103, 203, 3194}, "ALL RIGHT"},
      {kPaste, {kLength, kLoopStart, kLoopEnd, 0, kLength, 103, 203, 0}, "BUFFER IS EMPTY"},
      {kSwap, {0, 0, 2, 0, 0, 0, 0, kLength}, "ALL RIGHT"},
      {kVolume, {kLength, kLoopStart, kLoopEnd, 0, kLength, 103, 203, 0}, "NOT IMPLEMENTED"},
      {kClose, {kLength, kLoopStart, kLoopEnd, 0, kLength, 103, 203, 0}, "ALL RIGHT"},
  };
  for (const auto& c : cases) {
    SetUp();
    mark(100, 200);
    press(c.at);
    EXPECT_EQ(now(), c.after) << c.at.x << "," << c.at.y;
    EXPECT_EQ(sample().loop_length, sample().loop_end - sample().loop_start);
    EXPECT_STREQ(st.message, c.message);
  }
  EXPECT_EQ(st.sample_editor_shown, 0);
}

TEST_F(Editor, PlayButtonsStartTheCursorChannelOverTheirStretch) {
  const struct {
    At at;
    int32_t range_play, position, range_end;
  } cases[] = {{kPlay, 0, 0, 0}, {kPlayView, 1, 0, kLength}, {kPlayRange, 1, 3194, 6389}};
  for (const auto& c : cases) {
    SetUp();
    st.cursor_channel = 2;
    mark(100, 200);
    press(c.at);
    const ChannelState& ch = st.player->channels[2];
    EXPECT_EQ(ch.sample * ch.period, 214);
    EXPECT_EQ(ch.position, c.position * kFixOne);
    EXPECT_EQ(st.player->range_play, c.range_play);
    EXPECT_EQ(st.player->range_end * c.range_play, c.range_end * kFixOne);
  }
  mark(50, 50);  // a cursor is no range
  press(kPlayRange);
  EXPECT_STREQ(st.message, "SET LARGER RANGE");
  EXPECT_EQ(st.player->channels[2].position, 3194 * kFixOne);
  mark(100, 200);
  press(kPlayRange);
  // The range is that channel's only: another one playing the sample loops.
  test_module::start_voice(st.player, 1, 1, 3194, kFixOne, 64);
  test_module::render_stereo(st.player, 10000);  // C-3 plays about 3800 bytes
  EXPECT_EQ(st.player->channels[2].position, -1);
  EXPECT_GE(st.player->channels[1].position, kLoopStart * kFixOne);
  press(kStop);
  EXPECT_EQ(st.player->channels[1].sample, 0);
}

TEST_F(Editor, AnEmptySampleTakesOnlyAPasteAndNeverDividesByZero) {
  select(2);
  for (At at : {kPlay, kZoom, kZoomOut, kPlayView, kShowAll, kMarkAll, kLoop, kSwap, kPlayRange,
                kToEnd, kCut, kCopy, kPaste, kLoop}) {
    press(at);
    drag(100, 170, 200, 208);
    EXPECT_EQ(bytes(2).size() + st.zoom_end - st.zoom_start + st.view_offset, 0u);
  }
  EXPECT_EQ(sample(2).loop_end, 2 * kFixOne);  // its header's loop is switched off
  for (const ChannelState& ch : st.player->channels) EXPECT_NE(ch.sample, 2);
  select(1);
  mark(0, 10);  // bytes 0 .. 318
  press(kCopy);
  select(2);
  mark(50, 50);
  press(kPaste);
  const std::vector<int8_t> whole = bytes(1);
  EXPECT_EQ(bytes(2), std::vector<int8_t>(whole.begin(), whole.begin() + 318));
}

TEST_F(Editor, OnlyADragStartedInTheWaveformMarksARangeEitherWay) {
  const struct {
    int32_t from_x, from_y, to_x, to_y, mark_a, mark_b;
  } cases[] = {{103, 170, 203, 138, 103, 203}, {203, 140, 103, 201, 203, 103},
               {103, 170, 203, 202, 103, 103}, {103, 170, 203, 137, 103, 103},
               {150, 130, 250, 170, 0, 0},     {150, 203, 250, 170, 0, 0},
               {150, 208, 250, 170, 0, 0}};
  for (const auto& c : cases) {
    SetUp();
    drag(c.from_x, c.from_y, c.to_x, c.to_y);
    press(kCopy);
    const bool range = c.mark_a != c.mark_b;
    EXPECT_EQ(now(), (Now{kLength, kLoopStart, kLoopEnd, 0, kLength, c.mark_a, c.mark_b,
                          range ? 3194 : 0}));
    EXPECT_STREQ(st.message, range ? "ALL RIGHT" : "SET LARGER RANGE");
    EXPECT_TRUE(!range || st.copy_data[100] == original(3294));
  }
  // The mark follows from the fourth frame of the press, and a press held
  // on into its repeat frames does not start again.
  SetUp();
  for (int i = 0; i < 45; ++i) {
    frame(i < 1 ? 50 : 150, 170, true);
    EXPECT_TRUE(i != 2 || st.mark_b == 50);
  }
  frame(150, 170, false);
  EXPECT_EQ(st.mark_a * 1000 + st.mark_b, 50150);
  SetUp();
  mark(100, 200);
  drag(150, 130, 250, 170);  // that range drag ended with its press
  EXPECT_EQ(st.mark_b, 203);
}

TEST_F(Editor, CutThenPasteAtTheCursorRestoresTheSampleByteForByte) {
  for (const auto& range : {At{100, 200}, At{0, 313}, At{0, 37}, At{250, 313}, At{1, 2}}) {
    SetUp();
    const std::vector<int8_t> before = bytes();
    mark(range.x, range.y);
    press(kCut);
    if (sample().length == 0) {  // nothing left: no data, no cursor
      EXPECT_EQ(sample().data, nullptr);
      mark(0, 0);
    }
    press(kPaste);
    EXPECT_EQ(bytes(), before) << range.x << ".." << range.y;
  }
  // Pasted at the start instead, the piece comes first; saved and loaded
  // back, the module holds what the editor shows.
  mark(100, 200);
  press(kCut);
  press(kToStart);
  press(kPaste);
  const std::vector<uint8_t> file = serialize_module(st.player, kKindModule);
  player_destroy(st.player);
  st.player = player_create(44100);
  ASSERT_TRUE(parse_module(file.data(), file.size(), st.player, kKindModule, nullptr).ok);
  const std::vector<int8_t> loaded = bytes();
  ASSERT_EQ(loaded.size(), static_cast<size_t>(kLength));
  EXPECT_EQ(loaded[0] + 2 * loaded[3194] + 3 * loaded[6388],
            original(3194) + 2 * original(0) + 3 * original(6388));
}

TEST_F(Editor, ZoomThenZoomOutThenShowAllReturnsToTheWholeView) {
  const struct {
    int32_t start, end, offset, new_start, new_end, new_offset;
  } zoom_outs[] = {{2000, 3000, 2000, 1500, 3500, 1500},   // half a window each side
                   {8800, 9800, 9000, 8000, 10000, 8000},  // moved back inside the sample
                   {100, 5100, 100, 0, 10000, 0}};         // wider than the sample
  for (const auto& z : zoom_outs) {
    st.zoom_start = z.start;
    st.zoom_end = z.end;
    st.view_offset = z.offset;
    press(kZoomOut);
    EXPECT_EQ(st.zoom_start * 100000 + st.zoom_end, z.new_start * 100000 + z.new_end);
    EXPECT_EQ(st.view_offset, z.new_offset);
  }
  st.zoom_start = st.view_offset = 0;  // 313 bytes: a byte a pixel
  st.zoom_end = 313;
  for (int i = 0; i < 3; ++i) {  // the tightest zoom keeps 2 bytes
    mark(0, 2 + i);
    press(kZoom);
    EXPECT_EQ(st.zoom_end - st.zoom_start, 2);
  }
  mark(0, 1);  // under one byte
  press(kCopy);
  EXPECT_STREQ(st.message, "SET LARGER RANGE");
  press(kShowAll);
  EXPECT_EQ(st.zoom_end - st.zoom_start + st.view_offset, kLength);
  EXPECT_FLOAT_EQ(st.samples_per_pixel, kLength / 314.0f);
}

TEST_F(Editor, SwappingTwiceRestoresSampleAndBuffer) {
  const std::vector<int8_t> before = bytes();
  mark(10, 20);  // bytes 318 .. 637
  press(kCopy);
  const std::vector<int8_t> piece(st.copy_data, st.copy_data + st.copy_length);
  press(kSwap);
  EXPECT_EQ(bytes(), piece);
  EXPECT_EQ(st.copy_loop_end - st.copy_loop_start, kLoopEnd - kLoopStart);
  press(kShowAll);
  press(kPaste);
  EXPECT_STREQ(st.message, "SET CURSOR POS");
  press(kLoop);  // switched on, the loop covers the whole piece
  EXPECT_EQ(now(), (Now{320, 0, 320, 0, 320, 0, 0, kLength}));
  press(kLoop);
  press(kSwap);
  EXPECT_EQ(bytes(), before);
  EXPECT_EQ(now(), (Now{kLength, kLoopStart, kLoopEnd, 0, kLength, 0, 0, 320}));
  EXPECT_EQ(std::vector<int8_t>(st.copy_data, st.copy_data + st.copy_length), piece);
}

// Markers at x 62 (start) and 188 + 2 (end): trunc(byte * 314 / 10000).
TEST_F(Editor, LoopMarkerDragsStopAtTheirLimits) {
  const struct {
    int32_t grab_x, to_x, loop_start, loop_end, mark_b;
  } cases[] = {
      {62, 10, 318, 6000, 0},      // trunc(10 / 0.0314) = 318, grabbed at y 138
      {66, 300, 5998, 6000, 0},    // past the end: a 2-byte loop ending there
      {190, 316, 2000, 10000, 0},  // past the sample's end: stops at L
      {194, 20, 2000, 2002, 0},    // before the start: 2 bytes
      {67, 150, 2000, 6000, 150},  // beside the flag: a range, not a drag
  };
  for (const auto& c : cases) {
    SetUp();
    drag(c.grab_x, c.grab_x == 62 ? 138 : 142, c.to_x, 170);
    EXPECT_EQ(now(),
              (Now{kLength, c.loop_start, c.loop_end, 0, kLength, c.mark_b ? 67 : 0, c.mark_b, 0}))
        << c.grab_x << "->" << c.to_x;
    EXPECT_EQ(sample().loop_length, (c.loop_end - c.loop_start) * kFixOne);
  }
}

TEST_F(Editor, SampleZeroIsNeverGivenData) {
  mark(10, 20);
  press(kCopy);
  select(0);
  for (At at : {kPaste, kSwap, kLoop, kCut, kMarkAll, kPaste}) {
    mark(5, 50);
    press(at);
    EXPECT_EQ(sample(0).data, nullptr);
    EXPECT_EQ(sample(0).length + sample(0).loop_start, 0);
  }
  EXPECT_EQ(st.copy_length, 320);
}

TEST_F(Editor, ALoadedModuleShowsItsFirstSampleWhole) {
  const std::string path = testing::TempDir() + "sampler_load.mod";
  const std::vector<uint8_t> file = serialize_module(st.player, kKindModule);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  select(2);
  mark(10, 20);
  ASSERT_EQ(load_module(path.c_str(), &st), 1);
  EXPECT_EQ(now(), (Now{kLength, kLoopStart, kLoopEnd, 0, kLength, 0, 0, 0}));
}

TEST_F(Editor, PastesStayWithinWhatAFileHolds) {
  for (const int32_t extra : {40000, 35534, 35536}) {
    SetUp();
    test_module::make_constant_sample(st.player, 1, 30000, 5);
    select(1);
    st.copy_data = static_cast<int8_t*>(std::calloc(extra, 1));
    st.copy_length = extra;
    mark(40, 40);
    press(kPaste);
    const bool fits = extra + 30000 <= 65534;
    EXPECT_EQ(sample().length, (fits ? extra + 30000 : 30000) * kFixOne);
    EXPECT_STREQ(st.message, fits ? "ALL RIGHT" : "MAX 65534 BYTES");
  }
}

TEST_F(Editor, ScrollBarPagesAndDragsWithinTheSample) {
  frame(100, 208, true);  // the whole sample shown: nothing to drag
  EXPECT_EQ(st.drag_scroll, 0);
  frame(100, 208, false);
  st.zoom_start = st.view_offset = 4000;
  st.zoom_end = 5000;
  for (int i = 0; i < 4; ++i) press({10, 208});  // left of the thumb
  EXPECT_EQ(st.view_offset, 0);
  press({300, 208});  // right of it
  EXPECT_EQ(st.view_offset, 1000);
  drag(35, 208, 319, 208);  // the thumb, at x 35 .. 66
  frame(100, 208, false);   // the drag ended with the press
  EXPECT_EQ(st.view_offset, kLength - 1000);
}

// Under AddressSanitizer a read outside the sample's new block is reported.
TEST_F(Editor, TheMixerStaysInsideASampleCutAndPastedWhileItPlays) {
  // Channels past the new end stop at once; others play on.
  test_module::make_constant_sample(st.player, 3, kLength, 1);
  const int32_t starts[4][2] = {{1, 9000}, {1, 6806}, {1, 6805}, {3, 9000}};
  for (int c = 0; c < 4; ++c)
    test_module::start_voice(st.player, c, starts[c][0], starts[c][1], kFixOne, 64);
  mark(100, 200);
  press(kCut);
  const int32_t kept[4] = {-1, -1, 6805 * kFixOne, 9000 * kFixOne};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(st.player->channels[c].position, kept[c]) << c;
  press(kPaste);
  press(kStop);
  for (int i = 0; i < 40; ++i) {
    test_module::start_voice(st.player, i % 4, 1, kLength - 40 * i, 3 * kFixOne, 64);
    test_module::render_stereo(st.player, 5);
    mark(250 - 5 * i, 313);
    press(kCut);
    test_module::render_stereo(st.player, 50);
    for (const ChannelState& ch : st.player->channels) ASSERT_LT(ch.position, sample().length);
    press(kPaste);
  }
  EXPECT_EQ(bytes().size(), static_cast<size_t>(kLength));
}

}  // namespace
}  // namespace sampler_test
