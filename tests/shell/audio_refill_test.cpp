// The refill between mixer and sound card: panning and saturation, 1024-frame
// blocks whatever the card's buffer size, and the headless clock pulling
// exactly what real time would. The Concurrency tests put the mixer on an
// audio thread while the main thread edits and replaces the player, all
// under the one audio lock; run them under ThreadSanitizer (ctest -R
// Concurrency) to catch any unlocked access.
#include "shell/audio_refill.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "../engine/module_builder.h"
#include "engine/audio_lock.h"
#include "platform/headless.h"
#include "shell/frame.h"

namespace {

using test_module::make_sample;
using test_module::set_cell;

// A short song on all four channels with a tempo change, so that tick
// timing and block boundaries both matter.
Player* make_song() {
  Player* p = player_create(44100);
  make_sample(p, 1, 4000, 0, 4000, 64, [](int32_t i) { return (i * 37) % 200 - 100; });
  make_sample(p, 2, 3000, 0, 3000, 48, [](int32_t i) { return i % 50 < 25 ? 90 : -90; });
  p->song_length = 2;
  p->order[1] = 1;
  p->pattern_count = 2;
  for (int row = 0; row < kRows; row += 4) {
    set_cell(p, 0, row, row / 4 % 4, 428 - row, 1 + row / 4 % 2);
    set_cell(p, 1, row, 3 - row / 4 % 4, 214 + row, 2);
  }
  set_cell(p, 0, 8, 1, 0, 0, 0xF, 0x90);  // tempo 144
  p->play_mode = kPlaySong;
  return p;
}

struct Refill {
  EditorState state{};
  AudioRefill refill{};
  Refill() {
    state.player = make_song();
    audio_refill_init(refill, &state);
  }
  ~Refill() { player_destroy(state.player); }
  std::vector<int16_t> pull(int32_t frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    audio_refill_fill(&refill, out.data(), frames);
    return out;
  }
};

// Stereo: the right sound leaks a sixteenth into the left, saturated; mono:
// the mean of both on each side.
TEST(AudioRefill, PanningAndSaturation) {
  const int32_t cases[][5] = {
      // right, left, mono, expected left, expected right
      {1600, 1000, 0, 1100, 1500},         {32767, 32767, 0, 32767, 32767 * 15 / 16},
      {-32768, -32768, 0, -32768, -30720}, {1000, -3000, 1, -1000, -1000},
      {32767, 32767, 1, 32767, 32767},
  };
  for (const auto& c : cases) {
    int16_t l = 0, r = 0;
    pan_frame(c[0], c[1], c[2], &l, &r);
    EXPECT_EQ(l, c[3]) << c[0] << " " << c[1];
    EXPECT_EQ(r, c[4]) << c[0] << " " << c[1];
  }
}

// Pulled in pieces of any size, the stream is the mixer's blocks panned,
// and each block is rendered only as the card reaches it.
TEST(AudioRefill, AnyDeviceBufferSizeGivesTheMixerBlocksPanned) {
  Refill live;
  std::vector<int16_t> out;
  for (int32_t size : {1, 511, 1024, 333, 1203}) {
    const std::vector<int16_t> part = live.pull(size);
    out.insert(out.end(), part.begin(), part.end());
    EXPECT_EQ(live.refill.blocks_rendered, (out.size() / 2 + kRefillFrames - 1) / kRefillFrames);
  }
  Player* reference = make_song();
  int peak = 0;
  for (size_t at = 0; at < out.size(); at += 2 * kRefillFrames) {
    const test_module::Stereo s = test_module::render_stereo(reference, kRefillFrames);
    for (int i = 0; i < kRefillFrames; ++i) {
      int16_t l = 0, r = 0;
      pan_frame(s.right[i], s.left[i], 0, &l, &r);
      ASSERT_EQ(out[at + 2 * i], l) << at / 2 + i;
      ASSERT_EQ(out[at + 2 * i + 1], r) << at / 2 + i;
      peak = std::max(peak, std::abs(int{l}));
    }
  }
  player_destroy(reference);
  EXPECT_GT(peak, 1000);  // not a comparison between two silences
  Refill mono;
  mono.refill.mono = 1;
  out = mono.pull(2000);
  for (size_t i = 0; i < out.size(); i += 2) ASSERT_EQ(out[i], out[i + 1]);
}

TEST(HeadlessClock, EachFramePullsWhatRealTimeWouldPlay) {
  Refill live;
  HeadlessPlatform platform;
  headless_init(platform, AudioSource{audio_refill_fill, &live.refill});
  constexpr int kFrames = 100;
  for (int f = 0; f < kFrames; ++f) headless_advance_frame(platform);
  EXPECT_EQ(platform.audio_frames_pulled, kFrames * 735);
  EXPECT_EQ(headless_clock_us(platform), kFrames * 1000000 / 60);
  const int64_t blocks = (kFrames * 735 + kRefillFrames - 1) / kRefillFrames;
  EXPECT_EQ(live.refill.blocks_rendered, blocks);
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
  state.player = make_song();
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
      Player* fresh = make_song();
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
