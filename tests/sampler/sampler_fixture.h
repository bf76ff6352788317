// A loaded module in an editor state with the sample editor open, driven
// frame by frame through the real per-frame path (mouse hand-over and
// dispatch), as the main loop drives it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "files/module_format.h"
#include "platform/platform.h"
#include "sampler/sample_editor.h"
#include "sampler/sample_view.h"
#include "shell/frame.h"

namespace sampler_test {

constexpr int32_t kLength = 10000;  // sample 1; sample 2 is empty
constexpr int32_t kLoopStart = 2000;
constexpr int32_t kLoopLength = 4000;

inline int8_t original(int32_t i) {
  return static_cast<int8_t>((i * 7 + i / 100) & 0xFF);
}

class Editor : public ::testing::Test {
 protected:
  screen_test::Screen screen;
  // Markers: the start marker's ink is its right column, the end's its left.
  Image left = screen_test::make_flat(4, 64, 0);
  Image right = screen_test::make_flat(4, 64, 0);
  EditorState& st = screen.state;

  void SetUp() override {
    for (int y = 0; y < 64; ++y) {
      screen_test::set_image_pixel(left, 3, y, 0x00FF00);
      screen_test::set_image_pixel(right, 0, y, 0x00FF00);
    }
    st.img_loopleft = &left;
    st.img_loopright = &right;
    st.play_period = 214;
    st.copy_loop_length = st.copy_loop_end = 2;
    st.cut_position = -1;
    st.sample_editor_shown = 1;
    std::strcpy(st.message, "ALL RIGHT");
    st.message_timer = st.message_frames = 0;
    free_copy_buffer(&st);
    player_destroy(st.player);
    st.player = player_create(44100);
    // Saved as a module file and loaded back, as the user would have it.
    Player* source = player_create(44100);
    test_module::make_sample(source, 1, kLength, kLoopStart, kLoopLength, 64, original);
    test_module::make_sample(source, 2, 0, 4, 10, 40, original);
    const std::vector<uint8_t> bytes = serialize_module(source, kKindModule);
    player_destroy(source);
    ASSERT_TRUE(parse_module(bytes.data(), bytes.size(), st.player, kKindModule, nullptr).ok);
    select(1);
  }

  void TearDown() override { free_copy_buffer(&st); }

  void select(int32_t sample) {
    st.current_sample = sample;
    reset_sample_view(&st);
  }
  Sample& sample(int32_t n = 1) { return screen.player().samples[n]; }
  std::vector<int8_t> bytes(int32_t n = 1) {
    const Sample& s = sample(n);
    return s.data ? std::vector<int8_t>(s.data, s.data + (s.length >> 14)) : std::vector<int8_t>{};
  }

  void frame(int32_t x, int32_t y, bool down) {
    PlatformInput input{};
    input.mouse_x = x;
    input.mouse_y = y;
    input.buttons = down ? kButtonLeft : 0;
    run_frame(input, &st);
  }
  // A press held for a few frames, moved to (x1, y1), then let go.
  void drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    frame(x0, y0, true);
    for (int i = 0; i < 5; ++i) frame(x1, y1, true);
    frame(x1, y1, false);
  }
  // A click, with any message cleared so the next button acts at once.
  void click(int32_t x, int32_t y) {
    frame(x, y, true);
    frame(x, y, false);
  }
  void button(int32_t x, int32_t y) {
    st.message_timer = st.message_frames = 0;
    click(x, y);
  }
  // Marks pixels lo..hi of the waveform (screen x lo + 3 .. hi + 3).
  void mark(int32_t lo, int32_t hi) { drag(lo + 3, 170, hi + 3, 170); }
};

// Button centres, in screen pixels.
constexpr int32_t kPlay[2] = {60, 216}, kZoom[2] = {130, 216}, kZoomOut[2] = {200, 216},
                  kStop[2] = {15, 232}, kPlayView[2] = {60, 227}, kShowAll[2] = {130, 227},
                  kMarkAll[2] = {200, 227}, kLoop[2] = {280, 227}, kPlayRange[2] = {60, 238},
                  kCursorStart[2] = {105, 238}, kCursorEnd[2] = {125, 238}, kSwap[2] = {150, 238},
                  kCut[2] = {15, 250}, kCopy[2] = {45, 250}, kPaste[2] = {80, 250},
                  kClose[2] = {15, 129};

}  // namespace sampler_test
