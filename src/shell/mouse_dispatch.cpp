#include "shell/mouse_dispatch.h"

#include <algorithm>

#include "edit/keyboard.h"
#include "edit/requesters.h"
#include "engine/editing.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/main_screen.h"
#include "render/message.h"
#include "sampler/sample_editor.h"
#include "sampler/sample_view.h"
#include "shell/disk_op_files.h"
#include "shell/sample_io.h"

namespace {

// Indices into kMainButtons.
enum MainButton : int32_t {
  kPlaySongButton = 2,
  kPlayPatternButton = 3,
  kEditButton = 4,
  kRecordButton = 5,
  kStopButton = 6,
  kClearButton = 7,
  kDiskOpButton = 9,
  kSampleEditorButton = 13,
  kFirstChannelButton = 14,
  kPositionUp = 19,
  kPositionDown = 20,
  kPatternUp = 22,
  kPatternDown = 23,
  kLengthUp = 25,
  kLengthDown = 26,
  kFinetuneUp = 28,
  kFinetuneDown = 29,
  kSampleUp = 31,
  kSampleDown = 32,
  kVolumeUp = 34,
  kVolumeDown = 35,
  kLoopStartUp = 40,
  kLoopStartDown = 41,
  kLoopLengthUp = 43,
  kLoopLengthDown = 44,
  kTempoUp = 45,
  kTempoDown = 46,
  kInsertPosition = 48,
  kDeletePosition = 49,
  kSongNameField = 54,
  kSampleNameField = 55,
  kLoadSampleByName = 56,
};

constexpr int32_t kPointerSize = 16;
constexpr int32_t kPointerTints[7][3] = {
    {255, 255, 255}, {255, 255, 17}, {255, 255, 17}, {17, 17, 255},
    {255, 17, 255},  {255, 17, 17},  {17, 255, 17},
};

// The sample-editor panel covers the screen from this row down.
constexpr int32_t kSamplePanelTop = 121;

// Loop buttons work 2 bytes at a time (16 with the right button).
LoopStep loop_step(int32_t button) {
  switch (button) {
    case kLoopStartUp:
      return LoopStep::kStartUp;
    case kLoopStartDown:
      return LoopStep::kStartDown;
    case kLoopLengthUp:
      return LoopStep::kLengthUp;
    default:
      return LoopStep::kLengthDown;
  }
}

void perform(int32_t button, EditorState* state) {
  Player* player = state->player;
  const bool right = state->right_down != 0;
  const int32_t step = right ? 10 : 1;
  const int32_t from_row = right ? -1 : 0;  // the right button keeps the row

  switch (button) {
    case 8:
    case 10:
    case 11:
    case 12:
    case 18:
    case 21:
    case 24:
    case 30:
    case 33:
    case 36:
    case 47:
      timed_message(state, "NOT IMPLEMENTED");
      return;
    case kPlaySongButton:
      start_playing(state, kPlaySong, 0, from_row);
      return;
    case kPlayPatternButton:
      start_playing(state, kPlayPattern, 0, from_row);
      return;
    case kEditButton:
      enter_edit_mode(state);
      return;
    case kRecordButton:
      start_playing(state, kPlayPattern, 1, from_row);
      return;
    case kStopButton:
      stop_playing(state);
      return;
    case kClearButton:
      set_message(state, "PLEASE SELECT");
      state->dialog = kDialogClear;
      return;
    case kDiskOpButton:
      state->disk_op_active = 1;
      return;
    case kSampleEditorButton:
      state->sample_editor_shown ^= 1;
      return;
    case kFirstChannelButton:
    case kFirstChannelButton + 1:
    case kFirstChannelButton + 2:
    case kFirstChannelButton + 3:
      toggle_channel(*player, button - kFirstChannelButton);
      return;
    case kPositionUp:
    case kPositionDown:
      set_song_position(*player, player->song_position + (button == kPositionUp ? step : -step));
      return;
    case kPatternUp:
    case kPatternDown:
      step_order_entry(*player, button == kPatternUp ? step : -step);
      return;
    case kLengthUp:
    case kLengthDown:
      set_song_length(*player, player->song_length + (button == kLengthUp ? step : -step));
      return;
    case kSampleUp:
      if (right) {
        state->current_sample = 0;
        return;
      }
      state->current_sample = std::clamp(state->current_sample + 1, 1, kSampleCount - 1);
      reset_sample_view(state);
      return;
    case kSampleDown:
      state->current_sample =
          right ? 1 : std::clamp(state->current_sample - 1, 1, kSampleCount - 1);
      reset_sample_view(state);
      return;
    case kTempoUp:
    case kTempoDown:
      set_tempo(*player, player->tempo + (button == kTempoUp ? step : -step));
      return;
    case kInsertPosition:
      insert_position(*player, player->song_position);
      return;
    case kDeletePosition:
      delete_position(*player, player->song_position);
      return;
    default:
      break;
  }

  const Sample* sample = editable_sample(state);
  const int32_t number = state->current_sample;
  switch (button) {
    case kFinetuneUp:
    case kFinetuneDown:
      if (!sample) return;
      if (right) {
        set_sample_finetune(*player, number, 0);
      } else {
        step_sample_finetune(*player, number, button == kFinetuneUp);
      }
      return;
    case kVolumeUp:
    case kVolumeDown: {
      if (!sample) return;
      const int32_t volume_step = right ? 16 : 1;
      set_sample_volume(*player, number,
                        sample->volume + (button == kVolumeUp ? volume_step : -volume_step));
      return;
    }
    case kLoopStartUp:
    case kLoopStartDown:
    case kLoopLengthUp:
    case kLoopLengthDown:
      if (sample) step_sample_loop(*player, number, loop_step(button), right ? 16 : 2);
      return;
    case kLoadSampleByName:
      if (sample && load_st_sample(sample->name, state) == 0)
        timed_message(state, "CAN'T FIND FILE");
      reset_sample_view(state);
      return;
    default:
      return;  // buttons without an action of their own here
  }
}

void begin_name_field(EditorState* state, int32_t button) {
  if (button == kSongNameField) {
    begin_text_field(104, 107, 100, 110, 19, 0, state);
  } else {
    if (!editable_sample(state)) return;
    begin_text_field(104, 118, 111, 120, 21, state->current_sample, state);
  }
  if (state->dialog != kDialogTextField) state->saved_dialog = state->dialog;
  state->dialog = kDialogTextField;
}

void run_message_timer(EditorState* state) {
  if (state->message_timer != 1) return;
  if (state->message_frames >= kMessageFrames - 1) {
    state->pointer_colour = state->normal_pointer_colour;
    state->message_timer = 0;
    set_message(state, "ALL RIGHT");
    state->message_frames = 0;
  } else {
    state->message_frames += 1;
  }
}

}  // namespace

