// Sampling end to end through SDL's disk audio driver, which reads the
// "input device" from a file and needs no sound hardware: a 1 kHz tone in
// the file, recorded at NOTE C-3 and played back at C-3, sounds at 1 kHz.
#include "platform/sdl_capture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "engine/editing.h"
#include "engine/song_render.h"
#include "sampler/sampling.h"

namespace {

void push_to_ring(void* ring, const int16_t* mono, int32_t frames) {
  capture_ring_write(*static_cast<CaptureRing*>(ring), mono, frames);
}

int32_t open_disk_input(void* capture, CaptureRing& ring) {
  return sdl_capture_open(*static_cast<SdlCapture*>(capture), CaptureSink{push_to_ring, &ring});
}

void close_disk_input(void* capture) {
  sdl_capture_close(*static_cast<SdlCapture*>(capture));
}

TEST(SdlCapture, DiskDriverToneRecordedAtItsPitch) {
  namespace fs = std::filesystem;
  const fs::path input = fs::temp_directory_path() / ("tetrad-in-" + std::to_string(getpid()));
  {
    // 16-bit stereo at 44.1 kHz, as the capture asks for: the tone louder
    // on the left, so the channels are mixed, not one taken.
    std::ofstream out(input, std::ios::binary);
    for (int f = 0; f < 44100 * 8; ++f) {
      const double s = std::sin(2 * std::numbers::pi * 1000 * f / 44100);
      const int16_t frame[2] = {static_cast<int16_t>(std::lround(20000 * s)),
                                static_cast<int16_t>(std::lround(4000 * s))};
      out.write(reinterpret_cast<const char*>(frame), sizeof frame);
    }
  }
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "2", 1);  // a buffer every 2 ms, not every 23
  screen_test::Screen screen;
  EditorState& state = screen.state;
  state.selection.resample_note = 0;  // C-3
  SdlCapture capture{};
  const CaptureServices services{&capture, open_disk_input, close_disk_input};
  const ScreenContext ctx = screen_context(state);
  sampling_press(state.sampling, ctx, services);
  ASSERT_EQ(state.sampling.phase, SamplingPhase::kMonitoring) << state.status.message;
  EXPECT_EQ(state.sampling.device_rate, 44100);
  sampling_press(state.sampling, ctx, services);
  ASSERT_EQ(state.sampling.phase, SamplingPhase::kRecording);
  // Frames until the sample is full; the level is that of the mixed tone.
  int32_t level = 0;
  for (int i = 0; i < 5000 && state.sampling.phase != SamplingPhase::kOff; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    sampling_frame(state.sampling, ctx, services);
    if (state.sampling.phase == SamplingPhase::kRecording) level = state.sampling.level;
  }
  fs::remove(input);
  ASSERT_EQ(state.sampling.phase, SamplingPhase::kOff);
  EXPECT_EQ(capture.device, 0u);
  EXPECT_EQ(level, 36);  // (20000 + 4000) / 2 of 32768
  Player* p = state.player;
  ASSERT_EQ(sample_bytes(p->samples[1]), kMaxSampleBytes);
  EXPECT_EQ(state.sampling.ring.dropped.load(), 0u);
  p->song_length = p->pattern_count = 1;
  test_module::set_cell(p, 0, 0, 0, 214, 1);
  EXPECT_NEAR(test_module::measured_hz(render_song(p, 22050, nullptr)), 1000.0, 5.0);
}

}  // namespace
