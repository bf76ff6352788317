// A loaded module in an editor state with the sample editor open, driven
// frame by frame through the main loop's per-frame path.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../engine/module_builder.h"
#include "../fields.h"
#include "../render/screen_fixture.h"
#include "engine/history.h"
#include "engine/sample_tools.h"
#include "files/module_format.h"
#include "platform/keymap.h"
#include "sampler/sample_editor.h"
#include "sampler/sample_view.h"
#include "shell/frame.h"
#include "shell/screens.h"
#include "shell/script.h"

namespace sampler_test {

constexpr int32_t kLength = 10000;  // sample 1 loops 2000 .. 6000; sample 2 is empty
constexpr int32_t kLoopStart = 2000, kLoopEnd = 6000;
// Sample 1 as loaded, whole in view; the message is spelt with '_' for ' '.
constexpr const char* kWhole =
    "len=10000 loop=2000 end=6000 span=4000 zoom=0 zoom_end=10000 offset=0 a=0 b=0 copy=0 "
    "play=-1 to=0 px=10000 msg=ALL_RIGHT";

// The "name=value" list `changes` with every field of `base` it does not name.
inline std::string over(const std::string& changes, const std::string& base) {
  std::string all = changes;
  fields::each(base, [&](const std::string& name, const std::string& value) {
    if ((" " + changes).find(" " + name + "=") == std::string::npos)
      all += " " + name + "=" + value;
  });
  return all;
}

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
    st.images.loopleft = st.images.loopright = &marker;
    st.sampler.play_period = 214;
    set_screen_open(st, ScreenId::kSampler, true);
    std::strcpy(st.status.message, "ALL RIGHT");
    st.status.message_timer = st.status.message_frames = 0;
    free_copy_buffer(st.sampler);
    st.sampler.volume_open = 0;
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
  void TearDown() override { free_copy_buffer(st.sampler); }

  void select(int32_t sample) {
    st.selection.current_sample = sample;
    sample_changed(st);
  }
  Sample& sample(int32_t n = 1) { return st.player->samples[n]; }
  std::vector<int8_t> bytes(int32_t n = 1) {
    const Sample& s = sample(n);
    return s.data ? std::vector<int8_t>(s.data, s.data + (s.length >> 14)) : std::vector<int8_t>{};
  }
  // Fields by name, in kNames order: sample 1's length and loop in bytes,
  // the view, the buffer's length; "px" is the bytes a pixel shows times
  // 314, "play" where channel 2 started sample 1 at C-3 (-1: it did not),
  // "to" where a range play stops.
  static constexpr const char* kNames =
      " len loop end span zoom zoom_end offset a b copy play to px ";
  static size_t slot(const std::string& name) {
    const std::string names = kNames;
    const size_t at = names.find(" " + name + " ");
    return at == std::string::npos ? 99 : std::count(names.begin(), names.begin() + at, ' ');
  }
  // Sets the view fields (zoom .. b) named in a "name=value" list; "copy"
  // puts a zeroed buffer of that length in the copy buffer.
  void set(const std::string& list) {
    const std::array<int32_t*, 5> view = {&st.sampler.zoom_start, &st.sampler.zoom_end,
                                          &st.sampler.view_offset, &st.sampler.mark_a,
                                          &st.sampler.mark_b};
    fields::each(list, [&](const std::string& name, const std::string& value) {
      if (name != "copy") {
        *view.at(slot(name) - 4) = std::stoi(value);
        return;
      }
      free_copy_buffer(st.sampler);
      st.sampler.copy_length = std::stoi(value);
      st.sampler.copy_data = static_cast<int8_t*>(std::calloc(st.sampler.copy_length, 1));
    });
  }
  // "" when the fields named in `expect` hold and every other field of
  // `base` is unchanged, else the wrong ones; the message is "msg".
  std::string wrong(const std::string& expect, const std::string& base = kWhole) {
    const Sample& s = sample();
    const ChannelState& ch = st.player->channels[2];
    const int32_t play = ch.sample == 1 && ch.period == 214 ? ch.position >> 14 : -1;
    const int32_t to = st.player->range_play ? st.player->range_end >> 14 : 0;
    const auto px = static_cast<int32_t>(std::lround(st.sampler.samples_per_pixel * 314));
    const std::array<int32_t, 4> loop = {s.length, s.loop_start, s.loop_end, s.loop_length};
    const std::array<int32_t, 9> view = {st.sampler.zoom_start,
                                         st.sampler.zoom_end,
                                         st.sampler.view_offset,
                                         st.sampler.mark_a,
                                         st.sampler.mark_b,
                                         st.sampler.copy_length,
                                         play,
                                         to,
                                         px};
    return fields::wrong(over(expect, base), [&](const std::string& name) {
      const size_t i = slot(name);
      if (i < 4) return std::to_string(loop[i] >> 14);
      if (i < 13) return std::to_string(view[i - 4]);
      std::string message = name == "msg" ? st.status.message : "?";
      std::replace(message.begin(), message.end(), ' ', '_');
      return message;
    });
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
    st.status.message_timer = st.status.message_frames = 0;
    drag(at.x, at.y, at.x, at.y);
  }
  // Marks waveform pixels lo .. hi (screen x + 3).
  void mark(int32_t lo, int32_t hi) { drag(lo + 3, 170, hi + 3, 170); }
};

}  // namespace sampler_test
