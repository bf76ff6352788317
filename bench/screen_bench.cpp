// The main loop's share of a frame: the dispatcher's full repaint (status,
// oscilloscopes, pattern view, meters, pointer) while the demo module plays
// in record mode with a block being marked (the view's most work),
// and the conversion of the picture into the display texture's pixels.
// The budget is 2% of a 60 Hz frame, 333 us.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "../tests/render/screen_fixture.h"
#include "engine/mixer.h"
#include "files/module_format.h"
#include "platform/pixels.h"
#include "shell/mouse_dispatch.h"
#include "shell/screens.h"

namespace {

void BM_MainScreenFramePlaying(benchmark::State& state) {
  std::ifstream in(TETRAD_SOURCE_DIR "/data/demo.mod", std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  screen_test::Screen screen;
  Player* player = screen.state.player;
  if (!parse_module(bytes.data(), bytes.size(), player, kKindModule, nullptr).ok) {
    state.SkipWithError("data/demo.mod did not load");
    return;
  }
  player->play_mode = kPlaySong;
  screen.state.selection.edit_mode = 1;
  screen.state.edit_buffers.block_marking = 1;
  screen.state.input.mouse_x = 150;
  screen.state.input.mouse_y = 200;
  std::vector<int16_t> audio(735 * 2);
  std::vector<uint32_t> texture(kScreenWidth * kScreenHeight);
  for (auto _ : state) {
    // One frame's worth of audio moves the song and the scopes on; it is
    // the audio thread's work, not the frame's.
    state.PauseTiming();
    render_audio(player, audio.data() + 1, audio.data(), 4, 735, 1, 16, 2);
    state.ResumeTiming();
    mouse_dispatch(&screen.state);
    convert_rgb_to_xrgb(screen.framebuffer.data(), kScreenWidth, kScreenHeight, texture.data(),
                        kScreenWidth * 4);
    benchmark::DoNotOptimize(texture.data());
  }
}
BENCHMARK(BM_MainScreenFramePlaying)->Unit(benchmark::kMicrosecond);

// One whole frame (repaint, the open screen's turn, pointer) with the edit-op
// screen's record page or the position editor open while the demo is
// recorded; the budget is 300 us.
void screen_open_frame(benchmark::State& state, ScreenId screen) {
  std::ifstream in(TETRAD_SOURCE_DIR "/data/demo.mod", std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  screen_test::Screen screen_state;
  EditorState& editor = screen_state.state;
  Player* player = editor.player;
  if (!parse_module(bytes.data(), bytes.size(), player, kKindModule, nullptr).ok) {
    state.SkipWithError("data/demo.mod did not load");
    return;
  }
  Image page = screen_test::make_flat(kScreenWidth, 100, 0x808080);
  Image positions = screen_test::make_flat(120, 88, 0x808080);
  editor.images.editop0 = editor.images.editop1 = editor.images.editop2 = &page;
  editor.images.posed = &positions;
  editor.editop.page = 1;
  editor.selection.edit_mode = 1;
  editor.selection.record.metronome = 1;
  editor.selection.record.metronome_rows = 4;
  set_screen_open(editor, screen, true);
  player->play_mode = kPlaySong;
  editor.input.mouse_x = 60;
  editor.input.mouse_y = 50;
  std::vector<int16_t> audio(735 * 2);
  for (auto _ : state) {
    state.PauseTiming();
    render_audio(player, audio.data() + 1, audio.data(), 4, 735, 1, 16, 2);
    state.ResumeTiming();
    mouse_dispatch(&editor);
    benchmark::DoNotOptimize(screen_state.framebuffer.data());
  }
}

void BM_EditOpFrameRecording(benchmark::State& state) {
  screen_open_frame(state, ScreenId::kEditOp);
}
BENCHMARK(BM_EditOpFrameRecording)->Unit(benchmark::kMicrosecond);

void BM_PositionEditorFramePlaying(benchmark::State& state) {
  screen_open_frame(state, ScreenId::kPositionEditor);
}
BENCHMARK(BM_PositionEditorFramePlaying)->Unit(benchmark::kMicrosecond);

}  // namespace
