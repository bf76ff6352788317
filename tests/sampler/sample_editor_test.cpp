#include <gtest/gtest.h>

#include "sampler_fixture.h"

namespace sampler_test {
namespace {

// The fields set before a button, and those it changes. In the whole view
// waveform pixels 100 and 200 (marks 103, 203) are bytes 3194 and 6389
// (p / (313 / 10000), truncated); cut and copy start and end on even
// bytes: 3194 .. 6388. In a 313-byte window a pixel is a byte.
TEST_F(Editor, EveryButtonOnALoopedSample) {
  const char* const range = "a=103 b=203";
  const struct {
    const char* set;
    At at;
    const char* expect;
  } cases[] = {
      {range, kZoom, "zoom=3194 zoom_end=6389 offset=3194 a=0 b=0 px=3195"},
      {range, kZoomOut, ""},
      {range, kShowAll, "a=0 b=0"},
      {range, kMarkAll, "a=3 b=316"},
      {range, kLoop, "loop=0 end=2 span=2"},
      {range, kToStart, "a=3 b=3"},
      {range, kToEnd, "a=316 b=316"},
      // The cursor goes where the cut was: trunc(3194 * 313 / 6806) + 3. The
      // loop end inside the cut moves to its start: the loop keeps 2000 .. 3194.
      {range, kCut,
       "len=6806 loop=2000 end=3194 span=1194 zoom_end=6806 a=149 b=149 copy=3194 px=6806"},
      // Bytes 0 .. 3097 go: the loop start inside the cut goes to 0, its end
      // moves down with the rest.
      {"a=3 b=100", kCut,
       "len=6902 loop=0 end=2902 span=2902 zoom_end=6902 a=3 b=3 copy=3098 px=6902"},
      // Bytes 2012 .. 6197: the loop keeps 2000 .. 2012.
      {"a=66 b=197", kCut,
       "len=5814 loop=2000 end=2012 span=12 zoom_end=5814 a=111 b=111 copy=4186 px=5814"},
      // Bytes 1980 .. 6005 hold the whole loop: it goes with them.
      {"a=65 b=191", kCut,
       "len=5974 loop=0 end=2 span=2 zoom_end=5974 a=106 b=106 copy=4026 px=5974"},
      {range, kCopy, "copy=3194"},
      {range, kPaste, "msg=BUFFER_IS_EMPTY"},
      {range, kSwap, "len=0 loop=0 end=2 span=2 zoom_end=0 a=0 b=0 copy=10000 px=0"},
      {range, kVolume, ""},  // opens its panel
      {range, kPlay, "play=0"},
      {range, kPlayView, "play=0 to=10000"},
      {range, kPlayRange, "play=3194 to=6389"},
      {"a=53 b=53", kPlayRange, "msg=SET_LARGER_RANGE"},  // a cursor is no range
      {"zoom=2000 zoom_end=3000 offset=2000", kZoomOut,
       "zoom=1500 zoom_end=3500 offset=1500 px=2000"},
      {"zoom=8800 zoom_end=9800 offset=9000", kZoomOut,
       "zoom=8000 zoom_end=10000 offset=8000 px=2000"},
      {"zoom=100 zoom_end=5100 offset=100", kZoomOut, "zoom=0 zoom_end=10000 offset=0"},
      {"zoom_end=313 a=3 b=5", kZoom, "zoom_end=2 a=0 b=0 px=2"},  // the tightest zoom
      {"zoom_end=313 a=3 b=4", kZoom, "msg=SET_LARGER_RANGE"},
      {"zoom_end=313 a=3 b=5", kCopy, "copy=2"},
      {"zoom_end=313 a=3 b=4", kCopy, "msg=SET_LARGER_RANGE"},  // under one even pair
      {"zoom=2000 zoom_end=4000 offset=2000 a=9 b=9", kShowAll,
       "zoom=0 zoom_end=10000 offset=0 a=0 b=0"},
      // The scroll bar pages by a window, within the sample.
      {"zoom=4000 zoom_end=5000 offset=4000", {10, 208}, "offset=3000"},
      {"zoom=4000 zoom_end=5000 offset=500", {5, 208}, "offset=0"},
      {"zoom=4000 zoom_end=5000 offset=8500", {310, 208}, "offset=9000"},
      // Samples keep their exact length, within what a file holds; pasted at
      // byte 1596, before the loop, the loop moves on by the pasted bytes.
      {"copy=55533 a=53 b=53", kPaste,
       "len=65533 loop=57533 end=61533 zoom_end=65533 px=65533 a=0 b=0 copy=55533"},
      {"copy=55535 a=53 b=53", kPaste, "msg=MAX_65534_BYTES"},
      {range, kClose, ""},
  };
  set("zoom=4000 zoom_end=5000 offset=1000");
  drag(35, 208, 319, 208);  // the thumb, at x 35 .. 66
  frame(100, 208, false);   // the drag ended with the press
  EXPECT_EQ(st.sampler.view_offset, kLength - 1000);
  for (const auto& c : cases) {
    SetUp();
    st.selection.cursor_channel = 2;
    set(c.set);
    press(c.at);
    EXPECT_EQ(wrong(c.expect, over(c.set, kWhole)), "") << c.set << " " << c.at.x << "," << c.at.y;
    EXPECT_TRUE(!st.player->range_play || st.player->range_channel == 2);
  }
  EXPECT_FALSE(screen_is_open(st, ScreenId::kSampler));
}

TEST_F(Editor, AnEmptySampleTakesOnlyAPasteAndNeverDividesByZero) {
  select(2);
  for (At at : {kPlay, kZoom, kZoomOut, kPlayView, kShowAll, kMarkAll, kLoop, kSwap, kPlayRange,
                kToEnd, kCut, kCopy, kPaste, kLoop}) {
    press(at);
    drag(100, 170, 200, 208);
    EXPECT_EQ(
        bytes(2).size() + st.sampler.zoom_end - st.sampler.zoom_start + st.sampler.view_offset, 0u);
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

// A drag, then a copy. Loop markers at x 62 (start) and 188 + 2 (end):
// trunc(byte * 314 / 10000); their flags take y 138 .. 142.
TEST_F(Editor, DragsMarkRangesOrMoveLoopMarkersWithinLimits) {
  const struct {
    int32_t from_x, from_y, to_x, to_y;
    const char* expect;
  } cases[] = {
      {103, 170, 203, 138, "a=103 b=203 copy=3194"},  // downward and upward
      {203, 140, 103, 201, "a=203 b=103 copy=3194"},
      {103, 170, 203, 202, "a=103 b=103 msg=SET_LARGER_RANGE"},  // left the waveform
      {103, 170, 203, 137, "a=103 b=103 msg=SET_LARGER_RANGE"},
      {150, 130, 250, 170, "msg=SET_LARGER_RANGE"},  // pressed above, on or below it
      {150, 203, 250, 170, "msg=SET_LARGER_RANGE"},
      {150, 208, 250, 170, "msg=SET_LARGER_RANGE"},
      {62, 138, 10, 170, "loop=318 span=5682 msg=SET_LARGER_RANGE"},     // trunc(10 / 0.0314)
      {66, 142, 300, 170, "loop=5998 span=2 msg=SET_LARGER_RANGE"},      // past the end
      {190, 142, 316, 170, "end=10000 span=8000 msg=SET_LARGER_RANGE"},  // stops at L
      {194, 142, 20, 170, "end=2002 span=2 msg=SET_LARGER_RANGE"},       // before the start
      {67, 142, 150, 170, "a=67 b=150 copy=2652"},  // beside the flag: bytes 2044 .. 4696
  };
  for (const auto& c : cases) {
    SetUp();
    drag(c.from_x, c.from_y, c.to_x, c.to_y);
    press(kCopy);
    EXPECT_EQ(wrong(c.expect), "") << c.from_x << "," << c.from_y;
    EXPECT_TRUE(st.sampler.copy_length != 3194 || st.sampler.copy_data[100] == original(3294));
  }
  // The mark follows from the fourth frame of the press, and a press held
  // on into its repeat frames does not start again.
  SetUp();
  for (int i = 0; i < 45; ++i) {
    frame(i < 1 ? 50 : 150, 170, true);
    EXPECT_TRUE(i != 2 || st.sampler.mark_b == 50);
  }
  frame(150, 170, false);
  EXPECT_EQ(st.sampler.mark_a * 1000 + st.sampler.mark_b, 50150);
  drag(150, 130, 250, 170);  // that range drag ended with its press
  EXPECT_EQ(st.sampler.mark_b, 150);
}

TEST_F(Editor, CutThenPasteAtTheCursorRestoresTheSampleByteForByte) {
  for (const auto& range : {At{100, 200}, At{0, 313}, At{0, 37}, At{250, 313}, At{1, 2}}) {
    SetUp();
    const std::vector<int8_t> before = bytes();
    mark(range.x, range.y);
    press(kCut);
    if (sample().length == 0) mark(0, 0);  // nothing left, no cursor
    press(kPaste);
    EXPECT_EQ(bytes(), before) << range.x << ".." << range.y;
  }
  // An odd length comes back exactly: no pad byte is added.
  SetUp();
  set("copy=7 a=3 b=3");
  press(kPaste);
  const std::vector<int8_t> odd = bytes();
  ASSERT_EQ(odd.size(), 10007u);
  mark(100, 200);
  press(kCut);
  press(kPaste);
  EXPECT_EQ(bytes(), odd);
  SetUp();
  // Pasted at the start instead, the piece comes first.
  mark(100, 200);
  press(kCut);
  press(kToStart);
  press(kPaste);
  const std::vector<int8_t> now = bytes();
  EXPECT_EQ(now[0] + 2 * now[3194] + 3 * now[6388],
            original(3194) + 2 * original(0) + 3 * original(6388));
}

TEST_F(Editor, SwappingTwiceRestoresSampleAndBuffer) {
  drag(190, 142, 316, 170);  // the loop now ends at the sample's end
  const std::vector<int8_t> before = bytes();
  mark(10, 20);  // bytes 318 .. 637
  press(kCopy);
  const std::vector<int8_t> piece(st.sampler.copy_data,
                                  st.sampler.copy_data + st.sampler.copy_length);
  press(kSwap);
  EXPECT_EQ(bytes(), piece);
  press(kPaste);
  press(kLoop);  // switched on, the loop covers the whole piece
  EXPECT_EQ(wrong("len=320 loop=0 end=320 span=320 zoom_end=320 copy=10000 px=320 "
                  "msg=SET_CURSOR_POS"),
            "");
  press(kLoop);
  press(kSwap);
  EXPECT_EQ(bytes(), before);
  EXPECT_EQ(wrong("end=10000 span=8000 copy=320 msg=SET_CURSOR_POS"), "");
  EXPECT_EQ(
      std::vector<int8_t>(st.sampler.copy_data, st.sampler.copy_data + st.sampler.copy_length),
      piece);
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
  EXPECT_EQ(st.sampler.copy_length, 320);
}

// Under AddressSanitizer a read outside the sample's new block is reported.
TEST_F(Editor, TheMixerStaysInsideASampleCutAndPastedWhileItPlays) {
  // Channels past the new end stop at once; others play on until stopped.
  test_module::make_constant_sample(st.player, 3, kLength, 1);
  const int32_t starts[4][2] = {{1, 9000}, {1, 6806}, {1, 6805}, {3, 9000}};
  for (int c = 0; c < 4; ++c)
    test_module::start_voice(st.player, c, starts[c][0], starts[c][1], kFixOne, 64);
  mark(100, 200);
  press(kCut);
  const int32_t kept[4] = {-1, -1, 6805 * kFixOne, 9000 * kFixOne};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(st.player->channels[c].position, kept[c]) << c;
  test_module::render_stereo(st.player, 2000);  // channel 2 runs into the new end
  for (const ChannelState& ch : st.player->channels)
    EXPECT_LT(ch.position, sample(ch.sample).length);
  press(kPaste);
  EXPECT_EQ(bytes().size(), static_cast<size_t>(kLength));
  press(kStop);
  EXPECT_EQ(st.player->channels[3].sample, 0);
}

}  // namespace
}  // namespace sampler_test

namespace sampler_test {
namespace {

// BOOST on the marked range only, FILTER on the whole sample, RESAMPLE
// from C-3 to C-2 (half the bytes, the loop halved), the VOLUME panel's
// NORMALIZE and OK; each one step that undo takes back to the exact bytes.
TEST_F(Editor, ProcessingButtonsActOnTheRangeOrTheWholeSample) {
  st.player->history = &st.history;
  const std::vector<int8_t> before = bytes();
  set("a=103 b=203");  // bytes 3194 .. 6389
  press({115, 250});
  std::vector<int8_t> want = before;
  const SampleBytes boosted = boost(SampleBytes(before.begin() + 3194, before.begin() + 6389));
  std::copy(boosted.begin(), boosted.end(), want.begin() + 3194);
  EXPECT_TRUE(bytes() == want && want != before);
  history_undo(*st.player);
  EXPECT_EQ(bytes(), before);
  set("a=0 b=0");  // no range: the whole sample
  press({155, 250});
  EXPECT_EQ(bytes(), smooth(before));
  history_undo(*st.player);
  st.selection.resample_note = -12;
  press({210, 250});
  EXPECT_NEAR(static_cast<double>(bytes().size()), kLength / 2.0, 1);
  EXPECT_EQ(wrong("loop=" + std::to_string(kLoopStart / 2) + " end=" + std::to_string(kLoopEnd / 2),
                  "loop=0 end=0"),
            "");
  history_undo(*st.player);
  EXPECT_EQ(bytes(), before);
  press({200, 238});  // VOLUME: its panel
  press({200, 155});  // NORMALIZE
  const int32_t percent = normalize_percent(before);
  EXPECT_TRUE(st.sampler.volume_from == percent && st.sampler.volume_to == percent);
  press({166, 155});  // the start one down
  press({190, 167});  // OK
  EXPECT_TRUE(bytes() == ramp_volume(before, percent - 1, percent) && bytes() != before &&
              st.sampler.volume_open == 0);
  select(2);  // no data
  press({115, 250});
  EXPECT_STREQ(st.status.message, "EMPTY SAMPLE");
}

// A click on TUNE's note, then a note key, sets the note; TUNE starts the
// tone on the channel after the cursor's, at that note's period.
TEST_F(Editor, TuneNoteAndTone) {
  st.selection.cursor_channel = 3;
  press({300, 238});
  EXPECT_EQ(st.selection.note_field, 1);
  PlatformInput input{};
  input_key_event(input, script_scancode("w"), true);  // D-3
  run_frame(input, &st);
  EXPECT_EQ(st.selection.tune_note * 10 + st.selection.note_field, 20);
  press({260, 238});
  EXPECT_EQ(st.selection.tone_channel * 1000 + st.selection.tone_period, 1190);
  press({260, 238});
  EXPECT_EQ(st.selection.tone_channel, 0);
}

}  // namespace
}  // namespace sampler_test
