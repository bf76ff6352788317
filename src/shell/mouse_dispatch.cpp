#include "shell/mouse_dispatch.h"

#include <algorithm>
#include <cstdio>

#include "edit/keyboard.h"
#include "edit/requesters.h"
#include "engine/replayer.h"
#include "layout/main_layout.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/main_screen.h"
#include "render/message.h"
#include "sampler/sample_editor.h"
#include "sampler/sample_view.h"
#include "shell/disk_op_files.h"
#include "shell/sample_io.h"

namespace {

constexpr int32_t kPointerSize = 16;
constexpr int32_t kPointerTints[7][3] = {
    {255, 255, 255}, {255, 255, 17}, {255, 255, 17}, {17, 17, 255},
    {255, 17, 255},  {255, 17, 17},  {17, 255, 17},
};

constexpr int32_t kHighestPosition = kPositions - 1;
constexpr int32_t kHighestOrderEntry = 99;
constexpr int32_t kMinTempo = 32;
constexpr int32_t kMaxTempo = 255;
constexpr int32_t kMaxSampleVolume = 64;
constexpr int32_t kFinetuneHighest = 7;  // +7
constexpr int32_t kFinetuneLowest = 8;   // -8

void step_finetune(Sample& sample, bool up) {
  const int32_t finetune = sample.finetune & 15;
  const int32_t limit = up ? kFinetuneHighest : kFinetuneLowest;
  if (finetune != limit) sample.finetune = (finetune + (up ? 1 : 15)) & 15;
}

// Loop buttons work in whole bytes, 2 at a time (16 with the right button),
// and never let the loop leave the sample or shrink below 2 bytes.
void step_loop(Sample& sample, MainAction button, int32_t step) {
  int32_t start = sample.loop_start >> 14;
  int32_t length = sample.loop_length >> 14;
  const int32_t size = sample.length >> 14;
  switch (button) {
    case MainAction::kLoopStartUp:
      if (start + step + length > size) return;
      start += step;
      break;
    case MainAction::kLoopStartDown:
      if (start - step < 0) return;
      start -= step;
      break;
    case MainAction::kLoopLengthUp:
      if (start + length + step > size) return;
      length += step;
      break;
    default:  // kLoopLengthDown
      if (length - step < 2) return;
      length -= step;
      break;
  }
  sample.loop_start = start * kFixOne;
  sample.loop_length = length * kFixOne;
  sample.loop_end = (start + length) * kFixOne;
}

void insert_position(Player* player) {
  const int32_t position = std::clamp(player->song_position, 0, kHighestPosition);
  std::copy_backward(player->order + position, player->order + kPositions - 1,
                     player->order + kPositions);
  player->order[position] = 0;
  if (player->song_length <= kPositions - 2) player->song_length += 1;
}

void delete_position(Player* player) {
  // Entries above position 126 keep their values.
  const int32_t position = std::clamp(player->song_position, 0, kHighestPosition);
  if (position < kPositions - 2)
    std::copy(player->order + position + 1, player->order + kPositions - 1,
              player->order + position);
  if (player->song_length > 1) player->song_length -= 1;
}

void perform(MainAction button, EditorState* state) {
  Player* player = state->player;
  const bool right = state->input.right_down != 0;
  const int32_t step = right ? 10 : 1;
  const int32_t from_row = right ? -1 : 0;  // the right button keeps the row
  int32_t& order_entry = player->order[std::clamp(player->song_position, 0, kHighestPosition)];

  switch (button) {
    case MainAction::kEditOp:
    case MainAction::kSetup:
    case MainAction::kPresets:
    case MainAction::kHelp:
    case MainAction::kPositionField:
    case MainAction::kPatternField:
    case MainAction::kLengthField:
    case MainAction::kSampleField:
    case MainAction::kVolumeField:
    case MainAction::kSampleLengthField:
    case MainAction::kPositionLabel:
      timed_message(state->status, "NOT IMPLEMENTED");
      return;
    case MainAction::kPlaySong:
      start_playing(state, kPlaySong, 0, from_row);
      return;
    case MainAction::kPlayPattern:
      start_playing(state, kPlayPattern, 0, from_row);
      return;
    case MainAction::kEdit:
      enter_edit_mode(state);
      return;
    case MainAction::kRecord:
      start_playing(state, kPlayPattern, 1, from_row);
      return;
    case MainAction::kStop:
      stop_playing(state);
      return;
    case MainAction::kClear:
      set_message(state->status, "PLEASE SELECT");
      state->status.dialog = kDialogClear;
      return;
    case MainAction::kDiskOp:
      state->disk_op_active = 1;
      return;
    case MainAction::kSampler:
      state->sample_editor_shown ^= 1;
      return;
    case MainAction::kChannel1:
    case MainAction::kChannel2:
    case MainAction::kChannel3:
    case MainAction::kChannel4:
      toggle_channel(state,
                     static_cast<int32_t>(button) - static_cast<int32_t>(MainAction::kChannel1));
      return;
    case MainAction::kPositionUp:
    case MainAction::kPositionDown:
      player->song_position =
          std::clamp(player->song_position + (button == MainAction::kPositionUp ? step : -step), 0,
                     kHighestPosition);
      return;
    case MainAction::kPatternUp:
    case MainAction::kPatternDown:
      order_entry = std::clamp(order_entry + (button == MainAction::kPatternUp ? step : -step), 0,
                               kHighestOrderEntry);
      return;
    case MainAction::kLengthUp:
    case MainAction::kLengthDown:
      player->song_length =
          std::clamp(player->song_length + (button == MainAction::kLengthUp ? step : -step), 1,
                     kHighestPosition);
      return;
    case MainAction::kSampleUp:
      if (right) {
        state->selection.current_sample = 0;
        return;
      }
      state->selection.current_sample =
          std::clamp(state->selection.current_sample + 1, 1, kSampleCount - 1);
      reset_sample_view(state);
      return;
    case MainAction::kSampleDown:
      state->selection.current_sample =
          right ? 1 : std::clamp(state->selection.current_sample - 1, 1, kSampleCount - 1);
      reset_sample_view(state);
      return;
    case MainAction::kTempoUp:
    case MainAction::kTempoDown:
      player->tempo = std::clamp(player->tempo + (button == MainAction::kTempoUp ? step : -step),
                                 kMinTempo, kMaxTempo);
      player->samples_per_tick = tempo_samples_per_tick(player->output_rate, player->tempo);
      return;
    case MainAction::kInsertPosition:
      insert_position(player);
      return;
    case MainAction::kDeletePosition:
      delete_position(player);
      return;
    default:
      break;
  }

  Sample* sample = editable_sample(state);
  switch (button) {
    case MainAction::kFinetuneUp:
    case MainAction::kFinetuneDown:
      if (!sample) return;
      if (right) {
        sample->finetune = 0;
      } else {
        step_finetune(*sample, button == MainAction::kFinetuneUp);
      }
      return;
    case MainAction::kVolumeUp:
    case MainAction::kVolumeDown: {
      if (!sample) return;
      const int32_t volume_step = right ? 16 : 1;
      sample->volume = std::clamp(
          sample->volume + (button == MainAction::kVolumeUp ? volume_step : -volume_step), 0,
          kMaxSampleVolume);
      return;
    }
    case MainAction::kLoopStartUp:
    case MainAction::kLoopStartDown:
    case MainAction::kLoopLengthUp:
    case MainAction::kLoopLengthDown:
      if (sample) step_loop(*sample, button, right ? 16 : 2);
      return;
    case MainAction::kLoadSampleByName:
      if (sample && load_st_sample(sample->name, state) == 0)
        timed_message(state->status, "CAN'T FIND FILE");
      reset_sample_view(state);
      return;
    default:
      return;  // buttons without an action of their own here
  }
}

void begin_name_field(EditorState* state, MainAction button) {
  if (button == MainAction::kSongName) {
    begin_text_field(104, 107, 100, 110, 19, state->player->song_name, state);
  } else {
    Sample* sample = editable_sample(state);
    if (!sample) return;
    begin_text_field(104, 118, 111, 120, 21, sample->name, state);
  }
  if (state->status.dialog != kDialogTextField) state->status.saved_dialog = state->status.dialog;
  state->status.dialog = kDialogTextField;
}

// While a block is being marked the message line shows its rows, and the
// block ends at the row shown.
void show_block_marking(EditorState* state) {
  if (state->block_marking != 1) return;
  const int32_t row = state->player->shown_row;
  if (row >= 0 && row < kRows) state->block_end = row;
  std::snprintf(state->status.message, sizeof state->status.message, "mark block %02d-%02d",
                std::min(state->block_anchor, row), std::max(state->block_anchor, row));
}

bool under_sample_panel(MainAction action) {
  for (const Button<MainAction>& b : kMainButtons)
    if (b.action == action) return b.rect.y1 >= kSamplePanelTop;
  return false;
}

void run_message_timer(EditorState* state) {
  if (state->status.message_timer != 1) return;
  if (state->status.message_frames >= kMessageFrames - 1) {
    state->status.pointer_colour = state->status.normal_pointer_colour;
    state->status.message_timer = 0;
    set_message(state->status, "ALL RIGHT");
    state->status.message_frames = 0;
  } else {
    state->status.message_frames += 1;
  }
}

}  // namespace

