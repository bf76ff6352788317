// A frame of the open sample editor: the full repaint with the waveform of
// a 65534-byte sample, a range marked across most of it, both loop markers
// and a play line, then the conversion into the display's pixels. The
// budget is 0.3 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "../tests/render/screen_fixture.h"
#include "platform/pixels.h"
#include "sampler/sample_view.h"
#include "shell/mouse_dispatch.h"
#include "shell/screens.h"

namespace {

void BM_SampleEditorFrameWithRange(benchmark::State& state) {
  screen_test::Screen screen;
  Image marker = screen_test::make_flat(4, 64, 0x00FF00);
  screen.state.images.loopleft = screen.state.images.loopright = &marker;
  Sample& sample = screen.player().samples[1];
  constexpr int32_t kBytes = 65534;
  sample.data = static_cast<int8_t*>(std::malloc(kBytes));
  for (int32_t i = 0; i < kBytes; ++i) sample.data[i] = static_cast<int8_t>((i * 37) ^ (i >> 5));
  sample.length = kBytes * kFixOne;
  sample.loop_start = 1000 * kFixOne;
  sample.loop_length = 60000 * kFixOne;
  sample.loop_end = 61000 * kFixOne;
  set_screen_open(screen.state, ScreenId::kSampler, true);
  screen.state.sampler.play_period = 214;
  sample_changed(screen.state);
  screen.state.sampler.mark_a = 20;
  screen.state.sampler.mark_b = 300;
  ChannelState& ch = screen.player().channels[0];
  ch.sample = 1;
  ch.position = 30000 * kFixOne;
  screen.state.input.mouse_x = 150;
  screen.state.input.mouse_y = 170;
  std::vector<uint32_t> texture(kScreenWidth * kScreenHeight);
  for (auto _ : state) {
    mouse_dispatch(&screen.state);
    convert_rgb_to_xrgb(screen.framebuffer.data(), kScreenWidth, kScreenHeight, texture.data(),
                        kScreenWidth * 4);
    benchmark::DoNotOptimize(texture.data());
  }
}
BENCHMARK(BM_SampleEditorFrameWithRange)->Unit(benchmark::kMicrosecond);

}  // namespace