void draw_pointer(int32_t x, int32_t y, EditorState* state) {
  const Image* image = state->img_pointer;
  if (!image) return;
  const int32_t colour_index = state->pointer_colour;
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
      put_pixel(x + c, y + r, colour, state);  // dropped off screen
    }
  }
}

void mouse_dispatch(EditorState* state) {
  redraw_main_screen(state);

  // The quit corner works whatever screen or requester is open.
  if (state->mouse_x == 0 && state->mouse_y == 0 && state->left_held != 0) {
    set_message(state, "REALLY QUIT ?");
    state->dialog = kDialogQuit;
  }

  // Each acts only while the dialog is its own.
  quit_requester(state);
  clear_requester(state);
  edit_text_field(state);
  disk_op_frame(state, disk_op_services());
  sample_editor_frame(state);

  // The hit test has no side effects, so one result serves both the name
  // fields (which start even over a requester) and the buttons.
  const int32_t button = hit_test(state, kMainButtons, kMainButtonCount);
  state->hit_button = button;
  if (button == kSongNameField || button == kSampleNameField) begin_name_field(state, button);
  if (state->disk_op_active == 0 && state->dialog == kDialogNone && button >= 0) {
    // Buttons under the sample-editor panel (the tempo arrows) cannot be
    // seen while it is shown, so they do not act.
    if (!(state->sample_editor_shown && kMainButtons[button].y1 >= kSamplePanelTop))
      perform(button, state);
  }

  run_message_timer(state);
  draw_pointer(state->mouse_x, state->mouse_y, state);
}
