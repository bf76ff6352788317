// What every screen works with in a frame: the canvas and images it paints
// with, this frame's input, the player, the shared status (message line,
// pointer, dialog) and the selection; and what a screen's frame reports.
#pragma once

#include <cstdint>

#include "engine/player.h"
#include "render/canvas.h"

constexpr int32_t kPathSize = 256;
constexpr int32_t kScreenKeyOther = -1;

enum Dialog : int32_t {
  kDialogNone = 1,
  kDialogQuit = 4,
  kDialogClear = 5,
  kDialogTextField = 6,
  kDialogConfirm = 7,       // the disk-op screen's yes/no question
  kDialogQuestion = 8,      // the shell's yes/no question before work is lost
  kDialogNumberField = 9,   // a main-screen number typed in place
  kDialogLineEntry = 10,  // a line typed: the disk op's path or save name, a setup folder
};

// What a yes to the shell's question does.
enum class Question : int32_t {
  kNone,
  kLoadDropped,
  kClearSong,
  kClearAll,
  kRestoreAutosave,
  kDeleteSample,
  kSaveAllSamples,
  kReplaceSampleFile,  // one file of the samples being saved exists
  kResetSettings,
  kDeletePreset,
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

// The decoded GUI images, in load-table order.
struct GuiImages {
  Image* main;
  Image* font;
  Image* pointer;
  Image* disk;
  Image* sure;
  Image* cursor;
  Image* textcursor;
  Image* clear;
  Image* diskoparrow;
  Image* chan1off;
  Image* chan2off;
  Image* chan3off;
  Image* chan4off;
  Image* disk2;
  Image* help;
  Image* posed;
  Image* sample;
  Image* loopleft;
  Image* loopright;
  Image* editop0;  // the edit-op screen's pages
  Image* editop1;
  Image* editop2;
  Image* setup0;  // the setup screen's pages
  Image* setup1;
  Image* setup2;
  Image* setup3;
  Image* presets;
};

// This frame's keyboard and mouse, as the screens read them.
struct FrameInput {
  int32_t key_code;
  int32_t modifiers;  // 1 left Shift, 2 left Alt, 4 left command, 8 Ctrl
  // The printable character the frame's key types in the keyboard layout
  // (0 when none or unknown); when set it wins over the built-in tables.
  int32_t text_char;
  int32_t mouse_x;
  int32_t mouse_y;
  int32_t left_held;  // frames the left button has been down, 0 = up
  int32_t right_down;
  // 1 in the frame the right button is let go after a press during which
  // the left one never went down (a right click alone).
  int32_t right_click;
  int32_t right_with_left;  // the left button went down while the right was held
  int32_t fast_repeat;      // a held button repeats every few frames, not every 40
  int32_t wheel;            // notches of the mouse wheel in this frame, away from the user > 0
  // A held key or button acts at once, then waits at least this many frames
  // before it repeats.
  int32_t repeat_delay_frames;
  int32_t repeat_frames;  // then a held key acts again every this many frames
  // Key index of a key pressed in this frame that an open screen takes for
  // itself (typed numbers, Insert, Delete, Esc), 0 when none: the keyboard
  // handler has not acted on it. A line typed on the disk op takes every
  // key; one without a key index comes as kScreenKeyOther.
  int32_t screen_key;
};

// What every screen may show and set: the message line, the pointer's
// colour and the dialog that owns the keys and the mouse.
struct Status {
  char message[32];
  int32_t message_frames;
  int32_t message_timer;
  int32_t pointer_colour;
  int32_t normal_pointer_colour;
  int32_t dialog;
  int32_t saved_dialog;
  int32_t quit_confirmed;
  Question question;  // what the open kDialogQuestion asks
};

// How notes are recorded, set on the edit-op screen's record page.
constexpr int32_t kSplitRanges = 4;
struct SplitRange {
  int32_t from_note;  // lowest note of the range, 0 = C-1 .. 35 = B-3
  int32_t sample;     // 0: the range is not used
  int32_t transpose;  // semitones, -12..12
};
struct RecordOptions {
  int32_t song_mode;  // 1: recording plays on through the song's positions
  int32_t quantize;   // rows; 0 and 1 do not quantize
  int32_t metronome;  // 1: a click every `metronome_rows` rows while recording
  int32_t metronome_channel;
  int32_t metronome_rows;
  int32_t auto_effect;  // 1: every entered note gets the effect below
  int32_t effect;       // 0..15
  int32_t effect_param;
  // The multi-keyboard's rotation: channel numbers 1..4, 0 = slot unused.
  int32_t channel_order[kChannels];
  int32_t split;  // 1: the split ranges choose sample and transpose
  SplitRange ranges[kSplitRanges];
};

// What the user is editing and how keys edit it. The edit mode lives here,
// not in the pointer colour, so that a message (which recolours the
// pointer) cannot suspend editing; the pointer only shows it.
struct Selection {
  int32_t current_sample;
  int32_t cursor_channel;
  int32_t cursor_column;
  int32_t edit_mode;  // 1: notes and digits are written into the pattern
  int32_t octave_offset;
  int32_t edit_skip;
  int32_t multi_keyboard;
  int32_t row_marks[5];
  // The sample editor's two notes, in semitones from C-3 (-24..11): TUNE's
  // (the tuning tone's) and NOTE's (what RESAMPLE tunes to); and the one of
  // them waiting for a note key (1 TUNE, 2 NOTE, 0 none).
  int32_t tune_note;
  int32_t resample_note;
  int32_t note_field;
  // The tuning tone: 1 + the channel it sounds on, 0 when off; read by the
  // sound under the audio lock.
  int32_t tone_channel;
  int32_t tone_period;
  RecordOptions record;
  // Play and stop commands given so far: sounds outside the song, such as
  // a preview, end with the next one.
  int32_t transport;
};

struct ScreenContext {
  Canvas canvas;
  const GuiImages& images;
  FrameInput& input;
  Player*& player;  // the slot: a load swaps another player in
  Status& status;
  Selection& selection;
};

// What a screen's frame did: whether it is still open, and whether it took
// the click, so that the screen beneath does not act on it as well.
struct ScreenResult {
  bool open;
  bool used_click;
};

// The screens that open over the main screen, each one row of the shell's
// table of screens.
enum class ScreenId : int32_t {
  kDiskOp,
  kSampler,
  kEditOp,
  kPositionEditor,
  kSetup,
  kHelp,
  kPresets,
};

// The yes/no requester's answer in the frame it is given.
enum class Answer : int32_t { kNone, kYes, kNo };
