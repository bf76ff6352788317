// The mixer on an audio thread while the main thread edits and replaces the
// player, everything shared under the one audio lock. Run under
// ThreadSanitizer (ctest -R Concurrency) to catch any unlocked access.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "../engine/module_builder.h"
#include "engine/audio_lock.h"
#include "platform/headless.h"
#include "shell/audio_refill.h"
#include "shell/frame.h"

namespace {

Player* make_playing_player(int8_t level) {
  Player* p = player_create(44100);
  test_module::make_sample(p, 1, 2000, 0, 2000, 64, [level](int32_t) { return level; });
  p->song_length = p->pattern_count = 1;
  for (int row = 0; row < kRows; row += 2) test_module::set_cell(p, 0, row, row % 4, 300, 1);
  p->play_mode = kPlaySong;
  return p;
}

// A frame's dispatch that changes the player the way the key and mouse
// handlers do, relying on the frame to hold the lock.
void edit_in_frame(EditorState* state) {
  Player* p = state->player;
  const int32_t i = state->left_held;
  test_module::set_cell(p, 0, i % kRows, i % kChannels, 200 + i % 300, 1);
  p->channels[i % kChannels].volume = i % 64;
  p->channels[i % kChannels].period = 150 + i;
  p->row = i % kRows;
  p->play_mode = p->play_mode == kStopped ? kPlaySong : kStopped;
}

TEST(Concurrency, EditingAndReplacingThePlayerWhileItPlays) {
  std::vector<uint8_t> framebuffer(kFramebufferBytes);
  EditorState state{};
  state.framebuffer = framebuffer.data();
  state.player = make_playing_player(40);
  AudioRefill refill{};
  audio_refill_init(refill, &state);
  HeadlessPlatform platform;
  headless_init(platform, AudioSource{audio_refill_fill, &refill});
  audio_lock_install(AudioLockHooks{headless_lock, headless_unlock, &platform});
  std::atomic<bool> stop{false};
  std::atomic<int64_t> fills{0};
  // What the sound card's thread does: fill under the lock, over and over.
  std::thread audio([&] {
    int16_t out[700 * 2];
    while (!stop.load()) {
      AudioGuard guard;
      audio_refill_fill(&refill, out, 700);
      fills.fetch_add(1);
    }
  });
  PlatformInput input{};
  input.buttons = kButtonLeft;
  int64_t start = 0;
  for (int frame = 0; frame < 400; ++frame) {
    update_play_clock(&state, frame * 16667, &start);
    run_frame(input, &state, edit_in_frame);
    if (frame % 50 == 49) {
      // A load: build outside the lock, swap under it, free after.
      Player* fresh = make_playing_player(static_cast<int8_t>(frame % 100));
      Player* old;
      {
        AudioGuard guard;
        old = state.player;
        state.player = fresh;
      }
      player_destroy(old);
    }
    while (fills.load() < frame / 4) std::this_thread::yield();
  }
  stop.store(true);
  audio.join();
  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  player_destroy(state.player);
  EXPECT_EQ(state.left_held, 400);
  EXPECT_GT(refill.blocks_rendered, 0);
}

}  // namespace
