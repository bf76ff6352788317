// A right click alone on a line of the disk op's list plays the file as a
// sample when the samples row would load it, or when every file is shown
// and the samples row would list it; a left click in the list ends it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "../render/screen_fixture.h"
#include "diskop/disk_op.h"
#include "shell/preview.h"
#include "shell/screens.h"

namespace {

namespace fs = std::filesystem;

struct PreviewLine {
  int32_t row_y;  // the row's select button: 5 modules, 27 samples
  bool all;       // every file shown
  int32_t line;
  bool heard;
};

// Listed with every file shown: sub/, a.mod, bass, notes.txt; the samples
// row alone lists sub/ and bass, the modules row sub/ and a.mod.
const PreviewLine kLines[] = {
    {27, false, 1, true}, {27, false, 0, false}, {27, true, 3, true}, {5, false, 1, false},
    {5, true, 2, true},   {5, true, 3, false},   {5, true, 1, false},
};

TEST(DiskOpPreview, ARightClickPlaysWhatTheSamplesRowWouldLoad) {
  const fs::path dir =
      fs::temp_directory_path() / ("tetrad-diskop-preview-" + std::to_string(::getpid()));
  fs::create_directories(dir / "sub");
  for (const char* name : {"a.mod", "bass", "notes.txt"})
    std::ofstream(dir / name) << std::string(2000, '\x30');
  screen_test::Screen screen;
  EditorState& state = screen.state;
  FrameInput& input = state.input;
  const auto frame = [&](int32_t x, int32_t y, int32_t left, int32_t right_click) {
    input.mouse_x = x;
    input.mouse_y = y;
    input.left_held = left;
    input.right_click = right_click;
    run_screens(state);
    input.left_held = input.right_click = 0;
    run_screens(state);
  };
  for (const PreviewLine& c : kLines) {
    for (auto field : {&DiskOpState::module_dir, &DiskOpState::sample_dir, &DiskOpState::path})
      std::strcpy(state.disk_op.*field, dir.c_str());
    state.disk_op.show_all = c.all ? 1 : 0;
    set_screen_open(state, ScreenId::kDiskOp, true);
    frame(150, c.row_y, 1, 0);
    frame(50, 45 + 7 * c.line + 2, 0, 1);
    EXPECT_EQ(state.preview.owner != 0, c.heard) << c.row_y << " " << c.all << " " << c.line;
    if (c.heard) {
      frame(50, 47, 1, 0);  // a left click on the folder's line
      EXPECT_EQ(state.preview.owner, 0) << c.row_y << " " << c.all << " " << c.line;
    }
    stop_preview(state);
    close_disk_op(state.disk_op, state.status);
  }
  fs::remove_all(dir);
}

}  // namespace