void draw_pointer(int32_t x, int32_t y, EditorState* state) {
  const Image* image = state->images.pointer;
  if (!image) return;
  const int32_t colour_index = state->status.pointer_colour;
  const int32_t* tint = kPointerTints[colour_index >= 0 && colour_index < 7 ? colour_index : 0];
  const int32_t width = std::min(image->width, kPointerSize);
  const int32_t height = std::min<int64_t>(
      std::min(image->height, kPointerSize),
      image->width > 0 ? static_cast<int64_t>(image->pixels.size()) / (image->width * 3) : 0);
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* source = image->pixels.data() + static_cast<size_t>(r) * image->width * 3;
    for (int32_t c = 0; c < width; ++c, source += 3) {
      if (source[0] == 0) continue;
      const uint32_t colour = static_cast<uint32_t>((source[0] * tint[0]) >> 8) << 16 |
                              static_cast<uint32_t>((source[1] * tint[1]) >> 8) << 8 |
                              static_cast<uint32_t>((source[2] * tint[2]) >> 8);
      put_pixel(state->canvas, x + c, y + r, colour);  // dropped off screen
    }
  }
}

void mouse_dispatch(EditorState* state) {
  show_block_marking(state);
  const ScreenContext ctx = screen_context(*state);
  state->main.peaks = redraw_main_screen(ctx, state->main, state->sample_editor_shown == 0);
  if (state->disk_op_active == 1) {
    Image* panel = state->disk_op.page ? state->images.disk2 : state->images.disk;
    if (panel) blit_image(state->canvas, 0, 0, panel);
  }
  if (state->sample_editor_shown == 1 && state->images.sample)
    blit_image(state->canvas, 0, kSamplePanelTop, state->images.sample);

  // The quit corner works whatever screen or requester is open.
  if (state->input.mouse_x == 0 && state->input.mouse_y == 0 && state->input.left_held != 0) {
    set_message(state->status, "REALLY QUIT ?");
    state->status.dialog = kDialogQuit;
  }

  // Each acts only while the dialog is its own.
  quit_requester(state);
  clear_requester(state);
  edit_text_field(state);
  disk_op_frame(state, disk_op_services());
  sample_editor_frame(state);

  // The hit test has no side effects, so one result serves both the name
  // fields (which start even over a requester) and the buttons.
  const MainAction button = hit_action(state->input, kMainButtons);
  if (button == MainAction::kSongName || button == MainAction::kSampleName)
    begin_name_field(state, button);
  if (state->disk_op_active == 0 && state->status.dialog == kDialogNone &&
      button != MainAction::kNone) {
    // Buttons under the sample-editor panel (the tempo arrows) cannot be
    // seen while it is shown, so they do not act.
    if (!(state->sample_editor_shown && under_sample_panel(button))) perform(button, state);
  }

  run_message_timer(state);
  draw_pointer(state->input.mouse_x, state->input.mouse_y, state);
}
