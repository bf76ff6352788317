// One frame of the whole dispatcher with the setup (on each of its pages),
// help (on its fullest page) or presets screen open; budget 0.3 ms, as the
// disk op's frame.
#include <benchmark/benchmark.h>

#include "../tests/render/screen_fixture.h"
#include "shell/mouse_dispatch.h"
#include "shell/screens.h"

namespace {

void BM_ScreenFrame(benchmark::State& state) {
  screen_test::Screen screen;
  EditorState& editor = screen.state;
  const auto screen_id = static_cast<ScreenId>(state.range(0));
  set_screen_open(editor, screen_id, true);
  editor.setup.page = static_cast<int32_t>(state.range(1));
  editor.input.mouse_x = 150;
  editor.input.mouse_y = 60;
  mouse_dispatch(&editor);
  if (screen_id == ScreenId::kHelp) {
    size_t fullest = 0;
    for (size_t n = 0; n < help_pages().size(); ++n)
      if (help_pages()[n].lines.size() > help_pages()[fullest].lines.size()) fullest = n;
    editor.help.page = static_cast<int32_t>(fullest);
  }
  for (auto _ : state) {
    mouse_dispatch(&editor);
    benchmark::DoNotOptimize(screen.framebuffer.data());
  }
}
BENCHMARK(BM_ScreenFrame)
    ->Args({static_cast<int>(ScreenId::kSetup), 0})
    ->Args({static_cast<int>(ScreenId::kSetup), 1})
    ->Args({static_cast<int>(ScreenId::kSetup), 2})
    ->Args({static_cast<int>(ScreenId::kSetup), 3})
    ->Args({static_cast<int>(ScreenId::kHelp), 0})
    ->Args({static_cast<int>(ScreenId::kPresets), 0})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
