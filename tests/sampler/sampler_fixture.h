// A loaded module in an editor state with the sample editor open, driven
// frame by frame through the main loop's per-frame path.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "files/module_format.h"
#include "sampler/sample_editor.h"
#include "sampler/sample_view.h"
#include "shell/frame.h"

namespace sampler_test {

constexpr int32_t kLength = 10000;  // sample 1 loops 2000 .. 6000; sample 2 is empty
constexpr int32_t kLoopStart = 2000, kLoopEnd = 6000;

inline int8_t original(int32_t i) {
  return static_cast<int8_t>((i * 7 + i / 100) & 0xFF);
}

// Button centres in screen pixels.
enum : int32_t { kRow1 = 216, kRow2 = 227, kRow3 = 238, kRow4 = 250 };
struct At {
  int32_t x, y;
};
constexpr At kPlay{60, kRow1}, kZoom{130, kRow1}, kZoomOut{200, kRow1}, kStop{15, kRow2},
    kPlayView{60, kRow2}, kShowAll{130, kRow2}, kMarkAll{200, kRow2}, kLoop{280, kRow2},
    kPlayRange{60, kRow3}, kToStart{105, kRow3}, kToEnd{125, kRow3}, kSwap{150, kRow3},
    kVolume{200, kRow3}, kCut{15, kRow4}, kCopy{45, kRow4}, kPaste{80, kRow4}, kClose{15, 129};

class Editor : public ::testing::Test {
 protected:
  screen_test::Screen screen;
  Image marker = screen_test::make_flat(4, 64, 0x00FF00);
  EditorState& st = screen.state;

  void SetUp() override {
    st.img_loopleft = st.img_loopright = &marker;
    st.play_period = 214;
    st.sample_editor_shown = 1;
    std::strcpy(st.message, "ALL RIGHT");
    st.message_timer = st.message_frames = 0;
    free_copy_buffer(&st);
    // Saved as a module file and loaded back, as the user would have it.
    Player* source = player_create(44100);
    test_module::make_sample(source, 1, kLength, kLoopStart, kLoopEnd - kLoopStart, 64, original);
    test_module::make_sample(source, 2, 0, 4, 10, 40, original);
    const std::vector<uint8_t> file = serialize_module(source, kKindModule);
    player_destroy(source);
    player_destroy(st.player);
    st.player = player_create(44100);
    ASSERT_TRUE(parse_module(file.data(), file.size(), st.player, kKindModule, nullptr).ok);
    select(1);
  }
  void TearDown() override { free_copy_buffer(&st); }

  void select(int32_t sample) {
    st.current_sample = sample;
    reset_sample_view(&st);
  }
  Sample& sample(int32_t n = 1) { return st.player->samples[n]; }
  std::vector<int8_t> bytes(int32_t n = 1) {
    const Sample& s = sample(n);
    return s.data ? std::vector<int8_t>(s.data, s.data + (s.length >> 14)) : std::vector<int8_t>{};
  }
  // Sample 1's length and loop, the zoom window, the marks, the buffer's length.
  using Now = std::array<int32_t, 8>;
  Now now() {
    const Sample& s = sample();
    return {s.length >> 14, s.loop_start >> 14, s.loop_end >> 14, st.zoom_start,
            st.zoom_end,    st.mark_a,          st.mark_b,        st.copy_length};
  }
  void frame(int32_t x, int32_t y, bool down) {
    PlatformInput input{};
    input.mouse_x = x;
    input.mouse_y = y;
    input.buttons = down ? kButtonLeft : 0;
    run_frame(input, &st);
  }
  // Pressed at (x0, y0), held for five frames at (x1, y1), let go.
  void drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    frame(x0, y0, true);
    for (int i = 0; i < 5; ++i) frame(x1, y1, true);
    frame(x1, y1, false);
  }
  // A click, any message cleared first so that the button acts.
  void press(At at) {
    st.message_timer = st.message_frames = 0;
    drag(at.x, at.y, at.x, at.y);
  }
  // Marks waveform pixels lo .. hi (screen x + 3).
  void mark(int32_t lo, int32_t hi) { drag(lo + 3, 170, hi + 3, 170); }
};

}  // namespace sampler_test
