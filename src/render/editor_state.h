// Everything the user interface shows and edits. One instance, created by
// the shell; every view draws into its framebuffer, so the definition lives
// with the renderer.
#pragma once

#include <cstdint>

#include "engine/edit_ops.h"
#include "engine/player.h"
#include "render/image.h"

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 255;
constexpr int kFramebufferBytes = kScreenWidth * kScreenHeight * 3;
constexpr int kPathSize = 256;

struct DirList;  // the disk op's directory list

enum Dialog : int32_t {
  kDialogNone = 1,
  kDialogQuit = 4,
  kDialogClear = 5,
  kDialogTextField = 6,
  kDialogConfirm = 7,  // the disk-op screen's yes/no question
};

// Indices into the pointer's tint table (mouse dispatcher); 2 is a second,
// unused yellow, so edit is 3, not 2.
enum PointerColour : int32_t {
  kPointerWhite = 0,    // idle
  kPointerYellow = 1,   // playing
  kPointerBlue = 3,     // edit or record
  kPointerMagenta = 4,  // requester or text field
  kPointerRed = 5,      // message
  kPointerGreen = 6,    // disk-op screen
};

struct EditorState {
  uint8_t* framebuffer;  // kFramebufferBytes, owned
  Player* player;

  // GUI images, in load-table order.
  Image* img_main;
  Image* img_font;
  Image* img_pointer;
  Image* img_disk;
  Image* img_sure;
  Image* img_cursor;
  Image* img_textcursor;
  Image* img_clear;
  Image* img_diskoparrow;
  Image* img_chan1off;
  Image* img_chan2off;
  Image* img_chan3off;
  Image* img_chan4off;
  Image* img_disk2;
  Image* img_help;
  Image* img_posed;
  Image* img_sample;
  Image* img_loopleft;
  Image* img_loopright;

  int32_t key_code;
  int32_t play_seconds;
  int32_t restart_clock;
  int32_t mouse_x;
  int32_t mouse_y;
  int32_t pointer_colour;
  int32_t normal_pointer_colour;
  int32_t left_held;
  int32_t right_down;
  int32_t modifiers;  // 1 left Shift, 2 left Alt, 4 left command, 8 Ctrl
  int32_t dialog;
  int32_t saved_dialog;
  int32_t hit_button;
  int32_t current_sample;
  int32_t quit_confirmed;

  // Keyboard editor.
  int32_t cursor_channel;
  int32_t cursor_column;

  int32_t message_frames;
  int32_t message_timer;
  char message[32];

  int32_t octave_offset;
  int32_t edit_skip;
  int32_t multi_keyboard;

  // Keyboard handler. The held-key trio is shared with the text fields. The
  // edit mode lives here, not in the pointer colour, so that a message
  // (which recolours the pointer) cannot suspend editing; the pointer only
  // shows it (normal_pointer_colour 3 while editing).
  int32_t key_held;          // code of the key seen in the previous frame, 0 = none
  int32_t repeat_countdown;  // frames before a held key acts again
  int32_t key_consumed;      // the held key has acted once and waits for release
  int32_t edit_mode;         // 1: notes and digits are written into the pattern
  int32_t note_key_latch;    // a note key was taken and no key-free frame followed
  int32_t note_key_index;    // key index of that note key

  char module_dir[kPathSize];
  char song_dir[kPathSize];
  char sample_dir[kPathSize];
  char track_dir[kPathSize];
  char pattern_dir[kPathSize];
  char disk_op_path[kPathSize];

  int32_t sample_editor_shown;
  int32_t disk_op_active;
  int32_t fast_repeat;

  // Main screen: each channel's oscilloscope peak of this frame (0..128),
  // which the level meters show.
  int32_t channel_peaks[kChannels];

  // Disk-op screen. The list is the program's one directory list while the
  // screen shows it, else null;
  // the switches are 0/1; a save asked for keeps its target until answered.
  DirList* dir_list;
  int32_t volume_index;  // the place the volume button offers next
  int32_t list_valid;    // 0: read disk_op_path again on the next frame
  int32_t option_module;
  int32_t option_song;
  int32_t sample_iff;      // samples are saved as IFF 8SVX, otherwise raw
  int32_t track_buffer;    // tracks go to and from the clipboard, not the pattern
  int32_t option_pattern;  // the same for patterns
  int32_t disk_op_page;    // 0 first panel, otherwise the second
  int32_t disk_op_kind;    // row 0..2
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

  // Sample editor view: marks are screen x (0 = none), the zoom window and
  // offset are bytes of the current sample.
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

  // Sample editor: the period samples are played at (C-3), and the copy
  // buffer with the loop it carries through swaps (bytes). The cut
  // position remembers the byte a cut left the cursor at, which a pixel
  // cannot always name, so that a paste there puts the bytes back; it
  // holds while the cursor stays at cut_mark (0: no such cursor).
  int32_t play_period;
  int8_t* copy_data;  // copy_length bytes, owned (malloc)
  int32_t copy_length;
  int32_t copy_loop_start;
  int32_t copy_loop_length;
  int32_t copy_loop_end;
  int32_t cut_position;
  int32_t cut_mark;

  int32_t row_marks[5];

  // Edit operations: one level of undo, the clipboards and the block marks.
  EditBuffers edit_buffers;

  // Text field being edited (dialog 6) and the requesters. text_char is the
  // printable character the frame's key types in the keyboard layout (0 when
  // none or unknown); when set it wins over the built-in character tables.
  char text_field_buffer[sizeof(Sample::name)];  // a copy of the name being edited
  int32_t text_field_sample;                     // 0: the song's name, else this sample's
  const Player* text_field_player;               // the player the name belongs to
  int32_t text_field_x;
  int32_t text_field_cursor_y;
  int32_t text_field_top;
  int32_t text_field_bottom;
  int32_t text_field_length;
  int32_t text_field_cursor;
  int32_t pending_edit_key;
  int32_t text_char;
  int32_t confirm_answer;  // 1 yes, 0 no: the disk-op question's answer
};
