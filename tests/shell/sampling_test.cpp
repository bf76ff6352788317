// Sampling through the main loop on the headless back-end, whose input is a
// sine: Alt+A monitors, records at the rate of the NOTE note, and stops on a
// full sample or a key; the recording is one undo step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "engine/song_render.h"
#include "layout/sampler_layout.h"
#include "platform/headless.h"
#include "shell/main_loop.h"
#include "shell/mouse_dispatch.h"
#include "shell/script.h"
#include "shell/script_input.h"

namespace {

struct Session {
  int32_t bytes;        // sample 1's length after the run
  double hz;            // sample 1 played at the NOTE note
  std::string message;  // the message line at the end
  int32_t level;        // the input's level while monitoring
  bool undone;          // one undo took back a sampling step
  bool undo_restores;   // and gave back the old bytes
  std::string label;    // over the waveform in the last frame
  int32_t traced;       // pixels of the live input's trace there
};

// Sample 1 holds 100 bytes of 7 before the run; the input sends a
// `tone_hz` sine at `rate` frames a second (0: no input device).
Session run_session(const char* script_text, int32_t rate, double tone_hz, int32_t note) {
  screen_test::Screen screen;
  EditorState& state = screen.state;
  test_module::make_sample(state.player, 1, 100, 0, 2, 64, [](int32_t) { return 7; });
  state.selection.resample_note = note;
  std::vector<ScriptCommand> commands;
  std::string error;
  EXPECT_TRUE(parse_script(script_text, commands, error)) << error;
  ScriptInput script;
  script_input_init(script, commands, "sampling.script", screen.framebuffer.data(), nullptr,
                    nullptr);
  HeadlessPlatform platform;
  headless_init_fed(platform, script_feed(script));
  platform.capture_rate = rate;
  platform.capture_hz = tone_hz;
  Session run{};
  run_main_loop(headless_ops(platform), &state, mouse_dispatch);
  run.level = state.sampling.level;
  run.label = screen.text_at(kWaveLeft + 2, kWaveTop + 2, 18, 0xFFFFFF);
  for (int32_t y = kWaveTop; y <= kWaveBottom; ++y)
    for (int32_t x = kWaveLeft; x <= kWaveRight; ++x) run.traced += screen.pixel(x, y) == 0x00E000;
  run.message = state.status.message;
  EXPECT_EQ(state.sampling.phase, SamplingPhase::kOff);
  EXPECT_EQ(platform.sink.push, nullptr) << "the input is left open";
  Player* p = state.player;
  run.bytes = sample_bytes(p->samples[1]);
  if (run.bytes > 100) {
    Player* copy = copy_player(*p);
    copy->song_length = copy->pattern_count = 1;
    test_module::set_cell(copy, 0, 0, 0, kPeriodTable[0][24 + note], 1);
    run.hz = test_module::measured_hz(render_song(copy, 22050, nullptr));
    player_destroy(copy);
  }
  const HistoryMove undo = history_undo(*p);
  run.undone = undo.moved && undo.kind == StepKind::kSampling;
  run.undo_restores = sample_bytes(p->samples[1]) == 100 && p->samples[1].data[99] == 7;
  return run;
}

// The rate the mixer plays `note` (semitones from C-3) at.
double rate_of(int32_t note) {
  return period_rate(kPeriodTable[0][24 + note]);
}

TEST(Sampling, RecordsAtTheRateOfTheNoteNote) {
  struct Case {
    const char* script;
    int32_t rate;
    double tone_hz;
    int32_t note;
    int32_t bytes;   // expected length; 0: a count of input frames below
    double seconds;  // recorded time when stopped by a key
    const char* message;
  };
  // Full: 65,534 bytes; stopped by a key after N frames: N/60 s at the
  // note's rate (the converter's delay and the frame of the key aside).
  const Case cases[] = {
      {"key a alt\nwait 20\nkey a alt\nwait 300\n", 44100, 1000, 0, 65534, 0, "SAMPLE RECORDED"},
      {"key a alt\nwait 20\nkey a alt\nwait 300\n", 48000, 1000, 0, 65534, 0, "SAMPLE RECORDED"},
      {"key a alt\nwait 20\nkey a alt\nwait 520\n", 22050, 500, -12, 65534, 0, "SAMPLE RECORDED"},
      {"key a alt\nwait 20\nkey a alt\nwait 60\nkey x\nwait 5\n", 44100, 1000, 0, 0, 62.0 / 60,
       "SAMPLE RECORDED"},
      {"key a alt\nwait 20\nkey a alt\nwait 60\nkey a alt\nwait 5\n", 44100, 800, 7, 0, 62.0 / 60,
       "SAMPLE RECORDED"},
  };
  for (const Case& c : cases) {
    const Session run = run_session(c.script, c.rate, c.tone_hz, c.note);
    const int32_t expected =
        c.bytes ? c.bytes : static_cast<int32_t>(c.seconds * rate_of(c.note)) & ~1;
    EXPECT_NEAR(run.bytes, expected, c.bytes ? 0 : 0.02 * expected) << c.script << c.rate;
    EXPECT_NEAR(run.hz, c.tone_hz, 0.005 * c.tone_hz) << c.script << c.rate;
    EXPECT_EQ(run.message, c.message) << c.script;
    EXPECT_TRUE(run.level == 49 || run.level == 50) << run.level;
    EXPECT_TRUE(run.undone && run.undo_restores) << c.script;
  }
}

// Monitoring shows the input and its level and records nothing; without an
// input device nothing opens.
TEST(Sampling, MonitoringAndNoDeviceChangeNothing) {
  struct Case {
    const char* script;
    int32_t rate;
    const char* message;
    const char* label;
    bool traced;
  };
  const Case cases[] = {
      {"key a alt\nwait 30\n", 44100, "MONITORING", "MONITOR LEVEL  50%", true},
      {"key a alt\nwait 30\nkey s alt\nwait 3\n", 44100, "ALL RIGHT", "..................", false},
      {"key a alt\nwait 30\n", 0, "NO INPUT DEVICE", "..................", false},
  };
  for (const Case& c : cases) {
    const Session run = run_session(c.script, c.rate, 1000, 0);
    EXPECT_EQ(run.bytes, 100) << c.script;
    EXPECT_EQ(run.message, c.message) << c.script;
    EXPECT_FALSE(run.undone) << c.script;
    EXPECT_EQ(run.label, c.label) << c.script;
    // A 1 kHz sine at 44.1 kHz crosses the view many times, top to bottom.
    EXPECT_EQ(run.traced > 1000, c.traced) << c.script << " " << run.traced;
  }
}

}  // namespace
