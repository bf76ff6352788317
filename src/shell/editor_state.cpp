#include "shell/editor_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "diskop/disk_op.h"
#include "files/png_image.h"
#include "sampler/sample_editor.h"
#include "shell/program_dir.h"

namespace {

struct ImageFile {
  Image* GuiImages::*field;
  const char* path;
};

// In load order.
constexpr ImageFile kImageFiles[] = {
    {&GuiImages::main, "data/hvmain.png"},
    {&GuiImages::font, "data/hvfont.png"},
    {&GuiImages::cursor, "data/hvcurs.png"},
    {&GuiImages::pointer, "data/hvpnt.png"},
    {&GuiImages::disk, "data/hvdisk.png"},
    {&GuiImages::sure, "data/hvsure.png"},
    {&GuiImages::textcursor, "data/hvtextcurs.png"},
    {&GuiImages::clear, "data/hvclear.png"},
    {&GuiImages::diskoparrow, "data/hvdiskoparrow.png"},
    {&GuiImages::chan1off, "data/chan1off.png"},
    {&GuiImages::chan2off, "data/chan2off.png"},
    {&GuiImages::chan3off, "data/chan3off.png"},
    {&GuiImages::chan4off, "data/chan4off.png"},
    {&GuiImages::disk2, "data/hvdisk2.png"},
    {&GuiImages::help, "data/hvhelp.png"},
    {&GuiImages::posed, "data/hvposed.png"},
    {&GuiImages::sample, "data/hvsample.png"},
    {&GuiImages::loopleft, "data/hvloopleft.png"},
    {&GuiImages::loopright, "data/hvloopright.png"},
    {&GuiImages::editop0, "data/hveditop1.png"},
    {&GuiImages::editop1, "data/hveditop2.png"},
    {&GuiImages::editop2, "data/hveditop3.png"},
    {&GuiImages::setup0, "data/hvsetup1.png"},
    {&GuiImages::setup1, "data/hvsetup2.png"},
    {&GuiImages::setup2, "data/hvsetup3.png"},
    {&GuiImages::setup3, "data/hvsetup4.png"},
    {&GuiImages::presets, "data/hvpresets.png"},
};

// The images in field order, for freeing.
Image* GuiImages::*const kImageFields[] = {
    &GuiImages::main,        &GuiImages::font,     &GuiImages::pointer,    &GuiImages::disk,
    &GuiImages::sure,        &GuiImages::cursor,   &GuiImages::textcursor, &GuiImages::clear,
    &GuiImages::diskoparrow, &GuiImages::chan1off, &GuiImages::chan2off,   &GuiImages::chan3off,
    &GuiImages::chan4off,    &GuiImages::disk2,    &GuiImages::help,       &GuiImages::posed,
    &GuiImages::sample,      &GuiImages::loopleft, &GuiImages::loopright,  &GuiImages::editop0,
    &GuiImages::editop1,     &GuiImages::editop2,  &GuiImages::setup0,     &GuiImages::setup1,
    &GuiImages::setup2,      &GuiImages::setup3,   &GuiImages::presets,
};

}  // namespace

EditorState* editor_state_create() {
  auto* state = new (std::nothrow) EditorState{};  // zero-filled
  if (!state) return nullptr;
  // Black until the first frame paints it: a picture taken before then is
  // the same on every run.
  state->canvas.pixels = new (std::nothrow) uint8_t[kFramebufferBytes]();
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
    state->images.*file.field = image;
  }

  state->canvas.font = state->images.font;
  std::snprintf(state->status.message, sizeof state->status.message, "%s", "ALL RIGHT");
  state->status.pointer_colour = kPointerWhite;
  state->status.normal_pointer_colour = kPointerWhite;
  state->status.dialog = kDialogNone;
  state->selection.current_sample = 1;
  state->selection.edit_skip = 1;
  const int32_t marks[5] = {0, 16, 32, 48, 63};
  std::memcpy(state->selection.row_marks, marks, sizeof marks);

  set_default_directories(state->disk_op, nullptr);
  state->disk_op.option_song = 1;  // the first opening reads the list: list_valid is 0

  // Recording: a click every 4 rows on channel 1 when switched on, the
  // multi-keyboard through the four channels in order, split ranges from
  // each octave's C and from F#3.
  RecordOptions& record = state->selection.record;
  record.quantize = 1;
  record.metronome_rows = 4;
  for (int32_t c = 0; c < kChannels; ++c) record.channel_order[c] = c + 1;
  const int32_t range_notes[kSplitRanges] = {0, 12, 24, 30};  // C-1, C-2, C-3, F#3
  for (int32_t k = 0; k < kSplitRanges; ++k) record.ranges[k].from_note = range_notes[k];
  state->editop.scope = TransposeScope::kTrack;
  state->editop.metronome_row = -1;
  state->positions.followed = -1;
  state->positions.typed = -1;

  state->sampler.play_period = 214;  // C-3 of finetune 0
  state->sampler.copy_loop_length = 2;
  state->sampler.copy_loop_end = 2;
  return state;
}

void editor_state_destroy(EditorState* state) {
  if (!state) return;
  delete[] state->canvas.pixels;
  for (Image* GuiImages::*field : kImageFields)
    if (state->images.*field) image_free(state->images.*field);
  free_copy_buffer(state->sampler);
  sampling_end(state->sampling, state->capture);
  history_clear(state->history);
  std::free(state->preview.voice.sample.data);
  delete state;
}
