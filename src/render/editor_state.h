// Everything the user interface shows and edits. One instance, created by
// the shell.
#pragma once

#include <cstdint>

#include "engine/edit_ops.h"
#include "engine/player.h"
#include "render/main_screen.h"
#include "render/screen.h"

struct DirList;  // the disk op's directory list

// Held-key bookkeeping of the keyboard handler, shared with the text fields.
struct KeyboardState {
  int32_t key_held;          // code of the key seen in the previous frame, 0 = none
  int32_t repeat_countdown;  // frames before a held key acts again
  int32_t key_consumed;      // the held key has acted once and waits for release
  int32_t note_key_latch;    // a note key was taken and no key-free frame followed
  int32_t note_key_index;    // key index of that note key
  int32_t pending_edit_key;
};

// The disk-op screen. The list is the program's one directory list while
// the screen shows it, else null; the switches are 0/1; a save asked for
// keeps its target until answered.
struct DiskOpState {
  char module_dir[kPathSize];
  char song_dir[kPathSize];
  char sample_dir[kPathSize];
  char track_dir[kPathSize];
  char pattern_dir[kPathSize];
  char path[kPathSize];  // the directory the list shows
  DirList* list;
  int32_t volume_index;  // the place the volume button offers next
  int32_t list_valid;    // 0: read the path again on the next frame
  int32_t option_module;
  int32_t option_song;
  int32_t sample_iff;      // samples are saved as IFF 8SVX, otherwise raw
  int32_t track_buffer;    // tracks go to and from the clipboard, not the pattern
  int32_t option_pattern;  // the same for patterns
  int32_t page;            // 0 first panel, otherwise the second
  int32_t kind;            // row 0..2
  int32_t list_top;        // entry shown on the first list line
  int32_t list_count;      // entries in the list last read
  int32_t module_top;      // remembered list_top of each kind
  int32_t song_top;
  int32_t sample_top;
  int32_t track_top;
  int32_t pattern_top;
  int32_t save_kind;  // the kind a pending question would save, -1 none
  int32_t save_due;   // 1: answered yes, written on the next frame
  char save_target[kPathSize];
  int32_t confirm_answer;  // 1 yes, 0 no: the question's answer
};

// The sample editor: marks are screen x (0 = none), the zoom window and
// offset are bytes of the current sample. The period samples are played at
// (C-3), and the copy buffer with the loop it carries through swaps
// (bytes). The cut position remembers the byte a cut left the cursor at,
// which a pixel cannot always name, so that a paste there puts the bytes
// back; it holds while the cursor stays at cut_mark (0: no such cursor).
struct SamplerState {
  int32_t mark_a;
  int32_t mark_b;
  int32_t drag_loop_start;
  int32_t drag_loop_end;
  int32_t drag_scroll;
  int32_t zoom_start;
  int32_t zoom_end;
  float samples_per_pixel;
  int32_t view_offset;
  int32_t drag_range;  // 1 while a press that began in the waveform marks a range
  int32_t play_period;
  int8_t* copy_data;  // copy_length bytes, owned (malloc)
  int32_t copy_length;
  int32_t copy_loop_start;
  int32_t copy_loop_length;
  int32_t copy_loop_end;
  int32_t cut_position;
  int32_t cut_mark;
};

// The text field being edited (dialog kDialogTextField).
struct TextFieldState {
  char buffer[sizeof(Sample::name)];  // a copy of the name being edited
  int32_t sample;                     // 0: the song's name, else this sample's
  const Player* player;               // the player the name belongs to
  int32_t x;
  int32_t cursor_y;
  int32_t top;
  int32_t bottom;
  int32_t length;
  int32_t cursor;
};

struct EditorState {
  Canvas canvas;  // pixels owned; font is images.font
  Player* player;
  GuiImages images;
  FrameInput input;
  Status status;
  Selection selection;
  KeyboardState keys;
  MainScreenState main;
  DiskOpState disk_op;
  SamplerState sampler;
  TextFieldState text_field;
  int32_t sample_editor_shown;
  int32_t disk_op_active;

  // Edit operations: one level of undo, the clipboards and the block marks.
  EditBuffers edit_buffers;
};

// The context the screens are handed for a frame.
inline ScreenContext screen_context(EditorState& state) {
  return ScreenContext{state.canvas, state.images, state.input,
                       state.player, state.status, state.selection};
}
