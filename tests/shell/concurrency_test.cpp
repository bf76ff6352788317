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
  test_module::make_constant_sample(p, 1, 2000, level);
  p->samples[1].loop_start = 0;
  p->samples[1].loop_length = 2000 * kFixOne;
  p->samples[1].loop_end = p->samples[1].loop_length;
  p->song_length = 1;
  p->pattern_count = 1;
  for (int row = 0; row < kRows; row += 2) test_module::set_cell(p, 0, row, row % 4, 300, 1);
  p->play_mode = kPlaySong;
  return p;
}

struct LockedWorld {
  std::vector<uint8_t> framebuffer = std::vector<uint8_t>(kFramebufferBytes);
  EditorState state{};
  AudioRefill refill{};
  HeadlessPlatform platform;
  std::atomic<bool> stop{false};
  std::atomic<int64_t> fills{0};

  LockedWorld() {
    state.framebuffer = framebuffer.data();
    state.player = make_playing_player(40);
    audio_refill_init(refill, &state);
    headless_init(platform, AudioSource{audio_refill_fill, &refill});
    audio_lock_install(AudioLockHooks{headless_lock, headless_unlock, &platform});
  }
  ~LockedWorld() {
    audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
    player_destroy(state.player);
  }
  // What the sound card's thread does: fill under the lock, over and over.
  std::thread start_audio() {
    return std::thread([this] {
      int16_t out[700 * 2];
      while (!stop.load()) {
        AudioGuard guard;
        audio_refill_fill(&refill, out, 700);
        fills.fetch_add(1);
      }
    });
  }
  void wait_for_fills(int64_t n) {
    while (fills.load() < n) std::this_thread::yield();
  }
};

TEST(Concurrency, EditingAndReplacingThePlayerWhileItPlays) {
  LockedWorld world;
  std::thread audio = world.start_audio();
  for (int i = 0; i < 400; ++i) {
    {
      AudioGuard guard;
      Player* p = world.state.player;
      test_module::set_cell(p, 0, i % kRows, i % kChannels, 200 + i % 300, 1);
      p->channels[i % kChannels].volume = i % 64;
      p->channels[i % kChannels].period = 150 + i;
      p->row = i % kRows;
    }
    if (i % 50 == 49) {
      // A load: build outside the lock, swap under it, free after.
      Player* fresh = make_playing_player(static_cast<int8_t>(i % 100));
      Player* old;
      {
        AudioGuard guard;
        old = world.state.player;
        world.state.player = fresh;
      }
      player_destroy(old);
    }
    world.wait_for_fills(i / 4);
  }
  world.stop.store(true);
  audio.join();
  EXPECT_GE(world.fills.load(), 100);
  EXPECT_GT(world.refill.blocks_rendered, 0);
}

// A frame's dispatch that changes the player the way the key and mouse
// handlers do, relying on the frame to hold the lock.
void edit_in_frame(EditorState* state) {
  Player* p = state->player;
  p->channels[0].volume = (p->channels[0].volume + 1) % 64;
  p->patterns[0][state->left_held % kRows][1].period = 428;
  p->play_mode = p->play_mode == kStopped ? kPlaySong : kStopped;
}

TEST(Concurrency, FramesHoldTheLockWhileTheyEdit) {
  LockedWorld world;
  std::thread audio = world.start_audio();
  PlatformInput input{};
  input.buttons = kButtonLeft;
  int64_t start = 0;
  for (int frame = 0; frame < 300; ++frame) {
    update_play_clock(&world.state, frame * 16667, &start);
    run_frame(input, &world.state, edit_in_frame);
    world.wait_for_fills(frame / 3);
  }
  world.stop.store(true);
  audio.join();
  EXPECT_EQ(world.state.left_held, 300);
}

}  // namespace
