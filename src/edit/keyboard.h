// The keyboard command handler, run once per frame with the frame's key.
#pragma once

#include <cstdint>

#include "edit/edit_context.h"
#include "render/screen.h"

// Held-key bookkeeping of the keyboard handler, shared with the text fields.
struct KeyboardState {
  int32_t key_held;          // code of the key seen in the previous frame, 0 = none
  int32_t repeat_countdown;  // frames before a held key acts again
  int32_t repeating;         // the held key has acted once, so the next wait is the rate's
  int32_t key_consumed;      // the held key has acted once and waits for release
  int32_t note_key_latch;    // a note key was taken and no key-free frame followed
  int32_t note_key_index;    // key index of that note key
  int32_t pending_edit_key;
};

// 0 when the frame's key did not reach the command tables, else 1.
int32_t handle_key(int32_t key_code, EditContext* state);

// While a block is being marked the message line shows its rows, and the
// block ends at the row shown; run before the frame is drawn.
void show_block_marking(EditBuffers& edit, const Player& player, Status& status);

// Held-key bookkeeping shared with the text fields: key_held keeps the code
// of the key held since an earlier frame, 0 when none.
void track_held_key(EditContext* state, int32_t key_code);

// Starts the wait after a held key acts: the input's repeat delay after its
// first act (or the rate's `frames`, if longer), `frames` after later ones.
void start_repeat_countdown(KeyboardState& keys, int32_t frames, int32_t delay_frames);

// False while a requester or a text field takes the keys for itself.
bool keyboard_is_free(const EditContext* state);

// Mode changes, shared with the play and edit buttons. The pointer colour
// follows the mode: 3 while editing, 1 while playing, 0 when idle.
// from_row < 0 keeps the replayer's row.
void start_playing(EditContext* state, int32_t play_mode, int32_t editing, int32_t from_row);
void stop_playing(EditContext* state);
void enter_edit_mode(EditContext* state);

// The command tables, exported so that the key reference is printed from
// the same data the handler runs on.
struct KeyCommand;
using KeyAction = void (*)(EditContext* state, const KeyCommand& command, int32_t key_index);

struct KeyCommand {
  int32_t first_key;  // key indices first_key .. last_key
  int32_t last_key;
  int32_t any_of;   // at least one of these modifiers must be held (0: none needed)
  int32_t none_of;  // none of these may be held
  int32_t once;     // acts once per press; otherwise repeats while held
  KeyAction action;
  int32_t argument;
  const char* what;  // what the key does, for the key reference
};

struct KeyCommandTable {
  int32_t modifier;  // flag that opens the table, 0 for the main table
  const KeyCommand* commands;
  int32_t count;
};

constexpr int32_t kKeyCommandTableCount = 4;  // main, left command, Ctrl, Alt
extern const KeyCommandTable kKeyCommandTables[kKeyCommandTableCount];
