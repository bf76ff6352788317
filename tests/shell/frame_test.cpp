// The per-frame hand-over of mouse and key state, the one-shot keys and the
// play-time counter.
#include "shell/frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/player.h"

namespace {

// Stands in for the mouse turn, which paints from the real images.
int g_dispatches = 0;
int32_t g_key_seen = -1;
void record_dispatch(EditorState* state) {
  ++g_dispatches;
  g_key_seen = state->key_code;
}

struct FrameFixture : ::testing::Test {
  std::vector<uint8_t> framebuffer = std::vector<uint8_t>(kFramebufferBytes);
  EditorState state{};
  PlatformInput input{};

  void SetUp() override {
    state.framebuffer = framebuffer.data();
    state.player = player_create(44100);
    state.dialog = kDialogNone;
  }
  void TearDown() override { player_destroy(state.player); }
};

// Consecutive frames: left held counts its frames, a release clears it and
// the fast repeat; the right button and the position pass. Escape's release
// reaches one frame; a held key is translated afresh in every frame, before
// the dispatch, which runs once per frame.
TEST_F(FrameFixture, MouseAndKeysReachTheFramesTheyBelongTo) {
  const int32_t frames[][5] = {// buttons, raw key given, left held, right down, key code
                               {kButtonLeft, kRawEscapeRelease, 1, 0, 0x01},
                               {kButtonLeft, 0, 2, 0, 0},
                               {kButtonLeft, 0x4C, 3, 0, 0xC8},  // cursor up
                               {kButtonRight, 0, 0, 1, 0xC8},
                               {kButtonLeft, 0, 1, 0, 0xC8},
                               {0, 0, 0, 0, 0xC8}};
  state.fast_repeat = 1;
  g_dispatches = 0;
  for (int f = 0; f < 6; ++f) {
    input.buttons = frames[f][0];
    if (frames[f][1] != 0) input.raw_key = frames[f][1];
    input.mouse_x = 100 + f;
    input.mouse_y = 45 - f;
    run_frame(input, &state, record_dispatch);
    EXPECT_EQ(state.left_held, frames[f][2]) << f;
    EXPECT_EQ(state.right_down, frames[f][3]) << f;
    EXPECT_EQ(g_key_seen, frames[f][4]) << f;
    EXPECT_EQ(state.mouse_x, 100 + f);
    EXPECT_EQ(state.mouse_y, 45 - f);
  }
  EXPECT_EQ(input.raw_key, 0x4C);
  EXPECT_EQ(state.fast_repeat, 0);
  EXPECT_EQ(g_dispatches, 6);
  EXPECT_EQ(input.quit_requested, 0);
  state.quit_confirmed = 1;
  run_frame(input, &state, record_dispatch);
  EXPECT_EQ(input.quit_requested, 1);
}

// Whole seconds since the song was started; a restart request is taken by
// the next update, and the clock stands while nothing plays.
TEST_F(FrameFixture, PlayClockRestartsOnRequestAndStandsWhileStopped) {
  const int64_t steps[][4] = {// time in us, playing, restart asked, seconds shown
                              {10'000'000, 1, 0, 0},
                              {12'999'999, 1, 0, 2},
                              {20'000'000, 0, 0, 2},
                              {30'000'000, 0, 1, 2},
                              {31'500'000, 1, 0, 1}};
  int64_t start = 0;
  start_song_play(&state);  // asks for a restart
  for (const auto& s : steps) {
    state.player->play_mode = s[1] ? kPlaySong : kStopped;
    if (s[2]) state.restart_clock = 1;
    update_play_clock(&state, s[0], &start);
    EXPECT_EQ(state.play_seconds, s[3]) << s[0];
    EXPECT_EQ(state.restart_clock, 0) << s[0];
  }
}

}  // namespace
