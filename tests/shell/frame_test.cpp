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

// Buttons of consecutive frames: left held counts its frames, a release
// clears it and the fast repeat; the right button and the position pass.
TEST_F(FrameFixture, MouseStateReachesTheEditorState) {
  const int32_t buttons[] = {kButtonLeft, kButtonLeft, kButtonLeft, kButtonRight, kButtonLeft, 0};
  const int32_t left_held[] = {1, 2, 3, 0, 1, 0};
  const int32_t right_down[] = {0, 0, 0, 1, 0, 0};
  state.fast_repeat = 1;
  for (int f = 0; f < 6; ++f) {
    input.buttons = buttons[f];
    input.mouse_x = 100 + f;
    input.mouse_y = 45 - f;
    run_frame(input, &state, record_dispatch);
    EXPECT_EQ(state.left_held, left_held[f]) << f;
    EXPECT_EQ(state.right_down, right_down[f]) << f;
    EXPECT_EQ(state.mouse_x, 100 + f);
    EXPECT_EQ(state.mouse_y, 45 - f);
  }
  EXPECT_EQ(state.fast_repeat, 0);
}

TEST_F(FrameFixture, EscapeReleaseReachesExactlyOneFrame) {
  input.raw_key = kRawEscapeRelease;
  run_frame(input, &state, record_dispatch);
  EXPECT_EQ(state.key_code, 0x01);
  EXPECT_EQ(input.raw_key, 0);
  run_frame(input, &state, record_dispatch);
  EXPECT_EQ(state.key_code, 0);
}

TEST_F(FrameFixture, DispatchRunsOncePerFrameAfterTheHeldKey) {
  g_dispatches = 0;
  input.raw_key = 0x4C;  // cursor up
  run_frame(input, &state, record_dispatch);
  run_frame(input, &state, record_dispatch);
  EXPECT_EQ(g_dispatches, 2);
  EXPECT_EQ(g_key_seen, 0xC8);
  EXPECT_EQ(input.raw_key, 0x4C);
}

TEST_F(FrameFixture, ConfirmedQuitEndsTheLoop) {
  run_frame(input, &state, record_dispatch);
  EXPECT_EQ(input.quit_requested, 0);
  state.quit_confirmed = 1;
  run_frame(input, &state, record_dispatch);
  EXPECT_EQ(input.quit_requested, 1);
}

TEST_F(FrameFixture, PlayClockRestartsOnRequestAndStandsWhileStopped) {
  int64_t start = 0;
  start_song_play(&state);
  update_play_clock(&state, 10'000'000, &start);  // the restart is taken here
  EXPECT_EQ(state.restart_clock, 0);
  EXPECT_EQ(state.play_seconds, 0);
  update_play_clock(&state, 12'999'999, &start);
  EXPECT_EQ(state.play_seconds, 2);
  state.player->play_mode = kStopped;
  update_play_clock(&state, 20'000'000, &start);
  EXPECT_EQ(state.play_seconds, 2);
  state.restart_clock = 1;
  update_play_clock(&state, 30'000'000, &start);
  state.player->play_mode = kPlaySong;
  update_play_clock(&state, 31'500'000, &start);
  EXPECT_EQ(state.play_seconds, 1);
}

}  // namespace
