// The edit-op screen: transposing over a chosen scope (page 1), how notes
// are recorded (page 2) and the sample tools (page 3). Opened by EDIT OP
// or Alt+E over the top of the main screen.
#pragma once

#include <cstdint>

#include "edit/key_tables.h"
#include "edit/sample_tools_page.h"
#include "engine/edit_ops.h"
#include "engine/transpose.h"
#include "render/screen.h"

struct EditOpState {
  int32_t page;  // 0 transpose, 1 record, 2 sample tools
  TransposeScope scope;
  int32_t all_notes;       // 1: every note, 0: the current sample's
  int32_t delete_outside;  // 1: a note pushed out of the three octaves is deleted
  int32_t metronome_row;   // the row the metronome last saw, -1 none
  int32_t right_down;      // the right button was down in the last frame
  SampleToolsState tools;
};

// One frame. Open, it acts on its buttons and Esc, draws the page's values
// and takes every click on its panel. Open or not, the metronome clicks
// while recording. `buffers` gives the marked block.
ScreenResult edit_op_frame(EditOpState& editop, const ScreenContext& ctx,
                           const EditBuffers& buffers, bool open);
// The panel image of a page.
const Image* edit_op_page_image(const GuiImages& images, int32_t page);
// The keys the open screen takes for itself, without modifiers.
inline constexpr ScreenKey kEditOpKeys[] = {
    {kKeyEsc, kKeyEsc, "close the edit-op screen"},
};
bool edit_op_takes_key(int32_t key_index, int32_t modifiers);

// The rows a block transposition works on: the block being marked (to the
// cursor row), or else the block last copied. False when there is none.
bool block_rows(const EditBuffers& buffers, int32_t cursor_row, int32_t* first, int32_t* last);
