// The table of screens that open over the main screen, and what the
// screens below the shell are handed: their contexts and services. A new
// screen is a file pair of its own, a button table in src/layout, a
// ScreenId and one row in the table (screens.cpp).
#pragma once

#include <cstdint>

#include "diskop/disk_op.h"
#include "edit/edit_context.h"
#include "shell/editor_state.h"

struct ScreenEntry {
  ScreenId id;
  // Paints the screen's panel image, under the requesters.
  void (*panel)(EditorState& state);
  // The screen's turn in the frame, open or not: a closed screen may still
  // finish work (a save answered) and tidies up after itself.
  ScreenResult (*turn)(EditorState& state, bool open);
  // The arrow keys scroll its list; null when it has none.
  bool (*scroll)(EditorState& state, int32_t step);
  // The keys the open screen takes for itself, so that the keyboard
  // handler leaves them alone; null when it takes none.
  bool (*takes_key)(int32_t key_index, int32_t modifiers);
  // Open, it covers the whole picture: the others are passed over, their
  // state kept, until it closes.
  bool covers_all;
};

bool screen_is_open(const EditorState& state, ScreenId screen);
void set_screen_open(EditorState& state, ScreenId screen, bool open);

// Whether an open screen takes the key for itself.
bool screens_take_key(const EditorState& state, int32_t key_index, int32_t modifiers);
// The panels of the open screens, in table order.
void draw_screen_panels(EditorState& state);
// Every screen's turn, in table order; true when an open one used the click.
bool run_screens(EditorState& state);

// The context the keyboard, note entry, requesters and text fields work on.
EditContext edit_context(EditorState& state);
// The shell's side of the disk op: loaders, writers and the requester.
DiskOpServices disk_op_services(EditorState& state);
// The current sample changed or was replaced: the sample view starts over.
void sample_changed(EditorState& state);
