// How long the main thread keeps the sound waiting: the longest hold of the
// audio lock in each heavy flow, with a song playing (budget 3 ms, where a
// 1024-frame block lasts 23 ms). Each benchmark reports the longest hold
// seen over a bounded number of iterations as the counter
// "longest_hold_us" (wall time: on a busy machine a hold can include a
// preemption, which no code can avoid: run it under `chrt -f 50` to see
// the code's own holds).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/engine/module_builder.h"
#include "../tests/render/screen_fixture.h"
#include "diskop/disk_op.h"
#include "engine/audio_lock.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "files/module_format.h"
#include "layout/sampler_layout.h"
#include "sampler/sample_editor.h"
#include "sampler/sample_process.h"
#include "sampler/sample_view.h"
#include "sampler/sampling.h"
#include "shell/module_io.h"
#include "shell/mouse_dispatch.h"
#include "shell/sample_io.h"
#include "shell/screens.h"

namespace {

namespace fs = std::filesystem;

// The largest module there can be: 31 samples of 65,534 bytes and 100
// patterns of notes, playing.
void fill_big_module(Player* p) {
  for (int n = 1; n < kSampleCount; ++n)
    test_module::make_sample(p, n, kMaxSampleBytes, 0, 2, 64,
                             [n](int32_t i) { return (i * n) % 256 - 128; });
  for (int pattern = 0; pattern < 100; ++pattern)
    for (int row = 0; row < kRows; ++row)
      test_module::set_cell(p, pattern, row, row % kChannels, 214 + pattern, 1 + row % 31);
  for (int i = 0; i < kPositions; ++i) p->order[i] = i % 100;
  p->song_length = 128;
  p->pattern_count = 100;
  start_playback(*p, kPlaySong, 0);
}

struct Workspace {
  fs::path dir = fs::temp_directory_path() / ("tetrad-lock-bench-" + std::to_string(::getpid()));
  screen_test::Screen screen;
  EditorState& editor = screen.state;
  Workspace() {
    fs::create_directories(dir);
    fill_big_module(editor.player);
    audio_lock_stats_reset();
  }
  ~Workspace() { fs::remove_all(dir); }
  std::string file(const char* name) const { return (dir / name).string(); }
};

void report(benchmark::State& state) {
  state.counters["longest_hold_us"] =
      static_cast<double>(audio_lock_stats().longest_hold_ns) / 1000.0;
}

void BM_LockDiskOpOn10000Files(benchmark::State& state) {
  Workspace w;
  for (int i = 0; i < 10000; ++i)
    std::ofstream(w.dir / ("song" + std::to_string(i) + ".mod")) << "x";
  std::snprintf(w.editor.disk_op.path, sizeof w.editor.disk_op.path, "%s", w.dir.c_str());
  w.editor.input.mouse_x = 150;
  w.editor.input.mouse_y = 60;
  for (auto _ : state) {
    // Opening reads the directory afresh; then a frame of the open screen.
    w.editor.disk_op.list_valid = 0;
    set_screen_open(w.editor, ScreenId::kDiskOp, true);
    mouse_dispatch(&w.editor);
    mouse_dispatch(&w.editor);
    set_screen_open(w.editor, ScreenId::kDiskOp, false);
  }
  report(state);
}
BENCHMARK(BM_LockDiskOpOn10000Files)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_LockSaveModule(benchmark::State& state) {
  Workspace w;
  const std::string path = w.file("big.mod");
  for (auto _ : state) save_module(w.editor.player, path.c_str(), &w.editor, kKindModule);
  report(state);
}
BENCHMARK(BM_LockSaveModule)->Unit(benchmark::kMillisecond)->Iterations(100);

void BM_LockLoadModule(benchmark::State& state) {
  Workspace w;
  const std::string path = w.file("big.mod");
  save_module(w.editor.player, path.c_str(), &w.editor, kKindModule);
  audio_lock_stats_reset();
  for (auto _ : state) {
    load_module(path.c_str(), &w.editor);
    start_playback(*w.editor.player, kPlaySong, 0);
  }
  report(state);
}
BENCHMARK(BM_LockLoadModule)->Unit(benchmark::kMillisecond)->Iterations(100);

void BM_LockSaveAndLoadSample(benchmark::State& state) {
  Workspace w;
  const std::string path = w.file("big.wav");
  w.editor.selection.current_sample = 5;
  for (auto _ : state) {
    save_sample(path.c_str(), &w.editor, 5, false);
    load_sample(&w.editor, path.c_str());
  }
  report(state);
}
BENCHMARK(BM_LockSaveAndLoadSample)->Unit(benchmark::kMillisecond)->Iterations(100);

// Cutting most of a 64 KB sample and undoing and redoing the cut.
void BM_LockSampleCutAndUndo(benchmark::State& state) {
  Workspace w;
  w.editor.selection.current_sample = 7;
  SamplerState& sampler = w.editor.sampler;
  for (auto _ : state) {
    reset_sample_view(sampler, *w.editor.player, 7);
    sampler.mark_a = kWaveLeft + 1;
    sampler.mark_b = kWaveRight - 1;
    sample_button(SamplerAction::kCut, sampler, screen_context(w.editor));
    if (sample_bytes(w.editor.player->samples[7]) > 1000) state.SkipWithError("nothing was cut");
    history_undo(*w.editor.player);
    history_redo(*w.editor.player);
    history_undo(*w.editor.player);
  }
  report(state);
}
BENCHMARK(BM_LockSampleCutAndUndo)->Unit(benchmark::kMillisecond)->Iterations(1000);

// BOOST, FILTER and RESAMPLE (C-3 to C-2) through the sample editor on a
// whole 64 KB sample, each undone: only the swap of the bytes is locked.
void BM_LockSampleProcessing(benchmark::State& state) {
  Workspace w;
  w.editor.selection.current_sample = 9;
  w.editor.selection.resample_note = -12;
  SamplerState& sampler = w.editor.sampler;
  reset_sample_view(sampler, *w.editor.player, 9);
  for (auto _ : state) {
    for (SamplerAction action :
         {SamplerAction::kBoost, SamplerAction::kFilter, SamplerAction::kResample}) {
      process_button(action, sampler, screen_context(w.editor));
      history_undo(*w.editor.player);
    }
  }
  if (sample_bytes(w.editor.player->samples[9]) != kMaxSampleBytes)
    state.SkipWithError("an undo did not give the sample back");
  report(state);
}
BENCHMARK(BM_LockSampleProcessing)->Unit(benchmark::kMillisecond)->Iterations(20);

// An input that has sent 1.5 s of a tone by the time it is opened.
int32_t open_full_input(void*, CaptureRing& ring) {
  int16_t tone[1024];
  for (uint32_t done = 0; done < kCaptureRingFrames; done += 1024) {
    for (int32_t i = 0; i < 1024; ++i)
      tone[i] = static_cast<int16_t>(16000 * std::sin((done + i) * 0.142));
    capture_ring_write(ring, tone, 1024);
  }
  return 44100;
}
void close_input(void*) {}

// Recording into a 64 KB sample: monitor, record, take in what came and
// keep it as one step, then undo it.
void BM_LockSamplingRecording(benchmark::State& state) {
  Workspace w;
  w.editor.selection.current_sample = 11;
  const CaptureServices input{nullptr, open_full_input, close_input};
  for (auto _ : state) {
    const ScreenContext ctx = screen_context(w.editor);
    sampling_press(w.editor.sampling, ctx, input);
    // Recording starts after what monitoring saw: the ring is refilled.
    sampling_press(w.editor.sampling, ctx, input);
    open_full_input(nullptr, w.editor.sampling.ring);
    sampling_frame(w.editor.sampling, ctx, input);
    sampling_press(w.editor.sampling, ctx, input);
    history_undo(*w.editor.player);
  }
  report(state);
}
BENCHMARK(BM_LockSamplingRecording)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
