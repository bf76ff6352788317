// The disk op's costs: reading and sorting a large directory (once per
// listing; budget 50 ms for 10,000 files), one frame of the open screen
// with a full list (every frame; budget 0.3 ms), also while a file's
// preview sounds, and the frame of a typed letter that no name starts
// with, which looks at every name (budget 0.3 ms on 10,000 files too, so
// typing never drops a frame).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/render/screen_fixture.h"
#include "diskop/directory.h"
#include "diskop/disk_op.h"
#include "edit/key_tables.h"
#include "shell/disk_op_files.h"
#include "shell/mouse_dispatch.h"
#include "shell/preview.h"
#include "shell/screens.h"

namespace {

namespace fs = std::filesystem;

// A directory of `count` small files and a few subdirectories, in an order
// that leaves the sort something to do.
struct BigDirectory {
  fs::path path;
  explicit BigDirectory(int count) {
    path = fs::temp_directory_path() / ("tetrad-bench-" + std::to_string(::getpid()));
    fs::create_directories(path);
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "%s%05d.mod", i % 2 ? "Tune" : "song", (i * 7919) % count);
      std::ofstream(path / name) << "x";
    }
    for (int i = 0; i < 20; ++i) fs::create_directory(path / ("dir" + std::to_string(i)));
  }
  ~BigDirectory() { fs::remove_all(path); }
};

void BM_ReadDirectoryOf10000Files(benchmark::State& state) {
  const BigDirectory dir(10000);
  DirList list{};
  for (auto _ : state) {
    read_directory(dir.path.c_str(), list);
    benchmark::DoNotOptimize(list.entries.data());
  }
  state.counters["entries"] = static_cast<double>(list.entries.size());
}
BENCHMARK(BM_ReadDirectoryOf10000Files)->Unit(benchmark::kMillisecond);

// With the argument 1, a sample file's preview sounds meanwhile.
void BM_DiskOpScreenFrame(benchmark::State& state) {
  const BigDirectory dir(100);
  screen_test::Screen screen;
  EditorState& editor = screen.state;
  std::snprintf(editor.disk_op.path, sizeof editor.disk_op.path, "%s", dir.path.c_str());
  set_screen_open(editor, ScreenId::kDiskOp, true);
  editor.disk_op.list_top = 40;
  editor.input.mouse_x = 150;
  editor.input.mouse_y = 60;
  if (state.range(0)) {
    const fs::path voice = dir.path / "voice.raw";
    std::ofstream(voice) << std::string(20000, '\x40');
    preview_sample_file(editor, voice.c_str(), ScreenId::kDiskOp);
  }
  mouse_dispatch(&editor);  // the first frame reads the list
  for (auto _ : state) {
    mouse_dispatch(&editor);
    benchmark::DoNotOptimize(screen.framebuffer.data());
  }
  state.counters["previewing"] = editor.preview.owner != 0 ? 1 : 0;
  stop_preview(editor);
  close_disk_op(editor.disk_op, editor.status);
}
BENCHMARK(BM_DiskOpScreenFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DiskOpTypedLetterIn10000Files(benchmark::State& state) {
  const BigDirectory dir(10000);
  screen_test::Screen screen;
  EditorState& editor = screen.state;
  std::snprintf(editor.disk_op.path, sizeof editor.disk_op.path, "%s", dir.path.c_str());
  editor.disk_op.show_all = 1;
  set_screen_open(editor, ScreenId::kDiskOp, true);
  mouse_dispatch(&editor);  // the first frame reads the list
  editor.input.screen_key = kKeyQ;
  editor.input.text_char = 'q';  // no name starts with it: the prefix is dropped each time
  for (auto _ : state) {
    mouse_dispatch(&editor);
    benchmark::DoNotOptimize(screen.framebuffer.data());
  }
  state.counters["entries"] = editor.disk_op.list_count;
  close_disk_op(editor.disk_op, editor.status);
}
BENCHMARK(BM_DiskOpTypedLetterIn10000Files)->Unit(benchmark::kMicrosecond);

}  // namespace
