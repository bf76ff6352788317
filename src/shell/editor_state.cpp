#include "shell/editor_state.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "diskop/disk_op.h"
#include "files/png_image.h"
#include "sampler/sample_editor.h"
#include "shell/program_dir.h"

namespace {

struct ImageFile {
  Image* EditorState::*field;
  const char* path;
};

// In load order.
constexpr ImageFile kImageFiles[] = {
    {&EditorState::img_main, "data/hvmain.png"},
    {&EditorState::img_font, "data/hvfont.png"},
    {&EditorState::img_cursor, "data/hvcurs.png"},
    {&EditorState::img_pointer, "data/hvpnt.png"},
    {&EditorState::img_disk, "data/hvdisk.png"},
    {&EditorState::img_sure, "data/hvsure.png"},
    {&EditorState::img_textcursor, "data/hvtextcurs.png"},
    {&EditorState::img_clear, "data/hvclear.png"},
    {&EditorState::img_diskoparrow, "data/hvdiskoparrow.png"},
    {&EditorState::img_chan1off, "data/chan1off.png"},
    {&EditorState::img_chan2off, "data/chan2off.png"},
    {&EditorState::img_chan3off, "data/chan3off.png"},
    {&EditorState::img_chan4off, "data/chan4off.png"},
    {&EditorState::img_disk2, "data/hvdisk2.png"},
    {&EditorState::img_help, "data/hvhelp.png"},
    {&EditorState::img_posed, "data/hvposed.png"},
    {&EditorState::img_sample, "data/hvsample.png"},
    {&EditorState::img_loopleft, "data/hvloopleft.png"},
    {&EditorState::img_loopright, "data/hvloopright.png"},
};

// The images in field order, for freeing.
Image* EditorState::*const kImageFields[] = {
    &EditorState::img_main,       &EditorState::img_font,     &EditorState::img_pointer,
    &EditorState::img_disk,       &EditorState::img_sure,     &EditorState::img_cursor,
    &EditorState::img_textcursor, &EditorState::img_clear,    &EditorState::img_diskoparrow,
    &EditorState::img_chan1off,   &EditorState::img_chan2off, &EditorState::img_chan3off,
    &EditorState::img_chan4off,   &EditorState::img_disk2,    &EditorState::img_help,
    &EditorState::img_posed,      &EditorState::img_sample,   &EditorState::img_loopleft,
    &EditorState::img_loopright,
};

}  // namespace

EditorState* editor_state_create() {
  auto* state = new (std::nothrow) EditorState{};  // zero-filled
  if (!state) return nullptr;
  // Every view paints the whole picture before it is shown, so no clearing.
  state->canvas.pixels = new (std::nothrow) uint8_t[kFramebufferBytes];
  if (!state->canvas.pixels) {
    editor_state_destroy(state);
    return nullptr;
  }
  for (const ImageFile& file : kImageFiles) {
    const std::string path = program_path(file.path);
    Image* image = read_png_file(path.c_str());
    if (!image) {
      // Nothing can be shown without every image. The decoder's message
      // has no line end of its own.
      std::fputc('\n', stdout);
      std::fflush(stdout);
      std::fprintf(stderr, "tetrad: cannot load image %s\n", path.c_str());
      editor_state_destroy(state);
      return nullptr;
    }
    state->*file.field = image;
  }

  state->canvas.font = state->img_font;
  std::snprintf(state->message, sizeof state->message, "%s", "ALL RIGHT");
  state->pointer_colour = kPointerWhite;
  state->normal_pointer_colour = kPointerWhite;
  state->dialog = kDialogNone;
  state->current_sample = 1;
  state->edit_skip = 1;
  const int32_t marks[5] = {0, 16, 32, 48, 63};
  std::memcpy(state->row_marks, marks, sizeof marks);

  set_default_directories(state, nullptr);
  state->option_song = 1;  // the first opening reads the list: list_valid is 0

  state->play_period = 214;  // C-3 of finetune 0
  state->copy_loop_length = 2;
  state->copy_loop_end = 2;
  return state;
}

void editor_state_destroy(EditorState* state) {
  if (!state) return;
  delete[] state->canvas.pixels;
  for (Image* EditorState::*field : kImageFields)
    if (state->*field) image_free(state->*field);
  free_copy_buffer(state);
  delete state;
}
