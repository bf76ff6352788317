// The per-frame hand-over of mouse and key state and the play-time counter;
// the refill between mixer and sound card (panning and saturation, 1024-frame
// blocks whatever the card's buffer size) and the headless clock pulling
// exactly what real time would. The Concurrency test puts the mixer on an
// audio thread while the main thread runs whole frames, which take the one
// audio lock only for what the mixer reads; run it under ThreadSanitizer
// (ctest -R Concurrency) to catch any unlocked access.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "engine/audio_lock.h"
#include "engine/history.h"
#include "platform/headless.h"
#include "platform/keymap.h"
#include "shell/audio_refill.h"
#include "shell/frame.h"
#include "shell/script.h"

namespace {

using test_module::make_sample;
using test_module::set_cell;

// A looping song on all four channels with a tempo change, so that tick
// timing and block boundaries both matter.
Player* make_song() {
  Player* p = player_create(44100);
  make_sample(p, 1, 4000, 0, 4000, 64, [](int32_t i) { return (i * 37) % 200 - 100; });
  p->song_length = p->pattern_count = 1;
  for (int row = 0; row < kRows; row += 2) set_cell(p, 0, row, row / 2 % 4, 428 - row, 1);
  set_cell(p, 0, 8, 1, 0, 0, 0xF, 0x90);  // tempo 144
  p->play_mode = kPlaySong;
  return p;
}

// The editor playing the song, its refill, and a headless platform to
// pull the sound and lend its lock.
struct World {
  EditorState state{};
  AudioRefill refill{};
  HeadlessPlatform platform;
  PlatformOps ops;
  PlatformInput input{};
  World() {
    state.player = make_song();
    state.status.dialog = kDialogNone;
    audio_refill_init(refill, &state);
    headless_init(platform, 100);
    ops = headless_ops(platform);
    ops.audio_open(ops.context, AudioSource{audio_refill_fill, &refill});
  }
  ~World() { player_destroy(state.player); }
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
    EXPECT_TRUE(l == c[3] && r == c[4]) << c[0] << " " << c[1] << ": " << l << " " << r;
  }
}

// Pulled in pieces of any size, the stream is the mixer's blocks panned,
// and each block is rendered only as the card reaches it.
TEST(AudioRefill, AnyDeviceBufferSizeOrClockGivesTheMixerBlocksPanned) {
  World live;
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
  World mono;
  mono.refill.mono = 1;
  out = mono.pull(2000);
  for (size_t i = 0; i < out.size(); i += 2) ASSERT_EQ(out[i], out[i + 1]);
  // The headless clock pulls 44100 / 60 frames of sound for each 60 Hz frame.
  World clocked;
  for (int f = 0; f < 100; ++f) clocked.ops.wait(clocked.ops.context);
  EXPECT_TRUE(clocked.platform.audio_frames_pulled == 100 * 735 &&
              clocked.ops.clock_us(clocked.ops.context) == 100 * 1000000 / 60);
  EXPECT_EQ(clocked.refill.blocks_rendered, (100 * 735 + kRefillFrames - 1) / kRefillFrames);
}

// The tuning tone: a 32-byte cycle at its period (C-3: 3,579,328 / 214 / 32
// Hz) on the side its channel is panned to, nothing when off.
TEST(AudioRefill, TuningToneAtItsNoteOnItsChannelsSide) {
  for (const int32_t channel : {0, 1, 2}) {
    World w;
    w.state.player->play_mode = kStopped;
    w.state.selection.tone_channel = channel;
    w.state.selection.tone_period = 214;
    const std::vector<int16_t> out = w.pull(44100);
    int32_t peak[2] = {0, 0};
    for (size_t i = 0; i < out.size(); ++i) peak[i % 2] = std::max<int32_t>(peak[i % 2], out[i]);
    if (channel == 0) {
      EXPECT_EQ(peak[0] + peak[1], 0);
      continue;
    }
    EXPECT_NEAR(test_module::measured_hz(out), 3579328.0 / 214 / 32, 2.6);
    // The first channel (tone_channel 1) sounds on the left, the second on the right.
    EXPECT_GT(peak[channel == 1 ? 0 : 1], 4 * peak[channel == 1 ? 1 : 0]) << channel;
  }
}

// A load: the new player is built outside the lock, swapped in under it,
// and the old one is freed after.
Player* replace_player(EditorState& state, Player* fresh) {
  AudioGuard guard;
  fresh->history = &state.history;
  std::swap(state.player, fresh);
  return fresh;
}

