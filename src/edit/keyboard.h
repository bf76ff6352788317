// The keyboard command handler, run once per frame with the frame's key.
#pragma once

#include <cstdint>

#include "render/editor_state.h"

// 0 when the frame's key did not reach the command tables, else 1.
int32_t handle_key(int32_t key_code, EditorState* state);

// While a block is being marked the message line shows its rows, and the
// block ends at the row shown; run before the frame is drawn.
void show_block_marking(EditBuffers& edit, const Player& player, Status& status);

// Held-key bookkeeping shared with the text fields: key_held keeps the code
// of the key held since an earlier frame, 0 when none.
void track_held_key(EditorState* state, int32_t key_code);

// False while a requester or a text field takes the keys for itself.
bool keyboard_is_free(const EditorState* state);

// Mode changes, shared with the play and edit buttons. The pointer colour
// follows the mode: 3 while editing, 1 while playing, 0 when idle.
// from_row < 0 keeps the replayer's row.
void start_playing(EditorState* state, int32_t play_mode, int32_t editing, int32_t from_row);
void stop_playing(EditorState* state);
void enter_edit_mode(EditorState* state);

// The command tables, exported so that the key reference is printed from
// the same data the handler runs on.
struct KeyCommand;
using KeyAction = void (*)(EditorState* state, const KeyCommand& command, int32_t key_index);

struct KeyCommand {
  int32_t first_key;  // key indices first_key .. last_key
  int32_t last_key;
  int32_t any_of;   // at least one of these modifiers must be held (0: none needed)
  int32_t none_of;  // none of these may be held
  int32_t once;     // acts once per press; otherwise repeats while held
  KeyAction action;
  int32_t argument;
  const char* what;   // what the key does, for the key reference
  int32_t announced;  // 1: not built yet; `what` is the help line it prints
};

struct KeyCommandTable {
  int32_t modifier;  // flag that opens the table, 0 for the main table
  const KeyCommand* commands;
  int32_t count;
};

constexpr int32_t kKeyCommandTableCount = 4;  // main, left command, Ctrl, Alt
extern const KeyCommandTable kKeyCommandTables[kKeyCommandTableCount];
