// The one main loop over a back-end's table: what each turn does, the
// stereo key, quitting, the audio lock; a headless run's exact frame and
// sound count; the scripted input source's events frame by frame.
#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../engine/module_builder.h"
#include "engine/audio_lock.h"
#include "platform/headless.h"
#include "platform/keymap.h"
#include "shell/script.h"
#include "shell/script_input.h"

namespace {

constexpr int32_t kF12 = 69;

// A turn of the fake back-end: what its wait says, its clock then, and the
// event its poll delivers ("F12+", "F12-", "close", "setup" or ""). "setup"
// changes the settings as the setup screen would: window scale 3 in full
// screen, and a 256-frame sound buffer.
struct FakeTurn {
  PlatformTurn turn;
  int64_t clock_us;
  const char* event;
};

// A back-end that plays back a list of turns and logs what the loop asks of
// it. Each open pulls some sound to tell stereo from mono.
struct Fake {
  std::vector<FakeTurn> turns;
  size_t at = 0;
  int64_t now = 5'000'000;
  int32_t lock_depth = 0;
  int32_t locks_taken = 0;
  std::string log;
  EditorState* state = nullptr;

  static Fake& of(void* context) { return *static_cast<Fake*>(context); }
  static PlatformTurn wait(void* context) {
    Fake& f = of(context);
    f.log += " |";
    if (f.at == f.turns.size()) return kTurnEnd;
    f.now = f.turns[f.at].clock_us;
    return f.turns[f.at].turn;
  }
  static int64_t clock_us(void* context) { return of(context).now; }
  static void poll(void* context, PlatformInput& input) {
    Fake& f = of(context);
    const std::string event = f.turns[f.at++].event;
    if (event == "F12+" || event == "F12-") input_key_event(input, kF12, event == "F12+");
    if (event == "close") input.quit_requested = 1;
    if (event == "setup") {
      f.state->settings.display_scale = 3;
      f.state->settings.display_fullscreen = true;
      f.state->settings.audio_buffer = 256;
    }
    f.log += " poll";
  }
  static void present(void* context, const uint8_t*, bool text_input) {
    of(context).log += text_input ? " show+text" : " show";
  }
  static int32_t audio_open(void* context, AudioSource source) {
    std::vector<int16_t> out(2 * 2048);
    source.fill(source.context, out.data(), 2048);
    bool mono = true;
    for (size_t i = 0; i < out.size(); i += 2) mono = mono && out[i] == out[i + 1];
    of(context).log += mono ? " open(mono" : " open(stereo";
    if (source.frames != 1024) of(context).log += "," + std::to_string(source.frames);
    of(context).log += ")";
    return 1;
  }
  static void audio_close(void* context) { of(context).log += " close"; }
  static void lock(void* context) {
    ++of(context).lock_depth;
    ++of(context).locks_taken;
  }
  static void unlock(void* context) { --of(context).lock_depth; }
  static void set_window(void* context, int32_t scale, bool fullscreen) {
    of(context).log += " window(" + std::to_string(scale) + "," + std::to_string(fullscreen) + ")";
  }