// The whole frame path, which runs without the lock, against the mixer on
// its own thread: notes typed in record mode, undo, row and position keys,
// the position arrow, the sample screen drawn, and loads swapping the
// player. Under ThreadSanitizer any read of what the replayer moves that
// bypasses the lock is reported.
TEST(Concurrency, TheFramePathWhileTheSongPlays) {
  World w;
  screen_test::Screen screen;
  player_destroy(screen.state.player);
  EditorState& state = screen.state;
  state.player = w.state.player;
  state.player->history = &state.history;
  w.state.player = nullptr;
  audio_refill_init(w.refill, &state);
  audio_lock_install(AudioLockHooks{w.ops.lock, w.ops.unlock, w.ops.context});
  std::atomic<bool> stop{false};
  std::atomic<int64_t> fills{0};
  // What the sound card's thread does: fill under the lock, over and over.
  std::thread audio([&] {
    int16_t out[700 * 2];
    while (!stop.load()) {
      AudioGuard guard;
      audio_refill_fill(&w.refill, out, 700);
      fills.fetch_add(1);
    }
  });
  struct Event {
    const char* key;
    int32_t qualifier_scancode;  // 0: none
  };
  const int32_t ctrl = script_scancode("ctrl"), shift = script_scancode("shift");
  // Record, notes, undo and redo, the cursor keys, a track paste.
  const Event events[] = {{"rshift", 0}, {"q", 0},  {"w", 0},      {"Down", 0}, {"u", ctrl},
                          {"e", 0},      {"Up", 0}, {"F5", shift}, {"r", 0},    {"u", ctrl}};
  PlatformInput input{};
  int64_t start = 0;
  for (int frame = 0; frame < 400; ++frame) {
    const Event& e = events[frame / 2 % std::size(events)];
    const bool down = frame % 2 == 0;
    if (e.qualifier_scancode) input_key_event(input, e.qualifier_scancode, down);
    input_key_event(input, script_scancode(e.key), down);
    // The position arrow clicked every 25 frames; once, the sampler button.
    input.mouse_x = frame == 50 ? 274 : 103;
    input.mouse_y = frame == 50 ? 38 : 5;
    input.buttons = frame % 25 == 0 ? kButtonLeft : 0;
    update_play_clock(&state, frame * 16667, &start);
    run_frame(input, &state, mouse_dispatch);
    if (frame % 100 == 99) player_destroy(replace_player(state, make_song()));
    while (fills.load() < frame / 4) std::this_thread::yield();
  }
  stop.store(true);
  audio.join();
  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  EXPECT_GT(w.refill.blocks_rendered, 0);
  // The typed notes reached the pattern: the song holds cells beyond the
  // ones it was built with.
  EXPECT_TRUE(history_modified(state.history, *state.player));
}

// Stands in for the mouse turn, which paints from the real images.
int g_dispatches = 0;
int32_t g_key_seen = -1;
void record_dispatch(EditorState* state) {
  ++g_dispatches;
  g_key_seen = state->input.key_code;
}

struct Frame : World, ::testing::Test {};

// A right press clears the left button's count and the fast repeat. Escape's release reaches one
// frame; a held key is translated afresh in every frame, before the dispatch, which runs once per
// frame.
TEST_F(Frame, MouseAndKeysReachTheFramesTheyBelongTo) {
  const int32_t raw[] = {kRawEscapeRelease, 0, 0x4C, 0x4C}, code[] = {0x01, 0, 0xC8, 0xC8};
  state.input.fast_repeat = 1;
  g_dispatches = 0;
  for (int f = 0; f < 4; ++f) {
    if (raw[f] != 0) input.raw_key = raw[f];
    input.buttons = f < 3 ? kButtonLeft : kButtonRight;
    run_frame(input, &state, record_dispatch);
    EXPECT_EQ(g_key_seen, code[f]) << f;
    EXPECT_TRUE(state.input.left_held == (f < 3 ? f + 1 : 0) && state.input.right_down == (f == 3))
        << f;
  }
  EXPECT_TRUE(input.raw_key == 0x4C && state.input.fast_repeat == 0 && g_dispatches == 4 &&
              input.quit_requested == 0);
  EXPECT_EQ(state.input.repeat_delay_frames, 18);  // the default 300 ms at 60 frames a second
  state.status.quit_confirmed = 1;
  run_frame(input, &state, record_dispatch);
  EXPECT_EQ(input.quit_requested, 1);
}

// Whole seconds since the song was started; a restart request is taken by
// the next update, and the clock stands while nothing plays.
TEST_F(Frame, PlayClockRestartsOnRequestAndStandsWhileStopped) {
  // Time in microseconds, playing, restart asked, seconds shown.
  const int64_t steps[][4] = {{10'000'000, 1, 0, 0},
                              {12'999'999, 1, 0, 2},
                              {20'000'000, 0, 0, 2},
                              {30'000'000, 0, 1, 2},
                              {31'500'000, 1, 0, 1}};
  int64_t start = 0;
  start_song_play(&state);  // asks for a restart
  for (const auto& s : steps) {
    state.player->play_mode = s[1] ? kPlaySong : kStopped;
    if (s[2]) state.main.restart_clock = 1;
    update_play_clock(&state, s[0], &start);
    EXPECT_EQ(state.main.play_seconds, s[3]) << s[0];
  }
}

}  // namespace