  PlatformOps ops() {
    return PlatformOps{this,    wait,    clock_us, poll,   present, audio_open, audio_close,
                       nullptr, nullptr, lock,     unlock, nullptr, set_window};
  }
};

// A note playing on one channel: sound on one side only.
Player* make_song() {
  Player* p = player_create(44100);
  test_module::make_sample(p, 1, 4000, 0, 4000, 64, [](int32_t i) { return (i * 37) % 200 - 100; });
  p->song_length = p->pattern_count = 1;
  test_module::set_cell(p, 0, 0, 0, 428, 1);
  p->play_mode = kPlaySong;
  return p;
}

// What each frame's dispatch saw: the play seconds, and whether the frame
// held the back-end's lock. The dispatch opens a text field on the frame
// whose play second is 3.
std::string* g_log = nullptr;
Fake* g_fake = nullptr;
void logging_dispatch(EditorState* state) {
  *g_log += " frame@" + std::to_string(state->main.play_seconds);
  if (state->status.message[0]) *g_log += std::string("[") + state->status.message + "]";
  // The frame takes the lock only around what the mixer reads.
  if (g_fake->lock_depth != 0) *g_log += "(locked)";
  if (state->main.play_seconds == 3) state->status.dialog = kDialogTextField;
}

struct LoopCase {
  std::vector<FakeTurn> turns;
  const char* log;
};

// Starting at 5 s on the back-end's clock, the play seconds count from
// there. The stereo key restarts the sound panned the other way once per
// press however long it is held, and says which it now is; a poll-only turn runs no frame; the loop
// ends after the turn in which the window closes, or when the back-end
// ends, and closes the sound last.
TEST(MainLoop, TurnsOfABackEnd) {
  const LoopCase cases[] = {
      {{}, " open(stereo) | close"},
      {{{kTurnPoll, 5'500'000, ""},
        {kTurnFrame, 6'000'000, "F12+"},
        {kTurnFrame, 7'000'000, ""},
        {kTurnPoll, 7'100'000, "F12-"},
        {kTurnFrame, 8'200'000, "F12+"},
        {kTurnFrame, 9'000'000, "close"},
        {kTurnFrame, 10'000'000, ""}},
       " open(stereo) | poll | poll close open(mono) frame@1[MONO] show | poll frame@2[MONO] show"
       " | poll | poll close open(stereo) frame@3[STEREO] show+text"
       " | poll frame@4[STEREO] show+text close"},
      {{{kTurnFrame, 5'000'000, "F12+"}, {kTurnEnd, 6'000'000, ""}, {kTurnFrame, 7'000'000, ""}},
       " open(stereo) | poll close open(mono) frame@0[MONO] show | close"},
      // The settings changed: the sound restarts with the new buffer and the
      // window follows, once.
      {{{kTurnFrame, 6'000'000, "setup"}, {kTurnFrame, 7'000'000, ""}},
       " open(stereo) | poll close open(stereo,256) window(3,1) frame@1 show | poll frame@2 show"
       " | close"},
  };
  for (const LoopCase& c : cases) {
    EditorState state{};
    state.player = make_song();
    state.status.dialog = kDialogNone;
    Fake fake;
    fake.turns = c.turns;
    fake.state = &state;
    g_log = &fake.log;
    g_fake = &fake;
    run_main_loop(fake.ops(), &state, logging_dispatch);
    EXPECT_EQ(fake.log, c.log);
    // The lock was the back-end's during the loop only.
    const int32_t taken = fake.locks_taken;
    audio_lock();
    audio_unlock();
    EXPECT_TRUE(fake.lock_depth == 0 && fake.locks_taken == taken &&
                (taken > 0) == !c.turns.empty())
        << c.log;
    player_destroy(state.player);
  }
}

int g_frames = 0;
void count_frame(EditorState*) {
  ++g_frames;
}

// A headless run of N frames runs exactly N and pulls exactly N/60 s of
// sound, so that two runs give the same picture.
TEST(MainLoop, HeadlessRunTakesItsFramesAndTheirSound) {
  for (const int32_t frames : {1, 7, 60, 121}) {
    EditorState state{};
    state.player = make_song();
    HeadlessPlatform platform;
    headless_init(platform, frames);
    g_frames = 0;
    run_main_loop(headless_ops(platform), &state, count_frame);
    EXPECT_TRUE(g_frames == frames && platform.frames_run == frames &&
                platform.audio_frames_pulled == int64_t{frames} * 44100 / 60)
        << frames << ": " << g_frames << " frames, " << platform.audio_frames_pulled;
    player_destroy(state.player);
  }
}

struct ScriptCase {
  const char* script;
  const char* frames;  // the input each frame sees
  bool failed;
};

// One frame's input: "RAW.QUALIFIER" of the last key event, 'c the typed
// character, bBUTTONS@X,Y of the mouse, drop:PATH; "-" when all are empty.
std::string frame_input(PlatformInput& input) {
  char text[64] = "";
  std::string out;
  if (input.raw_key || input.raw_qualifier) {
    std::snprintf(text, sizeof text, " %X.%X", input.raw_key, input.raw_qualifier);
    out += text;
  }
  if (input.text_char) out += std::string(" '") + static_cast<char>(input.text_char);
  if (input.buttons || input.mouse_x || input.mouse_y) {
    std::snprintf(text, sizeof text, " b%d@%d,%d", input.buttons, input.mouse_x, input.mouse_y);
    out += text;
  }
  if (input.dropped_file[0]) out += std::string(" drop:") + input.dropped_file;
  if (input.wheel) out += " wheel" + std::to_string(input.wheel);
  if (input.close_requested) out += " close";
  // The frame takes the dropped file and the wheel's notches.
  input.dropped_file[0] = 0;
  input.wheel = 0;
  input.close_requested = 0;
  return out.empty() ? " -" : out;
}

// Keys: A is raw 0x20, 1 is 0x01, Shift 0x60 with qualifier 1; a release
// adds 0x80. A key is down for its frames, then up for one; modifiers go
// down before it and up after it. Right button is bit 4. A drag moves in
// eight steps; a close is a request for one frame. A shot or a save that
// cannot be written ends the run.
TEST(ScriptInput, EachCommandBecomesTheInputOfItsFrames) {
  const ScriptCase cases[] = {
      {"key a\n", " 20.0 A0.0", false},
      {"hold a 3 shift\n", " 20.1 20.1 20.1 E0.0", false},
      {"type A!\n", " 20.1 'A E0.0 1.1 '! E0.0", false},
      {"click 10 20 right\n", " b4@10,20 b0@10,20", false},
      {"drag 0 0 80 40\n",
       " b1@0,0 b1@10,5 b1@20,10 b1@30,15 b1@40,20 b1@50,25 b1@60,30 b1@70,35 b1@80,40 b0@80,40",
       false},
      {"wait 2\nclose\nwait 1\n", " - - close -", false},
      {"wait 0\ndrop /x y.mod\nwait 1\n", " drop:/x y.mod -", false},
      {"key a\nshot /nonexistent/dir/s.png\nwait 3\n", " 20.0 A0.0", true},
      {"wheel 30 40 -2\nwheel 1 2 3\n", " b0@30,40 wheel-2 b0@1,2 wheel3", false},
      {"save /tmp/a.mod\nwait 1\n", " -", false},
      {"key a\nsave /nonexistent/dir/a.mod\nwait 3\n", " 20.0 A0.0", true},
  };
  const std::vector<uint8_t> picture(kFramebufferBytes, 0x40);
  for (const ScriptCase& c : cases) {
    std::vector<ScriptCommand> commands;
    std::string error;
    ASSERT_TRUE(parse_script(c.script, commands, error)) << c.script << error;
    ScriptInput script;
    // The save writes nothing; it fails where the path's directory is missing.
    script_input_init(
        script, commands, "test.script", picture.data(),
        [](void*, const char* path) { return std::strstr(path, "nonexistent") == nullptr; },
        nullptr);
    HeadlessPlatform platform;
    headless_init_fed(platform, script_feed(script));
    const PlatformOps ops = headless_ops(platform);
    PlatformInput input{};
    std::string frames;
    int64_t turns = 0;
    for (; ops.wait(ops.context) != kTurnEnd; ++turns) {
      ops.poll(ops.context, input);
      frames += frame_input(input);
    }
    EXPECT_EQ(frames, c.frames) << c.script;
    EXPECT_EQ(script.failed, c.failed) << c.script;
    // Time and sound went on for the frames run, no further.
    EXPECT_TRUE(platform.frames_run == turns && platform.audio_frames_pulled == turns * 735)
        << c.script;
  }
}

}  // namespace
